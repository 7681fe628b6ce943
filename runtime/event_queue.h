// The windowing layer's queue of window events, and the event codes the
// program sees. No operating system here: the Win32 side offers events to
// this queue and the event loop takes them out in arrival order.
#pragma once

// Window event codes. Event codes, control event types, canvas attributes
// and creation flags are all spelled alike: words in capitals, and a flag or
// code with its kind before an underscore (Event_Control, Canvas_Border,
// Window_Invisible); the numbers are the ones descriptions and handlers know.
enum WindowEventCode {
  Event_None = 0,
  Event_Control = 13100,     // a control reported an event (control, type)
  Event_Menu = 13101,        // a menu item was chosen
  Event_SizeWindow = 13102,  // the window changed size
  Event_Activate = 13104,    // the window became active
  Event_Repaint = 13105,     // the window needs repainting
  Event_Timer = 13110,       // a window timer fired (timer)
  Event_RightClick = 13111,  // right button released over the window or a container (pointer)
  Event_Close = 13116,       // the user asked to close the window
  Event_Move = 13117,        // the window moved
};

// Control event types carried by Event_Control. The canvas events use the
// codes 0x10001.. and share the click, resize and focus codes below.
enum CanvasEvent {
  LeftClicked = 0,
  RightClicked = 1,
  LeftDoubleClicked = 2,
  RightDoubleClicked = 3,
  Resized = 6,
  Changed = 768,  // text fields: the user changed the text; lists: the selection changed
  FocusGained = 14000,
  FocusLost = 14001,
  DragStarted = 14002,
  PointerEntered = 0x10001,
  PointerLeft = 0x10002,
  PointerMoved = 0x10003,
  LeftPressed = 0x10004,
  LeftReleased = 0x10005,
  RightPressed = 0x10006,
  RightReleased = 0x10007,
  MiddlePressed = 0x10008,
  MiddleReleased = 0x10009,
  WheelTurned = 0x1000A,
  KeyPressed = 0x1000B,
  KeyReleased = 0x1000C,
  CharTyped = 0x1000D,
};

// The input snapshot a canvas event carries; all 0 for other events but the
// right-click, whose pointer is where the button was released, in logical
// units of the window's client area (-1 on an axis outside it).
struct CanvasEventData {
  int pointerX, pointerY;  // canvas events: client device pixels, from the message position
  int buttonMask;          // left 1, right 2, middle 4, at handling time
  int keyCode;             // virtual-key code
  int modifierMask;        // Shift 1, Alt 2, Control 4
  int wheelSteps;
  int typedChar;           // UTF-16 code unit
};

struct WindowEvent {
  int code;     // WindowEventCode
  int window;   // window number
  int control;  // control number (Event_Control), menu number (Event_Menu), else 0
  int type;     // control event type (Event_Control), menu item (Event_Menu), else 0
  int timer;    // timer id (Event_Timer), else 0
  CanvasEventData data;
};

// Offers an event to the queue. A control event offered while the program
// itself is setting a control's text is dropped. An event equal to the most
// recent pending one (code, window, control or timer, type) is not queued
// again; the pending entry takes the newer event's data, so a handler never
// sees a pointer position the pointer has already left.
// At most 4096 events wait; a new one then makes room by dropping, first,
// the oldest pending event that an equal one pending after it supersedes
// (what coalescing merges), else the oldest pending one. Button releases and
// close requests are never dropped: when only they are pending, a new event
// of another kind is refused, and a release or close is queued beyond the
// bound (they come at the pace of the user's hands).
// Returns true when the event was queued or merged.
bool OfferWindowEvent(const WindowEvent& event);

// Takes the oldest pending event, which becomes the current event; false
// when none is pending.
bool TakeWindowEvent(WindowEvent* event);

// The event being handled: the one taken last, or the one a
// bound canvas handler is running for. Canvas attributes read their event
// data from it. Null when none (set null once the event has been handled).
const WindowEvent* CurrentWindowEvent();
void SetCurrentWindowEvent(const WindowEvent* event);

int PendingWindowEventCount();
void ClearWindowEvents();

// Brackets the program's own change of a control's text.
void BeginProgramTextChange();
void EndProgramTextChange();
bool ProgramTextChangeActive();
