// Which parts of a screen region hold pixels, on one monitor and on several.
#include "runtime/screen_parts.h"

#include <gtest/gtest.h>

#include <string>

// The region's pixels as rows of '#' (on a monitor) and '.' (none), from
// its parts: the picture a copy of the screen leaves.
static std::string Existing(const ScreenRect& region, const std::vector<ScreenRect>& parts) {
  std::string rows;
  for (int y = 0; y < region.height; y++) {
    for (int x = 0; x < region.width; x++) rows += RegionPixelExists(parts, x, y) ? '#' : '.';
    rows += '\n';
  }
  return rows;
}

// A 1280 x 1024 screen: the region of 31 x 21 around the pointer at its
// edges and corners keeps only what lies on it, the pixel under the pointer
// (15, 10) always among it.
TEST(ScreenParts, ARegionAtTheScreensEdgeKeepsWhatLiesOnIt) {
  const ScreenRect screen[] = {{0, 0, 1280, 1024}};
  const struct {
    const char* what;
    int pointerX, pointerY;
    ScreenRect part;  // in the region
  } cases[] = {
      {"inside", 600, 500, {0, 0, 31, 21}},
      {"top edge", 600, 0, {0, 10, 31, 11}},
      {"bottom edge", 600, 1023, {0, 0, 31, 11}},
      {"left edge", 0, 500, {15, 0, 16, 21}},
      {"right edge", 1279, 500, {0, 0, 16, 21}},
      {"top-left corner", 0, 0, {15, 10, 16, 11}},
      {"top-right corner", 1279, 0, {0, 10, 16, 11}},
      {"bottom-left corner", 0, 1023, {15, 0, 16, 11}},
      {"bottom-right corner", 1279, 1023, {0, 0, 16, 11}},
      {"near the top", 600, 9, {0, 1, 31, 20}},
      {"near the right", 1265, 500, {0, 0, 30, 21}},
  };
  for (const auto& k : cases) {
    ScreenRect region = {k.pointerX - 15, k.pointerY - 10, 31, 21};
    std::vector<ScreenRect> parts = RegionPartsOnMonitors(region, screen, 1);
    ASSERT_EQ(parts.size(), 1u) << k.what;
    EXPECT_EQ(parts[0].x, k.part.x) << k.what;
    EXPECT_EQ(parts[0].y, k.part.y) << k.what;
    EXPECT_EQ(parts[0].width, k.part.width) << k.what;
    EXPECT_EQ(parts[0].height, k.part.height) << k.what;
    EXPECT_TRUE(RegionPixelExists(parts, 15, 10)) << k.what;
  }
}

// Four monitors as a person may have them: the primary, one of its size to
// its right, a shorter one to its left and a lower one above it. A region
// across their corners reads each monitor's part; the gaps between them and
// what lies off the virtual screen hold no pixel.
TEST(ScreenParts, ARegionAcrossMonitorsKeepsEachMonitorsPartAndNoGap) {
  const ScreenRect monitors[] = {
      {0, 0, 1280, 1024}, {1280, 0, 1280, 1024}, {-1024, 0, 1024, 768}, {0, -720, 1280, 720}};
  const struct {
    const char* what;
    ScreenRect region;
    const char* pixels;
  } cases[] = {
      {"the left monitor's bottom-right corner, a gap below it", {-3, 765, 6, 5},
       "######\n"
       "######\n"
       "######\n"
       "...###\n"
       "...###\n"},
      {"the monitor above's bottom-right corner, no monitor right of it", {1277, -2, 6, 4},
       "###...\n"
       "###...\n"
       "######\n"
       "######\n"},
      {"the left edge of the virtual screen", {-1027, 10, 5, 2},
       "...##\n"
       "...##\n"},
      {"wholly in the gap below the left monitor", {-600, 900, 3, 2},
       "...\n"
       "...\n"},
      {"around the primary's top-left corner, the gap above the left monitor", {-2, -2, 4, 4},
       "..##\n"
       "..##\n"
       "####\n"
       "####\n"},
  };
  for (const auto& k : cases) {
    std::vector<ScreenRect> parts = RegionPartsOnMonitors(k.region, monitors, 4);
    EXPECT_EQ(Existing(k.region, parts), k.pixels) << k.what;
    for (const ScreenRect& part : parts) {  // each part within the region, none empty
      EXPECT_TRUE(part.x >= 0 && part.y >= 0 && part.width > 0 && part.height > 0) << k.what;
      EXPECT_TRUE(part.x + part.width <= k.region.width && part.y + part.height <= k.region.height) << k.what;
    }
  }
  // A part for each monitor the region reaches, in the monitors' order.
  std::vector<ScreenRect> parts = RegionPartsOnMonitors(ScreenRect{1277, -2, 6, 4}, monitors, 4);
  ASSERT_EQ(parts.size(), 3u);
  EXPECT_EQ(parts[0].x, 0);  // the primary
  EXPECT_EQ(parts[0].y, 2);
  EXPECT_EQ(parts[1].x, 3);  // the right-hand one
  EXPECT_EQ(parts[2].y, 0);  // the one above
  EXPECT_TRUE(RegionPartsOnMonitors(ScreenRect{0, 0, 10, 10}, monitors, 0).empty());
}

TEST(ScreenParts, APointLiesOnTheMonitorsOrInNoneOfThem) {
  const ScreenRect monitors[] = {{0, 0, 1280, 1024}, {-1024, 0, 1024, 768}};
  const struct {
    int x, y;
    bool on;
  } cases[] = {
      {0, 0, true},      {1279, 1023, true}, {1280, 0, false}, {0, 1024, false}, {-1, 767, true},
      {-1, 768, false},  {-1024, 0, true},   {-1025, 0, false}, {0, -1, false},
  };
  for (const auto& k : cases) EXPECT_EQ(PointOnMonitors(k.x, k.y, monitors, 2), k.on) << k.x << ", " << k.y;
  EXPECT_FALSE(PointOnMonitors(0, 0, monitors, 0));
}
