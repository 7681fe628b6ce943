// Windows, controls, timers and the event wait of the windowing layer.
// Windows and controls are identified by numbers; positions and sizes are in
// logical units of 1/96 inch and scaled to device pixels on the way out:
// lengths at the window scale, positions of windows on the virtual screen at
// the desktop's (see Display scale).
// Windows only (the header itself does not include windows.h).
#pragma once
#include <stdint.h>

#include <string>
#include <vector>

#include "runtime/event_queue.h"
#include "runtime/screen_parts.h"

const int kAutoNumber = -1;  // ask for a fresh number

//-----------------------------------------------------------------------------
// Display scale
//-----------------------------------------------------------------------------

// Two scales. The window scale converts every length (control rectangles,
// window sizes, fonts, icons, menu positions): it starts as the system's and
// then follows the window that owns it (SetWindowScaleHandler) from monitor
// to monitor. The desktop's scale converts the positions of windows on the
// virtual screen (OpenWindow, WindowX, ResizeWindowTo): the system's at
// start-up, whatever monitor a window stands on, so a stored position means
// the same place at the next start.

// Reads the screen's pixels per inch into both scales; called once at
// start-up (and by tests).
void InitWindowing();
float WindowingScaleX();
float WindowingScaleY();
int WindowingDpiX();  // the window scale in pixels per inch
int WindowingDpiY();
// Logical units to device pixels at the window scale, rounded to nearest;
// and back, floor(v / f + 0.5).
int LogicalToDeviceX(int v);
int LogicalToDeviceY(int v);
int DeviceToLogicalX(int v);
int DeviceToLogicalY(int v);
// Virtual-screen pixels to logical units at the desktop's scale, as window
// positions are given and reported.
int ScreenToLogicalX(int v);
int ScreenToLogicalY(int v);

// Makes the window scale this window's. When the system moves the window to
// a monitor of another scale, or the user changes the scale of its monitor,
// every length converts at the new scale, `handler` lays the window out
// again (fonts, controls, pictures), and the window keeps the size its
// content takes, at the corner the system suggests. A change announced while
// one is applied, or while the window is hidden, is not taken.
void SetWindowScaleHandler(int window, void (*handler)(int window));
// Takes the scale of the monitor the window stands on, as a change would
// (for a window being placed, before it shows); false when the scale is the
// same or the system cannot tell (before Windows 8.1).
bool FollowMonitorScale(int window);

//-----------------------------------------------------------------------------
// Windows
//-----------------------------------------------------------------------------

// Window flags, OR-ed: the values a window description's FLAGS names. Each
// of the three buttons and the sizing border is the title bar with one bit
// more; a window has a title bar unless it is borderless.
const uint32_t Window_ScreenCentered = 0x1;
const uint32_t Window_WindowCentered = 0x2;  // centred on the parent window
const uint32_t Window_Tool = 0x4;             // thin tool-window caption
const uint32_t Window_TitleBar = 0xC00000;
const uint32_t Window_SystemMenu = 0xC80000;
const uint32_t Window_SizeGadget = 0xC40000;
const uint32_t Window_MinimizeGadget = 0xCA0000;
const uint32_t Window_MaximizeGadget = 0xC90000;
const uint32_t Window_Invisible = 0x10000000;
const uint32_t Window_BorderLess = 0x80000000;
const uint32_t Window_NoActivate = 0x2000000;  // showing it does not activate it

// Opens a top-level window whose client area is w x h at (x, y) (outer
// position), owned by `parent` when that is one of ours. Returns its number, or 0.
int OpenWindow(int number, int x, int y, int w, int h, const char* title, uint32_t flags, int parent = 0);
// Centres the window on its parent window (clamped to 0 or more), or on the
// screen's work area when `parent` is 0.
void CenterWindow(int window, int parent);
// Shows a window in its normal state (without activating a no-activate window), or hides it.
void HideWindow(int window, bool hidden);
// Inner sizes the user may resize the window to, in logical units; kIgnore
// leaves a bound as it is.
void SetWindowBounds(int window, int minWidth, int minHeight, int maxWidth, int maxHeight);
void CloseWindow(int window);
void CloseAllWindows();
bool WindowExists(int window);
void* WindowHandle(int window);         // the HWND, or null
int WindowNumberOf(void* hwnd);         // 0 when the handle is not one of ours
void SetWindowSizeHandler(int window, void (*handler)(int window));
// Runs `handler` from within the platform's notice that the user's session
// is ending (log-off, shut-down). The process may be ended as soon as the
// handler returns, so whatever must survive is saved there.
void SetSessionEndHandler(int window, void (*handler)(int window));
// The order in which Tab (and Shift+Tab, backwards) moves the keyboard focus
// between the window's controls, wherever they lie in its tree of
// containers; controls hidden or disabled at the time are passed over. A
// window without one leaves Tab to the platform's dialog navigation.
void SetWindowTabOrder(int window, const int* controls, int count);

// Outer position and inner size, in logical units.
int WindowX(int window);
int WindowY(int window);
int WindowInnerWidth(int window);
int WindowInnerHeight(int window);
int WindowOuterWidth(int window);
int WindowOuterHeight(int window);
// Positions are held within +-1,000,000 device pixels.
void ResizeWindowTo(int window, int x, int y, int innerWidth, int innerHeight);  // kIgnore keeps a value
const int kIgnore = -0x7FFFFFFF;

