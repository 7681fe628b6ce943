// Windows, controls, timers and the event wait, with real messages.
#include <windows.h>
#include <commctrl.h>

#include <gtest/gtest.h>

#include <math.h>

#include <functional>
#include <vector>

#include "runtime/menus.h"
#include "runtime/widgets.h"
#include "runtime/windowing.h"
#include "tests/win/input.h"

class WindowsTest : public ::testing::Test {
 protected:
  void SetUp() override {
    InitWindowing();
    ClearWindowEvents();
    window_ = OpenWindow(kAutoNumber, 100, 100, 300, 200, "Test", Window_SystemMenu);
    ASSERT_GT(window_, 0);
  }
  void TearDown() override { CloseAllWindows(); }

  int AddChild(const wchar_t* cls, DWORD style, int kind) {
    HWND h = CreateWindowExW(0, cls, L"", WS_CHILD | WS_VISIBLE | style, 10, 10, 100, 24,
                             (HWND)WindowHandle(window_), nullptr, nullptr, nullptr);
    return RegisterControl(kAutoNumber, h, window_, kind);
  }
  // Takes events, handing each to `seen`, until `done` holds (at most 5 s).
  static bool DispatchUntil(const std::function<bool()>& done,
                            const std::function<void(const WindowEvent&)>& seen = nullptr) {
    WindowEvent e;
    for (DWORD start = GetTickCount(); GetTickCount() - start < 5000;) {
      if (done()) return true;
      if (WaitWindowEvent(10, &e) && seen) seen(e);
    }
    return done();
  }
  // Drains events until one with this code (and type) arrives, or 2 s pass.
  bool WaitFor(int code, int type, WindowEvent* out) {
    DWORD start = GetTickCount();

    while (GetTickCount() - start < 2000)
      if (WaitWindowEvent(50, out) == code && (code != Event_Control || out->type == type)) return true;
    return false;
  }
  int window_ = 0;
};

TEST_F(WindowsTest, InnerSizeAndPositionInLogicalUnits) {
  EXPECT_EQ(WindowInnerWidth(window_), 300);
  EXPECT_EQ(WindowInnerHeight(window_), 200);
  ResizeWindowTo(window_, 150, 120, 320, kIgnore);
  EXPECT_EQ(WindowX(window_), 150);
  EXPECT_EQ(WindowY(window_), 120);
  EXPECT_EQ(WindowInnerWidth(window_), 320);
  EXPECT_EQ(WindowInnerHeight(window_), 200);
  WindowEvent e;
  EXPECT_TRUE(WaitFor(Event_Move, 0, &e));
  EXPECT_EQ(e.window, window_);
}

// Every window wears the program's icon (icon group 1 of the executable, here
// the test program's copy of the resources): the class's and the window's own,
// each in the size the display's scale asks for, not one image stretched.
TEST_F(WindowsTest, WindowsWearTheProgramIconInTheScalesSizes) {
  HWND hwnd = (HWND)WindowHandle(window_);
  struct {
    HICON icon;
    int widthMetric;
  } icons[] = {
      {(HICON)GetClassLongPtrW(hwnd, GCLP_HICON), SM_CXICON},
      {(HICON)GetClassLongPtrW(hwnd, GCLP_HICONSM), SM_CXSMICON},
      {(HICON)SendMessageW(hwnd, WM_GETICON, ICON_BIG, 0), SM_CXICON},
      {(HICON)SendMessageW(hwnd, WM_GETICON, ICON_SMALL, 0), SM_CXSMICON},
  };
  for (const auto& i : icons) {
    ASSERT_NE(i.icon, nullptr);
    ICONINFO info = {};
    ASSERT_TRUE(GetIconInfo(i.icon, &info));
    BITMAP picture = {};
    GetObjectW(info.hbmColor, sizeof picture, &picture);
    EXPECT_EQ(picture.bmWidth, GetSystemMetrics(i.widthMetric));
    EXPECT_EQ(picture.bmHeight, GetSystemMetrics(i.widthMetric));
    DeleteObject(info.hbmColor);
    DeleteObject(info.hbmMask);
  }
}

