// The event loop of the main window: control events handed to the colour
// widgets, the options menu's choices, the two timers, right-click
// collapsing, remembered moves, and the close that saves the settings.
#include "app/shell.h"

#include "app/canvas_keys.h"
#include "app/capture_view.h"
#include "app/color_widgets.h"
#include "app/current_color.h"
#include "app/focus_poll.h"
#include "app/options_menu_items.h"
#include "app/program_context.h"
#include "app/screen_reader.h"
#include "app/settings_record.h"
#include "app/settings_save.h"
#include "app/window_placement.h"
#include "runtime/pointer.h"
#include "runtime/random.h"
#include "runtime/windowing.h"

//-----------------------------------------------------------------------------
// Timers
//-----------------------------------------------------------------------------

static void OnFocusPoll() {
  RetryColorCopy();
  SettleKeyRunWhenDue();
  TellValueChangesNow(0);  // changes told late
  ProgramContext& g = *GProgram;
  FocusPollAction action = DecideFocusPoll(g.drag, ForegroundWindowNumber() == g.controls.wndMain);
  if (action.captureLive) CaptureScreen(true);
  EndLostDrag(action);
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
  SettleKeyRun();  // the keys' last colour goes into the history, as after a pause
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
    // The main window is the program's only window of the runtime's.
    if (!WaitWindowEvent(128, &e) || e.window != window) continue;
    switch ((WindowEventCode)e.code) {
      case Event_Control: HandleControlEvent(e); break;
      case Event_Menu:
        if (e.control == kOptionsMenuNumber) OnOptionsMenu(e.type);
        break;
      case Event_Timer: OnTimer(e.timer); break;
      case Event_RightClick: OnRightClick(e); break;
      case Event_Move: OnMove(); break;
      case Event_Close: ShutDown(); return;
      // Ignored: the window's size is the program's own doing (SetExpanded);
      // activation needs nothing, the focus poll notices a lost foreground;
      // the controls and canvases repaint themselves.
      case Event_SizeWindow:
      case Event_Activate:
      case Event_Repaint:
      case Event_None: break;
    }
  }
}
