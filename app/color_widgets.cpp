// The widget set, canvas sampling, and the one handler of the main window's
// control events, which carries out on the runtime's controls what the
// control table and the drag protocol decide.
#include "app/color_widgets.h"

#include <string>

#include "app/canvas_keys.h"
#include "app/capture_view.h"
#include "app/channel_controls.h"
#include "app/current_color.h"
#include "app/name_list.h"
#include "app/program_context.h"
#include "app/settings_record.h"
#include "app/focus_poll.h"
#include "app/main_controls.h"
#include "app/screen_reader.h"
#include "app/shell.h"
#include "app/swatch_controls.h"
#include "color/color_value.h"
#include "runtime/canvas.h"
#include "runtime/clipboard.h"
#include "runtime/color_dialog.h"
#include "runtime/pointer.h"
#include "runtime/windowing.h"

//-----------------------------------------------------------------------------
// The widget set
//-----------------------------------------------------------------------------

static void RefreshNameListOfWidgets(int color, bool force) {
  RefreshNameList(color, GProgram->controls.lstResults, force, false);
}

void SetColorWidgets(const ColorWidgets& widgets) {
  ProgramContext& g = *GProgram;
  if (g.drag.mouseSlowed) SetSystemMouseSpeed(g.drag.savedMouseSpeed);
  bool dragEnds = g.drag.state != DRAG_IDLE;
  g.drag = CanvasDrag{};
  g.keyRun = KeyRun{};
  g.keyPointer = KeyPointer{};
  if (dragEnds) CopyAtDragEnd();
  g.controls = widgets;
  g.swatchDrawn = RedrawCache{};
  g.channelsDrawn = RedrawCache{};
  g.nameListDrawn = RedrawCache{};
  g.captureMarker = g.paletteMarker = g.historyMarker = CellMarker{};
  g.paletteBoxCount = 0;
  g.valueNotices = ValueNotices{};
  g.noticesHeld = false;
  g.views = ColorViews{RefreshCurrentSwatch, RefreshChannelViews, RefreshNameListOfWidgets, AddToHistory,
                       PutClipboardText, AnnounceColorChange};
  SetClipboardWindow(widgets.wndMain);
}

//-----------------------------------------------------------------------------
// Sampling
//-----------------------------------------------------------------------------

// Read straight from the surface: a move of a drag samples, and a drawing
// context would show the unchanged surface again on every one.
int SampleCanvas(const WindowEvent& e) {
  int width, height;
  if (!CanvasSurfaceSize(e.control, &width, &height) || !SampleCanvasReadsPixel(e.data, width, height))
    return CONFIG.Color;
  return CanvasSurfacePixel(e.control, e.data.pointerX, e.data.pointerY);
}

//-----------------------------------------------------------------------------
// Control events
//-----------------------------------------------------------------------------

static void ChooseColorFromDialog() {
  int chosen;
  if (ChooseSystemColor(GProgram->controls.wndMain, CONFIG.Color, &chosen))
    SetCurrentColor(chosen, SET_COLOR_REFRESH_NAME_LIST | SET_COLOR_ADD_TO_HISTORY);
}

static void CarryOut(const WindowEvent& e, const DragEffects& effects) {
  if (effects.commitPick) {
    CommitPick();
  } else if (effects.setColor) {
    int options = (effects.refreshNameList ? SET_COLOR_REFRESH_NAME_LIST : 0) |
                  (effects.addToHistory ? SET_COLOR_ADD_TO_HISTORY : 0);
    SetCurrentColor(SampleCanvas(e), options);
  }
  if (effects.cursor == DRAG_CURSOR_CROSS) WriteCanvasAttribute(e.control, CursorShape, CURSOR_CROSS);
  if (effects.cursor == DRAG_CURSOR_ARROW) WriteCanvasAttribute(e.control, CursorShape, CURSOR_ARROW);
  if (effects.moveCursorX || effects.moveCursorY) {
    if (GProgram->keyPointer.active) StepPointerByKeys(effects.moveCursorX, effects.moveCursorY);
    else MovePointerBy(effects.moveCursorX, effects.moveCursorY);
  }
  if (effects.setMouseSpeed) SetSystemMouseSpeed(effects.setMouseSpeed);
}

