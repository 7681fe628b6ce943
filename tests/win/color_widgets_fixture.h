// A window with every colour widget on real controls, laid out like the main
// window's, and an event pump that hands control events to HandleControlEvent
// as the event loop does.
#pragma once
#include <windows.h>
#include <commctrl.h>

#include <gtest/gtest.h>
#include <string.h>

#include <functional>

#include "app/capture_view.h"
#include "app/channel_controls.h"
#include "app/color_widgets.h"
#include "app/name_list.h"
#include "app/settings_record.h"
#include "app/swatch_controls.h"
#include "color/named_colors.h"
#include "runtime/canvas.h"
#include "runtime/drawing.h"
#include "runtime/images.h"
#include "runtime/windowing.h"
#include "tests/win/input.h"
#include "tests/win/screen.h"

// The test picture: every pixel a colour of its own, which tells where it
// came from (surfaces up to 256 x 256).
inline int PatternColor(int x, int y) { return x + y * 256 + 128 * 65536; }

class ColorWidgetsTest : public ::testing::Test {
 protected:
  void SetUp() override {
    SetProcessDPIAware();  // as the program's manifest declares
    InitWindowing();
    BuildNamedColorMap();
    ClearWindowEvents();
    memset(&CONFIG, 0, sizeof CONFIG);
    CONFIG.validityMarker = kSettingsMarker;
    w_.wndMain = window_ = OpenWindow(kAutoNumber, 20, 20, 760, 420, "Colour widgets", Window_SystemMenu);
    ASSERT_GT(window_, 0);
    const int kDragCanvas = Canvas_ClipMouse | Canvas_Keyboard;
    w_.cmdSelector = CreateCanvas(kAutoNumber, window_, 10, 10, 40, 40, Canvas_Keyboard);
    w_.imgPaletteCapture = CreateCanvas(kAutoNumber, window_, 60, 10, 156, 104, kDragCanvas | Canvas_Border);
    w_.imgPaletteCurrent = CreateCanvas(kAutoNumber, window_, 230, 10, 60, 60, 0);
    w_.txtRGB = Field(230, 80, 120, ES_READONLY);
    w_.imgPaletteAuto = CreateCanvas(kAutoNumber, window_, 60, 120, 174, 24, kDragCanvas | Canvas_Border);
    w_.imgPaletteHistory = CreateCanvas(kAutoNumber, window_, 60, 150, 104, 24, kDragCanvas | Canvas_Border);
    int* strips[3] = {&w_.imgPaletteR, &w_.imgPaletteG, &w_.imgPaletteB};
    int* fields[3] = {&w_.txtR, &w_.txtG, &w_.txtB};
    for (int c = 0; c < 3; c++) {
      *strips[c] = CreateCanvas(kAutoNumber, window_, 10, 180 + 26 * c, 256, 20, kDragCanvas);
      *fields[c] = Field(276, 180 + 26 * c, 40, ES_NUMBER);
    }
    // At most 256 pixels each way at 200 % (a pixel's colour tells where it is).
    pattern_ = CreateCanvas(kAutoNumber, window_, 10, 270, 128, 96, 0);
    HWND lv = CreateWindowExW(0, WC_LISTVIEWW, L"", WS_CHILD | WS_VISIBLE | LVS_REPORT | LVS_SINGLESEL,
                              LogicalToDeviceX(370), LogicalToDeviceY(10), LogicalToDeviceX(380),
                              LogicalToDeviceY(400), (HWND)WindowHandle(window_), nullptr, nullptr, nullptr);
    LVCOLUMNW col = {LVCF_WIDTH, 0, 100};
    ListView_InsertColumn(lv, 0, &col);
    w_.lstResults = RegisterControl(kAutoNumber, lv, window_, CONTROL_LIST_VIEW);
    SetColorWidgets(w_);
    SetForegroundWindow((HWND)WindowHandle(window_));
    // The test acts once the window is on screen: the pattern shows there.
    ASSERT_TRUE(BeginDrawing(CanvasTarget(pattern_)));
    int width = SurfaceWidth(), height = SurfaceHeight();
    ASSERT_LE(width, 256);
    ASSERT_LE(height, 256);
    for (int y = 0; y < height; y++)
      for (int x = 0; x < width; x++) WritePixel(x, y, PatternColor(x, y));
    EndDrawing();
    POINT origin = {0, 0};
    ClientToScreen((HWND)ControlHandle(pattern_), &origin);
    ASSERT_TRUE(ScreenShows(origin.x, origin.y, width, height, [=] {
      return ReadPixel(0, 0) == PatternColor(0, 0) && ReadPixel(width - 1, height - 1) == PatternColor(width - 1, height - 1);
    }));
  }

