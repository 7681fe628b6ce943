// The colour canvases' keys beyond the drag protocol, and a pick from the
// keyboard with its Escape, on the runtime's controls.
#include "app/canvas_keys.h"

#include <vector>

#include "app/capture_view.h"
#include "app/cell_markers.h"
#include "app/current_color.h"
#include "app/main_controls.h"
#include "app/program_context.h"
#include "app/screen_reader.h"
#include "app/settings_record.h"
#include "color/channel_views.h"
#include "runtime/clipboard.h"
#include "runtime/pointer.h"
#include "runtime/windowing.h"

//-----------------------------------------------------------------------------
// Keys
//-----------------------------------------------------------------------------

static int WithChannel(int color, int channel, int value) {
  int shift = 8 * channel;
  return (color & ~(0xFF << shift) & 0xFFFFFF) | (value << shift);
}

// A strip's channel stepped or set: a colour change as a click on the strip
// gives, live while the keys go on.
static void StepChannel(int strip, int channel, const CanvasKeyCommand& command) {
  if (channel < 0) return;
  int before = ChannelOf(CONFIG.Color, channel), after = ChannelAfterKey(before, command);
  if (after == before) return;
  NoteKeyRunStep(&GProgram->keyRun, strip, TickMs());
  SetCurrentColor(WithChannel(CONFIG.Color, channel, after), SET_COLOR_VIEWS_ONLY);
}

// The marked colour taken as a click on its cell takes it. Taken from the
// history, the colour comes to its front, and the marker with it.
static void TakeMarkedColor(int canvas) {
  int color = MarkedColor(canvas);
  if (color < 0) return;
  SetCurrentColor(color, SET_COLOR_REFRESH_NAME_LIST | SET_COLOR_ADD_TO_HISTORY);
  if (canvas == GProgram->controls.imgPaletteHistory) {
    GProgram->historyMarker = CellMarker{0, 0};
    ShowCellMarker(canvas);
  }
}

void CarryOutCanvasKey(int canvas, int channel, const CanvasKeyCommand& command) {
  switch (command.kind) {
    case KEY_CHANNEL_STEP:
    case KEY_CHANNEL_SET: StepChannel(canvas, channel, command); break;
    case KEY_MARKER_MOVE:
    case KEY_MARKER_FIRST:
    case KEY_MARKER_LAST:
      if (StepCellMarker(canvas, command))
        TellValueChanges(MainControlBit(GProgram->controls, canvas), NOTICE_ON_CHANGE);
      break;
    case KEY_TAKE_MARKED: TakeMarkedColor(canvas); break;
    case KEY_START_PICK:  // the drag protocol's
    case KEY_PRESS:       // the control table's: the press's action
    case KEY_COMMAND_NONE: break;
  }
}

void NoteCanvasKeyUp(int canvas) { NoteKeyRunKeyUp(&GProgram->keyRun, canvas); }

void SettleKeyRun() {
  ProgramContext& g = *GProgram;
  if (!g.keyRun.canvas) return;
  g.keyRun = KeyRun{};
  // As a strip's release: the colour with the name list and the history,
  // then what automatic copying leaves at a drag's end; told once.
  g.noticesHeld = true;
  SetCurrentColor(CONFIG.Color, SET_COLOR_REFRESH_NAME_LIST | SET_COLOR_ADD_TO_HISTORY);
  CopyAtDragEnd();
  g.noticesHeld = false;
  TellValueChanges(CurrentColorViewBits(), NOTICE_AT_END);
}

void SettleKeyRunWhenDue() {
  if (KeyRunSettles(GProgram->keyRun, TickMs())) SettleKeyRun();
}

//-----------------------------------------------------------------------------
// A pick from the keyboard, and Escape
//-----------------------------------------------------------------------------

void RememberBeforePick() {
  ProgramContext& g = *GProgram;
  int x, y;
  if (PointerScreenPosition(&x, &y)) g.keyPointer = StartKeyPointer(x, y);
  g.beforePick.color = CONFIG.Color;
  g.beforePick.copiesMade = g.copiesMade;
  g.beforePick.clipboardHadText = ReadClipboardText(&g.beforePick.clipboardText);
}

void GiveBackPick() {
  ProgramContext& g = *GProgram;
  SetCurrentColor(g.beforePick.color, SET_COLOR_NO_COPY);
  RestoreCapture();  // the stored region again, as the view showed it before
  // Only what the pick's own copies replaced; a clipboard that held no text
  // is left empty rather than holding the colour the pick passed over.
  if (g.copiesMade != g.beforePick.copiesMade) {
    if (g.beforePick.clipboardHadText) PutClipboardText(g.beforePick.clipboardText.c_str());
    else ClearClipboard();
    g.lastCopy = LastColorCopy{};  // nothing of the pick is still to be copied
  }
}

void StepPointerByKeys(int dx, int dy) {
  ProgramContext& g = *GProgram;
  int x = g.keyPointer.x, y = g.keyPointer.y;
  PointerScreenPosition(&x, &y);
  std::vector<ScreenRect> monitors = MonitorRects();
  g.keyPointer = StepKeyPointer(g.keyPointer, x, y, dx, dy, monitors.data(), (int)monitors.size());
  MovePointerTo(g.keyPointer.x, g.keyPointer.y);
}

void EndKeyboardPick() { GProgram->keyPointer.active = false; }

//-----------------------------------------------------------------------------
// Set-up
//-----------------------------------------------------------------------------

void SetUpKeysAndAccessibility() {
  const ColorWidgets& c = GProgram->controls;
  SetUpAccessibleControls();
  int order[32];
  SetWindowTabOrder(c.wndMain, order, MainTabOrder(c, order, 32));
  PlaceCellMarkers();
}
