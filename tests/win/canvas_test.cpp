// The canvas control with real messages and real input (SendInput with the
// system cursor placed over the canvas).
#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

#include "runtime/canvas.h"
#include "runtime/drawing.h"
#include "runtime/images.h"
#include "runtime/windowing.h"
#include "tests/win/input.h"
#include "tests/win/screen.h"

namespace {

HWND HandleOf(int control) { return (HWND)ControlHandle(control); }

RECT ScreenClientRect(int control) {
  RECT r;
  GetClientRect(HandleOf(control), &r);
  MapWindowPoints(HandleOf(control), HWND_DESKTOP, (POINT*)&r, 2);
  return r;
}

::testing::AssertionResult SameRect(const RECT& a, const RECT& b) {
  if (a.left == b.left && a.top == b.top && a.right == b.right && a.bottom == b.bottom)
    return ::testing::AssertionSuccess();
  return ::testing::AssertionFailure() << a.left << "," << a.top << "," << a.right << "," << a.bottom << " vs "
                                       << b.left << "," << b.top << "," << b.right << "," << b.bottom;
}

RECT WholeScreen() { return RECT{0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)}; }

std::vector<int> Only(const std::vector<WindowEvent>& events, std::initializer_list<int> types) {
  std::vector<int> kept;
  for (const WindowEvent& e : events)
    if (std::find(types.begin(), types.end(), e.type) != types.end()) kept.push_back(e.type);
  return kept;
}

const std::initializer_list<int> kButtonEvents = {
    LeftPressed, LeftReleased, LeftClicked, LeftDoubleClicked, RightPressed, RightReleased,
    RightClicked, RightDoubleClicked, MiddlePressed, MiddleReleased};

}  // namespace

class CanvasTest : public ::testing::Test {
 protected:
  void SetUp() override {
    InitWindowing();
    ClearWindowEvents();
    window_ = OpenWindow(kAutoNumber, 100, 100, 400, 300, "Canvas", Window_SystemMenu);
    ASSERT_GT(window_, 0);
    // Moving the pointer by program needs the window in front; on a busy
    // machine activation can take a moment.
    HWND hwnd = (HWND)WindowHandle(window_);
    SetForegroundWindow(hwnd);
    WindowEvent e;
    for (DWORD start = GetTickCount(); GetForegroundWindow() != hwnd && GetTickCount() - start < 5000;)
      WaitWindowEvent(10, &e);
    ClearWindowEvents();
  }
  void TearDown() override {
    ReleaseHeldInput();
    CloseAllWindows();
    ClipCursor(nullptr);
  }

  // A new canvas with the pointer on it and a button pressed there, once the
  // press event has come.
  int PressOnNewCanvas(int flags, DWORD press, int pressEvent) {
    int canvas = CreateCanvas(kAutoNumber, window_, 20, 20, 100, 60, flags);
    EXPECT_TRUE(PointAt(canvas, 10, 10));
    SendMouse({press});
    EventsUntil(canvas, pressEvent);
    return canvas;
  }

  // Dispatches messages until `control` has raised `last` (`count` times),
  // at most for 5 s; returns that control's events, including those its last
  // message raised after `last`.
  std::vector<WindowEvent> EventsUntil(int control, int last, int count = 1) {
    std::vector<WindowEvent> events;
    DWORD start = GetTickCount();
    WindowEvent e;
    while (count > 0 && GetTickCount() - start < 5000)
      if (WaitWindowEvent(50, &e) == Event_Control && e.control == control) {
        events.push_back(e);
        if (e.type == last) count--;
      }
    EXPECT_EQ(count, 0) << "event " << last << " did not come";
    while (TakeWindowEvent(&e))
      if (e.code == Event_Control && e.control == control) events.push_back(e);
    return events;
  }

  int window_ = 0;
};

//-----------------------------------------------------------------------------
// Surface
//-----------------------------------------------------------------------------

static int SurfaceSize(int canvas, int* height) {
  BeginDrawing(CanvasTarget(canvas));
  int width = SurfaceWidth();
  *height = SurfaceHeight();
  EndDrawing();
  return width;
}

TEST_F(CanvasTest, SurfaceIsTheClientAreaAtLeastOnePixel) {
  const struct {
    int w, h, flags, surfaceW, surfaceH;
  } cases[] = {
      {100, 50, Canvas_Border, 96, 46},
      {100, 50, 0, 100, 50},
      {3, 2, Canvas_Border, 1, 1},
      {0, 0, 0, 1, 1},
  };
  for (const auto& c : cases) {
    int canvas = CreateCanvas(kAutoNumber, window_, 10, 10, c.w, c.h, c.flags);
    ASSERT_GT(canvas, 0);
    EXPECT_TRUE(IsCanvas(canvas));
    EXPECT_EQ(ControlKindOf(canvas), CONTROL_CANVAS);
    int height, width = SurfaceSize(canvas, &height);
    EXPECT_EQ(width, c.surfaceW) << c.w << " x " << c.h << " flags " << c.flags;
    EXPECT_EQ(height, c.surfaceH);
    BITMAP bm;
    ASSERT_TRUE(GetObjectW((HBITMAP)ReadCanvasAttribute(canvas, SurfaceImage), sizeof bm, &bm));
    EXPECT_EQ(bm.bmBitsPixel, 24);
    EXPECT_EQ(bm.bmWidth, c.surfaceW);
    ReleaseControl(canvas);
  }
  EXPECT_EQ(CreateCanvas(kAutoNumber, 999, 0, 0, 10, 10, 0), 0);  // no such window
}

