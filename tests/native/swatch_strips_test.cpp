#include "color/swatch_strips.h"

#include <gtest/gtest.h>
#include <string.h>

#include <vector>

#include "color/color_value.h"

//-----------------------------------------------------------------------------
// History
//-----------------------------------------------------------------------------

class History : public ::testing::Test {
 protected:
  int32_t recent[kRecentColorCount];
  void SetUp() override {
    for (int i = 0; i < kRecentColorCount; i++) recent[i] = 100 + i;  // 100 newest .. 115 oldest
  }
};

TEST_F(History, AColorAlreadyListedMovesToTheFrontAndOnlyTheNewerOnesShift) {
  MoveColorToFront(recent, 105);
  const int32_t expected[kRecentColorCount] = {105, 100, 101, 102, 103, 104, 106, 107,
                                               108, 109, 110, 111, 112, 113, 114, 115};
  EXPECT_EQ(memcmp(recent, expected, sizeof expected), 0);
  MoveColorToFront(recent, 105);  // already at the front: nothing moves
  EXPECT_EQ(memcmp(recent, expected, sizeof expected), 0);
  MoveColorToFront(recent, 115);  // the oldest comes back to the front, nothing drops out
  EXPECT_EQ(recent[0], 115);
  EXPECT_EQ(recent[15], 114);
}

TEST_F(History, ANewColorPushesOutTheOldest) {
  MoveColorToFront(recent, 7);
  EXPECT_EQ(recent[0], 7);
  for (int i = 1; i < kRecentColorCount; i++) EXPECT_EQ(recent[i], 100 + i - 1);
}

TEST_F(History, BoxesFillTheStripWithTheExtraPixelsAtTheLeft) {
  SwatchBox boxes[kRecentColorCount];
  ASSERT_EQ(LayoutHistoryBoxes(recent, 100, boxes), 16);
  int x = 0;
  for (int i = 0; i < kRecentColorCount; i++) {
    EXPECT_EQ(boxes[i].x, x);
    EXPECT_EQ(boxes[i].width, i < 4 ? 7 : 6) << i;  // 4 x 7 + 12 x 6 = 100
    EXPECT_EQ(boxes[i].color, recent[i]);
    x += boxes[i].width;
  }
  EXPECT_EQ(x, 100);
  ASSERT_EQ(LayoutHistoryBoxes(recent, 5, boxes), 16);
  EXPECT_EQ(boxes[4].width, 1);
  EXPECT_EQ(boxes[5].width, 0);
  EXPECT_EQ(boxes[15].x, 5);
  EXPECT_EQ(LayoutHistoryBoxes(recent, 0, boxes), 0);
  EXPECT_EQ(LayoutHistoryBoxes(recent, -3, boxes), 0);
}

//-----------------------------------------------------------------------------
// Luma and groups
//-----------------------------------------------------------------------------

TEST(PaletteGroups, LumaRoundsHalvesToEven) {
  const struct {
    int r, g, b, luma;
  } cases[] = {{255, 255, 255, 255}, {0, 0, 0, 0},  {60, 10, 10, 25}, {0, 0, 255, 28},
               {100, 100, 255, 117}, {5, 0, 0, 2},  {15, 0, 0, 4},    {0, 0, 150, 16}};
  for (const auto& k : cases)
    EXPECT_EQ(ColorLuma(ComposeColor(k.r, k.g, k.b)), k.luma) << k.r << ',' << k.g << ',' << k.b;
}

TEST(PaletteGroups, DominantChannelInMidLumaOtherwiseGreyOrRemaining) {
  const struct {
    int r, g, b;
    PaletteGroup group;
  } cases[] = {
      {200, 30, 30, GROUP_RED},        {110, 0, 0, GROUP_RED},           // luma 33
      {107, 0, 0, GROUP_REMAINING},    {60, 10, 10, GROUP_REMAINING},    // luma 32, 25
      {0, 56, 0, GROUP_GREEN},         {100, 100, 255, GROUP_BLUE},
      {0, 0, 200, GROUP_REMAINING},    {0, 0, 255, GROUP_REMAINING},     // luma 22, 28: blue, never grey
      {230, 230, 255, GROUP_REMAINING},                                  // luma 232
      {255, 250, 240, GROUP_REMAINING},                                  // light tint, luma 250
      {0, 0, 0, GROUP_GREY},           {255, 255, 255, GROUP_GREY},      {128, 128, 128, GROUP_GREY},
      {30, 30, 0, GROUP_GREY},         {255, 255, 200, GROUP_GREY},      // red = green, luma 27 / 249
      {120, 120, 0, GROUP_REMAINING},  {200, 30, 200, GROUP_REMAINING},  // two equal largest channels
  };
  for (const auto& k : cases)
    EXPECT_EQ(PaletteGroupOf(ComposeColor(k.r, k.g, k.b)), k.group) << k.r << ',' << k.g << ',' << k.b;
}

