// The colour canvases' keys beyond the drag protocol, their cell markers, and
// what assistive technology is told, on the runtime's controls.
#include "app/canvas_keys.h"

#include <string>
#include <vector>

#include "app/color_widgets.h"
#include "app/current_color.h"
#include "app/program_context.h"
#include "app/settings_record.h"
#include "color/capture.h"
#include "color/color_value.h"
#include "color/named_colors.h"
#include "color/swatch_strips.h"
#include "runtime/accessibility.h"
#include "runtime/canvas.h"
#include "runtime/clipboard.h"
#include "runtime/pointer.h"
#include "runtime/raster.h"
#include "runtime/windowing.h"

//-----------------------------------------------------------------------------
// Cells and their markers
//-----------------------------------------------------------------------------

// The marker of a canvas that has cells, null for others.
static CellMarker* MarkerOf(int canvas) {
  ProgramContext& g = *GProgram;
  const ColorWidgets& c = g.controls;
  if (canvas <= 0) return nullptr;
  if (canvas == c.imgPaletteCapture) return &g.captureMarker;
  if (canvas == c.imgPaletteAuto) return &g.paletteMarker;
  if (canvas == c.imgPaletteHistory) return &g.historyMarker;
  return nullptr;
}

// A cell's rectangle in surface pixels.
struct CellRect {
  int x, y, width, height;
};

// The cells the canvas shows now, in columns and rows, and the rectangle of
// one of them; false when it has none. The capture view's cells are the
// captured pixels, magnified over its surface; the palette's its boxes; the
// history's its 16 boxes.
static bool CellsOf(int canvas, int* columns, int* rows, CellMarker cell, CellRect* rect) {
  const ProgramContext& g = *GProgram;
  const ColorWidgets& c = g.controls;
  int width, height;
  if (!MarkerOf(canvas) || !CanvasSurfaceSize(canvas, &width, &height)) return false;
  *rows = 1;
  if (canvas == c.imgPaletteCapture) {
    CaptureDims size = CaptureSize(ControlWidth(canvas), ControlHeight(canvas));
    *columns = size.width;
    *rows = size.height;
    if (cell.column >= size.width || cell.row >= size.height) return false;
    RasterScaledSpan(cell.column, size.width, width, &rect->x, &rect->width);
    RasterScaledSpan(cell.row, size.height, height, &rect->y, &rect->height);
    return rect->width > 0 && rect->height > 0;
  }
  SwatchBox history[kRecentColorCount];
  const SwatchBox* boxes = history;
  if (canvas == c.imgPaletteHistory) {
    *columns = LayoutHistoryBoxes(CONFIG.ColorRecent, width, history);
  } else {
    // The palette's boxes that show: with 33 colours the last may lie past the strip.
    boxes = g.paletteBoxes;
    *columns = 0;
    while (*columns < g.paletteBoxCount && g.paletteBoxes[*columns].x < width) ++*columns;
  }
  if (cell.column >= *columns) return false;
  *rect = CellRect{boxes[cell.column].x, 0, boxes[cell.column].width, height};
  // A box may reach past the strip (the palette's 33rd): its visible part.
  if (rect->x + rect->width > width) rect->width = width - rect->x;
  return rect->width > 0;
}

// The marked cell's colour, as a click in its middle takes it; -1 for none.
static int MarkedColor(int canvas) {
  const CellMarker* marker = MarkerOf(canvas);
  int columns, rows;
  CellRect cell;
  if (!marker || !CellsOf(canvas, &columns, &rows, *marker, &cell)) return -1;
  return CanvasSurfacePixel(canvas, cell.x + cell.width / 2, cell.y + cell.height / 2);
}

void ShowCellMarker(int canvas) {
  CellMarker* marker = MarkerOf(canvas);
  if (!marker) return;
  int columns = 0, rows = 0, width = 0, height = 0, x = 0, y = 0, w = 0, h = 0;
  CellRect cell;
  CellsOf(canvas, &columns, &rows, CellMarker{0, 0}, &cell);
  *marker = MoveCellMarker(*marker, CanvasKeyCommand{}, columns, rows);  // held within fewer cells
  bool framed = CellsOf(canvas, &columns, &rows, *marker, &cell) && CanvasSurfaceSize(canvas, &width, &height) &&
                CellMarkerFrame(cell.x, cell.y, cell.width, cell.height, width, height, &x, &y, &w, &h);
  if (framed) SetCanvasMarker(canvas, x, y, w, h);
  else SetCanvasMarker(canvas, 0, 0, 0, 0);
}

