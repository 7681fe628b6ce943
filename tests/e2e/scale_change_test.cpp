// Changes of display scale while the program runs, end to end: the real
// ColorTintvane.exe, started at one scale, is told that its window's monitor
// has another now, as Windows tells it (WM_DPICHANGED: the new scale and the
// rectangle Windows suggests), and must then look and pick as a start at
// that scale does. Wine gives every monitor one scale and never sends the
// message itself, so a global hook delivers it inside the program's process
// (tests/e2e/program_hooks.cpp); the program has no hook of its own.
//   e2e_scale_changes.exe PATH/TO/ColorTintvane.exe [gtest flags]
// with program_hooks.dll and url_recorder.exe beside it.
#include <memory>

#include "tests/e2e/program_driver.h"  // windows.h first
#include "tests/e2e/scale_change.h"

class ScaleChangeTest : public ProgramTest {
 protected:
  void SetUp() override {
    ProgramTest::SetUp();
    speed_ = MouseSpeed();
    hooks_ = LoadLibraryW(HelperPath(L"program_hooks.dll").c_str());
    ASSERT_TRUE(hooks_);
    HOOKPROC announce = (HOOKPROC)(void*)GetProcAddress(hooks_, "AnnounceScaleChange");
    ASSERT_TRUE(announce);
    hook_ = SetWindowsHookExW(WH_CALLWNDPROC, announce, hooks_, 0);
    ASSERT_TRUE(hook_);
    // Right of the window at every scale used here, low on the screen.
    int width = GetSystemMetrics(SM_CXSCREEN), height = GetSystemMetrics(SM_CYSCREEN);
    pattern_.reset(new PatternWindow(Rect{width - 220, height - 200, 200, 150}));
    ASSERT_TRUE(pattern_->Shows());
  }
  void TearDown() override {
    ProgramTest::TearDown();
    pattern_.reset();
    if (hook_) UnhookWindowsHookEx(hook_);
    if (hooks_) FreeLibrary(hooks_);
    // A failure must not leave the tests after it with a slowed mouse.
    if (speed_ && MouseSpeed() != speed_)
      SystemParametersInfoW(SPI_SETMOUSESPEED, (UINT)speed_, (void*)(INT_PTR)speed_, SPIF_SENDCHANGE);
  }

  // Starts the program at `ppi` pixels per inch and waits for its window.
  ::testing::AssertionResult StartAt(int ppi) {
    ScaleForNewPrograms scale(ppi);
    return Start();
  }

  // The sample settings, the window expanded or collapsed.
  void WriteSampleSettings(bool expanded = true) {
    ConfigRecord settings = SampleSettings();
    settings.WinExpanded = expanded ? 1 : 0;
    WriteSettings(settings);
  }

  // The layout of a start at `ppi` with the sample settings; the program is closed again.
  WindowLayout FreshStartLayout(int ppi, bool expanded = true) {
    WriteSampleSettings(expanded);
    WindowLayout layout;
    EXPECT_TRUE(StartAt(ppi));
    if (main_.window) layout = LayoutOf(main_);
    EXPECT_EQ(Close(), 0);
    return layout;
  }

  // The rectangle Windows suggests for a change: the window's corner moved
  // by (dx, dy), the inner size of a start at the new scale (`there`) in the
  // window's frame, which under Wine keeps its size at every scale.
  Rect Suggested(const WindowLayout& there, int dx, int dy) {
    Rect outer = Of(main_.window), client = ClientRectOf(main_.window);
    const Rect& inner = there.parts[0].second;
    return Rect{outer.x + dx, outer.y + dy, outer.w - client.w + inner.w, outer.h - client.h + inner.h};
  }

