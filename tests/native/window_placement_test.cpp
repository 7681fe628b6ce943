#include "app/window_placement.h"

#include <gtest/gtest.h>

TEST(InsideInclusive, TheEdgesBelongToTheRectangle) {
  // (10, 20) 30 x 40: x 10..40, y 20..60, all four edges included.
  EXPECT_TRUE(InsideInclusive(10, 20, 10, 20, 30, 40));
  EXPECT_TRUE(InsideInclusive(40, 60, 10, 20, 30, 40));
  EXPECT_FALSE(InsideInclusive(9, 30, 10, 20, 30, 40));
  EXPECT_FALSE(InsideInclusive(41, 30, 10, 20, 30, 40));
  EXPECT_FALSE(InsideInclusive(20, 61, 10, 20, 30, 40));
  EXPECT_FALSE(InsideInclusive(-1, -1, 0, 0, 30, 40));  // a pointer outside the client area
  EXPECT_TRUE(InsideInclusive(2147483647, 0, 2147483600, 0, 1000, 10));
}

TEST(KeepReachable, PullsBackOnlyPastTheLimits) {
  const struct {
    int position, size, display, expected;
  } cases[] = {
      {-5000, 480, 1280, -288},       // -0.6 x 480
      {-288, 480, 1280, -288},        // on the limit: stays
      {-289, 480, 1280, -288},
      {-5000, 487, 1280, -292},       // -292.2 rounds to -292
      {-5000, 489, 1280, -293},       // -293.4
      {100000, 480, 1280, 1088},      // 1280 - 0.4 x 480
      {1088, 480, 1280, 1088},
      {1089, 480, 1280, 1088},
      {100000, 487, 1280, 1085},      // 1085.2
      {320, 480, 1280, 320},
      {-2147483647 - 1, 480, 1280, -288},
      {2147483647, 480, 1280, 1088},
      {50, 480, 0, -192},             // no display: 0 - 0.4 x 480
  };
  for (const auto& k : cases)
    EXPECT_EQ(KeepReachable(k.position, k.size, k.display), k.expected) << k.position << " " << k.size;
}

// Monitors as a person may have them: a 1280 x 1024 primary, one right of
// it, one left (negative x) and one above (negative y); logical units.
static const ScreenRect kPrimary = {0, 0, 1280, 1024}, kRight = {1280, 0, 1280, 1024},
                        kLeft = {-1024, 0, 1024, 768}, kAbove = {0, -720, 1280, 720};

TEST(KeepReachableOnDisplays, KeepsTheWindowOnTheNearestDisplay) {
  const ScreenRect four[] = {kPrimary, kRight, kLeft, kAbove};
  const ScreenRect primaryOnly[] = {kPrimary};
  const ScreenRect withoutRight[] = {kPrimary, kLeft, kAbove};
  const struct {
    const char* what;
    const ScreenRect* displays;
    int count;
    int x, y;          // stored; the window is 500 x 300
    int nearest;       // the display the rule keeps it on
    int keptX, keptY;  // where it opens
  } cases[] = {
      {"on the primary", four, 4, 320, 240, 0, 320, 240},
      {"on the right-hand display", four, 4, 1600, 300, 1, 1600, 300},
      {"on the left-hand display, negative x", four, 4, -900, 100, 2, -900, 100},
      {"on the display above, negative y", four, 4, 200, -600, 3, 200, -600},
      {"across two displays: the one it overlaps most", four, 4, 1100, 100, 1, 1100, 100},
      {"60 % off the right-hand display's far edge stays", four, 4, 2360, 0, 1, 2360, 0},
      {"past the right-hand display's far edge", four, 4, 2400, 0, 1, 2360, 0},
      {"below the left-hand display, which is shorter", four, 4, -900, 900, 2, -900, 648},
      {"far above: onto the display above", four, 4, 100, -5000, 3, 100, -900},
      {"far left: onto the left-hand display", four, 4, -5000, 100, 2, -1324, 100},
      {"the right-hand display gone: onto the primary", withoutRight, 3, 1600, 300, 0, 1080, 300},
      {"the left-hand display gone: onto the primary", primaryOnly, 1, -900, 100, 0, -300, 100},
      {"the display above gone: onto the primary", primaryOnly, 1, 200, -600, 0, 200, -180},
      {"the extremes", four, 4, -2147483647 - 1, 2147483647, 2, -1324, 648},
      {"the extremes, the primary alone", primaryOnly, 1, 2147483647, -2147483647 - 1, 0, 1080, -180},
      {"no display enumerated: the reported primary", nullptr, 0, 320, 240, -1, 320, 240},
      {"no display enumerated, far off: onto the reported primary", nullptr, 0, -5000, 5000, -1, -300, 904},
  };
  for (const auto& k : cases) {
    SCOPED_TRACE(k.what);
    ScreenRect window = {k.x, k.y, 500, 300};
    EXPECT_EQ(NearestDisplay(window, k.displays, k.count), k.nearest);
    KeepReachableOnDisplays(&window, k.displays, k.count, kPrimary);
    EXPECT_EQ(window.x, k.keptX);
    EXPECT_EQ(window.y, k.keptY);
    EXPECT_EQ(window.width, 500);
    EXPECT_EQ(window.height, 300);
  }
}

TEST(KeepReachableOnDisplays, OnePrimaryGivesTheRuleOfOneDisplay) {
  // Whatever the stored position, a single display at (0, 0) gives what
  // KeepReachable gives along each axis.
  const ScreenRect primary[] = {kPrimary};
  for (int x : {-2147483647 - 1, -5000, -289, -288, 0, 1088, 1089, 100000, 2147483647})
    for (int size : {480, 487, 489}) {
      ScreenRect window = {x, x, size, size};
      KeepReachableOnDisplays(&window, primary, 1, ScreenRect{0, 0, 0, 0});
      EXPECT_EQ(window.x, KeepReachable(x, size, 1280)) << x << " " << size;
      EXPECT_EQ(window.y, KeepReachable(x, size, 1024)) << x << " " << size;
    }
}

TEST(NearestDisplay, TiesGoToTheFirstAndDistanceCountsBothAxes) {
  // Between the primary and the right-hand display, overlapping both equally.
  const ScreenRect two[] = {kPrimary, kRight};
  EXPECT_EQ(NearestDisplay(ScreenRect{1030, 0, 500, 300}, two, 2), 0);
  const ScreenRect reversed[] = {kRight, kPrimary};
  EXPECT_EQ(NearestDisplay(ScreenRect{1030, 0, 500, 300}, reversed, 2), 0);
  // Off every display, below both: the one it lies under, then the one nearer.
  EXPECT_EQ(NearestDisplay(ScreenRect{1290, 1100, 10, 10}, two, 2), 1);
  EXPECT_EQ(NearestDisplay(ScreenRect{1260, 1100, 10, 10}, two, 2), 0);
  // The distance counts both axes: nearer the first along x alone, nearer
  // the second all told (10 and 100 apart against 60 and 0).
  const ScreenRect apart[] = {{0, 0, 100, 100}, {180, 150, 100, 100}};
  EXPECT_EQ(NearestDisplay(ScreenRect{110, 200, 10, 10}, apart, 2), 1);
  EXPECT_EQ(NearestDisplay(ScreenRect{105, 90, 10, 10}, apart, 2), 0);
}
