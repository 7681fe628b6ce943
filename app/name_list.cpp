// The list of nearest named colours: which rows and texts, on the runtime's
// list view.
#include "app/name_list.h"

#include "app/program_context.h"
#include "app/settings_record.h"
#include "color/named_colors.h"
#include "color/redraw_cache.h"
#include "runtime/list_view.h"
#include "runtime/windowing.h"

//-----------------------------------------------------------------------------
// Columns and icons
//-----------------------------------------------------------------------------

static void SetUpColumns(int list) {
  int widths[3];
  NameListColumnWidths(ControlWidth(list), widths);
  const char* titles[3] = {"Name", "Color", "Diff"};
  SetListViewColumns(list, titles, widths, 3);
}

// The colour icons are 16 x 16 logical units, so they grow with the text.
const int kIconSize = 16;

void SizeNameList(int list) {
  SetUpColumns(list);
  ScaleListViewIcons(list, kIconSize);
}

//-----------------------------------------------------------------------------
// Rows
//-----------------------------------------------------------------------------

void RefreshNameList(int color, int list, bool force, bool setUpColumns) {
  if (!ControlExists(list)) return;
  if (setUpColumns) SizeNameList(list);
  if (!NeedsRedraw(&GProgram->nameListDrawn, color, force)) return;

  std::vector<NameListRow> rows = NameListRows(color, CONFIG.ColorFormat, CONFIG.ColorFormatLCase);
  if (!BeginListViewRows(list, kIconSize, kNearestNameCount + 1)) return;
  for (const NameListRow& row : rows) {
    // Each row shows its colour in its icon and keeps it as its number.
    const char* texts[3] = {row.name.c_str(), row.code.c_str(), row.diff.c_str()};
    AddListViewRow(list, texts, 3, row.color, row.color);
  }
  EndListViewRows(list);
}

int SelectedNameListColor(int list) {
  int row = ListViewSelectedRow(list), color = -1;
  if (row < 0 || !ListViewRowData(list, row, &color)) return -1;
  return color;
}