//-----------------------------------------------------------------------------
// Palette entries
//-----------------------------------------------------------------------------

static std::vector<int32_t> Pixels(std::initializer_list<std::pair<int, int>> colorCounts) {
  std::vector<int32_t> pixels;
  for (const auto& cc : colorCounts) pixels.insert(pixels.end(), cc.second, cc.first);
  return pixels;
}

TEST(AutoPalette, GroupsInStripOrderEachSortedByItsOwnKey) {
  const int red1 = ComposeColor(150, 20, 20), red2 = ComposeColor(220, 40, 0);
  const int green = ComposeColor(10, 180, 40), blue = ComposeColor(100, 100, 255);
  const int rest1 = ComposeColor(60, 10, 10), rest2 = ComposeColor(120, 120, 0);
  const int black = 0, white = 0xFFFFFF;
  // Counts all differ, so the count order is fixed: rest2, black, red1, white, blue, green, rest1, red2.
  std::vector<int32_t> pixels = Pixels({{red2, 1}, {rest1, 2}, {green, 3}, {blue, 4},
                                        {white, 5}, {red1, 6}, {black, 7}, {rest2, 8}});
  PaletteEntry entries[kPaletteLimit];
  ASSERT_EQ(BuildPaletteEntries(pixels.data(), (int)pixels.size(), entries), 8);
  const int expected[] = {red2, red1, green, blue, rest2, rest1, white, black};
  for (int i = 0; i < 8; i++) EXPECT_EQ(entries[i].color, expected[i]) << i;
  EXPECT_EQ(entries[0].count, 1);
  EXPECT_EQ(entries[6].luma, 255);
  EXPECT_EQ(entries[7].count, 7);
}

TEST(AutoPalette, KeepsThe33MostFrequentAndCountsOnlyColorBits) {
  std::vector<int32_t> pixels;
  for (int c = 0; c < 40; c++) pixels.insert(pixels.end(), c < 33 ? 3 : 1, ComposeColor(10, 40 + c, 200));
  pixels.push_back((int32_t)0xFF000000 | ComposeColor(10, 40, 200));  // high bits: the same colour as the first
  PaletteEntry entries[kPaletteLimit];
  ASSERT_EQ(BuildPaletteEntries(pixels.data(), (int)pixels.size(), entries), kPaletteLimit);
  for (int i = 0; i < kPaletteLimit; i++) EXPECT_GE(entries[i].count, 3);
  // All in the blue group with blue 200, so the count order stands.
  EXPECT_EQ(entries[0].color, ComposeColor(10, 40, 200));
  EXPECT_EQ(entries[0].count, 4);
  EXPECT_EQ(entries[kPaletteLimit - 1].color, ComposeColor(10, 72, 200));
  EXPECT_EQ(BuildPaletteEntries(pixels.data(), 0, entries), 0);
  EXPECT_EQ(BuildPaletteEntries(nullptr, 5, entries), 0);
}

//-----------------------------------------------------------------------------
// Palette boxes
//-----------------------------------------------------------------------------

static int SumOfWidths(const PaletteEntry* entries, int n) {
  int sum = 0;
  for (int i = 0; i < n; i++) sum += entries[i].width;
  return sum;
}

TEST(AutoPalette, WhiteAndRedCaptureOnA170PixelStrip) {
  std::vector<int32_t> pixels = Pixels({{0xFFFFFF, 500}, {ComposeColor(200, 30, 30), 151}});
  PaletteEntry entries[kPaletteLimit];
  SwatchBox boxes[kPaletteLimit];
  int n = BuildPaletteEntries(pixels.data(), (int)pixels.size(), entries);
  ASSERT_EQ(LayoutPaletteBoxes(entries, n, 170, boxes), 2);
  EXPECT_EQ(boxes[0].color, ComposeColor(200, 30, 30));  // red group before grey
  EXPECT_EQ(boxes[0].x, 0);
  EXPECT_EQ(boxes[0].width, 44);  // round(23.195 / 100 x 154 + 8)
  EXPECT_EQ(boxes[1].color, 0xFFFFFF);
  EXPECT_EQ(boxes[1].x, 44);
  EXPECT_EQ(boxes[1].width, 126);
  EXPECT_EQ(entries[0].width, 44);
}

