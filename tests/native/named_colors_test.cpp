#include "color/named_colors.h"

#include <ctype.h>
#include <gtest/gtest.h>
#include <stdio.h>
#include <string.h>

#include <algorithm>
#include <cmath>
#include <string>
#include <vector>

#include "color/color_value.h"

class NamedColors : public ::testing::Test {
 protected:
  static void SetUpTestSuite() { BuildNamedColorMap(); }
};

//-----------------------------------------------------------------------------
// Table and map
//-----------------------------------------------------------------------------

static int ColorOfKey(int key) { return ComposeColor(key >> 16, key >> 8 & 255, key & 255); }

static std::string KeyText(int row) {
  char text[8];
  snprintf(text, sizeof text, "%06X", NamedColorKey(row));
  return text;
}

TEST_F(NamedColors, TableKeysAscendAndNamesAreUniqueAndWellFormed) {
  std::vector<std::string> names, spoken;
  for (int i = 0; i < kNamedColorCount; i++) {
    int key = NamedColorKey(i);
    ASSERT_TRUE(key >= 0 && key <= 0xFFFFFF) << key;
    if (i > 0) {
      EXPECT_LT(NamedColorKey(i - 1), key) << KeyText(i);
    }
    const char* name = NamedColorName(i);
    size_t length = strlen(name);
    EXPECT_TRUE(length >= 3 && length <= 25) << '"' << name << '"';
    EXPECT_EQ(strspn(name, "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz '/"), length) << name;
    names.push_back(name);
    // What NamedColorFromName compares: no two names may spell the same then.
    std::string folded = name;
    while (folded.back() == ' ') folded.pop_back();
    for (char& c : folded) c = (char)tolower((unsigned char)c);
    spoken.push_back(folded);
  }
  for (std::vector<std::string>* list : {&names, &spoken}) {
    std::sort(list->begin(), list->end());
    EXPECT_EQ(std::adjacent_find(list->begin(), list->end()), list->end());
  }
}

TEST_F(NamedColors, MapFindsEveryEntryByKeyIncludingTrailingSpaces) {
  ASSERT_EQ(NamedColorMapCount(), kNamedColorCount);
  for (int i = 0; i < kNamedColorCount; i++) EXPECT_EQ(FindColorName(KeyText(i).c_str()), NamedColorName(i)) << KeyText(i);
  const struct {
    const char* key;
    const char* name;
  } known[] = {
      {"000000", "Black"},   {"000080", "Navy Blue"},       {"00FFFF", "Cyan / Aqua"},
      {"FF00FF", "Magenta / Fuchsia"}, {"3D0C02", "Bean  "}, {"7B7C94", "Waterloo "},
      {"66FF66", "Screamin' Green"},   {"FFD800", "School bus Yellow"}, {"FFFFFF", "White"},
  };
  for (const auto& k : known) EXPECT_STREQ(FindColorName(k.key), k.name) << k.key;
  EXPECT_EQ(KeyText(0), "000000");
  EXPECT_EQ(KeyText(kNamedColorCount - 1), "FFFFFF");
  for (const char* missing : {"000001", "00ffff", "", "0000800", "XYZ", "00FF+F"}) EXPECT_EQ(FindColorName(missing), nullptr);
  EXPECT_EQ(FindColorName(nullptr), nullptr);
  // Building again replaces the contents rather than adding to them.
  EXPECT_EQ(BuildNamedColorMap(), kNamedColorCount);
  EXPECT_STREQ(FindColorName("000080"), "Navy Blue");
}

TEST(NamedColorFromName, EveryNameInAnyCaseGivesItsColor) {
  for (int i = 0; i < kNamedColorCount; i++) {
    std::string name = NamedColorName(i), upper = name, lower = name;
    for (char& c : upper) c = (char)toupper((unsigned char)c);
    for (char& c : lower) c = (char)tolower((unsigned char)c);
    for (const std::string& text : {name, upper, lower})
      EXPECT_EQ(NamedColorFromName(text.data(), (int)text.size()), ColorOfKey(NamedColorKey(i))) << '"' << text << '"';
  }
}