TEST_F(CanvasTest, ResizingKeepsThePictureAndBackgroundWipesIt) {
  int canvas = CreateCanvas(kAutoNumber, window_, 10, 10, 24, 14, Canvas_Border);
  EXPECT_EQ(CanvasBackground(canvas), -1);
  ASSERT_TRUE(BeginDrawing(CanvasTarget(canvas)));
  FillBox(0, 0, 20, 10, 0x0000FF);
  WritePixel(19, 9, 0x00FF00);
  EndDrawing();

  ResizeControl(canvas, kIgnore, kIgnore, 44, 24);  // surface 40 x 20
  EXPECT_EQ(EventsUntil(canvas, Resized).back().type, Resized);
  ASSERT_TRUE(BeginDrawing(CanvasTarget(canvas)));
  EXPECT_EQ(SurfaceWidth(), 40);
  EXPECT_EQ(ReadPixel(0, 0), 0x0000FF);
  EXPECT_EQ(ReadPixel(19, 9), 0x00FF00);
  EXPECT_EQ(ReadPixel(20, 9), 0xFFFFFF);  // new area: white without a background colour
  EXPECT_EQ(ReadPixel(39, 19), 0xFFFFFF);
  EndDrawing();

  SetCanvasBackground(canvas, 0x112233);
  EXPECT_EQ(CanvasBackground(canvas), 0x112233);
  ASSERT_TRUE(BeginDrawing(CanvasTarget(canvas)));
  EXPECT_EQ(ReadPixel(0, 0), 0x112233);  // the picture is gone
  EXPECT_EQ(ReadPixel(39, 19), 0x112233);
  WritePixel(1, 1, 0);
  EndDrawing();

  ResizeControl(canvas, kIgnore, kIgnore, 14, 64);  // narrower and taller: 10 x 60
  ASSERT_TRUE(BeginDrawing(CanvasTarget(canvas)));
  EXPECT_EQ(SurfaceWidth(), 10);
  EXPECT_EQ(SurfaceHeight(), 60);
  EXPECT_EQ(ReadPixel(1, 1), 0);
  EXPECT_EQ(ReadPixel(5, 59), 0x112233);  // new area in the background colour
  EndDrawing();
}

TEST_F(CanvasTest, SurfacePixelsAreReadWithoutADrawingContext) {
  int canvas = CreateCanvas(kAutoNumber, window_, 10, 10, 44, 24, Canvas_Border);
  ASSERT_TRUE(BeginDrawing(CanvasTarget(canvas)));
  FillBox(0, 0, 40, 20, 0x123456);
  WritePixel(39, 19, 0xABCDEF);
  EndDrawing();
  int width = 0, height = 0;
  ASSERT_TRUE(CanvasSurfaceSize(canvas, &width, &height));
  EXPECT_EQ(width, 40);
  EXPECT_EQ(height, 20);
  EXPECT_EQ(CanvasSurfacePixel(canvas, 0, 0), 0x123456);
  EXPECT_EQ(CanvasSurfacePixel(canvas, 39, 19), 0xABCDEF);
  for (POINT outside : {POINT{-1, 0}, POINT{0, -1}, POINT{40, 0}, POINT{0, 20}})
    EXPECT_EQ(CanvasSurfacePixel(canvas, outside.x, outside.y), -1);

  // Also while a drawing context is open, on this canvas or elsewhere.
  int image = CreatePixelImage(kAutoNumber, 2, 2, 24, 0);
  ASSERT_TRUE(BeginDrawing(ImageTarget(image)));
  EXPECT_EQ(CanvasSurfacePixel(canvas, 39, 19), 0xABCDEF);
  EndDrawing();
  ReleaseImage(image);
  HDC dc = (HDC)BeginDrawing(CanvasTarget(canvas));
  ASSERT_NE(dc, nullptr);
  RECT corner = {0, 0, 1, 1};
  HBRUSH brush = CreateSolidBrush(RGB(1, 2, 3));
  FillRect(dc, &corner, brush);  // platform drawing on its way to the pixels
  DeleteObject(brush);
  EXPECT_EQ(CanvasSurfacePixel(canvas, 0, 0), ComposeColor(1, 2, 3));
  EndDrawing();

  // Not a canvas.
  int field = RegisterControl(kAutoNumber, CreateWindowExW(0, L"EDIT", L"", WS_CHILD, 0, 0, 10, 10,
                                                           (HWND)WindowHandle(window_), nullptr, nullptr, nullptr),
                              window_, CONTROL_TEXT_FIELD);
  for (int control : {field, 4711}) {
    EXPECT_FALSE(CanvasSurfaceSize(control, &width, &height));
    EXPECT_EQ(CanvasSurfacePixel(control, 0, 0), -1);
  }
}

//-----------------------------------------------------------------------------
// Mouse buttons, capture and confinement
//-----------------------------------------------------------------------------