TEST_F(WindowsTest, ProgramTextRaisesNoEventButTypingDoes) {
  int field = AddChild(L"EDIT", ES_NUMBER, CONTROL_TEXT_FIELD);
  ASSERT_GT(field, 0);
  EXPECT_EQ(ControlNumberOf(ControlHandle(field)), field);
  EXPECT_EQ(GetDlgCtrlID((HWND)ControlHandle(field)), field);
  SetControlText(field, "123");
  EXPECT_EQ(ControlText(field), "123");
  WindowEvent e;
  while (WaitWindowEvent(20, &e)) EXPECT_NE(e.code, Event_Control);

  SendMessageW((HWND)ControlHandle(field), EM_SETSEL, 3, 3);
  SendMessageW((HWND)ControlHandle(field), WM_CHAR, '7', 0);
  ASSERT_TRUE(WaitFor(Event_Control, Changed, &e));
  EXPECT_EQ(e.control, field);
  EXPECT_EQ(e.window, window_);
  EXPECT_EQ(ControlText(field), "1237");
}

// Enter and Escape belong to the focused control: they neither click the
// controls that happen to be numbered 1 and 2 nor choose menu items 1 and 2.
// Enter on a focused push button presses it.
// Set once this thread has taken an Escape key's release from its queue.
static bool g_escapeReleased = false;
static LRESULT CALLBACK SeeEscapeReleased(int code, WPARAM removed, LPARAM lParam) {
  const MSG* msg = (const MSG*)lParam;
  if (code == HC_ACTION && removed == PM_REMOVE && msg->message == WM_KEYUP && msg->wParam == VK_ESCAPE)
    g_escapeReleased = true;
  return CallNextHookEx(nullptr, code, removed, lParam);
}

TEST_F(WindowsTest, EnterAndEscapeClickOnlyAFocusedButton) {
  HWND parent = (HWND)WindowHandle(window_);
  auto add = [&](int number, const wchar_t* cls, DWORD style, int kind, int y) {
    HWND h = CreateWindowExW(0, cls, L"x", WS_CHILD | WS_VISIBLE | WS_TABSTOP | style, 10, y, 100, 24, parent,
                             nullptr, nullptr, nullptr);
    return RegisterControl(number, h, window_, kind);
  };
  int field = add(1, L"EDIT", 0, CONTROL_TEXT_FIELD, 10);
  int button = add(2, L"BUTTON", BS_PUSHBUTTON, CONTROL_BUTTON, 50);
  ASSERT_EQ(field, 1);
  ASSERT_EQ(button, 2);
  // The keys go to the window in front: wait until it is.
  SetForegroundWindow(parent);
  ASSERT_TRUE(DispatchUntil([&] { return GetForegroundWindow() == parent; })) << "the window never came to the front";
  // The clicks and menu choices the keys raise. Escape comes last: once the
  // thread has taken its release, it has taken the Enter before it, and every
  // event they raise is queued. The release is seen as the thread takes it
  // (a message hook): Wine may set the keys' state afresh from the X server's
  // when the window takes the X focus, so a key's toggle bit proves nothing.
  auto eventsAfterKeys = [&](int focus) {
    std::vector<WindowEvent> events;
    HWND target = (HWND)ControlHandle(focus);
    SetFocus(target);
    if (!DispatchUntil([&] { return GetFocus() == target; })) {
      ADD_FAILURE() << "control " << focus << " never took the focus";
      return events;
    }
    g_escapeReleased = false;
    HHOOK hook = SetWindowsHookExW(WH_GETMESSAGE, SeeEscapeReleased, nullptr, GetCurrentThreadId());
    SendKeys({{VK_RETURN, false}, {VK_RETURN, true}, {VK_ESCAPE, false}, {VK_ESCAPE, true}});
    auto keep = [&](const WindowEvent& e) {
      if (e.code == Event_Menu || (e.code == Event_Control && e.type == LeftClicked)) events.push_back(e);
    };
    EXPECT_TRUE(DispatchUntil([&] { return g_escapeReleased; }, keep)) << "the keys never arrived";
    UnhookWindowsHookEx(hook);
    WindowEvent e;
    while (WaitWindowEvent(0, &e)) keep(e);
    return events;
  };
  EXPECT_TRUE(eventsAfterKeys(field).empty());
  std::vector<WindowEvent> pressed = eventsAfterKeys(button);
  ASSERT_EQ(pressed.size(), 1u);
  EXPECT_EQ(pressed[0].control, button);
}