//-----------------------------------------------------------------------------
// Window behaviour
//-----------------------------------------------------------------------------

void SetWindowTitle(int window, const char* title);
// Keeps the window above every window that does not stay on top, or stops.
void SetWindowStayOnTop(int window, bool onTop);
// Brings the window to the front and gives it the keyboard.
void ActivateWindow(int window);
bool WindowIsMinimized(int window);

// The platform's hiding animations.
enum WindowAnimation {
  ANIMATION_ROLL_RIGHT,  // rolls away from left to right
  ANIMATION_ROLL_UP,     // rolls away from bottom to top
  ANIMATION_SHRINK,      // collapses towards its centre
  ANIMATION_FADE,
};
// Hides the window with the animation, lasting `ms`; where the platform has
// no such animation the window is hidden at once.
void HideWindowAnimated(int window, int animation, int ms);

//-----------------------------------------------------------------------------
// Displays
//-----------------------------------------------------------------------------

// Reads the attached displays (monitors); returns how many there are.
// Display 0 is the primary one.
int ExamineDisplays();
// Where a display lies and its size, as ExamineDisplays found it, in
// virtual-screen pixels: the primary's top-left corner is (0, 0), and a
// display left of or above it has negative coordinates. 0 for a display that
// does not exist.
int DisplayX(int display);
int DisplayY(int display);
int DisplayWidth(int display);
int DisplayHeight(int display);
// The primary monitor's size as the system reports it (its screen metrics),
// in device pixels, whatever the enumeration found; 0 when it reports none.
int PrimaryMonitorWidth();
int PrimaryMonitorHeight();
// The monitors as the system reports them now, in virtual-screen pixels;
// with `reaching`, only those that the rectangle reaches, and of each the
// system may give its part within the rectangle only. Where the system
// counts no monitor at all (some remote and virtual sessions), the primary
// monitor it reports (above) at (0, 0). Read afresh at every call: monitors
// come and go while the program runs.
std::vector<ScreenRect> MonitorRects(const ScreenRect* reaching = nullptr);

//-----------------------------------------------------------------------------
// Events and timers
//-----------------------------------------------------------------------------

// Dispatches the platform's messages until an event of the program's windows
// is pending or `timeoutMs` has passed. Returns the event's code, 0 on timeout.
int WaitWindowEvent(int timeoutMs, WindowEvent* event);
// Queues a control event behind everything the platform has already queued.
void PostControlEvent(int window, int control, int type);
bool AddWindowTimer(int window, int timerId, int periodMs);
// Milliseconds since the system started; wraps around after 49 days, so
// intervals are taken as unsigned differences.
uint32_t TickMs();
void RemoveWindowTimer(int window, int timerId);

//-----------------------------------------------------------------------------
// Controls
//-----------------------------------------------------------------------------

// Kinds of control the windowing layer knows. Kinds decide how a child
// notification becomes an event.
enum ControlKind {
  CONTROL_UNKNOWN = 0,
  CONTROL_CANVAS,
  CONTROL_BUTTON,
  CONTROL_TEXT_FIELD,
  CONTROL_STATIC_TEXT,
  CONTROL_LIST_VIEW,
  CONTROL_CONTAINER,
  CONTROL_FRAME,
  CONTROL_OTHER,
  CONTROL_LIST_BOX,    // single-column list
  CONTROL_COMBO_BOX,
  CONTROL_TREE,
  CONTROL_CHECK_BOX,   // check boxes and option buttons
  CONTROL_DATE,
  CONTROL_SCROLL_BAR,
  CONTROL_TRACK_BAR,
  CONTROL_PANEL,
  CONTROL_SPLITTER,
  CONTROL_SCROLL_AREA,
};

// Enters a created child window as a control of `window` under `number`
// (kAutoNumber for a fresh one); sets it as the child's control id.
// Returns the number, or 0.
int RegisterControl(int number, void* hwnd, int window, int kind);
void ReleaseControl(int control);  // destroys the child window too
bool ControlExists(int control);
void* ControlHandle(int control);
int ControlNumberOf(void* hwnd);
int ControlWindow(int control);
int ControlKindOf(int control);

// Text of a control, UTF-8. Setting it raises no control event.
void SetControlText(int control, const char* text);
std::string ControlText(int control);
void DisableControl(int control, bool disabled);
void HideControl(int control, bool hidden);
void SetControlFont(int control, void* hfont);
// Background and text colours (colour values) of a text field or label, or
// the caption colour of a push button (its background stays the system's);
// -1 for either gives the system's colour back.
void SetControlColors(int control, int background, int text);
// Calls `procedure` from within the message handling whenever the control
// offers an event of `type` (-1: of every type); the event is queued as well.
void BindControlEvent(int control, int type, void (*procedure)(const WindowEvent& event));
// Position and size relative to the parent, in logical units.
void ResizeControl(int control, int x, int y, int w, int h);  // kIgnore keeps a value
int ControlX(int control);
int ControlY(int control);
int ControlWidth(int control);
int ControlHeight(int control);
// The control's outer top-left corner on the screen, in logical units.
int ControlScreenX(int control);
int ControlScreenY(int control);
// The control that has the keyboard focus, 0 when it is none of ours.
int FocusedControl();
// The most characters the user may type into a text field.
void SetTextFieldLimit(int control, int characters);
