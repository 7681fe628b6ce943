// Report-view lists on the system's list view.
#include "runtime/win32_internal.h"  // windows.h first
#include <commctrl.h>

#include <stdint.h>

#include <string>

#include "runtime/event_queue.h"
#include "runtime/list_view.h"
#include "runtime/win_text.h"
#include "runtime/windowing.h"

void SetListViewColumns(int list, const char* const titles[], const int widths[], int count) {
  HWND lv = (HWND)ControlHandle(list);
  if (!lv) return;
  HWND header = ListView_GetHeader(lv);
  int existing = header ? Header_GetItemCount(header) : 0;
  // Columns beyond the count go from the last: the first one of a list with
  // rows cannot always be deleted.
  while (existing > count && existing > 1 && ListView_DeleteColumn(lv, existing - 1)) existing--;
  for (int i = 0; i < count; i++) {
    std::wstring title = Utf8ToWide(titles[i]);
    LVCOLUMNW col = {};
    col.mask = LVCF_TEXT | LVCF_WIDTH | LVCF_SUBITEM;
    col.cx = LogicalToDeviceX(widths[i]);
    col.pszText = (wchar_t*)title.c_str();
    col.iSubItem = i;
    if (i < existing) ListView_SetColumn(lv, i, &col);  // in place: the rows keep their texts
    else ListView_InsertColumn(lv, i, &col);
  }
}

//-----------------------------------------------------------------------------
// Icons
//-----------------------------------------------------------------------------

// The list's small-icon image list, made on first use.
static HIMAGELIST IconList(HWND lv, int iconSize, int iconCount) {
  HIMAGELIST icons = ListView_GetImageList(lv, LVSIL_SMALL);
  if (icons) return icons;
  icons = ImageList_Create(LogicalToDeviceX(iconSize), LogicalToDeviceY(iconSize), ILC_COLOR32,
                           iconCount, 0);
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
  // The image list keeps its own copy of the bitmap.
  ScopedGdiObject bitmap(CreateDIBSection(nullptr, &bi, DIB_RGB_COLORS, &bits, nullptr, 0));
  if (!bitmap) return -1;
  // Pixels are stored B, G, R, A; opaque.
  uint32_t pixel = 0xFF000000u | (uint32_t)(color & 0xFF) << 16 | (uint32_t)(color & 0xFF00) |
                   (uint32_t)((color >> 16) & 0xFF);
  for (int i = 0; i < width * height; i++) ((uint32_t*)bits)[i] = pixel;
  return ImageList_Add(icons, (HBITMAP)(HGDIOBJ)bitmap, nullptr);
}

// The colour of an icon of the list, as drawn at its middle; -1 when it cannot be read.
static int IconColor(HIMAGELIST icons, int index) {
  int width = 0, height = 0;
  ImageList_GetIconSize(icons, &width, &height);
  PixelBuffer pixels;
  ScopedGdiObject bitmap(NewPixelBitmap(width, height, 4, &pixels));
  ScopedMemoryDC dc(nullptr);
  if (!bitmap || !dc) return -1;
  ScopedSelectObject select(dc, bitmap);
  if (!ImageList_Draw(icons, index, dc, 0, 0, ILD_NORMAL)) return -1;
  GdiFlush();
  return RasterReadPixel(pixels, width / 2, height / 2);
}

void ScaleListViewIcons(int list, int iconSize) {
  HWND lv = (HWND)ControlHandle(list);
  HIMAGELIST old = lv ? ListView_GetImageList(lv, LVSIL_SMALL) : nullptr;
  if (!old) return;
  int width = 0, height = 0, count = ImageList_GetImageCount(old);
  ImageList_GetIconSize(old, &width, &height);
  if (width == LogicalToDeviceX(iconSize) && height == LogicalToDeviceY(iconSize)) return;
  HIMAGELIST icons = ImageList_Create(LogicalToDeviceX(iconSize), LogicalToDeviceY(iconSize), ILC_COLOR32, count, 0);
  if (!icons) return;  // the icons keep their old size
  // Each icon again at the new size, in its place: the rows keep their icons.
  for (int i = 0; i < count; i++) {
    int color = IconColor(old, i);
    if (AddColorIcon(icons, color < 0 ? 0 : color) != i) {
      ImageList_Destroy(icons);
      return;
    }
  }
  ListView_SetImageList(lv, icons, LVSIL_SMALL);
  ImageList_Destroy(old);
}

//-----------------------------------------------------------------------------
// Rows
//-----------------------------------------------------------------------------

bool BeginListViewRows(int list, int iconSize, int iconCount) {
  HWND lv = (HWND)ControlHandle(list);
  if (!lv) return false;
  HIMAGELIST icons = IconList(lv, iconSize, iconCount);
  BeginProgramTextChange();
  SendMessageW(lv, WM_SETREDRAW, FALSE, 0);
  ListView_DeleteAllItems(lv);
  ImageList_RemoveAll(icons);
  return true;
}

int AddListViewRow(int list, const char* const texts[], int count, int iconColor, int data) {
  HWND lv = (HWND)ControlHandle(list);
  if (!lv || count < 1) return -1;
  std::wstring first = Utf8ToWide(texts[0]);
  LVITEMW item = {};
  item.mask = LVIF_TEXT | LVIF_PARAM | LVIF_IMAGE;
  item.iItem = ListView_GetItemCount(lv);
  item.pszText = (wchar_t*)first.c_str();
  item.lParam = data;
  item.iImage = AddColorIcon(ListView_GetImageList(lv, LVSIL_SMALL), iconColor);
  int at = ListView_InsertItem(lv, &item);
  if (at < 0) return -1;
  for (int column = 1; column < count; column++) {
    std::wstring text = Utf8ToWide(texts[column]);
    ListView_SetItemText(lv, at, column, (wchar_t*)text.c_str());
  }
  return at;
}

void EndListViewRows(int list) {
  HWND lv = (HWND)ControlHandle(list);
  if (lv) SendMessageW(lv, WM_SETREDRAW, TRUE, 0);
  EndProgramTextChange();
  if (lv) InvalidateRect(lv, nullptr, TRUE);
}

//-----------------------------------------------------------------------------
// Selection
//-----------------------------------------------------------------------------

int ListViewSelectedRow(int list) {
  HWND lv = (HWND)ControlHandle(list);
  if (!lv) return -1;
  return ListView_GetNextItem(lv, -1, LVNI_SELECTED);
}

bool ListViewRowData(int list, int row, int* data) {
  HWND lv = (HWND)ControlHandle(list);
  if (!lv || row < 0) return false;
  LVITEMW item = {};
  item.mask = LVIF_PARAM;
  item.iItem = row;
  if (!ListView_GetItem(lv, &item)) return false;
  *data = (int)item.lParam;
  return true;
}