// A window that names its Tab order: Tab and Shift+Tab go along it across
// containers, past hidden and disabled controls, wrapping at the ends; a
// text field comes with its text selected. Left for another window and
// activated again, the window gives the focus back where it was.
TEST_F(WindowsTest, TabFollowsTheWindowsOwnOrderAcrossContainers) {
  HWND parent = (HWND)WindowHandle(window_);
  int box = CreateContainerIn(kAutoNumber, parent, 0);
  ASSERT_GT(box, 0);
  auto add = [&](HWND in, const wchar_t* cls, const wchar_t* text, int kind, int y) {
    HWND h = CreateWindowExW(0, cls, text, WS_CHILD | WS_VISIBLE | WS_TABSTOP, 10, y, 100, 24, in, nullptr,
                             nullptr, nullptr);
    return RegisterControl(kAutoNumber, h, window_, kind);
  };
  HWND inBox = (HWND)ControlHandle(box);
  int first = add(inBox, L"EDIT", L"inside", CONTROL_TEXT_FIELD, 10);
  int second = add(parent, L"BUTTON", L"outside", CONTROL_BUTTON, 40);
  int hidden = add(parent, L"BUTTON", L"hidden", CONTROL_BUTTON, 70);
  int third = add(inBox, L"BUTTON", L"inside too", CONTROL_BUTTON, 100);
  int disabled = add(parent, L"EDIT", L"disabled", CONTROL_TEXT_FIELD, 130);
  HideControl(hidden, true);
  DisableControl(disabled, true);
  // The window's tree would give inside, inside too, outside.
  const int order[] = {first, hidden, second, disabled, third};
  SetWindowTabOrder(window_, order, 5);
  SetForegroundWindow(parent);
  ASSERT_TRUE(DispatchUntil([&] { return GetForegroundWindow() == parent; })) << "the window never came to the front";
  auto press = [&](bool backward, int expected) {
    HWND before = GetFocus();
    if (backward) SendKeys({{VK_SHIFT, false}, {VK_TAB, false}, {VK_TAB, true}, {VK_SHIFT, true}});
    else SendKeys({{VK_TAB, false}, {VK_TAB, true}});
    HWND want = (HWND)ControlHandle(expected);
    return DispatchUntil([&] { return GetFocus() == want && before != want; });
  };
  EXPECT_TRUE(press(false, first));  // from the window itself: the first
  DWORD selection = (DWORD)SendMessageW((HWND)ControlHandle(first), EM_GETSEL, 0, 0);
  EXPECT_EQ(LOWORD(selection), 0);
  EXPECT_EQ(HIWORD(selection), 6);
  EXPECT_TRUE(press(false, second));
  EXPECT_TRUE(press(false, third));
  EXPECT_TRUE(press(false, first));  // round again
  EXPECT_TRUE(press(true, third));
  EXPECT_TRUE(press(true, second));

  HWND other = CreateWindowExW(0, L"STATIC", L"other", WS_POPUP | WS_VISIBLE, 0, 0, 50, 50, nullptr, nullptr,
                               nullptr, nullptr);
  SetForegroundWindow(other);
  ASSERT_TRUE(DispatchUntil([&] { return GetForegroundWindow() == other; }));
  SetForegroundWindow(parent);
  ASSERT_TRUE(DispatchUntil([&] { return GetForegroundWindow() == parent; }));
  EXPECT_TRUE(DispatchUntil([&] { return GetFocus() == (HWND)ControlHandle(second); }));
  DestroyWindow(other);
}

