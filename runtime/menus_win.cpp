// Pop-up menus on Win32.
#include "runtime/win32_internal.h"  // windows.h first

#include <map>
#include <vector>

#include "runtime/menus.h"
#include "runtime/win_text.h"
#include "runtime/windowing.h"

//-----------------------------------------------------------------------------
// Registry
//-----------------------------------------------------------------------------

static std::map<int, HMENU> g_menus;
static int g_nextMenuNumber = 1;

// The menu being filled and the menus above it: the top-level menu first,
// then each sub-menu opened inside the one before.
static std::vector<HMENU> g_filling;

static bool MenuNumberTaken(int n) { return g_menus.count(n) != 0; }

static HMENU MenuHandleOf(int menu) {
  auto it = g_menus.find(menu);
  return it == g_menus.end() ? nullptr : it->second;
}

bool MenuExists(int menu) { return MenuHandleOf(menu) != nullptr; }

void FreeMenu(int menu) {
  HMENU handle = MenuHandleOf(menu);
  if (!handle) return;
  if (!g_filling.empty() && g_filling.front() == handle) g_filling.clear();
  DestroyMenu(handle);  // sub-menus go with it
  g_menus.erase(menu);
}

void FreeAllMenus() {
  while (!g_menus.empty()) FreeMenu(g_menus.begin()->first);
}

int CreatePopupMenuNumbered(int number) {
  if (number == kAutoNumber) number = FreshNumber(g_nextMenuNumber, MenuNumberTaken);
  if (number <= 0) return 0;
  FreeMenu(number);
  HMENU handle = CreatePopupMenu();
  if (!handle) return 0;
  g_menus[number] = handle;
  g_filling.assign(1, handle);
  return number;
}

//-----------------------------------------------------------------------------
// Filling
//-----------------------------------------------------------------------------

bool AppendMenuItem(int item, const char* text, bool checked) {
  if (g_filling.empty()) return false;
  std::wstring wide = Utf8ToWide(text ? text : "");
  return AppendMenuW(g_filling.back(), MF_STRING | MF_ENABLED | (checked ? MF_CHECKED : MF_UNCHECKED),
                     (UINT_PTR)item, wide.c_str()) != 0;
}

bool AppendMenuSeparator() {
  return !g_filling.empty() && AppendMenuW(g_filling.back(), MF_SEPARATOR, 0, nullptr) != 0;
}

bool OpenSubMenu(const char* text) {
  if (g_filling.empty()) return false;
  HMENU sub = CreatePopupMenu();
  if (!sub) return false;
  std::wstring wide = Utf8ToWide(text ? text : "");
  if (!AppendMenuW(g_filling.back(), MF_POPUP | MF_ENABLED | MF_UNCHECKED, (UINT_PTR)sub, wide.c_str())) {
    DestroyMenu(sub);
    return false;
  }
  g_filling.push_back(sub);
  return true;
}

void CloseSubMenu() {
  if (g_filling.size() > 1) g_filling.pop_back();
}

//-----------------------------------------------------------------------------
// Choosing
//-----------------------------------------------------------------------------

void DispatchMenuChoice(int window, int menu, int item) {
  WindowEvent e = {};
  e.code = Event_Menu;
  e.window = window;
  e.control = menu;
  e.type = item;
  OfferWindowEvent(e);
}

bool ShowPopupMenu(int menu, int window, int x, int y) {
  HMENU handle = MenuHandleOf(menu);
  HWND hwnd = (HWND)WindowHandle(window);
  if (!handle || !hwnd) return false;
  // The menu closes when the user clicks elsewhere only if its window is in front.
  SetForegroundWindow(hwnd);
  int item = (int)TrackPopupMenu(handle, TPM_LEFTALIGN | TPM_TOPALIGN | TPM_RIGHTBUTTON | TPM_RETURNCMD,
                                 LogicalToDeviceX(x), LogicalToDeviceY(y), 0, hwnd, nullptr);
  if (item) PostMessageW(hwnd, WM_TINTVANE_MENU_CHOICE, (WPARAM)menu, (LPARAM)item);
  PostMessageW(hwnd, WM_NULL, 0, 0);  // lets the next menu of this window close normally too
  return true;
}
