// The options menu under cmdOptions: rebuilt from the settings on every
// click, its choices carried out by OnOptionsMenu.
#include "app/shell.h"

#include "app/program_context.h"
#include "app/settings_record.h"
#include "app/shell_rules.h"
#include "app/name_list.h"
#include "runtime/menus.h"
#include "runtime/web_address.h"
#include "runtime/windowing.h"

void AddOptionItem(int id, const char* text, int checked) {
  ProgramContext& g = *GProgram;
  if (!g.optionsMenu || !MenuExists(g.optionsMenu)) return;
  if (AppendMenuItem(id, text, checked != 0)) BindMenuItem(g.optionsMenu, id, g.optionsHandler);
}

void ShowOptionsMenu() {
  ProgramContext& g = *GProgram;
  const ColorWidgets& c = g.controls;
  int x = ControlScreenX(c.cmdOptions), y = ControlScreenY(c.cmdOptions), h = ControlHeight(c.cmdOptions);
  FreeMenu(kOptionsMenuNumber);
  if (!CreatePopupMenuNumbered(kOptionsMenuNumber)) {
    g.optionsMenu = 0;
    g.optionsHandler = nullptr;
    return;
  }
  g.optionsMenu = kOptionsMenuNumber;
  g.optionsHandler = OnOptionsMenu;
  bool skipping = false;  // the sub-menu's items, when the sub-menu could not be made
  for (int i = 0; i < kOptionsMenuEntryCount; i++) {
    const OptionEntry& entry = kOptionsMenuEntries[i];
    switch (entry.kind) {
      case ENTRY_ITEM:
        if (!skipping) AddOptionItem(entry.id, entry.text, OptionChecked(CONFIG, entry.id));
        break;
      case ENTRY_SEPARATOR:
        if (!skipping) AppendMenuSeparator();
        break;
      case ENTRY_SUBMENU: skipping = !OpenSubMenu(entry.text); break;
      case ENTRY_SUBMENU_END:
        if (!skipping) CloseSubMenu();
        skipping = false;
        break;
    }
  }
  // Under the button's corner wherever it is, on a display left of or above
  // the primary too (negative coordinates); the system keeps the menu on
  // the display it opens on.
  ShowPopupMenu(kOptionsMenuNumber, c.wndMain, x, y + h + 3);
}

void OnOptionsMenu(const WindowEvent& event) {
  const ColorWidgets& c = GProgram->controls;
  OptionEffects effects = ApplyOptionChoice(&CONFIG, event.type);
  if (effects.applyStayOnTop) SetWindowStayOnTop(c.wndMain, CONFIG.WinTopmost != 0);
  if (effects.refreshViews) {
    RefreshNameList(CONFIG.Color, c.lstResults, true, false);
    RefreshCurrentSwatch(CONFIG.Color, true);
  }
  if (effects.openHomepage) OpenWebAddress(kProgramHomepage);
}