TEST_F(WindowsTest, ButtonsListsAndPostedEvents) {
  int button = AddChild(L"BUTTON", BS_PUSHBUTTON, CONTROL_BUTTON);
  SendMessageW((HWND)ControlHandle(button), BM_CLICK, 0, 0);
  WindowEvent e;
  ASSERT_TRUE(WaitFor(Event_Control, LeftClicked, &e));
  EXPECT_EQ(e.control, button);

  int list = AddChild(WC_LISTVIEWW, LVS_REPORT, CONTROL_LIST_VIEW);
  HWND lv = (HWND)ControlHandle(list);
  LVCOLUMNW col = {LVCF_WIDTH, 0, 80};
  ListView_InsertColumn(lv, 0, &col);
  LVITEMW item = {LVIF_TEXT};
  item.pszText = (wchar_t*)L"row";
  ListView_InsertItem(lv, &item);
  ListView_SetItemState(lv, 0, LVIS_SELECTED, LVIS_SELECTED);
  ASSERT_TRUE(WaitFor(Event_Control, Changed, &e));
  EXPECT_EQ(e.control, list);

  // A posted event comes after what was already queued, then the wait is empty.
  PostMessageW((HWND)WindowHandle(window_), WM_CLOSE, 0, 0);
  PostControlEvent(window_, button, LeftReleased);
  EXPECT_EQ(WaitWindowEvent(200, &e), Event_Close);
  EXPECT_TRUE(WindowExists(window_));  // closing is the program's decision
  EXPECT_EQ(WaitWindowEvent(200, &e), Event_Control);
  EXPECT_EQ(e.type, LeftReleased);
  EXPECT_EQ(e.control, button);
}

// A chosen item comes out of the event wait like any other event: a menu
// event of the menu's window that names the menu and the item.
TEST_F(WindowsTest, AChosenMenuItemComesThroughTheWait) {
  HWND parent = (HWND)WindowHandle(window_);
  SetForegroundWindow(parent);
  ASSERT_TRUE(DispatchUntil([&] { return GetForegroundWindow() == parent; })) << "the window never came to the front";
  int menu = CreatePopupMenuNumbered(kAutoNumber);
  ASSERT_GT(menu, 0);
  ASSERT_TRUE(AppendMenuItem(7, "Seven", false));
  ASSERT_TRUE(AppendMenuItem(42, "Forty-two", false));
  // The keys wait in the queue until the menu's own loop takes them: the
  // second item, chosen.
  SendKeys({{VK_DOWN, false}, {VK_DOWN, true}, {VK_DOWN, false}, {VK_DOWN, true}, {VK_RETURN, false}, {VK_RETURN, true}});
  ASSERT_TRUE(ShowPopupMenu(menu, window_, 10, 10));
  WindowEvent e;
  ASSERT_TRUE(WaitFor(Event_Menu, 0, &e));
  EXPECT_EQ(e.window, window_);
  EXPECT_EQ(e.control, menu);
  EXPECT_EQ(e.type, 42);
  FreeMenu(menu);
}