TEST(AutoPalette, OneFlatColorCoversTheStrip) {
  std::vector<int32_t> pixels(651, ComposeColor(9, 9, 9));
  PaletteEntry entries[kPaletteLimit];
  SwatchBox boxes[kPaletteLimit];
  int n = BuildPaletteEntries(pixels.data(), 651, entries);
  ASSERT_EQ(LayoutPaletteBoxes(entries, n, 152, boxes), 1);
  EXPECT_EQ(boxes[0].x, 0);
  EXPECT_EQ(boxes[0].width, 152);
}

TEST(AutoPalette, ThirtyThreeColorsOverrunByEightAndAreClippedToTheStrip) {
  std::vector<int32_t> pixels;
  for (int c = 0; c < 33; c++) pixels.insert(pixels.end(), 3, ComposeColor(200, c, 0));
  PaletteEntry entries[kPaletteLimit];
  SwatchBox boxes[kPaletteLimit];
  int n = BuildPaletteEntries(pixels.data(), (int)pixels.size(), entries);
  ASSERT_EQ(LayoutPaletteBoxes(entries, n, 297, boxes), 33);  // A = 297 - 256 = 41; each 41 / 33 + 8 = 9.24 -> 9
  EXPECT_EQ(SumOfWidths(entries, n), 297);  // 33 x 9 here; in general about W + 8
  for (int i = 0; i < n; i++) EXPECT_LE(boxes[i].x + boxes[i].width, 297) << i;

  // 32 colours of 1 pixel and one of 68 on a strip of 356: A = 100 = T, so
  // the widths are exactly 9 and 76 and add up to W + 8.
  std::vector<int32_t> uneven(68, ComposeColor(200, 0, 0));
  for (int c = 1; c <= 32; c++) uneven.push_back(ComposeColor(200, c, 0));
  n = BuildPaletteEntries(uneven.data(), (int)uneven.size(), entries);
  ASSERT_EQ(LayoutPaletteBoxes(entries, n, 356, boxes), 33);
  EXPECT_EQ(entries[0].width, 76);
  EXPECT_EQ(entries[32].width, 9);
  EXPECT_EQ(SumOfWidths(entries, n), 356 + 8);
  EXPECT_EQ(boxes[32].x, 76 + 31 * 9);
  EXPECT_EQ(boxes[32].width, 1);  // the last box is cut by the right edge
}

TEST(AutoPalette, TheLastBoxTakesWhatRoundingLeavesAtTheRightEdge) {
  const struct {
    int colors, stripWidth, lastX, lastWidth;
  } cases[] = {
      {33, 170, 32 * 5, 10},  // 33 x round(5.39) = 165: five columns short
      {3, 100, 66, 34},       // 3 x round(33.33) = 99: one short
      {2, 100, 50, 50},       // exact: nothing to add
  };
  for (const auto& c : cases) {
    std::vector<int32_t> pixels;
    for (int i = 0; i < c.colors; i++) pixels.push_back(ComposeColor(200, i, 0));
    PaletteEntry entries[kPaletteLimit];
    SwatchBox boxes[kPaletteLimit];
    int n = BuildPaletteEntries(pixels.data(), (int)pixels.size(), entries);
    ASSERT_EQ(LayoutPaletteBoxes(entries, n, c.stripWidth, boxes), c.colors);
    EXPECT_EQ(boxes[n - 1].x, c.lastX) << c.colors;
    EXPECT_EQ(boxes[n - 1].width, c.lastWidth) << c.colors;
    EXPECT_EQ(entries[n - 1].width, boxes[0].width) << c.colors;  // the entry keeps its own width
  }
}

TEST(AutoPalette, NothingToDrawGivesNoBoxesAndNarrowStripsNoNegativeWidths) {
  PaletteEntry entries[kPaletteLimit];
  SwatchBox boxes[kPaletteLimit];
  EXPECT_EQ(LayoutPaletteBoxes(entries, 0, 170, boxes), 0);
  PaletteEntry empty = {0, 0, 0, 0};
  EXPECT_EQ(LayoutPaletteBoxes(&empty, 1, 170, boxes), 0);  // no pixels counted
  std::vector<int32_t> pixels;
  for (int c = 0; c < 20; c++) pixels.insert(pixels.end(), c + 1, ComposeColor(0, 0, 100 + c));
  int n = BuildPaletteEntries(pixels.data(), (int)pixels.size(), entries);
  EXPECT_EQ(LayoutPaletteBoxes(entries, n, 0, boxes), 0);
  ASSERT_EQ(LayoutPaletteBoxes(entries, n, 30, boxes), n);  // far less than 8 a colour
  for (int i = 0; i < n; i++) {
    EXPECT_GE(boxes[i].width, 0);
    EXPECT_GE(boxes[i].x, 0);
    EXPECT_LE(boxes[i].x + boxes[i].width, 30);
  }
}