  // Tells the program that its window's monitor has `ppi` pixels per inch
  // now, suggesting `suggested`; returns once the program has handled it.
  ::testing::AssertionResult ChangeScale(int ppi, const Rect& suggested) {
    ScaleChangeRequest request = {ppi, {suggested.x, suggested.y, suggested.x + suggested.w, suggested.y + suggested.h}};
    HANDLE memory = CreateFileMappingW(INVALID_HANDLE_VALUE, nullptr, PAGE_READWRITE, 0, sizeof request, kScaleChangeMemory);
    void* view = memory ? MapViewOfFile(memory, FILE_MAP_WRITE, 0, 0, sizeof request) : nullptr;
    if (!view) {
      if (memory) CloseHandle(memory);
      return ::testing::AssertionFailure() << "no shared memory for the request";
    }
    memcpy(view, &request, sizeof request);
    DWORD_PTR answer = 0;
    bool taken = SendMessageTimeoutW(main_.window, RegisterWindowMessageW(kScaleChangeMessage), 0, 0,
                                     SMTO_ABORTIFHUNG, 10000, &answer) != 0;
    UnmapViewOfFile(view);
    CloseHandle(memory);
    if (!taken) return ::testing::AssertionFailure() << "the program did not take the message";
    return ::testing::AssertionSuccess();
  }

  // A live pick on the pattern window takes the exact pixel under the
  // pointer, shown in the colour text, and the release commits it.
  void ExpectExactPick() {
    Rect picker = Of(main_.picker);
    ASSERT_TRUE(MoveTo(picker.cx(), picker.cy()));
    MouseButton(MOUSEEVENTF_LEFTDOWN);
    const Rect& area = pattern_->rect();
    int color = 0;
    for (const POINT& p : {POINT{10, 20}, POINT{123, 77}, POINT{57, 3}}) {
      ASSERT_TRUE(MoveTo(area.x + p.x, area.y + p.y));
      color = PatternWindow::ColorAt(p.x, p.y);
      EXPECT_TRUE(WaitFor([&] { return ColorText() == HtmlText(color); }))
          << p.x << ", " << p.y << ": " << ColorText().c_str();
    }
    MouseButton(MOUSEEVENTF_LEFTUP);
    EXPECT_TRUE(WaitFor([&] { return HistoryRuns()[0] == color; }));
    // The capture view shows the region magnified, its centre block the picked pixel.
    Rect view = ClientRectOf(main_.capture);
    EXPECT_EQ(Shot(view).Pixel(view.w / 2, view.h / 2), color);
  }

  // The window that has the keyboard focus in the program.
  HWND Focus() {
    GUITHREADINFO info = {sizeof info};
    GetGUIThreadInfo(GetWindowThreadProcessId(main_.window, nullptr), &info);
    return info.hwndFocus;
  }

  HMODULE hooks_ = nullptr;
  HHOOK hook_ = nullptr;
  int speed_ = 0;
  std::unique_ptr<PatternWindow> pattern_;
};

// Every rectangle, the list's rows and its colour icons as a start shows
// them, once the window shows them at all (its pictures are on the screen).
static void ExpectSameLayout(const MainWindow& window, const WindowLayout& expected) {
  WindowLayout shown;
  WaitFor([&] {
    shown = LayoutOf(window);
    return shown.iconWidth == expected.iconWidth && shown.iconHeight == expected.iconHeight;
  });
  ASSERT_EQ(shown.parts.size(), expected.parts.size());
  for (size_t i = 0; i < shown.parts.size(); i++)
    EXPECT_EQ(shown.parts[i].second, expected.parts[i].second) << shown.parts[i].first;
  EXPECT_EQ(shown.rowHeight, expected.rowHeight) << "list rows";
  EXPECT_EQ(shown.iconWidth, expected.iconWidth) << "colour icons";
  EXPECT_EQ(shown.iconHeight, expected.iconHeight) << "colour icons";
}