TEST_F(WindowsTest, TextFieldColorsAnswerTheParentsQuestion) {
  int field = AddChild(L"EDIT", 0, CONTROL_TEXT_FIELD);
  HWND parent = (HWND)WindowHandle(window_), edit = (HWND)ControlHandle(field);
  HDC dc = CreateCompatibleDC(nullptr);
  // Without colours of its own the field keeps the system's.
  EXPECT_EQ(SendMessageW(parent, WM_CTLCOLOREDIT, (WPARAM)dc, (LPARAM)edit),
            DefWindowProcW(parent, WM_CTLCOLOREDIT, (WPARAM)dc, (LPARAM)edit));

  SetControlColors(field, 0x0000FF, 0x202020);
  HBRUSH brush = (HBRUSH)SendMessageW(parent, WM_CTLCOLOREDIT, (WPARAM)dc, (LPARAM)edit);
  LOGBRUSH lb;
  ASSERT_TRUE(GetObjectW(brush, sizeof lb, &lb));
  EXPECT_EQ(lb.lbColor, 0x0000FFu);
  EXPECT_EQ(GetBkColor(dc), 0x0000FFu);
  EXPECT_EQ(GetTextColor(dc), 0x202020u);

  // A label with only a text colour keeps the system's label background.
  int label = AddChild(L"STATIC", 0, CONTROL_STATIC_TEXT);
  HWND stat = (HWND)ControlHandle(label);
  SetControlColors(label, -1, 0x0000C0);
  EXPECT_EQ(SendMessageW(parent, WM_CTLCOLORSTATIC, (WPARAM)dc, (LPARAM)stat),
            DefWindowProcW(parent, WM_CTLCOLORSTATIC, (WPARAM)dc, (LPARAM)stat));
  SendMessageW(parent, WM_CTLCOLORSTATIC, (WPARAM)dc, (LPARAM)stat);
  EXPECT_EQ(GetTextColor(dc), 0x0000C0u);
  DeleteDC(dc);
}

TEST_F(WindowsTest, TimersAndRelease) {
  ASSERT_TRUE(AddWindowTimer(window_, 7340134, 16));
  WindowEvent e;
  ASSERT_TRUE(WaitFor(Event_Timer, 0, &e));
  EXPECT_EQ(e.timer, 7340134);
  RemoveWindowTimer(window_, 7340134);

  int field = AddChild(L"EDIT", 0, CONTROL_TEXT_FIELD);
  HWND h = (HWND)ControlHandle(field);
  ReleaseControl(field);
  EXPECT_FALSE(ControlExists(field));
  EXPECT_FALSE(IsWindow(h));

  // A container takes the controls inside it along.
  int box = AddChild(L"STATIC", 0, CONTROL_CONTAINER);
  HWND inner = CreateWindowExW(0, L"EDIT", L"", WS_CHILD | WS_VISIBLE, 0, 0, 50, 20, (HWND)ControlHandle(box),
                               nullptr, nullptr, nullptr);
  int nested = RegisterControl(kAutoNumber, inner, window_, CONTROL_TEXT_FIELD);
  ASSERT_TRUE(ControlExists(nested));
  ReleaseControl(box);
  EXPECT_FALSE(ControlExists(nested));
  EXPECT_EQ(ControlNumberOf(inner), 0);
  CloseWindow(window_);
  EXPECT_FALSE(WindowExists(window_));
  EXPECT_EQ(WindowHandle(window_), nullptr);
}

// The program's way with a change of scale, in small: the window is laid out
// again at the new scale, here its inner size of 300 x 200 logical units.
// With g_nestedScale set it also announces another change, as the window's
// own move to the suggested rectangle may when that straddles two monitors.
static int g_layouts = 0, g_nestedScale = 0;
static void LayOutAgain(int window) {
  g_layouts++;
  ResizeWindowTo(window, kIgnore, kIgnore, 300, 200);
  if (g_nestedScale) {
    RECT elsewhere = {0, 0, 50, 50};
    SendMessageW((HWND)WindowHandle(window), WM_DPICHANGED, MAKEWPARAM(g_nestedScale, g_nestedScale),
                 (LPARAM)&elsewhere);
  }
}

