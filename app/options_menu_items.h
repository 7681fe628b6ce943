// The options menu as data: its items in display order, their check marks
// for the settings, and what choosing one changes. No operating system here;
// app/options_menu.cpp builds the menu from it and carries out a choice.
#pragma once
#include "app/settings_record.h"

// Item ids of the options menu.
enum OptionId {
  OPTION_AUTOCOPY = 6,
  OPTION_STAY_ON_TOP = 7,
  OPTION_NOTATION_FIRST = 9,  // 9..13: the five notations in order
  OPTION_NOTATION_LAST = 13,
  OPTION_LOWERCASE = 14,
  OPTION_HOMEPAGE = 15,
};

const int kOptionsMenuNumber = 5;
extern const char* const kProgramHomepage;

enum OptionEntryKind { ENTRY_ITEM, ENTRY_SEPARATOR, ENTRY_SUBMENU, ENTRY_SUBMENU_END };

struct OptionEntry {
  OptionEntryKind kind;
  int id;            // items only
  const char* text;  // items and the sub-menu
};

// The menu in display order; the sub-menu's items lie between ENTRY_SUBMENU
// and ENTRY_SUBMENU_END.
extern const OptionEntry kOptionsMenuEntries[];
extern const int kOptionsMenuEntryCount;

// Whether the item shows a check mark for these settings.
bool OptionChecked(const ConfigRecord& config, int id);

struct OptionEffects {
  bool applyStayOnTop;  // make the window follow config.WinTopmost
  bool refreshViews;    // show the name list and the colour text in the new notation
  bool openHomepage;
};

// Applies a chosen id to the settings and says what else must happen. Ids
// below 5 or above 16, the unused 5, 8 and 16, and the notation already
// chosen change nothing.
OptionEffects ApplyOptionChoice(ConfigRecord* config, int id);
