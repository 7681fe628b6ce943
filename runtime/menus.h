// Pop-up menus by number; a chosen item comes back as a menu event.
// Windows only (the header does not include windows.h).
#pragma once
#include "runtime/event_queue.h"

// Creates an empty pop-up menu as `number` (kAutoNumber for a fresh one; a
// menu holding the number is freed first) and makes it the menu being
// filled. Returns the number, or 0.
int CreatePopupMenuNumbered(int number);
bool MenuExists(int menu);
// Frees the menu and its sub-menus.
void FreeMenu(int menu);
void FreeAllMenus();

// Appending to the menu being filled: the menu created last, or the sub-menu
// opened last. An item is a plain text item, enabled, with its check mark as
// asked. In a text a tab starts the right-aligned part, and "&&" shows one
// ampersand. False when there is no menu being filled or the platform refuses.
bool AppendMenuItem(int item, const char* text, bool checked);
bool AppendMenuSeparator();
// Appends an enabled, unchecked entry that opens a sub-menu, and makes the
// sub-menu the menu being filled until CloseSubMenu. False when the sub-menu
// cannot be made; the menu being filled then stays as it was.
bool OpenSubMenu(const char* text);
void CloseSubMenu();

// Makes the window the foreground window and shows the menu with its
// top-left corner at the screen position (x, y) in logical units; either
// mouse button chooses. Returns when the menu closes. A chosen item is
// posted to the window and becomes a menu event (Event_Menu: `control` the
// menu, `type` the item, sub-menus' items included) when the event wait
// dispatches it; the event wait hands it out like any other.
bool ShowPopupMenu(int menu, int window, int x, int y);
