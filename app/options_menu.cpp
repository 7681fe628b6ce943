// The options menu under cmdOptions: rebuilt from the settings on every
// click; a choice comes back as a menu event, which the event loop hands to
// OnOptionsMenu.
#include "app/shell.h"

#include "app/name_list.h"
#include "app/options_menu_items.h"
#include "app/program_context.h"
#include "app/settings_record.h"
#include "app/swatch_controls.h"
#include "runtime/menus.h"
#include "runtime/web_address.h"
#include "runtime/windowing.h"

void ShowOptionsMenu() {
  const ColorWidgets& c = GProgram->controls;
  int x = ControlScreenX(c.cmdOptions), y = ControlScreenY(c.cmdOptions), h = ControlHeight(c.cmdOptions);
  FreeMenu(kOptionsMenuNumber);
  if (!CreatePopupMenuNumbered(kOptionsMenuNumber)) return;  // the next click tries again
  bool skipping = false;  // the sub-menu's items, when the sub-menu could not be made
  for (int i = 0; i < kOptionsMenuEntryCount; i++) {
    const OptionEntry& entry = kOptionsMenuEntries[i];
    switch (entry.kind) {
      case ENTRY_ITEM:
        if (!skipping) AppendMenuItem(entry.id, entry.text, OptionChecked(CONFIG, entry.id));
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

void OnOptionsMenu(int item) {
  const ColorWidgets& c = GProgram->controls;
  OptionEffects effects = ApplyOptionChoice(&CONFIG, item);
  if (effects.applyStayOnTop) SetWindowStayOnTop(c.wndMain, CONFIG.WinTopmost != 0);
  if (effects.refreshViews) {
    RefreshNameList(CONFIG.Color, c.lstResults, true, false);
    RefreshCurrentSwatch(CONFIG.Color, true);
  }
  if (effects.openHomepage) OpenWebAddress(kProgramHomepage);
}
