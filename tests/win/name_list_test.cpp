// The name list on a real list view.
#include <windows.h>
#include <commctrl.h>

#include <gtest/gtest.h>

#include <string>

#include "app/name_list.h"
#include "app/settings_record.h"
#include "color/color_value.h"
#include "color/named_colors.h"
#include "runtime/windowing.h"

class NameListTest : public ::testing::Test {
 protected:
  void SetUp() override {
    InitWindowing();
    BuildNamedColorMap();
    memset(&CONFIG, 0, sizeof CONFIG);
    window_ = OpenWindow(kAutoNumber, 20, 20, 400, 500, "Names", Window_SystemMenu);
    // As the window description delivers it: report view, one untitled column.
    HWND lv = CreateWindowExW(0, WC_LISTVIEWW, L"", WS_CHILD | WS_VISIBLE | LVS_REPORT | LVS_SINGLESEL,
                              0, 0, 400, 400, (HWND)WindowHandle(window_), nullptr, nullptr, nullptr);
    LVCOLUMNW col = {LVCF_WIDTH, 0, 100};
    ListView_InsertColumn(lv, 0, &col);
    list_ = RegisterControl(kAutoNumber, lv, window_, CONTROL_LIST_VIEW);
    lv_ = lv;
  }
  void TearDown() override { CloseAllWindows(); }

  std::wstring Cell(int row, int column) {
    wchar_t buf[64] = {};
    ListView_GetItemText(lv_, row, column, buf, 64);
    return buf;
  }
  // The colour an icon of the list shows at its middle, drawn into a bitmap of our own.
  static int IconColor(HIMAGELIST icons, int index) {
    int width = 0, height = 0;
    ImageList_GetIconSize(icons, &width, &height);
    HDC screen = GetDC(nullptr);
    HDC dc = CreateCompatibleDC(screen);
    HBITMAP target = CreateCompatibleBitmap(screen, width, height);
    ReleaseDC(nullptr, screen);
    HGDIOBJ old = SelectObject(dc, target);
    COLORREF pixel = ImageList_Draw(icons, index, dc, 0, 0, ILD_NORMAL) ? GetPixel(dc, width / 2, height / 2) : CLR_INVALID;
    SelectObject(dc, old);
    DeleteObject(target);
    DeleteDC(dc);
    return (int)pixel;
  }
  int window_ = 0, list_ = 0;
  HWND lv_ = nullptr;
};

TEST_F(NameListTest, ColumnsRowsIconsAndItemData) {
  RefreshNameList(ComposeColor(0, 0, 128), list_, true, true);
  ASSERT_EQ(Header_GetItemCount(ListView_GetHeader(lv_)), 3);
  const wchar_t* titles[3] = {L"Name", L"Color", L"Diff"};
  int widths[3];
  NameListColumnWidths(400, widths);
  for (int i = 0; i < 3; i++) {
    wchar_t text[16] = {};
    LVCOLUMNW col = {LVCF_TEXT | LVCF_WIDTH};
    col.pszText = text;
    col.cchTextMax = 16;
    ASSERT_TRUE(ListView_GetColumn(lv_, i, &col));
    EXPECT_STREQ(text, titles[i]);
    EXPECT_EQ(col.cx, widths[i]);  // 96 pixels per inch: logical units are pixels
  }

  ASSERT_EQ(ListView_GetItemCount(lv_), 34);
  EXPECT_EQ(Cell(0, 0), L"{source color}");
  EXPECT_EQ(Cell(0, 1), L"#000080");
  EXPECT_EQ(Cell(0, 2), L"");
  EXPECT_EQ(Cell(1, 0), L"Navy Blue");
  EXPECT_EQ(Cell(1, 2), L"0");

  // Every row carries its colour as item data and shows it in its icon.
  HIMAGELIST icons = ListView_GetImageList(lv_, LVSIL_SMALL);
  ASSERT_EQ(ImageList_GetImageCount(icons), 34);
  for (int row : {0, 1, 20, 33}) {
    LVITEMW item = {LVIF_PARAM | LVIF_IMAGE};
    item.iItem = row;
    ASSERT_TRUE(ListView_GetItem(lv_, &item));
    EXPECT_EQ(IconColor(icons, item.iImage), (int)item.lParam) << "row " << row;
  }
  LVITEMW source = {LVIF_PARAM};
  ListView_GetItem(lv_, &source);
  EXPECT_EQ(source.lParam, ComposeColor(0, 0, 128));
}