TEST_F(CanvasTest, DoubleClickSequence) {
  int canvas = CreateCanvas(kAutoNumber, window_, 20, 20, 100, 60, Canvas_Keyboard);
  ASSERT_TRUE(PointAt(canvas, 30, 30));
  SendMouse({MOUSEEVENTF_LEFTDOWN, MOUSEEVENTF_LEFTUP, MOUSEEVENTF_LEFTDOWN, MOUSEEVENTF_LEFTUP});
  std::vector<WindowEvent> events = EventsUntil(canvas, LeftClicked, 2);
  EXPECT_EQ(Only(events, kButtonEvents),
            (std::vector<int>{LeftPressed, LeftReleased, LeftClicked, LeftPressed, LeftDoubleClicked,
                              LeftReleased, LeftClicked}));
  // The press gave the keyboard canvas the focus first.
  ASSERT_FALSE(events.empty());
  EXPECT_EQ(Only(events, {FocusGained, LeftPressed})[0], FocusGained);
  EXPECT_EQ(GetFocus(), HandleOf(canvas));
  EXPECT_EQ(GetCapture(), nullptr);
}

TEST_F(CanvasTest, RightPressKeepsTheCaptureThroughALeftClick) {
  int canvas = PressOnNewCanvas(0, MOUSEEVENTF_RIGHTDOWN, RightPressed);
  EXPECT_EQ(GetCapture(), HandleOf(canvas));
  SendMouse({MOUSEEVENTF_LEFTDOWN, MOUSEEVENTF_LEFTUP});
  std::vector<WindowEvent> left = EventsUntil(canvas, LeftClicked);
  EXPECT_EQ(Only(left, kButtonEvents), (std::vector<int>{LeftPressed, LeftReleased, LeftClicked}));
  EXPECT_EQ(left.back().data.buttonMask, 2);  // the right button is still down
  EXPECT_EQ(GetCapture(), HandleOf(canvas));
  SendMouse({MOUSEEVENTF_RIGHTUP});
  EXPECT_EQ(Only(EventsUntil(canvas, RightReleased), kButtonEvents),
            (std::vector<int>{RightReleased, RightClicked}));
  EXPECT_EQ(GetCapture(), nullptr);
}

TEST_F(CanvasTest, ReleaseOutsideWithoutClipMouseIsNoClick) {
  int canvas = PressOnNewCanvas(0, MOUSEEVENTF_LEFTDOWN, LeftPressed);
  EXPECT_EQ(ReadCanvasAttribute(canvas, MouseClip), 0);
  ASSERT_TRUE(PointAt(canvas, 250, 200));  // free to leave: no confinement
  POINT p;
  GetCursorPos(&p);
  ScreenToClient(HandleOf(canvas), &p);
  EXPECT_EQ(p.x, 250);
  SendMouse({MOUSEEVENTF_LEFTUP});
  std::vector<WindowEvent> events = EventsUntil(canvas, LeftReleased);
  EXPECT_EQ(Only(events, kButtonEvents), (std::vector<int>{LeftReleased}));
  EXPECT_EQ(events.back().data.pointerX, 250);  // captured: the position may lie outside
  EXPECT_EQ(events.back().data.pointerY, 200);
}

// The click test takes the release's client position against the outer size
// from the client origin: on a bordered canvas 100 wide (client 96) a release
// at x = -1 is none, one at 99 is a click, one at 100 is none.
TEST_F(CanvasTest, ClickAreaIsTheOuterSizeFromTheClientOrigin) {
  const struct {
    int x, y;
    bool click;
  } releases[] = {{-1, 10, false}, {0, 0, true},   {99, 10, true}, {100, 10, false},
                  {10, 59, true},  {10, 60, false}, {10, -1, false}};
  for (const auto& k : releases) {
    SCOPED_TRACE(testing::Message() << "release at " << k.x << "," << k.y);
    int canvas = PressOnNewCanvas(Canvas_Border, MOUSEEVENTF_LEFTDOWN, LeftPressed);
    ASSERT_TRUE(PointAt(canvas, k.x, k.y));
    SendMouse({MOUSEEVENTF_LEFTUP});
    std::vector<WindowEvent> events = EventsUntil(canvas, LeftReleased);
    EXPECT_EQ(events.back().data.pointerX, k.x);
    EXPECT_EQ(Only(events, kButtonEvents),
              k.click ? (std::vector<int>{LeftReleased, LeftClicked}) : (std::vector<int>{LeftReleased}));
    ReleaseControl(canvas);
  }
}

TEST_F(CanvasTest, PointerConfinedWhileTheButtonIsHeld) {
  int canvas = PressOnNewCanvas(Canvas_ClipMouse | Canvas_Border, MOUSEEVENTF_LEFTDOWN, LeftPressed);
  RECT clip;
  GetClipCursor(&clip);
  EXPECT_TRUE(SameRect(clip, ScreenClientRect(canvas)));
  EXPECT_EQ(ReadCanvasAttribute(canvas, MouseClip), 1);
  ASSERT_TRUE(PointAt(canvas, 300, -50));  // cannot get out
  POINT p;
  GetCursorPos(&p);
  EXPECT_TRUE(PtInRect(&clip, p));

  SendMouse({MOUSEEVENTF_LEFTUP});
  EXPECT_EQ(Only(EventsUntil(canvas, LeftReleased), kButtonEvents), (std::vector<int>{LeftReleased, LeftClicked}));
  GetClipCursor(&clip);
  EXPECT_TRUE(SameRect(clip, WholeScreen()));
  EXPECT_EQ(ReadCanvasAttribute(canvas, MouseClip), 0);
  EXPECT_EQ(GetCapture(), nullptr);
  ASSERT_TRUE(PointAt(canvas, 300, -50));
  GetCursorPos(&p);
  POINT expected = {300, -50};
  ClientToScreen(HandleOf(canvas), &expected);
  EXPECT_EQ(p.x, expected.x);
  EXPECT_EQ(p.y, expected.y);
}

