// The whole program on several monitors, end to end: picks on every monitor
// (those left of and above the primary have negative coordinates), the
// window reopening where it was left, and the options menu on the monitor
// of its button. Run by scripts/monitor-session.sh, which makes the monitors:
//   e2e_monitors.exe PATH/TO/ColorTintvane.exe [gtest flags]
#include <math.h>

#include <memory>

#include "tests/e2e/program_driver.h"

// The monitors as the system reports them, by where they lie.
struct Monitors {
  Rect primary = {}, right = {}, left = {}, above = {};
  int count = 0;
};

static BOOL CALLBACK CollectMonitor(HMONITOR, HDC, LPRECT r, LPARAM out) {
  Monitors* m = (Monitors*)out;
  Rect rect = {r->left, r->top, r->right - r->left, r->bottom - r->top};
  if (rect.x == 0 && rect.y == 0) m->primary = rect;
  else if (rect.x > 0) m->right = rect;
  else if (rect.x < 0) m->left = rect;
  else if (rect.y < 0) m->above = rect;
  m->count++;
  return TRUE;
}

class MonitorTest : public ProgramTest {
 protected:
  void SetUp() override {
    ProgramTest::SetUp();
    EnumDisplayMonitors(nullptr, nullptr, CollectMonitor, (LPARAM)&monitors_);
    // Without them nothing here tests anything: fail, do not skip.
    ASSERT_EQ(monitors_.count, 4) << "run under scripts/monitor-session.sh";
    ASSERT_GT(monitors_.right.w, 0);
    ASSERT_GT(monitors_.left.w, 0);
    ASSERT_GT(monitors_.above.w, 0);
  }
  // Settings with the window's corner at (x, y) in logical units.
  void WriteSettingsAt(int x, int y) {
    ConfigRecord c = {};
    c.validityMarker = kSettingsMarker;
    c.Color = 0x3C2B1A;
    c.WinX = x;
    c.WinY = y;
    c.WinExpanded = 1;
    WriteSettings(c);
  }
  Monitors monitors_;
};

// A pick on each monitor reads the very pixel under the pointer, live and
// after the release, and the capture view shows it magnified.
TEST_F(MonitorTest, APickOnEveryMonitorTakesTheExactPixel) {
  ASSERT_EQ(Scale(), ExpectedScale());
  WriteSettingsAt(20, 20);
  ASSERT_TRUE(Start());
  const struct {
    const char* name;
    Rect monitor;
  } where[] = {{"right", monitors_.right}, {"left", monitors_.left}, {"above", monitors_.above},
               {"primary", monitors_.primary}};
  for (const auto& w : where) {
    SCOPED_TRACE(w.name);
    // Low on the left of the monitor, clear of the window on the primary.
    PatternWindow pattern(Rect{w.monitor.x + 20, w.monitor.y + w.monitor.h - 200, 200, 150});
    ASSERT_TRUE(pattern.Shows());
    Rect picker = Of(main_.picker), swatch = ClientRectOf(main_.swatch);
    ASSERT_TRUE(MoveTo(picker.cx(), picker.cy()));
    MouseButton(MOUSEEVENTF_LEFTDOWN);
    const Rect& area = pattern.rect();
    int color = 0;
    for (const auto& p : {POINT{10, 20}, POINT{123, 77}, POINT{57, 3}}) {
      ASSERT_TRUE(MoveTo(area.x + p.x, area.y + p.y));
      color = PatternWindow::ColorAt(p.x, p.y);
      EXPECT_TRUE(WaitFor([&] {
        return ColorText() == HtmlText(color) && Shot(swatch).Pixel(swatch.w / 2, swatch.h / 2) == color;
      })) << "at " << area.x + p.x << ", " << area.y + p.y << ": " << ColorText().c_str() << " for "
          << HtmlText(color).c_str();
    }
    MouseButton(MOUSEEVENTF_LEFTUP);
    ASSERT_TRUE(WaitFor([&] { return HistoryRuns()[0] == color; })) << ColorText().c_str();
    EXPECT_EQ(ColorText(), HtmlText(color));
    EXPECT_EQ(RemoteList(main_.list).Cell(0, 1), HtmlText(color));
    Rect view = ClientRectOf(main_.capture);
    EXPECT_EQ(Shot(view).Pixel(view.w / 2, view.h / 2), color);
  }
  ASSERT_EQ(Close(), 0);
}