TEST_F(NameListTest, SameColorKeepsRowsAndSelectionUnlessForced) {
  RefreshNameList(0xFFFFFF, list_, true, true);
  EXPECT_EQ(SelectedNameListColor(list_), -1);
  ListView_SetItemState(lv_, 1, LVIS_SELECTED, LVIS_SELECTED);
  EXPECT_EQ(SelectedNameListColor(list_), 0xFFFFFF);  // White is the nearest name
  EXPECT_EQ(Cell(1, 0), L"White");

  RefreshNameList(0xFFFFFF, list_, false, false);
  EXPECT_EQ(SelectedNameListColor(list_), 0xFFFFFF);

  // A new notation re-renders every row at once when forced.
  CONFIG.ColorFormat = NOTATION_RGB;
  RefreshNameList(0xFFFFFF, list_, true, false);
  EXPECT_EQ(Cell(1, 1), L"255,255,255");
  EXPECT_EQ(SelectedNameListColor(list_), -1);
  EXPECT_EQ(ListView_GetItemCount(lv_), 34);
}

// A rebuild is the program's own change and raises no selection event, while
// a selection made on the same list does: without that control a list whose
// events never arrive would pass. Wine's list view drops its rows and their
// selection without a notification, so under Wine a rebuild raises nothing
// even without the program's guard (tried: this test still passes there with
// the guard taken out of the rebuild); there it shows that the new rows go
// in silently, and only a list view that notifies a selected row's removal
// tests the guard itself.
TEST_F(NameListTest, RebuildingRaisesNoSelectionEventsButSelectingDoes) {
  RefreshNameList(0x123456, list_, true, true);
  ListView_SetItemState(lv_, 3, LVIS_SELECTED, LVIS_SELECTED);
  ClearWindowEvents();
  RefreshNameList(0x654321, list_, false, false);
  WindowEvent e;
  while (WaitWindowEvent(20, &e)) EXPECT_NE(e.code, Event_Control) << e.type;

  ListView_SetItemState(lv_, 5, LVIS_SELECTED, LVIS_SELECTED);
  bool selected = false;
  for (DWORD start = GetTickCount(); !selected && GetTickCount() - start < 2000;)
    selected = WaitWindowEvent(20, &e) == Event_Control && e.control == list_ && e.type == Changed;
  EXPECT_TRUE(selected) << "a selection on the list raised no event";
}

// The program's way with a change of scale (app/main_window.cpp): the list
// is sized again, its rows kept.
static int g_rescaledList = 0;
static void LayOutListAgain(int) { SizeNameList(g_rescaledList); }

// The window that owns the scale is told of a new one, as Windows tells it:
// the list's icons take the new size, each in its colour, its columns the
// widths of its width there, and its rows, selection and scroll stay.
TEST_F(NameListTest, ANewScaleSizesColumnsAndIconsAndKeepsRowsSelectionAndScroll) {
  CONFIG.Color = ComposeColor(200, 120, 40);
  RefreshNameList(CONFIG.Color, list_, true, true);
  ListView_SetItemState(lv_, 20, LVIS_SELECTED, LVIS_SELECTED);
  ListView_EnsureVisible(lv_, 33, FALSE);
  int top = ListView_GetTopIndex(lv_);
  ASSERT_GT(top, 0);
  std::wstring cell = Cell(20, 1);
  g_rescaledList = list_;
  SetWindowScaleHandler(window_, LayOutListAgain);
  HideWindow(window_, false);
  HWND hwnd = (HWND)WindowHandle(window_);
  for (int ppi : {144, 96}) {
    SCOPED_TRACE(ppi);
    RECT suggested;
    GetWindowRect(hwnd, &suggested);
    SendMessageW(hwnd, WM_DPICHANGED, MAKEWPARAM(ppi, ppi), (LPARAM)&suggested);
    ASSERT_EQ(WindowingDpiX(), ppi);
    HIMAGELIST icons = ListView_GetImageList(lv_, LVSIL_SMALL);
    int width = 0, height = 0;
    ImageList_GetIconSize(icons, &width, &height);
    EXPECT_EQ(width, ppi / 6);  // 16 logical units
    EXPECT_EQ(height, ppi / 6);
    ASSERT_EQ(ImageList_GetImageCount(icons), 34);
    for (int row = 0; row < 34; row++) {
      LVITEMW item = {LVIF_PARAM | LVIF_IMAGE};
      item.iItem = row;
      ASSERT_TRUE(ListView_GetItem(lv_, &item));
      EXPECT_EQ(IconColor(icons, item.iImage), (int)item.lParam) << "row " << row;
    }
    int widths[3];
    NameListColumnWidths(ControlWidth(list_), widths);
    ASSERT_EQ(Header_GetItemCount(ListView_GetHeader(lv_)), 3);
    for (int i = 0; i < 3; i++) EXPECT_EQ(ListView_GetColumnWidth(lv_, i), LogicalToDeviceX(widths[i]));
    EXPECT_EQ(ListView_GetItemCount(lv_), 34);
    EXPECT_EQ(Cell(20, 1), cell);
    EXPECT_EQ(ListView_GetNextItem(lv_, -1, LVNI_SELECTED), 20);
    EXPECT_EQ(ListView_GetTopIndex(lv_), top);
  }
}
