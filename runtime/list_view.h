// Report-view lists (the system's list view): columns, and rows of texts
// with a colour icon and a number kept with each row. Lists are control
// numbers, texts UTF-8, widths and icon sizes logical units.
// Windows only (the header does not include windows.h).
#pragma once

// Gives the list `count` columns with these titles and widths: the columns
// it has take them in place, keeping the rows' texts; missing ones are
// added and extra ones removed.
void SetListViewColumns(int list, const char* const titles[], const int widths[], int count);

// Starts replacing the rows: every row and every icon removed, and until
// EndListViewRows the list neither redraws nor raises selection events (the
// program's own change). The list's icons are `iconSize` square; when it has
// none yet, room for `iconCount` is made. False, with nothing started, when
// `list` is no control.
bool BeginListViewRows(int list, int iconSize, int iconCount);
// Makes the list's icons `iconSize` square at the current scale, after a
// change of scale, each in the colour it had: the rows, the selection and
// the scroll stay. Nothing happens to a list without icons, or whose icons
// have that size already.
void ScaleListViewIcons(int list, int iconSize);
// Appends a row: `texts` fill the columns from the first, its icon is filled
// with `iconColor` (a colour value) and `data` is kept with it. Returns the
// row's index, or -1 when the list refused it.
int AddListViewRow(int list, const char* const texts[], int count, int iconColor, int data);
// Ends what BeginListViewRows started; the list is drawn again as a whole.
void EndListViewRows(int list);

// The selected row, or -1 when no row is selected.
int ListViewSelectedRow(int list);
// The number kept with `row`; false when the list has no such row.
bool ListViewRowData(int list, int row, int* data);