  void TearDown() override {
    ReleaseHeldInput();
    SetColorWidgets(ColorWidgets{});  // ends a drag left over by a failure
    EndDrawing();
    ReleaseImage(kAllImages);
    CloseAllWindows();
    ClipCursor(nullptr);
  }

  int Field(int x, int y, int width, DWORD style) {
    HWND edit = CreateWindowExW(WS_EX_CLIENTEDGE, L"EDIT", L"", WS_CHILD | WS_VISIBLE | style,
                                LogicalToDeviceX(x), LogicalToDeviceY(y), LogicalToDeviceX(width),
                                LogicalToDeviceY(20), (HWND)WindowHandle(window_), nullptr, nullptr, nullptr);
    return RegisterControl(kAutoNumber, edit, window_, CONTROL_TEXT_FIELD);
  }

  // Every view for the current colour, as start-up shows them.
  void ShowCurrentColor() {
    RefreshNameList(CONFIG.Color, w_.lstResults, true, true);
    DrawHistory();
    RefreshCurrentSwatch(CONFIG.Color, true);
    RefreshChannelViews(CONFIG.Color, true);
  }

  // Dispatches messages and hands every control event to HandleControlEvent,
  // as the event loop does, until an event satisfies `until` (at most 5 s).
  bool RouteUntil(const std::function<bool(const WindowEvent&)>& until, DWORD limitMs = 5000) {
    DWORD start = GetTickCount();
    WindowEvent e;
    while (GetTickCount() - start < limitMs)
      if (WaitWindowEvent(20, &e) == Event_Control) {
        HandleControlEvent(e);
        if (until(e)) return true;
      }
    return false;
  }
  bool RouteUntil(int control, int type) {
    return RouteUntil([=](const WindowEvent& e) { return e.control == control && e.type == type; });
  }

  // Moves the pointer to client point (x, y) of `control` and routes events
  // until it rests there, reported by `reporter` (the canvas under the
  // pointer, or the one holding the mouse). Under a virtual display the
  // platform may echo an earlier position late, moving the pointer back or
  // leaving a stale position as the last report; the move is then made again.
  ::testing::AssertionResult MovePointer(int control, int x, int y, int reporter) {
    POINT target = {x, y}, local, now = {}, reported = {-99999, -99999};
    ClientToScreen((HWND)ControlHandle(control), &target);
    local = target;
    ScreenToClient((HWND)ControlHandle(reporter), &local);
    SlidePointerTo(control, x, y);
    DWORD start = GetTickCount();
    WindowEvent e;
    int restingChecks = 0;  // quiet periods in a row with the pointer where it belongs
    int retries = 0;
    while (GetTickCount() - start < 10000) {
      if (WaitWindowEvent(150, &e)) {
        if (e.code != Event_Control) continue;
        HandleControlEvent(e);
        if (e.control == reporter && (e.type == PointerEntered || e.type == PointerMoved))
          reported = {e.data.pointerX, e.data.pointerY};
        continue;
      }
      // Quiet: the pointer has come to rest; twice in a row, so a late echo has had its time.
      GetCursorPos(&now);
      bool resting = now.x == target.x && now.y == target.y && reported.x == local.x && reported.y == local.y;
      restingChecks = resting ? restingChecks + 1 : 0;
      if (restingChecks == 2) return ::testing::AssertionSuccess();
      if (resting) continue;
      // The first time, move again: the move may just have lagged. After
      // that, step off and come back on alternate quiet periods, each move
      // resting before the next: moving to where the system already believes
      // the pointer is may do nothing, while the display shows it elsewhere.
      retries++;
      if (retries > 1 && retries % 2 == 0) SlidePointerTo(control, x > 0 ? x - 1 : x + 1, y);
      else SlidePointerTo(control, x, y);
    }
    return ::testing::AssertionFailure() << "pointer at " << now.x << "," << now.y << " for " << target.x << ","
                                         << target.y << "; last reported " << reported.x << "," << reported.y
                                         << " for " << local.x << "," << local.y << "; capture "
                                         << ControlNumberOf(GetCapture()) << ", under the pointer "
                                         << ControlNumberOf(WindowFromPoint(now)) << ", reporter " << reporter;
  }

