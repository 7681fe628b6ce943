#include "color/channel_views.h"

#include <gtest/gtest.h>

#include "color/color_value.h"
#include "color/redraw_cache.h"

//-----------------------------------------------------------------------------
// Gradient strips
//-----------------------------------------------------------------------------

TEST(GradientStrips, EachRowVariesOneChannelAndKeepsTheOthers) {
  GradientRows rows;
  BuildGradientRows(ComposeColor(10, 20, 30), &rows);
  EXPECT_EQ(rows.row[CHANNEL_RED][0], ComposeColor(0, 20, 30));
  EXPECT_EQ(rows.row[CHANNEL_RED][255], ComposeColor(255, 20, 30));
  EXPECT_EQ(rows.row[CHANNEL_GREEN][7], ComposeColor(10, 7, 30));
  EXPECT_EQ(rows.row[CHANNEL_BLUE][200], ComposeColor(10, 20, 200));
  // The red strip runs from (0, 20, 30) at its left edge to (255, 20, 30) at its right.
  EXPECT_EQ(GradientColumnColor(rows, CHANNEL_RED, 0, 152), ComposeColor(0, 20, 30));
  EXPECT_EQ(GradientColumnColor(rows, CHANNEL_RED, 151, 152), ComposeColor(255, 20, 30));
  EXPECT_EQ(GradientColumnColor(rows, CHANNEL_GREEN, 50, 101), ComposeColor(10, 127, 30));
  EXPECT_EQ(GradientColumnColor(rows, CHANNEL_GREEN, 152, 152), -1);
  EXPECT_EQ(GradientColumnColor(rows, 3, 0, 152), -1);
  // Bits above the blue channel never reach a row.
  BuildGradientRows((int)0xFF00FF00, &rows);
  EXPECT_EQ(rows.row[CHANNEL_RED][1], ComposeColor(1, 255, 0));
}

TEST(GradientStrips, A256WideStripShowsItsColumnNumber) {
  for (int x = 0; x < 256; x++) EXPECT_EQ(GradientIndex(x, 256), x) << "column " << x;
}

TEST(GradientStrips, A101WideStripRoundsTheDoubleProduct) {
  const struct {
    int column, index;
  } cases[] = {
      {0, 0}, {1, 3}, {2, 5}, {3, 8}, {99, 252}, {100, 255},
      // The true products of these columns are all halves; in double precision
      // 50 and 90 land just below theirs and round down, the others on it.
      {10, 26}, {30, 77}, {50, 127}, {70, 179}, {90, 229},
  };
  for (const auto& k : cases) EXPECT_EQ(GradientIndex(k.column, 101), k.index) << "column " << k.column;
}

TEST(GradientStrips, EveryWidthRunsFrom0To255WithoutGoingBack) {
  for (int width = 1; width <= 1200; width++) {
    EXPECT_EQ(GradientIndex(0, width), 0) << width;
    EXPECT_EQ(GradientIndex(width - 1, width), width == 1 ? 0 : 255) << width;
    for (int x = 1; x < width; x++) ASSERT_GE(GradientIndex(x, width), GradientIndex(x - 1, width)) << width;
    EXPECT_EQ(GradientIndex(width, width), -1);
    EXPECT_EQ(GradientIndex(-1, width), -1);
  }
  EXPECT_EQ(GradientIndex(0, 0), -1);
  EXPECT_EQ(GradientIndex(0, -5), -1);
}

//-----------------------------------------------------------------------------
// Channel fields
//-----------------------------------------------------------------------------

TEST(ChannelFields, RewriteOnlyWhenTheNumberDiffersOrForced) {
  const int c = ComposeColor(10, 0, 255);
  const struct {
    int channel;
    const char* text;
    bool force, rewrite;
  } cases[] = {
      {CHANNEL_RED, "10", false, false},  {CHANNEL_RED, "010", false, false},  // typing is not disturbed
      {CHANNEL_RED, "1", false, true},    {CHANNEL_RED, "10", true, true},
      {CHANNEL_GREEN, "", false, false},  {CHANNEL_GREEN, "0", true, true},
      {CHANNEL_BLUE, "25", false, true},  {CHANNEL_BLUE, "255", false, false},
      {CHANNEL_BLUE, nullptr, false, true},
  };
  for (const auto& k : cases) {
    ChannelFieldView view = ChannelFieldFor(c, k.channel, k.text, k.force);
    EXPECT_EQ(view.rewrite, k.rewrite) << k.channel << " '" << (k.text ? k.text : "null") << "'";
  }
  EXPECT_EQ(ChannelFieldFor(c, CHANNEL_RED, "", false).text, "10");
  EXPECT_EQ(ChannelFieldFor(c, CHANNEL_GREEN, "5", false).text, "0");
  EXPECT_EQ(ChannelFieldFor(c, CHANNEL_BLUE, "", false).text, "255");
}

TEST(ChannelFields, BackgroundIsTheChannelAloneAndGreenDarkensItsTextFrom193) {
  const int white = ComposeColor(255, 255, 255), darkGrey = ComposeColor(64, 64, 64);
  ChannelFieldView red = ChannelFieldFor(ComposeColor(10, 20, 30), CHANNEL_RED, "10", false);
  EXPECT_EQ(red.background, ComposeColor(10, 0, 0));
  EXPECT_EQ(red.textColor, white);
  EXPECT_EQ(ChannelFieldFor(ComposeColor(10, 20, 30), CHANNEL_GREEN, "", false).background, ComposeColor(0, 20, 0));
  EXPECT_EQ(ChannelFieldFor(ComposeColor(10, 20, 30), CHANNEL_BLUE, "", false).background, ComposeColor(0, 0, 30));
  EXPECT_EQ(ChannelFieldFor(ComposeColor(0, 192, 0), CHANNEL_GREEN, "", false).textColor, white);
  EXPECT_EQ(ChannelFieldFor(ComposeColor(0, 193, 0), CHANNEL_GREEN, "", false).textColor, darkGrey);
  EXPECT_EQ(ChannelFieldFor(ComposeColor(255, 255, 255), CHANNEL_RED, "", false).textColor, white);
  EXPECT_EQ(ChannelFieldFor(ComposeColor(255, 255, 255), CHANNEL_BLUE, "", false).textColor, white);
}

TEST(ChannelFields, TextReadsAsLeadingNumber) {
  const struct {
    const char* text;
    long value;
  } cases[] = {
      {"", 0}, {"007", 7}, {" 12", 12}, {"-5", -5}, {"+5", 5}, {"12a", 12}, {"abc", 0},
      {"99999999999999999999999", 999999999},  // capped, not overflowing
  };
  for (const auto& k : cases) EXPECT_EQ(ChannelFieldNumber(k.text), k.value) << '"' << k.text << '"';
  EXPECT_EQ(ChannelFieldNumber(nullptr), 0);
}

TEST(RedrawCache, DrawsFirstThenOnlyOnChangeOrForce) {
  RedrawCache cache = {};
  EXPECT_TRUE(NeedsRedraw(&cache, 0, false));  // black is drawn on the first request too
  EXPECT_FALSE(NeedsRedraw(&cache, 0, false));
  EXPECT_TRUE(NeedsRedraw(&cache, 0, true));
  EXPECT_TRUE(NeedsRedraw(&cache, 5, false));
  EXPECT_FALSE(NeedsRedraw(&cache, 5, false));
}
