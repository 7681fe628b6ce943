#include "app/options_menu_items.h"

#include "color/color_value.h"

const char* const kProgramHomepage = "https://colortintvane.example/";

const OptionEntry kOptionsMenuEntries[] = {
    {ENTRY_ITEM, OPTION_STAY_ON_TOP, "Stay on top"},
    {ENTRY_ITEM, OPTION_AUTOCOPY, "Copy automatically"},
    {ENTRY_ITEM, OPTION_LOWERCASE, "Use lowercase"},
    {ENTRY_SEPARATOR, 0, nullptr},
    {ENTRY_SUBMENU, 0, "Color format"},
    {ENTRY_ITEM, 9, kNotationLabels[NOTATION_HTML]},
    {ENTRY_ITEM, 10, kNotationLabels[NOTATION_C]},
    {ENTRY_ITEM, 11, kNotationLabels[NOTATION_PB]},
    {ENTRY_ITEM, 12, kNotationLabels[NOTATION_VB]},
    {ENTRY_SEPARATOR, 0, nullptr},
    {ENTRY_ITEM, 13, kNotationLabels[NOTATION_RGB]},
    {ENTRY_SUBMENU_END, 0, nullptr},
    {ENTRY_SEPARATOR, 0, nullptr},
    {ENTRY_ITEM, OPTION_HOMEPAGE, "Program homepage"},
};
const int kOptionsMenuEntryCount = (int)(sizeof kOptionsMenuEntries / sizeof kOptionsMenuEntries[0]);

bool OptionChecked(const ConfigRecord& config, int id) {
  switch (id) {
    case OPTION_STAY_ON_TOP: return config.WinTopmost != 0;
    case OPTION_AUTOCOPY: return config.Autocopy != 0;
    case OPTION_LOWERCASE: return config.ColorFormatLCase != 0;
    default:
      return id >= OPTION_NOTATION_FIRST && id <= OPTION_NOTATION_LAST &&
             config.ColorFormat == id - OPTION_NOTATION_FIRST;
  }
}

OptionEffects ApplyOptionChoice(ConfigRecord* config, int id) {
  OptionEffects effects = {};
  switch (id) {
    case OPTION_AUTOCOPY:
      config->Autocopy = config->Autocopy ? 0 : 1;
      break;
    case OPTION_STAY_ON_TOP:
      config->WinTopmost = config->WinTopmost ? 0 : 1;
      effects.applyStayOnTop = true;
      break;
    case OPTION_LOWERCASE:
      config->ColorFormatLCase = config->ColorFormatLCase ? 0 : 1;
      effects.refreshViews = true;
      break;
    case OPTION_HOMEPAGE:
      effects.openHomepage = true;
      break;
    default:
      if (id >= OPTION_NOTATION_FIRST && id <= OPTION_NOTATION_LAST && config->ColorFormat != id - OPTION_NOTATION_FIRST) {
        config->ColorFormat = id - OPTION_NOTATION_FIRST;
        effects.refreshViews = true;
      }
  }
  return effects;
}