TEST_F(CanvasTest, DisablingEndsCaptureAndConfinement) {
  int canvas = PressOnNewCanvas(Canvas_ClipMouse, MOUSEEVENTF_LEFTDOWN, LeftPressed);
  ASSERT_EQ(GetCapture(), HandleOf(canvas));
  DisableControl(canvas, true);
  DisableControl(canvas, false);
  EXPECT_EQ(GetCapture(), nullptr);
  EXPECT_EQ(ReadCanvasAttribute(canvas, MouseClip), 0);
  RECT clip;
  GetClipCursor(&clip);
  EXPECT_TRUE(SameRect(clip, WholeScreen()));
  // The release that follows is no click: the drag had already ended.
  SendMouse({MOUSEEVENTF_LEFTUP});
  EXPECT_EQ(Only(EventsUntil(canvas, LeftReleased), kButtonEvents), (std::vector<int>{LeftReleased}));
}

TEST_F(CanvasTest, MouseClipAttributeHasOneOwner) {
  int first = CreateCanvas(kAutoNumber, window_, 10, 10, 50, 50, 0);
  int second = CreateCanvas(kAutoNumber, window_, 100, 10, 50, 50, 0);
  WriteCanvasAttribute(first, MouseClip, 1);
  EXPECT_EQ(ReadCanvasAttribute(first, MouseClip), 1);
  WriteCanvasAttribute(second, MouseClip, 1);  // takes the confinement over
  EXPECT_EQ(ReadCanvasAttribute(first, MouseClip), 0);
  EXPECT_EQ(ReadCanvasAttribute(second, MouseClip), 1);
  EXPECT_EQ(GetCapture(), HandleOf(second));
  RECT clip;
  GetClipCursor(&clip);
  EXPECT_TRUE(SameRect(clip, ScreenClientRect(second)));
  WriteCanvasAttribute(first, MouseClip, 0);  // not the owner: nothing changes
  EXPECT_EQ(ReadCanvasAttribute(second, MouseClip), 1);
  ReleaseControl(second);  // a released owner frees the pointer
  GetClipCursor(&clip);
  EXPECT_TRUE(SameRect(clip, WholeScreen()));
}

//-----------------------------------------------------------------------------
// Wheel and keys
//-----------------------------------------------------------------------------

TEST_F(CanvasTest, WheelStepsComeFromTheSharedAccumulator) {
  int canvas = CreateCanvas(kAutoNumber, window_, 20, 20, 100, 60, 0);
  int other = CreateCanvas(kAutoNumber, window_, 150, 20, 100, 60, 0);
  WindowEvent e;
  while (WaitWindowEvent(0, &e)) {
  }
  // Each delta as a real message; after each, the events it raised (if any).
  const struct {
    int control, delta, steps;  // steps 0: no event
  } turns[] = {
      {canvas, 40, 0}, {canvas, 40, 0}, {canvas, 40, 1},  // one step on the third
      {canvas, -250, -2},                                   // -10 left pending
      {other, 125, 0},                                      // shared: 115
      {other, 5, 1},
  };
  for (const auto& t : turns) {
    SendMessageW(HandleOf(t.control), WM_MOUSEWHEEL, MAKEWPARAM(0, (WORD)(short)t.delta), 0);
    std::vector<int> steps;
    while (TakeWindowEvent(&e)) {
      EXPECT_EQ(e.type, WheelTurned);
      EXPECT_EQ(e.control, t.control);
      steps.push_back(e.data.wheelSteps);
    }
    EXPECT_EQ(steps, t.steps ? std::vector<int>{t.steps} : std::vector<int>{}) << "delta " << t.delta;
  }
}

TEST_F(CanvasTest, EnterAndBackspaceAreKeysWithoutCharacters) {
  int canvas = CreateCanvas(kAutoNumber, window_, 20, 20, 100, 60, Canvas_Keyboard);
  int plain = CreateCanvas(kAutoNumber, window_, 150, 20, 100, 60, 0);
  EXPECT_FALSE(FocusCanvas(plain));  // only keyboard canvases take the focus
  ASSERT_TRUE(FocusCanvas(canvas));
  SendKeys({{VK_RETURN, false}, {VK_RETURN, true}, {VK_BACK, false}, {VK_BACK, true},
            {VK_LEFT, false}, {VK_LEFT, true}, {'A', false}, {'A', true}});
  std::vector<WindowEvent> events = EventsUntil(canvas, KeyReleased, 4);
  std::vector<int> keys, chars;
  for (const WindowEvent& e : events) {
    if (e.type == KeyPressed) keys.push_back(e.data.keyCode);
    if (e.type == KeyReleased) keys.push_back(-e.data.keyCode);
    if (e.type == CharTyped) chars.push_back(e.data.typedChar);
  }
  EXPECT_EQ(keys, (std::vector<int>{VK_RETURN, -VK_RETURN, VK_BACK, -VK_BACK, VK_LEFT, -VK_LEFT, 'A', -'A'}));
  EXPECT_EQ(chars, std::vector<int>{'a'});
  EXPECT_EQ(GetFocus(), HandleOf(canvas));  // the arrow did not move the focus away
}