TEST(NamedColorFromName, SpacesMatchExactlyButANamesTrailingSpacesMayBeLeftOut) {
  const int navy = ComposeColor(0, 0, 128), bean = ComposeColor(0x3D, 0x0C, 0x02);
  const struct {
    const char* text;
    int color;
  } cases[] = {
      {"nAVY bLUE", navy},
      {"bean", bean},           // stored as "Bean  "
      {"Bean ", bean},
      {"BEAN  ", bean},
      {"Bean   ", -1},          // more spaces than the name has
      {"waterloo", ComposeColor(0x7B, 0x7C, 0x94)},
      {"Navy Blue ", -1},       // the name has no trailing space
      {" Navy Blue", -1},
      {"Navy  Blue", -1},
      {"NavyBlue", -1},
      {"Navy", -1},             // a beginning is not a name
      {"Navy Blues", -1},
      {"cyan / aqua", ComposeColor(0, 255, 255)},
      {"Cyan", -1},             // half of a name with a slash is not a name
      {"screamin' green", ComposeColor(0x66, 0xFF, 0x66)},
      {"Screamin Green", -1},
      {"Navy Bl\xC3\xBC" "e", -1},
      {"Navy Blue\t", -1},
      {"", -1},
  };
  for (const auto& k : cases) EXPECT_EQ(NamedColorFromName(k.text, (int)strlen(k.text)), k.color) << '"' << k.text << '"';
  // Only `length` bytes count, with or without a terminator after them.
  const char longer[] = "navy blue and more";
  EXPECT_EQ(NamedColorFromName(longer, 9), navy);
  EXPECT_EQ(NamedColorFromName(longer, 4), -1);
  const char withZero[] = {'R', 'e', 'd', '\0', 'x'};
  EXPECT_EQ(NamedColorFromName(withZero, 3), ComposeColor(255, 0, 0));
  EXPECT_EQ(NamedColorFromName(withZero, 5), -1);
  EXPECT_EQ(NamedColorFromName(nullptr, 4), -1);
  EXPECT_EQ(NamedColorFromName("Red", -1), -1);
}

TEST(NamedColorKeys, DecodeWebOrderAndRejectMalformedKeys) {
  EXPECT_EQ(ColorFromKey("000080"), ComposeColor(0, 0, 128));
  EXPECT_EQ(ColorFromKey("1A2B3C"), ComposeColor(0x1A, 0x2B, 0x3C));
  EXPECT_EQ(ColorFromKey("ff8000"), ComposeColor(255, 128, 0));
  for (const char* bad : {"", "00008", "0000800", "00G080", "00 080", "-00080"}) EXPECT_EQ(ColorFromKey(bad), -1) << bad;
  EXPECT_EQ(ColorFromKey(nullptr), -1);
}

TEST(NamedColorFamilies, StrictlyLargestChannelOrAllEqual) {
  const struct {
    int r, g, b;
    ColorFamily family;
  } cases[] = {
      {200, 100, 100, FAMILY_RED},   {1, 0, 0, FAMILY_RED},     {100, 101, 100, FAMILY_GREEN},
      {0, 0, 128, FAMILY_BLUE},      {7, 7, 7, FAMILY_GREY},    {0, 0, 0, FAMILY_GREY},
      {200, 200, 100, FAMILY_NONE},  {0, 255, 255, FAMILY_NONE}, {9, 3, 9, FAMILY_NONE},
  };
  for (const auto& k : cases)
    EXPECT_EQ(ColorFamilyOf(ComposeColor(k.r, k.g, k.b)), k.family) << k.r << ',' << k.g << ',' << k.b;
}

//-----------------------------------------------------------------------------
// Search
//-----------------------------------------------------------------------------

static float ListedDistance(int color, const char* key) {
  NameCandidate all[kNamedColorCount];
  int n = RankNamedColors(color, all, kNamedColorCount);
  for (int i = 0; i < n; i++)
    if (all[i].color == ColorFromKey(key)) return all[i].distance;
  return -1;
}

