#include "color/color_value.h"

#include <gtest/gtest.h>

TEST(ColorValue, ComposesAndExtractsChannels) {
  int c = ComposeColor(26, 43, 60);
  EXPECT_EQ(c, 0x3C2B1A);
  EXPECT_EQ(RedOf(c), 26);
  EXPECT_EQ(GreenOf(c), 43);
  EXPECT_EQ(BlueOf(c), 60);
  // Bits above 23 never reach a channel.
  EXPECT_EQ(BlueOf((int)0xFF3C2B1A), 60);
}

struct NotationCase {
  int color;
  int notation;
  int lowercase;
  const char* text;
};

TEST(FormatColor, EveryNotationInBothCases) {
  const int c = ComposeColor(0, 128, 255);
  const int example = ComposeColor(26, 43, 60);
  const NotationCase cases[] = {
      {c, 0, 0, "#0080FF"},          {c, 0, 1, "#0080ff"},
      {c, 1, 0, "0xFF8000"},         {c, 1, 1, "0xff8000"},
      {c, 2, 0, "$FF8000"},          {c, 2, 1, "$ff8000"},
      {c, 3, 0, "&HFF8000"},         {c, 3, 1, "&Hff8000"},
      {c, 4, 0, "000,128,255"},      {c, 4, 1, "000,128,255"},
      {example, 0, 0, "#1A2B3C"},    {example, 0, 1, "#1a2b3c"},
      {example, 1, 0, "0x3C2B1A"},   {example, 1, 1, "0x3c2b1a"},
      {example, 2, 1, "$3c2b1a"},    {example, 3, 0, "&H3C2B1A"},
      {example, 4, 0, "026,043,060"},
      {0, 4, 0, "000,000,000"},      {0xFFFFFF, 0, 0, "#FFFFFF"},
      {ComposeColor(10, 5, 0), 0, 0, "#0A0500"},
      // Indexes outside 0..3 give the decimal notation.
      {c, 5, 0, "000,128,255"},      {c, -1, 1, "000,128,255"},
      // Only the low 24 bits are shown.
      {(int)0xAB0080FF, 1, 0, "0x0080FF"},
  };
  for (const NotationCase& k : cases)
    EXPECT_EQ(FormatColor(k.color, k.notation, k.lowercase), k.text)
        << "notation " << k.notation << " lowercase " << k.lowercase;
}

TEST(FormatColor, LabelsKeepTheirTabsAndEscapes) {
  EXPECT_STREQ(kNotationLabels[0], "HTML/CSS hex\t(#RRGGBB)");
  EXPECT_STREQ(kNotationLabels[3], "VB hex\t(&&HBBGGRR)");
  EXPECT_STREQ(kNotationLabels[4], "RGB int\t(RRR,GGG,BBB)");
}

TEST(TypedChannels, AcceptsZeroTo255AndRejectsEverythingElse) {
  const struct {
    const char* text;
    int value;
  } cases[] = {
      {"", 0},     {"0", 0},     {"7", 7},      {"007", 7},   {"25", 25},  {"255", 255},
      {"256", -1}, {"300", -1},  {"999", -1},   {"-5", -1},   {"-0", -1},  {"+5", -1},
      {" 5", -1},  {"5a", -1},   {"0000000000000000000255", 255},
      {"99999999999999999999", -1},
  };
  for (const auto& k : cases) EXPECT_EQ(ParseChannelText(k.text), k.value) << '"' << k.text << '"';
}

TEST(TypedChannels, ComposesOnlyWhenAllThreeAreValid) {
  int color = 12345;
  EXPECT_TRUE(ComposeTypedColor("26", "43", "60", &color));
  EXPECT_EQ(color, ComposeColor(26, 43, 60));
  EXPECT_TRUE(ComposeTypedColor("", "255", "", &color));
  EXPECT_EQ(color, ComposeColor(0, 255, 0));
  color = 12345;
  EXPECT_FALSE(ComposeTypedColor("1", "256", "1", &color));
  EXPECT_FALSE(ComposeTypedColor("1", "1", "-3", &color));
  EXPECT_EQ(color, 12345);
}