//-----------------------------------------------------------------------------
// Event data, attributes and the queue
//-----------------------------------------------------------------------------

static int g_handlerCalls = 0;
static int g_handlerPointerX = 0;
static void RecordPress(int canvas, int event) {
  if (event != LeftPressed) return;
  g_handlerCalls++;
  g_handlerPointerX = (int)ReadCanvasAttribute(canvas, PointerX);
}

// A procedure bound to the control's events, as a window description binds one.
static int g_boundCalls = 0;
static int g_boundPointerX = 0, g_boundButtons = 0;
static void RecordBoundPress(const WindowEvent& event) {
  g_boundCalls++;
  g_boundPointerX = (int)ReadCanvasAttribute(event.control, PointerX);
  g_boundButtons = (int)ReadCanvasAttribute(event.control, ButtonMask);
}

TEST_F(CanvasTest, EventDataAnswersOnlyForTheCanvasOwnEvent) {
  int canvas = CreateCanvas(kAutoNumber, window_, 20, 20, 100, 60, Canvas_Border);
  int other = CreateCanvas(kAutoNumber, window_, 150, 20, 100, 60, 0);
  BindCanvasHandler(canvas, RecordPress);
  BindControlEvent(canvas, LeftPressed, RecordBoundPress);
  g_handlerCalls = 0;
  g_boundCalls = 0;
  ASSERT_TRUE(PointAt(canvas, 33, 17));
  SendKeys({{VK_SHIFT, false}});
  SendMouse({MOUSEEVENTF_LEFTDOWN});
  WindowEvent e;
  DWORD start = GetTickCount();
  while (GetTickCount() - start < 5000)
    if (WaitWindowEvent(50, &e) == Event_Control && e.control == canvas && e.type == LeftPressed) break;
  ASSERT_EQ(e.type, LeftPressed);
  // The bound handler and the bound procedure ran at once, with this event current.
  EXPECT_EQ(g_handlerCalls, 1);
  EXPECT_EQ(g_handlerPointerX, 33);
  EXPECT_EQ(g_boundCalls, 1);
  EXPECT_EQ(g_boundPointerX, 33);
  EXPECT_EQ(g_boundButtons, 1);
  // The taken event is current now: its data reads as attributes of its canvas only.
  EXPECT_EQ(ReadCanvasAttribute(canvas, PointerX), 33);  // client pixels, inside the border
  EXPECT_EQ(ReadCanvasAttribute(canvas, PointerY), 17);
  EXPECT_EQ(ReadCanvasAttribute(canvas, ButtonMask), 1);
  EXPECT_EQ(ReadCanvasAttribute(canvas, ModifierMask), 1);
  EXPECT_EQ(ReadCanvasAttribute(other, PointerX), 0);
  for (int attribute : {0, 12, -1, 1000}) EXPECT_EQ(ReadCanvasAttribute(canvas, attribute), 0);
  EXPECT_EQ(ReadCanvasAttribute(4711, PointerX), 0);
  WriteCanvasAttribute(canvas, 12, 1);  // ignored
  SendMouse({MOUSEEVENTF_LEFTUP});
  SendKeys({{VK_SHIFT, true}});
  EventsUntil(canvas, LeftReleased);
  PostControlEvent(window_, other, LeftClicked);  // another canvas's event is current now
  EXPECT_EQ(EventsUntil(other, LeftClicked).back().control, other);
  EXPECT_EQ(ReadCanvasAttribute(canvas, PointerX), 0);
  while (WaitWindowEvent(0, &e)) {
  }
  EXPECT_EQ(CurrentWindowEvent(), nullptr);  // a wait without an event leaves none current
}

TEST_F(CanvasTest, CoalescedMovesCarryTheNewestPosition) {
  int canvas = CreateCanvas(kAutoNumber, window_, 20, 20, 200, 100, 0);
  HWND h = HandleOf(canvas);
  ASSERT_TRUE(PointAt(canvas, 5, 5));
  PostMessageW(h, WM_MOUSEMOVE, 0, 0);  // enters
  for (int x : {10, 20, 30}) {
    ASSERT_TRUE(PointAt(canvas, x, 40));
    PostMessageW(h, WM_MOUSEMOVE, 0, 0);
  }
  // Dispatch everything before the program takes any event.
  MSG msg;
  while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&msg);
  std::vector<WindowEvent> moves;
  WindowEvent e;
  while (TakeWindowEvent(&e))
    if (e.control == canvas && e.type == PointerMoved) moves.push_back(e);
  ASSERT_EQ(moves.size(), 1u);
  EXPECT_EQ(moves[0].data.pointerX, 30);
  EXPECT_EQ(moves[0].data.pointerY, 40);
}