TEST_F(NamedColors, SameFamilyHalvesTheDistanceAndOnlyThen) {
  const int reddish = ComposeColor(200, 100, 100);
  EXPECT_EQ(ListedDistance(reddish, "800000"), 136.0f);  // Maroon, red too: 272 halved
  EXPECT_EQ(ListedDistance(reddish, "000080"), 328.0f);  // Navy Blue
  // Two equal largest channels: no family, so no bonus even against another such colour.
  EXPECT_EQ(ListedDistance(ComposeColor(200, 200, 100), "808000"), 244.0f);  // Olive
  EXPECT_EQ(ListedDistance(ComposeColor(100, 100, 100), "808080"), 42.0f);   // greys halve
  EXPECT_EQ(ListedDistance(ComposeColor(100, 100, 100), "000080"), 228.0f);
}

TEST_F(NamedColors, ExactMatchesComeFirstWithDistanceZero) {
  const struct {
    int color;
    const char* name;
  } cases[] = {{ComposeColor(0, 0, 128), "Navy Blue"},
               {0xFFFFFF, "White"},
               {0, "Black"},
               {ComposeColor(0, 255, 255), "Cyan / Aqua"}};
  for (const auto& k : cases) {
    NameCandidate top[kNearestNameCount];
    ASSERT_EQ(RankNamedColors(k.color, top, kNearestNameCount), kNearestNameCount);
    EXPECT_STREQ(top[0].name, k.name);
    EXPECT_EQ(top[0].distance, 0.0f);
    EXPECT_EQ(top[0].color, k.color);
  }
}

TEST_F(NamedColors, MidGreyPutsGreysAheadOfTintsAtTheSameRawDistance) {
  NameCandidate top[kNearestNameCount];
  RankNamedColors(ComposeColor(128, 128, 128), top, kNearestNameCount);
  EXPECT_STREQ(top[0].name, "Gray");
  // Boulder (7A7A7A) is 18 away raw, halved to 9; it ties Friar Gray (raw 9)
  // and keeps key order ahead of it, while Rolling Stone, also 18 raw, stays 18.
  EXPECT_STREQ(top[1].name, "Boulder");
  EXPECT_EQ(top[1].distance, 9.0f);
  EXPECT_STREQ(top[2].name, "Friar Gray");
  EXPECT_EQ(top[2].distance, 9.0f);
  EXPECT_EQ(ListedDistance(ComposeColor(128, 128, 128), "747D83"), 18.0f);
}

// The same ranking computed the slow, obvious way: every entry scored in
// double precision, stable-sorted, so equal distances stay in key order.
static std::vector<std::pair<double, int>> ReferenceRanking(int color) {
  auto family = [](int r, int g, int b) {
    int c[3] = {r, g, b};
    int top = std::max({r, g, b});
    int atTop = (int)std::count(c, c + 3, top);
    if (atTop == 3) return 4;
    if (atTop == 2) return 0;
    return 1 + (int)(std::find(c, c + 3, top) - c);
  };
  int sr = color & 255, sg = color >> 8 & 255, sb = color >> 16 & 255;
  std::vector<std::pair<double, int>> ranking;
  for (int i = 0; i < kNamedColorCount; i++) {
    int key = NamedColorKey(i);
    int kr = key >> 16, kg = key >> 8 & 255, kb = key & 255;
    double d = std::fabs(sr - (double)kr) + std::fabs(sg - (double)kg) + std::fabs(sb - (double)kb);
    int f = family(sr, sg, sb);
    if (f != 0 && f == family(kr, kg, kb)) d *= 0.5;
    ranking.push_back({d, i});
  }
  std::stable_sort(ranking.begin(), ranking.end(),
                   [](const std::pair<double, int>& a, const std::pair<double, int>& b) { return a.first < b.first; });
  return ranking;
}

TEST_F(NamedColors, AgreesWithBruteForceOverManyColors) {
  std::vector<int> colors = {0, 0xFFFFFF, ComposeColor(200, 200, 100), ComposeColor(128, 128, 128),
                             ComposeColor(255, 0, 255)};
  uint32_t seed = 12345;
  for (int i = 0; i < 600; i++) {
    seed = seed * 1664525u + 1013904223u;
    colors.push_back((int)(seed >> 8) & 0xFFFFFF);
  }
  NameCandidate top[kNearestNameCount];
  for (int color : colors) {
    std::vector<std::pair<double, int>> reference = ReferenceRanking(color);
    ASSERT_EQ(RankNamedColors(color, top, kNearestNameCount), kNearestNameCount);
    for (int k = 0; k < kNearestNameCount; k++) {
      int row = reference[k].second;
      ASSERT_EQ(top[k].color, ColorOfKey(NamedColorKey(row))) << "colour " << color << " rank " << k;
      ASSERT_EQ(top[k].name, NamedColorName(row));
      ASSERT_EQ(top[k].distance, (float)reference[k].first);
    }
  }
}