static void DragOnCanvas(const WindowEvent& e, const ControlRoute& route) {
  ProgramContext& g = *GProgram;
  // What else is done on a canvas comes after a strip's key run: its name
  // list and history entry first.
  if (e.type == LeftPressed || (e.type == FocusLost && e.control == g.keyRun.canvas)) SettleKeyRun();
  if (e.type == KeyReleased) NoteCanvasKeyUp(e.control);
  bool underWay = g.drag.state != DRAG_IDLE;
  DragEffects effects = HandleCanvasDrag(&g.drag, e.control, route.drag, e.type, e.data, SystemMouseSpeed);
  bool ends = underWay && g.drag.state == DRAG_IDLE;
  if (effects.keyboardPickStarted) RememberBeforePick();
  g.noticesHeld = ends;  // the end's changes are told once, with it
  // A release's colour is copied as an ordinary one, the drag being over.
  CarryOut(e, effects);
  if (effects.key.kind != KEY_COMMAND_NONE) CarryOutCanvasKey(e.control, route.channel, effects.key);
  if (ends) {
    EndKeyboardPick();
    if (effects.cancelPick) GiveBackPick();
    else CopyAtDragEnd();
    g.noticesHeld = false;
    TellValueChanges(CurrentColorViewBits(), NOTICE_AT_END);
  }
}

static void OnChannelTyped() {
  const ColorWidgets& c = GProgram->controls;
  int color;
  if (ComposeTypedColor(ControlText(c.txtR).c_str(), ControlText(c.txtG).c_str(), ControlText(c.txtB).c_str(), &color))
    SetCurrentColor(color, SET_COLOR_VIEWS_ONLY);
}

// The field shows its channel of the current colour again, without leading
// zeros, and a rejected number gives way.
static void OnChannelLeft(int field) {
  const ColorWidgets& c = GProgram->controls;
  int channel = field == c.txtR ? RedOf(CONFIG.Color) : field == c.txtG ? GreenOf(CONFIG.Color) : BlueOf(CONFIG.Color);
  SetControlText(field, std::to_string(channel).c_str());
}

// A selected row's colour becomes current (`options`: a double-clicked one
// also goes into the history). The list itself stays as it is.
static void OnRowChosen(int options) {
  int color = SelectedNameListColor(GProgram->controls.lstResults);
  if (color >= 0) SetCurrentColor(color, options);
}

void HandleControlEvent(const WindowEvent& e) {
  ControlRoute route = RouteControlEvent(GProgram->controls, e.control, e.type, e.data.keyCode);
  switch (route.action) {
    case ACTION_CANVAS_DRAG: DragOnCanvas(e, route); break;
    case ACTION_COLOR_DIALOG: ChooseColorFromDialog(); break;
    case ACTION_CHANNEL_TYPED: OnChannelTyped(); break;
    case ACTION_CHANNEL_LEFT: OnChannelLeft(e.control); break;
    case ACTION_ROW_SELECTED: OnRowChosen(SET_COLOR_VIEWS_ONLY); break;
    case ACTION_ROW_DOUBLE_CLICKED: OnRowChosen(SET_COLOR_ADD_TO_HISTORY); break;
    case ACTION_OPTIONS_MENU: ShowOptionsMenu(); break;
    case ACTION_NONE: break;
  }
}

void EndLostDrag(const FocusPollAction& action) {
  if (action.releaseCanvas) PostControlEvent(GProgram->controls.wndMain, action.releaseCanvas, LeftReleased);
  if (action.cycleCanvas) {
    DisableControl(action.releaseCanvas, true);
    DisableControl(action.releaseCanvas, false);
  }
}