TEST_F(CanvasTest, CursorTableAndCustomCursor) {
  int canvas = CreateCanvas(kAutoNumber, window_, 20, 20, 100, 60, 0);
  ASSERT_TRUE(PointAt(canvas, 50, 30));
  EventsUntil(canvas, PointerEntered);
  EXPECT_EQ(ReadCanvasAttribute(canvas, CursorShape), CURSOR_ARROW);
  WriteCanvasAttribute(canvas, CursorShape, CURSOR_CROSS);
  EXPECT_EQ(ReadCanvasAttribute(canvas, CursorShape), CURSOR_CROSS);
  EXPECT_EQ(GetCursor(), LoadCursorW(nullptr, IDC_CROSS));  // shown at once
  WriteCanvasAttribute(canvas, CursorShape, 12);            // outside the table: ignored
  WriteCanvasAttribute(canvas, CursorShape, -1);
  EXPECT_EQ(ReadCanvasAttribute(canvas, CursorShape), CURSOR_CROSS);
  WriteCanvasAttribute(canvas, CursorShape, CURSOR_HIDDEN);
  EXPECT_EQ(GetCursor(), nullptr);

  HCURSOR own = LoadCursorW(nullptr, IDC_HELP);
  WriteCanvasAttribute(canvas, CustomCursor, (intptr_t)own);
  EXPECT_EQ(ReadCanvasAttribute(canvas, CursorShape), -1);
  EXPECT_EQ(ReadCanvasAttribute(canvas, CustomCursor), (intptr_t)own);
  EXPECT_EQ(GetCursor(), own);
  WriteCanvasAttribute(canvas, CursorShape, CURSOR_ARROW);
  EXPECT_EQ(ReadCanvasAttribute(canvas, CustomCursor), 0);
  // The system asks again when the pointer moves: the canvas answers with its cursor.
  ASSERT_TRUE(PointAt(canvas, 51, 30));
  EventsUntil(canvas, PointerMoved);
  EXPECT_EQ(GetCursor(), LoadCursorW(nullptr, IDC_ARROW));
  // Once the pointer has left, a new shape waits for its return.
  ASSERT_TRUE(PointAt(canvas, 300, 30));
  EventsUntil(canvas, PointerLeft);
  SetCursor(LoadCursorW(nullptr, IDC_ARROW));
  WriteCanvasAttribute(canvas, CursorShape, CURSOR_WAIT);
  EXPECT_EQ(GetCursor(), LoadCursorW(nullptr, IDC_ARROW));
  ASSERT_TRUE(PointAt(canvas, 50, 30));
  EXPECT_EQ(Only(EventsUntil(canvas, PointerEntered), {PointerEntered, PointerMoved}),
            std::vector<int>{PointerEntered});
  EXPECT_EQ(GetCursor(), LoadCursorW(nullptr, IDC_WAIT));
}

TEST_F(CanvasTest, ContainerPassesChildNotificationsOn) {
  int container = CreateCanvas(kAutoNumber, window_, 10, 10, 300, 200, Canvas_Container);
  int inner = CreateCanvasIn(kAutoNumber, ControlHandle(container), 10, 10, 60, 40, 0);
  ASSERT_GT(inner, 0);
  EXPECT_EQ(ControlWindow(inner), window_);
  EXPECT_EQ(GetParent(HandleOf(inner)), HandleOf(container));
  HWND button = CreateWindowExW(0, L"BUTTON", L"OK", WS_CHILD | WS_VISIBLE, 100, 10, 60, 24,
                                HandleOf(container), nullptr, nullptr, nullptr);
  int buttonControl = RegisterControl(kAutoNumber, button, window_, CONTROL_BUTTON);
  SendMessageW(button, BM_CLICK, 0, 0);
  EXPECT_EQ(EventsUntil(buttonControl, LeftClicked).back().type, LeftClicked);
  ASSERT_TRUE(PointAt(inner, 5, 5));
  EXPECT_EQ(EventsUntil(inner, PointerEntered).back().type, PointerEntered);
  EXPECT_EQ(CreateCanvasIn(kAutoNumber, nullptr, 0, 0, 10, 10, 0), 0);
}

TEST_F(CanvasTest, FocusRectangleIsOnScreenOnly) {
  int canvas = CreateCanvas(kAutoNumber, window_, 20, 20, 60, 40, Canvas_Keyboard | Canvas_DrawFocus);
  int plain = CreateCanvas(kAutoNumber, window_, 100, 20, 60, 40, Canvas_Keyboard);
  for (int c : {canvas, plain}) {
    BeginDrawing(CanvasTarget(c));
    FillBox(0, 0, 60, 40, 0x00FF00);
    EndDrawing();
  }
  // Focused: along the dotted rectangle 2 pixels inside the edge pixels
  // differ from the surface, the rest shows the surface.
  ASSERT_TRUE(FocusCanvas(canvas));
  RECT r = ScreenClientRect(canvas);
  EXPECT_TRUE(ScreenShows(r.left, r.top, 60, 40, [] {
    int marked = 0;
    for (int x = 2; x < 58; x++) marked += ReadPixel(x, 2) != 0x00FF00;
    return marked > 10 && ReadPixel(1, 1) == 0x00FF00 && ReadPixel(30, 20) == 0x00FF00;
  }));
  BeginDrawing(CanvasTarget(canvas));
  EXPECT_EQ(ReadPixel(10, 2), 0x00FF00);  // never in the surface
  EndDrawing();

  // Without Canvas_DrawFocus a focused canvas shows its surface alone. The
  // surface is drawn anew once focused, so the picture judged is one painted
  // with the focus there: the screen shows the new colour in the middle.
  ASSERT_TRUE(FocusCanvas(plain));
  BeginDrawing(CanvasTarget(plain));
  FillBox(0, 0, 60, 40, 0x0000FF);
  EndDrawing();
  r = ScreenClientRect(plain);
  int marked = -1;
  EXPECT_TRUE(ScreenShows(r.left, r.top, 60, 40, [&] {
    if (ReadPixel(30, 20) != 0x0000FF) return false;  // not repainted yet
    marked = 0;
    for (int x = 0; x < 60; x++) marked += ReadPixel(x, 2) != 0x0000FF;
    return true;
  }));
  EXPECT_EQ(marked, 0);
  EXPECT_EQ(GetFocus(), HandleOf(plain));
}