TEST_F(NamedColors, FullRankingCoversEveryEntryOnce) {
  static NameCandidate all[kNamedColorCount + 5];
  ASSERT_EQ(RankNamedColors(ComposeColor(12, 200, 77), all, kNamedColorCount + 5), kNamedColorCount);
  std::vector<std::pair<double, int>> reference = ReferenceRanking(ComposeColor(12, 200, 77));
  for (int k = 0; k < kNamedColorCount; k++) ASSERT_EQ(all[k].name, NamedColorName(reference[k].second));
  EXPECT_EQ(RankNamedColors(0, all, 0), 0);
  EXPECT_EQ(RankNamedColors(0, nullptr, 33), 0);
}

//-----------------------------------------------------------------------------
// List rows
//-----------------------------------------------------------------------------

TEST(NameDistanceText, RoundsHalvesToEven) {
  const struct {
    float distance;
    const char* text;
  } cases[] = {{0, "0"}, {12.5f, "12"}, {13.5f, "14"}, {0.5f, "0"}, {1.5f, "2"}, {20, "20"}, {765, "765"}};
  for (const auto& k : cases) EXPECT_EQ(FormatNameDistance(k.distance), k.text) << k.distance;
}

TEST_F(NamedColors, ListHasTheSourceRowThenTheNearestNames) {
  std::vector<NameListRow> rows = NameListRows(ComposeColor(0, 0, 128), NOTATION_PB, 1);
  ASSERT_EQ(rows.size(), 34u);
  EXPECT_EQ(rows[0].color, ComposeColor(0, 0, 128));
  EXPECT_EQ(rows[0].name, "{source color}");
  EXPECT_EQ(rows[0].code, "$800000");
  EXPECT_EQ(rows[0].diff, "");
  EXPECT_EQ(rows[1].name, "Navy Blue");
  EXPECT_EQ(rows[1].diff, "0");
  NameCandidate top[kNearestNameCount];
  RankNamedColors(ComposeColor(0, 0, 128), top, kNearestNameCount);
  for (int k = 0; k < kNearestNameCount; k++) {
    EXPECT_EQ(rows[k + 1].color, top[k].color);
    EXPECT_EQ(rows[k + 1].code, FormatColor(top[k].color, NOTATION_PB, 1));
    EXPECT_EQ(rows[k + 1].diff, FormatNameDistance(top[k].distance));
  }
}

TEST_F(NamedColors, ASpokenColorIsItsTextAndItsNearestName) {
  EXPECT_EQ(SpokenColor(ComposeColor(0x1E, 0x90, 0xFF), NOTATION_HTML, 0), "#1E90FF, Dodger Blue");
  EXPECT_EQ(SpokenColor(ComposeColor(0x1E, 0x90, 0xFE), NOTATION_RGB, 0), "030,144,254, Dodger Blue");
  EXPECT_EQ(SpokenColor(ComposeColor(0, 0, 128), NOTATION_C, 1), "0x800000, Navy Blue");
}

TEST(NameListColumns, WidthsFollowTheListWidth) {
  const struct {
    int listWidth;
    int name, color, diff;
  } cases[] = {
      {300, 134, 99, 45},
      {50, 9, 16, 8},   // 16.5 and 7.5: halves to even
      {10, 0, 3, 2},    // a list too narrow for the name column gets width 0, not a negative one
      {0, 0, 0, 0},
  };
  for (const auto& k : cases) {
    int widths[3];
    NameListColumnWidths(k.listWidth, widths);
    EXPECT_EQ(widths[0], k.name) << k.listWidth;
    EXPECT_EQ(widths[1], k.color) << k.listWidth;
    EXPECT_EQ(widths[2], k.diff) << k.listWidth;
  }
}
