// The event loop of the main window: control events routed to the colour
// core, the two timers, right-click collapsing, remembered moves, and the
// close that saves the settings.
#include "app/shell.h"

#include <string>

#include "app/program_context.h"
#include "app/settings_record.h"
#include "app/shell_rules.h"
#include "app/startup.h"
#include "color/color_value.h"
#include "color/current_color.h"
#include "color/name_list.h"
#include "runtime/pointer.h"
#include "runtime/random.h"
#include "runtime/windowing.h"

//-----------------------------------------------------------------------------
// Control events
//-----------------------------------------------------------------------------

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

static void OnControlEvent(const WindowEvent& e) {
  switch (RouteControlEvent(GProgram->controls, e.control, e.type)) {
    case ACTION_CANVAS_DRAG:
    case ACTION_COLOR_DIALOG:
      HandleColorCanvasEvent(e);
      break;
    case ACTION_CHANNEL_TYPED: OnChannelTyped(); break;
    case ACTION_CHANNEL_LEFT: OnChannelLeft(e.control); break;
    case ACTION_ROW_SELECTED: OnRowChosen(SET_COLOR_VIEWS_ONLY); break;
    case ACTION_ROW_DOUBLE_CLICKED: OnRowChosen(SET_COLOR_ADD_TO_HISTORY); break;
    case ACTION_OPTIONS_MENU: ShowOptionsMenu(); break;
    case ACTION_NONE: break;
  }
}

//-----------------------------------------------------------------------------
// Timers
//-----------------------------------------------------------------------------

static void OnFocusPoll() {
  RetryColorCopy();
  ProgramContext& g = *GProgram;
  const ColorWidgets& c = g.controls;
  FocusPollAction action = DecideFocusPoll(g.drag, ForegroundWindowNumber() == c.wndMain);
  if (action.captureLive) CaptureScreen(true);
  if (action.releaseCanvas) PostControlEvent(c.wndMain, action.releaseCanvas, LeftReleased);
  if (action.cycleCanvas) {
    DisableControl(action.releaseCanvas, true);
    DisableControl(action.releaseCanvas, false);
  }
}

static void OnTimer(int timer) {
  if (timer == TimerFocusPoll) {
    OnFocusPoll();
  } else if (timer == TimerSelectorSkin) {
    PaintSelectorSkin();
    RemoveWindowTimer(GProgram->controls.wndMain, TimerSelectorSkin);
  }
}

//-----------------------------------------------------------------------------
// Window behaviour
//-----------------------------------------------------------------------------

// Collapses or expands the window when the right button was released over
// the right-hand panel, its edges included.
static void OnRightClick(const WindowEvent& e) {
  int panel = GProgram->controls.FrameParams;
  if (InsideInclusive(e.data.pointerX, e.data.pointerY, ControlX(panel), ControlY(panel), ControlWidth(panel),
                      ControlHeight(panel)))
    SetExpanded(!CONFIG.WinExpanded, 0);
}

// Minimising parks the window far off the screen; that is no place to open
// it at the next start, so only the positions of a window on show are kept.
static void OnMove() {
  int window = GProgram->controls.wndMain;
  if (WindowIsMinimized(window)) return;
  CONFIG.WinX = WindowX(window);
  CONFIG.WinY = WindowY(window);
}

// Whatever happens to the window, the user's session ending ends the program:
// the settings are saved at once, as on a close, though with nobody to ask.
static void OnSessionEnd(int) { SaveProgramSettings(SAVE_AT_SESSION_END); }

static void ShutDown() {
  int window = GProgram->controls.wndMain;
  static const int kAnimations[5] = {ANIMATION_ROLL_RIGHT, ANIMATION_ROLL_UP, ANIMATION_SHRINK, ANIMATION_FADE, -1};
  int animation = kAnimations[RandomInt(1, 5) - 1];
  if (animation >= 0) HideWindowAnimated(window, animation, 128);
  // A drag still running gives a slowed mouse its speed back.
  SetColorWidgets(ColorWidgets{});
  CloseAllWindows();
  SaveProgramSettings(SAVE_AT_CLOSE);
}

//-----------------------------------------------------------------------------
// The loop
//-----------------------------------------------------------------------------

void RunEventLoop() {
  int window = GProgram->controls.wndMain;
  SetSessionEndHandler(window, OnSessionEnd);
  for (;;) {
    WindowEvent e;
    if (!WaitWindowEvent(128, &e) || e.window != window) continue;
    switch (e.code) {
      case Event_Control: OnControlEvent(e); break;
      case Event_Timer: OnTimer(e.timer); break;
      case Event_RightClick: OnRightClick(e); break;
      case Event_Move: OnMove(); break;
      case Event_Close: ShutDown(); return;
    }
  }
}