// A drawing shows the surface at once; on a focused canvas with
// Canvas_DrawFocus the focus rectangle shows over it as in a paint.
TEST_F(CanvasTest, DrawingOnAFocusedCanvasKeepsTheFocusRectangle) {
  int canvas = CreateCanvas(kAutoNumber, window_, 20, 20, 60, 40, Canvas_Keyboard | Canvas_DrawFocus);
  ASSERT_TRUE(FocusCanvas(canvas));
  RECT r = ScreenClientRect(canvas);
  auto showsFramed = [](int color) {
    return [color] {
      int marked = 0;
      for (int x = 2; x < 58; x++) marked += ReadPixel(x, 2) != color;
      return marked > 10 && ReadPixel(1, 1) == color && ReadPixel(30, 20) == color;
    };
  };
  BeginDrawing(CanvasTarget(canvas));
  FillBox(0, 0, 60, 40, 0x00FF00);
  EndDrawing();
  ASSERT_TRUE(ScreenShows(r.left, r.top, 60, 40, showsFramed(0x00FF00)));  // the focus paint is done
  BeginDrawing(CanvasTarget(canvas));
  FillBox(0, 0, 60, 40, 0xFF0000);
  EndDrawing();
  EXPECT_TRUE(ScreenShows(r.left, r.top, 60, 40, showsFramed(0xFF0000)));
}

//-----------------------------------------------------------------------------
// Focus mark and cell marker
//-----------------------------------------------------------------------------

// What the screen shows around and on a 60 x 40 canvas at (20, 20): the
// ring's band a pixel off its edge, and its own pixels.
struct AroundCanvas {
  int ringMarked = 0;     // band pixels that are not the window's background
  int canvasChanged = 0;  // canvas pixels that are not its surface's colour
};

// What the screen shows around the canvas: the first look, or the first
// that `awaited` accepts (the last look after 5 s).
static AroundCanvas Around(int canvas, int surfaceColor, bool (*awaited)(const AroundCanvas&) = nullptr) {
  AroundCanvas seen;
  RECT r = ScreenClientRect(canvas);
  int background = (int)GetSysColor(COLOR_BTNFACE);  // a colour value, as ReadPixel gives
  ScreenShows(r.left - 4, r.top - 4, 68, 48, [&] {
    seen = AroundCanvas{};
    for (int x = 0; x < 68; x++) {
      seen.ringMarked += ReadPixel(x, 2) != background;   // the band above: 2 off the edge
      seen.ringMarked += ReadPixel(x, 45) != background;  // and below
    }
    for (int y = 4; y < 44; y++)
      for (int x = 4; x < 64; x++) seen.canvasChanged += ReadPixel(x, y) != surfaceColor;
    return !awaited || awaited(seen);
  });
  return seen;
}

TEST_F(CanvasTest, AKeyboardCanvasShowsItsFocusAroundItself) {
  int canvas = CreateCanvas(kAutoNumber, window_, 20, 20, 60, 40, Canvas_Keyboard);
  int other = CreateCanvas(kAutoNumber, window_, 200, 20, 60, 40, Canvas_Keyboard | Canvas_DrawFocus);
  for (int c : {canvas, other}) {
    BeginDrawing(CanvasTarget(c));
    FillBox(0, 0, 60, 40, 0x00FF00);
    EndDrawing();
  }
  SendMessageW((HWND)WindowHandle(window_), WM_CHANGEUISTATE, MAKEWPARAM(UIS_CLEAR, UISF_HIDEFOCUS), 0);
  EXPECT_EQ(Around(canvas, 0x00FF00).ringMarked, 0);  // no focus, no mark
  ASSERT_TRUE(FocusCanvas(canvas));
  RECT r = ScreenClientRect(canvas);
  int background = (int)GetSysColor(COLOR_BTNFACE);
  // The system's dotted rectangle, a pixel off the edge, all round; the
  // canvas itself keeps its colours.
  EXPECT_TRUE(ScreenShows(r.left - 2, r.top - 2, 64, 44, [&] {
    int top = 0, left = 0;
    for (int x = 0; x < 64; x++) top += ReadPixel(x, 0) != background;
    for (int y = 0; y < 44; y++) left += ReadPixel(0, y) != background;
    return top >= 20 && left >= 14 && ReadPixel(1, 1) == background;
  }));
  AroundCanvas seen = Around(canvas, 0x00FF00);
  EXPECT_EQ(seen.canvasChanged, 0);

  // The mark moves with the focus; a canvas that draws its focus inside has none around it.
  ASSERT_TRUE(FocusCanvas(other));
  EXPECT_TRUE(ScreenShows(r.left - 2, r.top - 2, 64, 44, [&] { return ReadPixel(10, 0) == background && ReadPixel(11, 0) == background; }));
  EXPECT_EQ(Around(other, 0x00FF00).ringMarked, 0);
}

