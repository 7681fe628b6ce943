#include "app/options_menu_items.h"

#include <gtest/gtest.h>
#include <string.h>

#include <string>
#include <vector>

TEST(OptionsMenu, ItemsInDisplayOrderWithTheirIdsAndTexts) {
  std::vector<std::string> shown;
  for (int i = 0; i < kOptionsMenuEntryCount; i++) {
    const OptionEntry& e = kOptionsMenuEntries[i];
    switch (e.kind) {
      case ENTRY_ITEM: shown.push_back(std::to_string(e.id) + " " + e.text); break;
      case ENTRY_SEPARATOR: shown.push_back("-"); break;
      case ENTRY_SUBMENU: shown.push_back(std::string("> ") + e.text); break;
      case ENTRY_SUBMENU_END: shown.push_back("<"); break;
    }
  }
  const std::vector<std::string> expected = {
      "7 Stay on top",  "6 Copy automatically", "14 Use lowercase", "-", "> Color format",
      "9 HTML/CSS hex\t(#RRGGBB)", "10 C hex\t(0xBBGGRR)", "11 PB hex\t($BBGGRR)", "12 VB hex\t(&&HBBGGRR)", "-",
      "13 RGB int\t(RRR,GGG,BBB)", "<", "-", "15 Program homepage"};
  EXPECT_EQ(shown, expected);
  EXPECT_EQ(kOptionsMenuNumber, 5);
  EXPECT_EQ(strncmp(kProgramHomepage, "https://", 8), 0);
}

TEST(OptionsMenu, CheckMarksFollowTheSettings) {
  ConfigRecord c = {};
  for (int id = 0; id < 20; id++) EXPECT_EQ(OptionChecked(c, id), id == 9) << id;  // the defaults: HTML only
  c.WinTopmost = 1, c.Autocopy = 2, c.ColorFormatLCase = 1, c.ColorFormat = 4;
  for (int id = 0; id < 20; id++) EXPECT_EQ(OptionChecked(c, id), id == 7 || id == 6 || id == 14 || id == 13) << id;
  c.ColorFormat = 99;  // a notation the menu does not have: none checked
  for (int id = 9; id <= 13; id++) EXPECT_FALSE(OptionChecked(c, id)) << id;
}

// The four settings the menu shows: notation, lowercase, stay on top, copy.
struct MenuSettings {
  int format, lowercase, topmost, autocopy;
  bool operator==(const MenuSettings& o) const {
    return format == o.format && lowercase == o.lowercase && topmost == o.topmost && autocopy == o.autocopy;
  }
};

TEST(OptionsMenu, ChoicesChangeTheSettingsAndSayWhatElseToDo) {
  const struct {
    int id;
    MenuSettings before, after;
    bool topmost, refresh, homepage;
  } cases[] = {
      {6, {0, 0, 0, 0}, {0, 0, 0, 1}, false, false, false},
      {6, {0, 0, 0, 5}, {0, 0, 0, 0}, false, false, false},
      {7, {0, 0, 0, 0}, {0, 0, 1, 0}, true, false, false},
      {7, {0, 0, 9, 0}, {0, 0, 0, 0}, true, false, false},
      {14, {2, 7, 0, 0}, {2, 0, 0, 0}, false, true, false},
      {14, {2, 0, 0, 0}, {2, 1, 0, 0}, false, true, false},
      {10, {0, 0, 0, 0}, {1, 0, 0, 0}, false, true, false},
      {13, {99, 0, 0, 0}, {4, 0, 0, 0}, false, true, false},
      {9, {0, 1, 0, 0}, {0, 1, 0, 0}, false, false, false},  // the notation already chosen
      {15, {0, 0, 0, 0}, {0, 0, 0, 0}, false, false, true},
      {5, {3, 1, 1, 1}, {3, 1, 1, 1}, false, false, false},
      {8, {3, 1, 1, 1}, {3, 1, 1, 1}, false, false, false},
      {16, {3, 1, 1, 1}, {3, 1, 1, 1}, false, false, false},
      {4, {3, 1, 1, 1}, {3, 1, 1, 1}, false, false, false},
      {17, {3, 1, 1, 1}, {3, 1, 1, 1}, false, false, false},
      {-9, {3, 1, 1, 1}, {3, 1, 1, 1}, false, false, false},
  };
  for (const auto& k : cases) {
    ConfigRecord c = {};
    c.ColorFormat = k.before.format;
    c.ColorFormatLCase = (uint8_t)k.before.lowercase;
    c.WinTopmost = (uint8_t)k.before.topmost;
    c.Autocopy = (uint8_t)k.before.autocopy;
    OptionEffects e = ApplyOptionChoice(&c, k.id);
    MenuSettings after = {c.ColorFormat, c.ColorFormatLCase, c.WinTopmost, c.Autocopy};
    EXPECT_TRUE(after == k.after) << k.id;
    EXPECT_EQ(e.applyStayOnTop, k.topmost) << k.id;
    EXPECT_EQ(e.refreshViews, k.refresh) << k.id;
    EXPECT_EQ(e.openHomepage, k.homepage) << k.id;
  }
}