// At a monitor's edge the region around the pointer reaches into a gap
// between monitors or off the virtual screen: the pick takes the pixel under
// the pointer, live and at the release, and the view shows each monitor's
// part of the region as it is and black where no monitor is. Over a picture
// of the whole virtual screen, gaps included, behind the program's window.
TEST_F(MonitorTest, PicksAtTheMonitorsEdgesReadEachMonitorAndNoGap) {
  ASSERT_EQ(Scale(), ExpectedScale());
  const Monitors& m = monitors_;
  Backdrop backdrop(Rect{GetSystemMetrics(SM_XVIRTUALSCREEN), GetSystemMetrics(SM_YVIRTUALSCREEN),
                         GetSystemMetrics(SM_CXVIRTUALSCREEN), GetSystemMetrics(SM_CYVIRTUALSCREEN)});
  ASSERT_TRUE(backdrop.Shows());
  WriteSettingsAt(20, 20);
  ASSERT_TRUE(Start());
  const struct {
    const char* what;
    POINT at;
  } points[] = {
      {"the left monitor's bottom-right corner, a gap below it", {m.left.x + m.left.w - 1, m.left.y + m.left.h - 1}},
      {"the left monitor's bottom-left corner, off the virtual screen", {m.left.x, m.left.y + m.left.h - 1}},
      {"the corner where the left monitor, the one above and the primary meet", {0, -1}},
      {"the top-right corner of the monitor above, a gap beside it", {m.above.x + m.above.w - 1, m.above.y}},
      {"the right monitor's bottom-right corner", {m.right.x + m.right.w - 1, m.right.y + m.right.h - 1}},
  };
  Rect picker = Of(main_.picker), swatch = ClientRectOf(main_.swatch);
  ASSERT_TRUE(MoveTo(picker.cx(), picker.cy()));
  MouseButton(MOUSEEVENTF_LEFTDOWN);
  for (const auto& p : points) {
    SCOPED_TRACE(p.what);
    ASSERT_TRUE(MoveTo(p.at.x, p.at.y));
    int color = backdrop.Read(p.at.x, p.at.y);
    ::testing::AssertionResult magnified = ::testing::AssertionFailure();
    EXPECT_TRUE(WaitFor([&] {
      return ColorText() == HtmlText(color) && Shot(swatch).Pixel(swatch.w / 2, swatch.h / 2) == color &&
             (magnified = ShowsMagnified(main_.capture, backdrop, p.at.x, p.at.y, true));
    })) << ColorText().c_str() << " for " << HtmlText(color).c_str() << "; " << magnified.message();
  }
  MouseButton(MOUSEEVENTF_LEFTUP);
  const POINT& last = points[4].at;
  int color = backdrop.Read(last.x, last.y);
  ASSERT_TRUE(WaitFor([&] { return HistoryRuns()[0] == color; })) << ColorText().c_str();
  EXPECT_TRUE(ShowsMagnified(main_.capture, backdrop, last.x, last.y, false));
  ASSERT_EQ(Close(), 0);
}

// A window left on any monitor opens there again; one left where a monitor
// has gone comes onto the nearest one, 40 % of it at least.
TEST_F(MonitorTest, TheWindowOpensOnTheMonitorItWasLeftOn) {
  const Monitors& m = monitors_;
  const struct {
    const char* what;
    int x, y;  // logical units
    bool stays;
  } cases[] = {
      {"on the right-hand monitor", Logical(m.right.x + 100), Logical(m.right.y + 50), true},
      {"on the left-hand monitor", Logical(m.left.x + 40), Logical(m.left.y + 30), true},
      {"on the monitor above", Logical(m.above.x + 60), Logical(m.above.y + 20), true},
      {"beyond the right-hand monitor", Logical(m.right.x + m.right.w + 400), Logical(m.right.y + 50), false},
      {"below the primary, where no monitor is", Logical(m.primary.x + 100), Logical(m.primary.h + 900), false},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    WriteSettingsAt(c.x, c.y);
    ASSERT_TRUE(Start());
    Rect outer = Of(main_.window);
    if (c.stays) {
      EXPECT_EQ(outer.x, Scaled(c.x));
      EXPECT_EQ(outer.y, Scaled(c.y));
    } else if (c.x > Logical(m.right.x)) {
      EXPECT_EQ(outer.x, Scaled((int)nearbyint(Logical(m.right.x + m.right.w) - 0.4 * Logical(outer.w))));
      EXPECT_EQ(outer.y, Scaled(c.y));
    } else {
      EXPECT_EQ(outer.x, Scaled(c.x));
      EXPECT_EQ(outer.y, Scaled((int)nearbyint(Logical(m.primary.h) - 0.4 * Logical(outer.h))));
    }
    ASSERT_EQ(Close(), 0);
    ConfigRecord saved;
    ASSERT_TRUE(ReadSettings(&saved));
    EXPECT_EQ(saved.WinX, Logical(outer.x));
    EXPECT_EQ(saved.WinY, Logical(outer.y));
  }
}

// The options menu opens under its button on the monitor the window is on,
// left of the primary (negative x) as much as anywhere.
TEST_F(MonitorTest, TheOptionsMenuOpensUnderItsButtonOnItsMonitor) {
  for (const Rect& monitor : {monitors_.left, monitors_.above}) {
    WriteSettingsAt(Logical(monitor.x + 40), Logical(monitor.y + 30));
    ASSERT_TRUE(Start());
    Rect button = Of(main_.options);
    std::vector<HWND> menus;
    ASSERT_TRUE(ClickAt(button.cx(), button.cy()));
    ASSERT_TRUE(WaitFor([&] { return (menus = OpenMenus(process_.dwProcessId)).size() == 1; }));
    Rect at = Of(menus[0]);
    EXPECT_EQ(at.x, Scaled(Logical(button.x)));
    EXPECT_EQ(at.y, Scaled(Logical(button.y) + Logical(button.h) + 3));
    EXPECT_TRUE(at.x >= monitor.x && at.x + at.w <= monitor.x + monitor.w && at.y >= monitor.y &&
                at.y + at.h <= monitor.y + monitor.h)
        << at << " on " << monitor;
    PressKey(VK_ESCAPE);
    ASSERT_TRUE(WaitFor([&] { return OpenMenus(process_.dwProcessId).empty(); }));
    ASSERT_EQ(Close(), 0);
  }
}

int main(int argc, char** argv) {
  if (!StartDriver(&argc, argv, "[gtest flags]")) return 2;
  return RUN_ALL_TESTS();
}