// The focus marks' state of a window that hides them until the keyboard is
// used, kept as Windows keeps it where the user chose so: the window answers
// WM_QUERYUISTATE from it, and a change sent to the window passes down to
// its children as WM_UPDATEUISTATE. (Wine 8 keeps no such state: every
// window there answers that the marks show.)
static LRESULT g_uiState = 0;
static WNDPROC g_windowProc = nullptr;

static BOOL CALLBACK TellChange(HWND child, LPARAM change) {
  SendMessageW(child, WM_UPDATEUISTATE, (WPARAM)change, 0);
  return TRUE;
}

static LRESULT CALLBACK HidesFocusMarks(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  if (msg == WM_QUERYUISTATE) return g_uiState;
  if (msg == WM_CHANGEUISTATE) {
    LRESULT flags = HIWORD(wParam), was = g_uiState;
    if (LOWORD(wParam) == UIS_SET) g_uiState |= flags;
    if (LOWORD(wParam) == UIS_CLEAR) g_uiState &= ~flags;
    if (g_uiState != was) EnumChildWindows(hwnd, TellChange, (LPARAM)wParam);
    return 0;
  }
  return CallWindowProcW(g_windowProc, hwnd, msg, wParam, lParam);
}

// Where the user has focus marks hidden until the keyboard is used, the
// mark stays away while the canvas takes the focus, and a key on the canvas
// brings the marks back.
TEST_F(CanvasTest, FocusMarksHiddenUntilTheKeyboardIsUsedComeBackWithAKey) {
  int canvas = CreateCanvas(kAutoNumber, window_, 20, 20, 60, 40, Canvas_Keyboard);
  HWND window = (HWND)WindowHandle(window_);
  g_uiState = UISF_HIDEFOCUS;
  g_windowProc = (WNDPROC)SetWindowLongPtrW(window, GWLP_WNDPROC, (LONG_PTR)HidesFocusMarks);
  ASSERT_TRUE(FocusCanvas(canvas));
  RedrawWindow(window, nullptr, nullptr, RDW_UPDATENOW | RDW_ALLCHILDREN);  // a mark shown would be on screen now
  EXPECT_EQ(Around(canvas, 0xFFFFFF).ringMarked, 0);
  SendKeys({{VK_RIGHT, false}, {VK_RIGHT, true}});
  EventsUntil(canvas, KeyReleased);
  EXPECT_FALSE(g_uiState & UISF_HIDEFOCUS);
  EXPECT_GT(Around(canvas, 0xFFFFFF, [](const AroundCanvas& a) { return a.ringMarked > 20; }).ringMarked, 20);
  SetWindowLongPtrW(window, GWLP_WNDPROC, (LONG_PTR)g_windowProc);
}

TEST_F(CanvasTest, ACellMarkerShowsOnScreenOnceTheKeyboardIsUsedThere) {
  int canvas = CreateCanvas(kAutoNumber, window_, 20, 20, 60, 40, Canvas_Keyboard);
  BeginDrawing(CanvasTarget(canvas));
  FillBox(0, 0, 60, 40, 0x808080);
  EndDrawing();
  SendMessageW((HWND)WindowHandle(window_), WM_CHANGEUISTATE, MAKEWPARAM(UIS_CLEAR, UISF_HIDEFOCUS), 0);
  SetCanvasMarker(canvas, 10, 5, 12, 10);
  RECT r = ScreenClientRect(canvas);
  auto marked = [&](bool shown) {
    return ScreenShows(r.left, r.top, 60, 40, [=] {
      bool frame = ReadPixel(10, 5) == 0 && ReadPixel(21, 14) == 0 && ReadPixel(11, 6) == 0xFFFFFF &&
                   ReadPixel(20, 13) == 0xFFFFFF && ReadPixel(15, 10) == 0x808080;
      bool plain = ReadPixel(10, 5) == 0x808080 && ReadPixel(11, 6) == 0x808080;
      return shown ? frame : plain;
    });
  };
  EXPECT_TRUE(marked(false));  // not focused
  ASSERT_TRUE(FocusCanvas(canvas));  // by the keyboard's way
  EXPECT_TRUE(marked(true));
  BeginDrawing(CanvasTarget(canvas));
  EXPECT_EQ(ReadPixel(10, 5), 0x808080);  // never in the surface
  EndDrawing();
  // A press with the mouse hides it; a key brings it back.
  ASSERT_TRUE(PointAt(canvas, 40, 30));
  SendMouse({MOUSEEVENTF_LEFTDOWN, MOUSEEVENTF_LEFTUP});
  EventsUntil(canvas, LeftReleased);
  EXPECT_TRUE(marked(false));
  SendKeys({{VK_LEFT, false}, {VK_LEFT, true}});
  EventsUntil(canvas, KeyReleased);
  EXPECT_TRUE(marked(true));
  // Moved, and taken away.
  SetCanvasMarker(canvas, 30, 20, 8, 8);
  EXPECT_TRUE(ScreenShows(r.left, r.top, 60, 40, [] { return ReadPixel(10, 5) == 0x808080 && ReadPixel(30, 20) == 0; }));
  SetCanvasMarker(canvas, 0, 0, 0, 0);
  EXPECT_TRUE(ScreenShows(r.left, r.top, 60, 40, [] { return ReadPixel(30, 20) == 0x808080; }));
}
