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

  // The layout of a start at `ppi` with the sample settings; the program is closed again.
  WindowLayout FreshStartLayout(int ppi) {
    WriteSettings(SampleSettings());
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
  } changes[] = {{96, 144}, {144, 96}, {96, 192}};
  for (const auto& c : changes) {
    SCOPED_TRACE(testing::Message() << "from " << c.from << " to " << c.to << " pixels per inch");
    WindowLayout there = FreshStartLayout(c.to);
    ASSERT_FALSE(there.parts.empty());
    WriteSettings(SampleSettings());
    ASSERT_TRUE(StartAt(c.from));
    ASSERT_FALSE(LayoutOf(main_).parts[0].second == there.parts[0].second) << "the two scales look alike";
    Rect suggested = Suggested(there, 30, 20);
    ASSERT_TRUE(ChangeScale(c.to, suggested));
    EXPECT_EQ(Of(main_.window), suggested);
    ExpectSameLayout(main_, there);
    ExpectExactPick();
    ASSERT_EQ(Close(), 0);
  }
}

int main(int argc, char** argv) {
  if (!StartDriver(&argc, argv, "[gtest flags]")) return 2;
  return RUN_ALL_TESTS();
}
