#include <windows.h>
#include <commctrl.h>

#include <string.h>

#include "color/name_list.h"
#include "app/program_context.h"
#include "app/settings_record.h"
#include "color/named_colors.h"
#include "color/redraw_cache.h"
#include "runtime/win_text.h"
#include "runtime/windows.h"

//-----------------------------------------------------------------------------
// Columns and icons
//-----------------------------------------------------------------------------

static void SetUpColumns(HWND lv, int list) {
  while (ListView_DeleteColumn(lv, 0)) {
  }
  int widths[3];
  NameListColumnWidths(ControlWidth(list), widths);
  const wchar_t* titles[3] = {L"Name", L"Color", L"Diff"};
  for (int i = 0; i < 3; i++) {
    LVCOLUMNW col = {};
    col.mask = LVCF_TEXT | LVCF_WIDTH | LVCF_SUBITEM;
    col.cx = LogicalToDeviceX(widths[i]);
    col.pszText = (wchar_t*)titles[i];
    col.iSubItem = i;
    ListView_InsertColumn(lv, i, &col);
  }
}

// The colour icons are 16 x 16 logical units, so they grow with the text.
const int kIconSize = 16;

// The list's small-icon image list, made on first use.
static HIMAGELIST IconList(HWND lv) {
  HIMAGELIST icons = ListView_GetImageList(lv, LVSIL_SMALL);
  if (icons) return icons;
  icons = ImageList_Create(LogicalToDeviceX(kIconSize), LogicalToDeviceY(kIconSize), ILC_COLOR32,
                           kNearestNameCount + 1, 0);
  ListView_SetImageList(lv, icons, LVSIL_SMALL);
  return icons;
}

// Adds an icon of the list's size filled with `color`; returns its index, or -1.
static int AddColorIcon(HIMAGELIST icons, int color) {
  int width = 0, height = 0;
  ImageList_GetIconSize(icons, &width, &height);
  BITMAPINFO bi = {};
  bi.bmiHeader.biSize = sizeof bi.bmiHeader;
  bi.bmiHeader.biWidth = width;
  bi.bmiHeader.biHeight = height;
  bi.bmiHeader.biPlanes = 1;
  bi.bmiHeader.biBitCount = 32;
  void* bits = nullptr;
  HBITMAP bitmap = CreateDIBSection(nullptr, &bi, DIB_RGB_COLORS, &bits, nullptr, 0);
  if (!bitmap) return -1;
  // Pixels are stored B, G, R, A; opaque.
  uint32_t pixel = 0xFF000000u | (uint32_t)(color & 0xFF) << 16 | (uint32_t)(color & 0xFF00) |
                   (uint32_t)((color >> 16) & 0xFF);
  for (int i = 0; i < width * height; i++) ((uint32_t*)bits)[i] = pixel;
  int index = ImageList_Add(icons, bitmap, nullptr);
  DeleteObject(bitmap);  // the image list keeps its own copy
  return index;
}

//-----------------------------------------------------------------------------
// Rows
//-----------------------------------------------------------------------------

void RefreshNameList(int color, int list, bool force, bool setUpColumns) {
  HWND lv = (HWND)ControlHandle(list);
  if (!lv) return;
  if (setUpColumns) SetUpColumns(lv, list);
  if (!NeedsRedraw(&GProgram->nameListDrawn, color, force)) return;

  std::vector<NameListRow> rows = NameListRows(color, CONFIG.ColorFormat, CONFIG.ColorFormatLCase);
  HIMAGELIST icons = IconList(lv);
  // Rebuilding the rows is the program's own change: no selection events.
  BeginProgramTextChange();
  SendMessageW(lv, WM_SETREDRAW, FALSE, 0);
  ListView_DeleteAllItems(lv);
  ImageList_RemoveAll(icons);
  for (size_t i = 0; i < rows.size(); i++) {
    std::wstring name = Utf8ToWide(rows[i].name.c_str());
    LVITEMW item = {};
    item.mask = LVIF_TEXT | LVIF_PARAM | LVIF_IMAGE;
    item.iItem = (int)i;
    item.pszText = (wchar_t*)name.c_str();
    item.lParam = rows[i].color;
    item.iImage = AddColorIcon(icons, rows[i].color);
    int at = ListView_InsertItem(lv, &item);
    if (at < 0) continue;
    std::wstring code = Utf8ToWide(rows[i].code.c_str()), diff = Utf8ToWide(rows[i].diff.c_str());
    ListView_SetItemText(lv, at, 1, (wchar_t*)code.c_str());
    ListView_SetItemText(lv, at, 2, (wchar_t*)diff.c_str());
  }
  SendMessageW(lv, WM_SETREDRAW, TRUE, 0);
  EndProgramTextChange();
  InvalidateRect(lv, nullptr, TRUE);
}

int SelectedNameListColor(int list) {
  HWND lv = (HWND)ControlHandle(list);
  if (!lv) return -1;
  int row = ListView_GetNextItem(lv, -1, LVNI_SELECTED);
  if (row < 0) return -1;
  LVITEMW item = {};
  item.mask = LVIF_PARAM;
  item.iItem = row;
  if (!ListView_GetItem(lv, &item)) return -1;
  return (int)item.lParam;
}