TEST_F(ScaleChangeTest, AWindowGivenANewScaleIsLaidOutAsAStartThereAndPicksExactly) {
  const struct {
    int from, to;
    bool expanded;
  } changes[] = {{96, 144, true}, {144, 96, true}, {96, 192, true}, {96, 144, false}};
  for (const auto& c : changes) {
    SCOPED_TRACE(testing::Message() << "from " << c.from << " to " << c.to << " pixels per inch"
                                    << (c.expanded ? "" : ", collapsed"));
    WindowLayout there = FreshStartLayout(c.to, c.expanded);
    ASSERT_FALSE(there.parts.empty());
    WriteSampleSettings(c.expanded);
    ASSERT_TRUE(StartAt(c.from));
    ASSERT_FALSE(LayoutOf(main_).parts[0].second == there.parts[0].second) << "the two scales look alike";
    Rect suggested = Suggested(there, 30, 20);
    ASSERT_TRUE(ChangeScale(c.to, suggested));
    EXPECT_EQ(Of(main_.window), suggested);
    ExpectSameLayout(main_, there);
    ASSERT_TRUE(MoveTo(GetSystemMetrics(SM_CXSCREEN) - 1, GetSystemMetrics(SM_CYSCREEN) - 1));
    EXPECT_TRUE(PickerWearsTheIcon(main_));
    ExpectExactPick();
    ASSERT_EQ(Close(), 0);
  }
}

// Turns the mouse wheel by `notches` (negative: towards the user) where the pointer is.
static void TurnWheel(int notches) {
  INPUT in = {};
  in.type = INPUT_MOUSE;
  in.mi.dwFlags = MOUSEEVENTF_WHEEL;
  in.mi.mouseData = (DWORD)(notches * WHEEL_DELTA);
  SendInput(1, &in, sizeof in);
}

// What a person has made of the window, which a change of scale must keep.
struct WindowState {
  std::wstring color, fields[3];
  std::vector<int> history, capture, palette;
  int selectedRow = -1, topRow = -1;
  HWND focus = nullptr;
  bool operator==(const WindowState& o) const {
    return color == o.color && fields[0] == o.fields[0] && fields[1] == o.fields[1] && fields[2] == o.fields[2] &&
           history == o.history && capture == o.capture && palette == o.palette && selectedRow == o.selectedRow &&
           topRow == o.topRow && focus == o.focus;
  }
};