static void AnnounceScale(int window, int ppi, RECT suggested) {
  SendMessageW((HWND)WindowHandle(window), WM_DPICHANGED, MAKEWPARAM(ppi, ppi), (LPARAM)&suggested);
}

// Told of a new scale as Windows tells it, the window that owns the scale
// converts every length at it, is laid out again, and stands at the corner
// suggested with the size it took; window positions keep the desktop's
// scale. A hidden window, and a change announced while one is applied, take
// nothing; a window that does not own the scale takes the suggested
// rectangle as it is, and the scale stays.
TEST_F(WindowsTest, TheWindowThatOwnsTheScaleFollowsItsChanges) {
  HWND hwnd = (HWND)WindowHandle(window_);
  int ppi = WindowingDpiX();
  g_layouts = g_nestedScale = 0;
  SetWindowScaleHandler(window_, LayOutAgain);
  RECT outer;
  GetWindowRect(hwnd, &outer);
  RECT suggested = {outer.left + 40, outer.top + 30, outer.left + 41, outer.top + 31};

  HideWindow(window_, true);
  AnnounceScale(window_, 2 * ppi, suggested);
  EXPECT_EQ(WindowingDpiX(), ppi);
  EXPECT_EQ(g_layouts, 0);
  HideWindow(window_, false);

  g_nestedScale = 3 * ppi;
  AnnounceScale(window_, 2 * ppi, suggested);
  EXPECT_EQ(g_layouts, 1);  // the nested change was not taken
  EXPECT_EQ(WindowingDpiX(), 2 * ppi);
  EXPECT_EQ(LogicalToDeviceX(150), 300 * ppi / 96);
  RECT client, now;
  GetClientRect(hwnd, &client);
  GetWindowRect(hwnd, &now);
  EXPECT_EQ(client.right, 600 * ppi / 96);
  EXPECT_EQ(client.bottom, 400 * ppi / 96);
  EXPECT_EQ(WindowInnerWidth(window_), 300);
  EXPECT_EQ(now.left, suggested.left);
  EXPECT_EQ(now.top, suggested.top);
  // At the desktop's scale: at the window's it would be half as far.
  EXPECT_EQ(WindowX(window_), (int)floor(now.left * 96.0 / ppi + 0.5));

  // The size the window asks for at another scale, by which Windows places
  // its suggestion: its inner size in logical units at that scale, in the
  // frame of that scale.
  typedef BOOL(WINAPI * AdjustForDpi)(RECT*, DWORD, BOOL, DWORD, UINT);
  auto adjust = (AdjustForDpi)(void*)GetProcAddress(GetModuleHandleW(L"user32.dll"), "AdjustWindowRectExForDpi");
  if (adjust) {
    RECT frame = {0, 0, 0, 0};
    adjust(&frame, (DWORD)GetWindowLongW(hwnd, GWL_STYLE), FALSE, (DWORD)GetWindowLongW(hwnd, GWL_EXSTYLE), 3 * ppi);
    SIZE size = {};
    EXPECT_TRUE(SendMessageW(hwnd, 0x02E4 /* WM_GETDPISCALEDSIZE */, (WPARAM)(3 * ppi), (LPARAM)&size));
    EXPECT_EQ(size.cx - (frame.right - frame.left), 900 * ppi / 96);
    EXPECT_EQ(size.cy - (frame.bottom - frame.top), 600 * ppi / 96);
  }

  int other = OpenWindow(kAutoNumber, 50, 50, 100, 100, "Other", Window_SystemMenu);
  RECT elsewhere = {60, 70, 260, 240};
  AnnounceScale(other, 4 * ppi, elsewhere);
  RECT taken;
  GetWindowRect((HWND)WindowHandle(other), &taken);
  EXPECT_TRUE(EqualRect(&taken, &elsewhere));
  EXPECT_EQ(WindowingDpiX(), 2 * ppi);
  g_nestedScale = 0;
}