//-----------------------------------------------------------------------------
// Keys
//-----------------------------------------------------------------------------

static int ChannelOf(int color, int channel) { return (color >> (8 * channel)) & 0xFF; }

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
      if (CellMarker* marker = MarkerOf(canvas)) {
        int columns = 0, rows = 0;
        CellRect cell;
        CellsOf(canvas, &columns, &rows, CellMarker{0, 0}, &cell);
        CellMarker moved = MoveCellMarker(*marker, command, columns, rows);
        if (moved.column == marker->column && moved.row == marker->row) break;
        *marker = moved;
        ShowCellMarker(canvas);
        TellValueChanges(MainControlBit(GProgram->controls, canvas), NOTICE_ON_CHANGE);
      }
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

bool PickPointerPosition(int* x, int* y) {
  if (!PointerScreenPosition(x, y)) return false;
  const KeyPointer& keys = GProgram->keyPointer;
  if (keys.active) KeyPointerPlace(keys, *x, *y, x, y);
  return true;
}

//-----------------------------------------------------------------------------
// What a screen reader is told
//-----------------------------------------------------------------------------

static std::string SpokenColorOf(int color) {
  return SpokenColor(color, CONFIG.ColorFormat, CONFIG.ColorFormatLCase);
}

// A strip's value is its channel's number; the swatch's and the picker's the
// current colour with its nearest name; a cell canvas's its marked colour.
static std::string SpokenValueOf(int control) {
  const ColorWidgets& c = GProgram->controls;
  int channel = RouteControlEvent(c, control, KeyPressed).channel;
  if (channel >= 0) return std::to_string(ChannelOf(CONFIG.Color, channel));
  if (MarkerOf(control)) {
    int color = MarkedColor(control);
    return color < 0 ? std::string() : SpokenColorOf(color);
  }
  return SpokenColorOf(CONFIG.Color);
}

void SetUpKeysAndAccessibility() {
  ProgramContext& g = *GProgram;
  const ColorWidgets& c = g.controls;
  for (int i = 0; i < kMainControlCount; i++) {
    const MainControlRow& row = kMainControls[i];
    // The canvases show values of the program's; the native controls say their own.
    bool canvas = row.drag.role != DRAG_IDLE || row.drag.idleKeys != CANVAS_KEYS_NONE;
    if (row.spoken) SetControlAccessible(c.*row.control, row.spoken, row.role, canvas ? SpokenValueOf : nullptr);
  }
  int order[32];
  SetWindowTabOrder(c.wndMain, order, MainTabOrder(c, order, 32));
  CaptureDims size = CaptureSize(ControlWidth(c.imgPaletteCapture), ControlHeight(c.imgPaletteCapture));
  g.captureMarker = CellMarker{size.width / 2, size.height / 2};  // the picked pixel
  g.paletteMarker = g.historyMarker = CellMarker{0, 0};
  for (int canvas : {c.imgPaletteCapture, c.imgPaletteAuto, c.imgPaletteHistory}) ShowCellMarker(canvas);
}

uint32_t CurrentColorViewBits() {
  const ColorWidgets& c = GProgram->controls;
  uint32_t bits = 0;
  for (int control : {c.imgPaletteCurrent, c.cmdSelector, c.imgPaletteR, c.imgPaletteG, c.imgPaletteB})
    bits |= MainControlBit(c, control);
  return bits;
}

void TellValueChanges(uint32_t changed, ValueNoticeMoment moment) {
  ProgramContext& g = *GProgram;
  if (g.noticesHeld && moment != NOTICE_AT_END) moment = NOTICE_GATHER;
  uint32_t due = ValueNoticesDue(&g.valueNotices, changed, moment, TickMs());
  for (int i = 0; i < kMainControlCount; i++)
    if (due & (1u << i)) NotifyAccessibleValueChanged(g.controls.*kMainControls[i].control);
}

void TellValueChangesNow(uint32_t changed) {
  TellValueChanges(changed, ColorChangesLive() ? NOTICE_LIVE : NOTICE_ON_CHANGE);
}

void AnnounceColorChange(bool live) { TellValueChanges(CurrentColorViewBits(), live ? NOTICE_LIVE : NOTICE_ON_CHANGE); }