// Twenty changes back and forth between 144 and 96 pixels per inch: at 96
// again the window is laid out exactly as before, pixel for pixel, and what
// the user made of it is all there: the colour, the history, the capture and
// its palette, the list's selection and scroll, the focus. The settings
// saved at close open the window where it stood, after a close at 96 and
// after one at 144 alike.
TEST_F(ScaleChangeTest, TwentyChangesBackAndForthLoseNothingAndLeaveNoDrift) {
  WindowLayout at144 = FreshStartLayout(144);
  ASSERT_FALSE(at144.parts.empty());
  ConfigRecord settings = SampleSettings();
  for (int i = 0; i < kCapturedPixelCount; i++) settings.CapturedImgData[i] = Rgb(i % 31 * 8, i / 31 * 12, 90);
  WriteSettings(settings);
  ASSERT_TRUE(StartAt(96));
  WindowLayout at96 = LayoutOf(main_);

  // A row chosen, the list scrolled, the focus left in the green field.
  RemoteList rows(main_.list);
  Rect row = rows.RowRect(4);
  ASSERT_TRUE(ClickAt(row.x + row.w / 3, row.cy()));
  ASSERT_TRUE(WaitFor([&] { return rows.Selected() == 4; }));
  TurnWheel(-2);
  ASSERT_TRUE(WaitFor([&] { return SendMessageW(main_.list, LVM_GETTOPINDEX, 0, 0) > 0; }));
  Rect green = Of(main_.fields[1]);
  ASSERT_TRUE(ClickAt(green.cx(), green.cy()));
  ASSERT_TRUE(WaitFor([&] { return Focus() == main_.fields[1]; }));
  auto state = [&] {
    WindowState s;
    s.color = ColorText();
    for (int i = 0; i < 3; i++) s.fields[i] = TextOf(main_.fields[i]);
    s.history = HistoryRuns();
    s.capture = Shot(ClientRectOf(main_.capture)).Pixels();
    s.palette = Shot(ClientRectOf(main_.palette)).Pixels();
    s.selectedRow = rows.Selected();
    s.topRow = (int)SendMessageW(main_.list, LVM_GETTOPINDEX, 0, 0);
    s.focus = Focus();
    return s;
  };
  WindowState before = state();

  for (int i = 0; i < 20; i++) {
    SCOPED_TRACE(testing::Message() << "change " << i + 1);
    bool up = i % 2 == 0;
    Rect suggested = up ? Suggested(at144, 13, 7) : Suggested(at96, -9, -5);
    ASSERT_TRUE(ChangeScale(up ? 144 : 96, suggested));
    EXPECT_EQ(Of(main_.window), suggested);
  }
  ExpectSameLayout(main_, at96);
  WindowState after;
  EXPECT_TRUE(WaitFor([&] { return (after = state()) == before; }));
  EXPECT_EQ(after.color, before.color);
  EXPECT_EQ(after.history, before.history);
  EXPECT_TRUE(after.capture == before.capture) << "the capture view changed";
  EXPECT_TRUE(after.palette == before.palette) << "the palette changed";
  EXPECT_EQ(after.selectedRow, before.selectedRow);
  EXPECT_EQ(after.topRow, before.topRow);
  EXPECT_EQ(after.focus, before.focus);

  for (int ppi : {96, 144}) {
    SCOPED_TRACE(testing::Message() << "closed at " << ppi << " pixels per inch");
    if (ppi == 144) {
      ASSERT_TRUE(ChangeScale(144, Suggested(at144, 0, 0)));
    }
    Rect left = Of(main_.window);
    ASSERT_EQ(Close(), 0);
    ASSERT_TRUE(StartAt(96));
    EXPECT_EQ(Of(main_.window).x, left.x);
    EXPECT_EQ(Of(main_.window).y, left.y);
  }
}

// A change that comes while the user drags ends the drag as a lost release
// does: the drag's colour goes into the history once, the pointer is free
// and the mouse has its speed back, the strip keeps the focus.
TEST_F(ScaleChangeTest, AChangeDuringAPrecisionDragEndsIt) {
  WindowLayout at144 = FreshStartLayout(144);
  ASSERT_FALSE(at144.parts.empty());
  WriteSettings(SampleSettings());
  ASSERT_TRUE(StartAt(96));
  int speed = speed_;
  ASSERT_GE(speed, 4);
  std::vector<int> history = HistoryRuns();
  ASSERT_TRUE(StartPrecisionDrag(main_.strips[0], 1 / 3.0, speed));
  ASSERT_TRUE(WaitFor([&] { return ColorText() != L"#1A2B3C"; }));
  std::wstring dragged = ColorText();

  ASSERT_TRUE(ChangeScale(144, Suggested(at144, 0, 0)));
  EXPECT_TRUE(WaitFor([] { return !PointerConfined(); }));
  EXPECT_TRUE(WaitFor([&] { return MouseSpeed() == speed; })) << MouseSpeed();
  ASSERT_TRUE(WaitFor([&] { return HistoryRuns() != history; }));
  EXPECT_EQ(HtmlText(HistoryRuns()[0]), dragged);
  EXPECT_EQ(HistoryRuns()[1], history[0]);
  EXPECT_EQ(Focus(), main_.strips[0]);
  // Letting go afterwards changes nothing more.
  SendKeys({{VK_CONTROL, true}});
  MouseButton(MOUSEEVENTF_LEFTUP);
  std::vector<int> committed = HistoryRuns();
  ASSERT_TRUE(Settle());
  EXPECT_EQ(HistoryRuns(), committed);
  EXPECT_EQ(ColorText(), dragged);
}

int main(int argc, char** argv) {
  if (!StartDriver(&argc, argv, "[gtest flags]")) return 2;
  return RUN_ALL_TESTS();
}