  // Presses the left button at client point (x, y) of the canvas (with Ctrl
  // held, if asked), once the canvas has reported the press. Under a virtual
  // display a late echo of an earlier pointer position can send the press
  // elsewhere: such a press is released and made again, but only when it
  // shows that it went elsewhere (another canvas reported it, or the pointer
  // was seen off its pixel meanwhile). A press that reaches no canvas while
  // the pointer stays on its pixel is the canvas's failure. Ctrl is down and
  // has stayed down through a quiet moment before the press; a press that
  // then arrives with the wrong Ctrl state is a failure, never pressed again.
  ::testing::AssertionResult PressOn(int canvas, int x, int y, bool withControl = false) {
    POINT target = {x, y};
    ClientToScreen((HWND)ControlHandle(canvas), &target);
    for (int attempt = 0; attempt < 3; attempt++) {
      ::testing::AssertionResult moved = MovePointer(canvas, x, y, canvas);
      if (!moved) return moved;
      if (withControl && !ControlKeyStaysDown()) return ::testing::AssertionFailure() << "Ctrl never stayed down";
      SendMouse({MOUSEEVENTF_LEFTDOWN});
      bool arrived = false, pressedWithControl = false, strayed = false;
      int elsewhere = 0;  // another canvas that reported the press
      POINT now = {};
      WindowEvent e;
      for (DWORD start = GetTickCount(); !arrived && GetTickCount() - start < 2000;) {
        if (GetCursorPos(&now) && (now.x != target.x || now.y != target.y)) strayed = true;
        if (WaitWindowEvent(20, &e) != Event_Control) continue;
        HandleControlEvent(e);
        if (e.type != LeftPressed) continue;
        if (e.control != canvas) {
          elsewhere = e.control;
          continue;
        }
        arrived = true;
        pressedWithControl = (e.data.modifierMask & kModifierControl) != 0;
      }
      if (arrived) {
        if (pressedWithControl == withControl) return ::testing::AssertionSuccess();
        return ::testing::AssertionFailure() << "the press reached canvas " << canvas << " with Ctrl "
                                             << (pressedWithControl ? "down" : "up") << ", the key state "
                                             << (GetKeyState(VK_CONTROL) < 0 ? "down" : "up");
      }
      if (!strayed && !elsewhere)
        return ::testing::AssertionFailure() << "the press never reached canvas " << canvas << " (attempt "
                                             << attempt + 1 << "), though the pointer stayed on its pixel at "
                                             << now.x << "," << now.y;
      SendMouse({MOUSEEVENTF_LEFTUP});
      RouteUntil([](const WindowEvent& e) { return e.type == LeftReleased; }, 2000);
      if (withControl) HoldControlKey(false);
    }
    return ::testing::AssertionFailure() << "the press never reached canvas " << canvas;
  }

  // Holds Ctrl down until the thread's key state says so through two quiet
  // periods in a row: a late echo of the pointer may set the key state back
  // to the display's own, and then the key goes down again.
  bool ControlKeyStaysDown() {
    for (int attempt = 0; attempt < 5; attempt++) {
      if (!HoldControlKey(true)) return false;
      int quiet = 0;
      WindowEvent e;
      for (DWORD start = GetTickCount(); quiet < 2 && GetKeyState(VK_CONTROL) < 0 && GetTickCount() - start < 5000;) {
        if (WaitWindowEvent(150, &e)) {
          if (e.code == Event_Control) HandleControlEvent(e);
        } else {
          quiet++;
        }
      }
      if (quiet == 2) return true;
    }
    return false;
  }

  // Holds or lets go of Ctrl, until the thread's key state says so. The
  // platform may drop a key that comes while the window is still taking the
  // keyboard, so the key is sent again, a bounded number of times.
  bool HoldControlKey(bool down) {
    for (int attempt = 0; attempt < 20; attempt++) {
      SendKeys({{VK_CONTROL, !down}});
      WindowEvent e;
      for (int i = 0; i < 10 && (GetKeyState(VK_CONTROL) < 0) != down; i++)
        if (WaitWindowEvent(20, &e) == Event_Control) HandleControlEvent(e);
      if ((GetKeyState(VK_CONTROL) < 0) == down) return true;
    }
    return false;
  }

  // The pixels of a canvas's surface or an image, row by row.
  static std::vector<int> Pixels(DrawingTarget target, int* width = nullptr, int* height = nullptr) {
    std::vector<int> pixels;
    if (!BeginDrawing(target)) return pixels;
    for (int y = 0; y < SurfaceHeight(); y++)
      for (int x = 0; x < SurfaceWidth(); x++) pixels.push_back(ReadPixel(x, y));
    if (width) *width = SurfaceWidth();
    if (height) *height = SurfaceHeight();
    EndDrawing();
    return pixels;
  }

  static int PixelAt(int canvas, int x, int y) {
    if (!BeginDrawing(CanvasTarget(canvas))) return -1;
    int color = ReadPixel(x, y);
    EndDrawing();
    return color;
  }

  // The colour stored with a row of the name list.
  int ListRowColor(int row) {
    LVITEMW item = {LVIF_PARAM};
    item.iItem = row;
    if (!ListView_GetItem((HWND)ControlHandle(w_.lstResults), &item)) return -1;
    return (int)item.lParam;
  }

  ColorWidgets w_ = {};
  int window_ = 0;
  int pattern_ = 0;  // a plain canvas for test pictures
};
