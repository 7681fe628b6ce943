#include "dialog/layout.h"

#include <stdarg.h>
#include <stdio.h>

#include "dialog/element_flags.h"

//-----------------------------------------------------------------------------
// Arithmetic helpers: lengths stay within +-kLengthLimit, so no sum or
// product of them can overflow, whatever a description asks for.
//-----------------------------------------------------------------------------

int ClampLength(int64_t v) {
  if (v > kLengthLimit) return kLengthLimit;
  if (v < -kLengthLimit) return -kLengthLimit;
  return (int)v;
}

static int Larger(int a, int b) { return a > b ? a : b; }

// a * b / c with a 64-bit product, truncating toward zero; c is never 0 here.
static int Scale(int a, int b, int c) { return ClampLength((int64_t)a * b / c); }

//-----------------------------------------------------------------------------
// Building the tree
//-----------------------------------------------------------------------------

bool NodeIsSingleChild(const LayoutNode& node) {
  switch (node.kind) {
    case NODE_WINDOW:
    case NODE_SINGLEBOX:
    case NODE_CONTAINER:
    case NODE_FRAME:
    case NODE_SCROLLAREA:
    case NODE_TAB:
      return true;
    case NODE_CANVAS:
      return (node.flags & Canvas_Container) != 0;
    default:
      return false;
  }
}

int AddLayoutNode(Dialog& dialog, int kind) {
  int index = (int)dialog.nodes.size();
  dialog.nodes.emplace_back();
  LayoutNode& node = dialog.nodes.back();
  node.kind = kind;
  int margin = kind == NODE_WINDOW ? 8 : kind == NODE_FRAME ? 5 : 10;
  node.marginTop = node.marginBottom = node.marginLeft = node.marginRight = margin;
  if (kind == NODE_GRIDBOX) node.rowMinimums.assign(kGridRows, 0);
  return index;
}

void RecordDialogError(Dialog& dialog, const char* format, ...) {
  if (!dialog.error.empty()) return;  // the first error is the one kept
  char message[512];
  va_list args;
  va_start(args, format);
  vsnprintf(message, sizeof message, format, args);
  va_end(args);
  dialog.error = message;
}

// The cell matrix is made when the first child arrives, once the column
// count has been read.
static void EnsureGridCells(LayoutNode& grid) {
  if (!grid.cells.empty()) return;
  grid.cells.assign((size_t)kGridRows * grid.columns, GridCell());
  grid.columnMinimums.assign((size_t)grid.columns, 0);
}

// Only a grid that receives a child is refused for its column count: a
// childless grid has no cells and measures as its own minimum.
static void AttachToGrid(Dialog& dialog, int gridIndex, int child, int colSpan, int rowSpan) {
  LayoutNode& grid = dialog.nodes[gridIndex];
  if (grid.columns < 1 || grid.columns > kGridMaxColumns) {
    RecordDialogError(dialog, "A gridbox can only have 1 to %d columns (%d was specified).", kGridMaxColumns,
                      grid.columns);
    return;
  }
  EnsureGridCells(grid);
  int cellCount = kGridRows * grid.columns;
  int cell = grid.nextFreeCell;
  while (cell < cellCount && grid.cells[cell].child != -1) cell++;
  if (cell >= cellCount) {
    RecordDialogError(dialog, "A gridbox can only hold %d rows of cells.", kGridRows);
    return;
  }
  int row = cell / grid.columns, column = cell % grid.columns;
  if (column + colSpan > grid.columns) colSpan = grid.columns - column;
  if (row + rowSpan > kGridRows) {
    RecordDialogError(dialog, "A gridbox can only hold %d rows of cells (a child in row %d spans %d rows).",
                      kGridRows, row + 1, rowSpan);
    return;
  }
  for (int r = row; r < row + rowSpan; r++)
    for (int c = column; c < column + colSpan; c++)
      grid.cells[r * grid.columns + c].child = kGridCovered;
  grid.cells[cell] = GridCell{child, colSpan, rowSpan};
  grid.nextFreeCell = cell + 1;
  grid.children.push_back(child);
}

void AttachChild(Dialog& dialog, int parentIndex, int child, int colSpan, int rowSpan) {
  dialog.nodes[child].parent = parentIndex;
  LayoutNode& parent = dialog.nodes[parentIndex];
  if (NodeIsSingleChild(parent)) {
    parent.child = child;  // a later child replaces an earlier one
    return;
  }
  switch (parent.kind) {
    case NODE_VBOX:
    case NODE_HBOX:
      parent.children.push_back(child);
      parent.childSizes.push_back(0);
      break;
    case NODE_GRIDBOX:
      AttachToGrid(dialog, parentIndex, child, colSpan, rowSpan);
      break;
    case NODE_MULTIBOX:
    case NODE_PANEL:
    case NODE_SPLITTER:
      parent.children.push_back(child);
      break;
    default:
      break;  // controls without children lay nothing out
  }
}

void FinishGrid(LayoutNode& grid) {
  grid.rowsInUse = 0;
  if (grid.cells.empty()) return;
  for (int r = 0; r < kGridRows; r++) {
    bool used = false;
    for (int c = 0; c < grid.columns && !used; c++) used = grid.cells[r * grid.columns + c].child != -1;
    if (!used) break;
    grid.rowsInUse = r + 1;
  }
}

//-----------------------------------------------------------------------------
// Measuring
//-----------------------------------------------------------------------------

// Controls measured by their required size; the rest of the controls keep
// the default measure (their own minimum).
static bool HasRequiredSize(const LayoutNode& node) {
  switch (node.kind) {
    case NODE_BUTTON: case NODE_CHECKBOX: case NODE_IMAGE: case NODE_OPTION:
    case NODE_COMBOBOX: case NODE_TEXT: case NODE_STRING: case NODE_EXPLORERCOMBO:
    case NODE_SHORTCUT: case NODE_BUTTONIMAGE: case NODE_CALENDAR: case NODE_DATE:
    case NODE_SPIN: case NODE_HYPERLINK: case NODE_IPADDRESS:
      return true;
    case NODE_CANVAS:
      return !(node.flags & Canvas_Container);
    default:
      return false;
  }
}

static void MeasureControl(Dialog& dialog, LayoutNode& node, int* w, int* h) {
  int rw = 0, rh = 0;
  if (node.control > 0) dialog.platform->requiredSize(node.control, node.kind, node.flags, &rw, &rh);
  rw = ClampLength(rw), rh = ClampLength(rh);
  node.requiredHeight = rh;
  *w = Larger(rw, node.ownWidth);
  *h = Larger(rh, node.ownHeight);
}

// A list's own height, rounded up to whole rows inside its frame.
static void MeasureListView(Dialog& dialog, LayoutNode& node, int* w, int* h) {
  *w = node.ownWidth;
  *h = node.ownHeight;
  int row = 0, frame = 0;
  if (node.control > 0) dialog.platform->listRowMetrics(node.control, &row, &frame);
  row = ClampLength(row), frame = ClampLength(frame);
  if (row <= 0) return;
  int rows = (*h - frame) / row;
  if (frame + row * rows < *h) *h = ClampLength(frame + (int64_t)row * (rows + 1));
}

static void MeasureSingleChild(Dialog& dialog, LayoutNode& node, int* w, int* h) {
  int cw = 0, ch = 0;
  if (node.child >= 0) MinimumSize(dialog, node.child, &cw, &ch);
  node.childWidth = cw, node.childHeight = ch;
  *w = ClampLength((int64_t)cw + node.marginLeft + node.marginRight);
  *h = ClampLength((int64_t)ch + node.marginTop + node.marginBottom);
}

static void MeasureBox(Dialog& dialog, int index, int* w, int* h) {
  LayoutNode& box = dialog.nodes[index];
  *w = box.ownWidth, *h = box.ownHeight;
  if (box.children.empty()) return;  // keeps the cached total it had
  bool horizontal = box.kind == NODE_HBOX;
  int64_t total = 0;
  int cross = 0, largest = 0, folded = 0;
  for (size_t i = 0; i < box.children.size(); i++) {
    int mw, mh;
    MinimumSize(dialog, box.children[i], &mw, &mh);
    int main = horizontal ? mw : mh, other = horizontal ? mh : mw;
    largest = Larger(largest, main);
    total += main;
    cross = Larger(cross, other);
    box.childSizes[i] = main;
    if (dialog.nodes[box.children[i]].folded) folded++;
  }
  int n = (int)box.children.size() - folded;
  if (box.expand == EXPAND_EQUAL) total = (int64_t)n * largest;
  if (n > 0) total += (int64_t)box.spacing * (n - 1);
  box.foldedChildren = folded;
  box.total = ClampLength(total);
  *w = Larger(horizontal ? box.total : cross, box.ownWidth);
  *h = Larger(horizontal ? cross : box.total, box.ownHeight);
}

// Spreads the deficit of a spanning child over the spanned columns (or rows).
static void RaiseSpan(std::vector<int>& minimums, int first, int span, int need, int spacing,
                      int mode, int item) {
  int64_t present = (int64_t)(span - 1) * spacing;
  for (int i = first; i < first + span; i++) present += minimums[i];
  if (present >= need) return;
  int deficit = ClampLength(need - present);
  if (mode == EXPAND_EQUAL) {
    int share = ClampLength(((int64_t)need - (int64_t)(span - 1) * spacing) / span);
    for (int i = first; i < first + span; i++) minimums[i] = Larger(minimums[i], share);
  } else if (mode == EXPAND_YES) {
    for (int i = first; i < first + span; i++) minimums[i] = ClampLength((int64_t)minimums[i] + deficit / span);
  } else if (mode == EXPAND_ITEM && item >= first && item < first + span) {
    minimums[item] = ClampLength((int64_t)minimums[item] + deficit);
  } else {
    minimums[first + span - 1] = ClampLength((int64_t)minimums[first + span - 1] + deficit);
  }
}

static void MeasureGrid(Dialog& dialog, int index, int* w, int* h) {
  LayoutNode& grid = dialog.nodes[index];
  *w = grid.ownWidth, *h = grid.ownHeight;
  if (grid.rowsInUse == 0) return;  // keeps its cached totals
  int used = grid.rowsInUse * grid.columns;
  // Each child is measured once; the spanning pass reuses the sizes.
  std::vector<int> widths((size_t)used), heights((size_t)used);
  for (int cell = 0; cell < used; cell++) {
    const GridCell c = grid.cells[cell];
    if (c.child < 0) continue;
    MinimumSize(dialog, c.child, &widths[cell], &heights[cell]);
    int row = cell / grid.columns, column = cell % grid.columns;
    if (c.colSpan == 1) grid.columnMinimums[column] = Larger(grid.columnMinimums[column], widths[cell]);
    if (c.rowSpan == 1) grid.rowMinimums[row] = Larger(grid.rowMinimums[row], heights[cell]);
  }
  for (int cell = 0; cell < used; cell++) {
    const GridCell c = grid.cells[cell];
    if (c.child < 0) continue;
    int row = cell / grid.columns, column = cell % grid.columns;
    if (c.colSpan > 1)
      RaiseSpan(grid.columnMinimums, column, c.colSpan, widths[cell], grid.colSpacing, grid.colExpand,
                grid.colExpandItem);
    if (c.rowSpan > 1)
      RaiseSpan(grid.rowMinimums, row, c.rowSpan, heights[cell], grid.rowSpacing, grid.rowExpand,
                grid.rowExpandItem);
  }
  int64_t totalW = (int64_t)(grid.columns - 1) * grid.colSpacing, totalH = (int64_t)(grid.rowsInUse - 1) * grid.rowSpacing;
  for (int c = 0; c < grid.columns; c++) totalW += grid.columnMinimums[c];
  for (int r = 0; r < grid.rowsInUse; r++) totalH += grid.rowMinimums[r];
  grid.totalWidth = ClampLength(totalW);
  grid.totalHeight = ClampLength(totalH);
  *w = Larger(grid.totalWidth, grid.ownWidth);
  *h = Larger(grid.totalHeight, grid.ownHeight);
}

// Resolves the window's four bounds against the measured size and hands them on.
static void ApplyWindowBounds(Dialog& dialog, LayoutNode& window, int* w, int* h) {
  const WindowBound* b = window.bounds;
  if (b[0].mode == BOUND_UNSET && b[1].mode == BOUND_UNSET && b[2].mode == BOUND_UNSET &&
      b[3].mode == BOUND_UNSET)
    return;
  if (b[0].mode == BOUND_NUMBER) *w = Larger(*w, b[0].value);
  if (b[1].mode == BOUND_NUMBER) *h = Larger(*h, b[1].value);
  int resolved[4];
  for (int i = 0; i < 4; i++) {
    int measured = (i % 2 == 0) ? *w : *h;
    resolved[i] = b[i].mode == BOUND_NUMBER ? b[i].value : b[i].mode == BOUND_AUTO ? measured : kAutoLength;
  }
  if (window.window > 0)
    dialog.platform->setWindowBounds(window.window, resolved[0], resolved[1], resolved[2], resolved[3]);
}

static void MeasureContent(Dialog& dialog, int index, int* w, int* h) {
  LayoutNode& node = dialog.nodes[index];
  const DialogPlatform* p = dialog.platform;
  switch (node.kind) {
    case NODE_VBOX:
    case NODE_HBOX:
      MeasureBox(dialog, index, w, h);
      return;  // already raised to the own minimum
    case NODE_GRIDBOX:
      MeasureGrid(dialog, index, w, h);
      return;
    case NODE_WINDOW:
      MeasureSingleChild(dialog, node, w, h);
      ApplyWindowBounds(dialog, node, w, h);
      break;
    case NODE_SINGLEBOX:
    case NODE_TAB:
      MeasureSingleChild(dialog, node, w, h);
      break;
    case NODE_CANVAS:  // a container canvas; without a child only its own minimum counts
      if (node.child >= 0) MeasureSingleChild(dialog, node, w, h);
      else *w = *h = 0;
      break;
    case NODE_CONTAINER: {
      // Flat containers have a fixed inset; other borders twice the thin border.
      if (!node.flags) node.inset = 0;
      else if (node.flags & Container_Flat) node.inset = 2;
      else node.inset = 2 * ClampLength(p->thinBorderWidth());
      MeasureSingleChild(dialog, node, w, h);
      *w = ClampLength((int64_t)*w + node.inset);
      *h = ClampLength((int64_t)*h + node.inset);
      break;
    }
    case NODE_FRAME: {
      int caption = node.control > 0 ? ClampLength(p->captionHeight(node.control)) : 0;
      node.inset = Larger(10, caption);
      MeasureSingleChild(dialog, node, w, h);
      *w = ClampLength((int64_t)*w + 8);
      *h = ClampLength((int64_t)*h + node.inset + 4);
      break;
    }
    case NODE_SCROLLAREA: {
      int cw, ch;
      MeasureSingleChild(dialog, node, &cw, &ch);
      *w = node.scrolling == SCROLL_VERTICAL ? ClampLength((int64_t)cw + 22) : node.ownWidth;
      *h = node.scrolling == SCROLL_HORIZONTAL ? ClampLength((int64_t)ch + 22) : node.ownHeight;
      break;
    }
    case NODE_MULTIBOX:
    case NODE_PANEL: {
      *w = *h = 0;
      for (int child : node.children) {
        int cw, ch;
        MinimumSize(dialog, child, &cw, &ch);
        *w = Larger(*w, cw), *h = Larger(*h, ch);
      }
      if (node.kind == NODE_PANEL) {
        int tabs = node.control > 0 ? ClampLength(p->panelTabHeight(node.control)) : 0;
        *w = ClampLength((int64_t)*w + 4);
        *h = ClampLength((int64_t)*h + tabs + 2);
      }
      break;
    }
    case NODE_SPLITTER: {
      int size[2][2] = {{0, 0}, {0, 0}};
      for (size_t i = 0; i < node.children.size() && i < 2; i++)
        MinimumSize(dialog, node.children[i], &size[i][0], &size[i][1]);
      bool sideBySide = node.flags & Splitter_Vertical;
      int separator = node.flags & Splitter_Separator ? 7 : 4;
      if (sideBySide) {
        *w = ClampLength((int64_t)size[0][0] + size[1][0] + separator);
        *h = Larger(size[0][1], size[1][1]);
      } else {
        *w = Larger(size[0][0], size[1][0]);
        *h = ClampLength((int64_t)size[0][1] + size[1][1] + separator);
      }
      for (int i = 0; i < 2; i++)
        if (node.paneMinimum[i] == kAutoLength && node.control > 0)
          p->setSplitterMinimum(node.control, i, sideBySide ? size[i][0] : size[i][1]);
      break;
    }
    default:  // empty, and controls measured by their own minimum only
      *w = *h = 0;
      break;
  }
  LayoutNode& again = dialog.nodes[index];
  *w = Larger(*w, again.ownWidth);
  *h = Larger(*h, again.ownHeight);
}

void MinimumSize(Dialog& dialog, int index, int* w, int* h) {
  LayoutNode& node = dialog.nodes[index];
  if (HasRequiredSize(node)) return MeasureControl(dialog, node, w, h);
  if (node.kind == NODE_LISTVIEW) return MeasureListView(dialog, node, w, h);
  if (node.folded) {
    *w = *h = 0;
    return;
  }
  MeasureContent(dialog, index, w, h);
  if (node.ownWidth == -1) *w = 0;
  if (node.ownHeight == -1) *h = 0;
}

//-----------------------------------------------------------------------------
// Placing
//-----------------------------------------------------------------------------

struct Rect {
  int x, y, w, h;
};

// One axis of a single child inside its margins: the child's length and how
// far it moves along the axis.
static void FitAxis(int room, int minimum, bool expand, int limit, int align, int* length, int* shift) {
  *length = room;
  if (room > minimum) {
    if (!expand) *length = minimum;
    else if (limit > 0 && limit < room) *length = Larger(limit, minimum);
  }
  *shift = align == ALIGN_CENTER ? (room - *length) / 2 : align == ALIGN_END ? room - *length : 0;
}

static Rect SingleChildRect(const LayoutNode& node, int x, int y, int w, int h) {
  Rect r;
  int roomW = ClampLength((int64_t)w - node.marginLeft - node.marginRight);
  int roomH = ClampLength((int64_t)h - node.marginTop - node.marginBottom);
  int dx, dy;
  FitAxis(roomW, node.childWidth, node.expandHorizontal, node.expandWidthLimit, node.alignHorizontal, &r.w, &dx);
  FitAxis(roomH, node.childHeight, node.expandVertical, node.expandHeightLimit, node.alignVertical, &r.h, &dy);
  r.x = ClampLength((int64_t)x + node.marginLeft + dx);
  r.y = ClampLength((int64_t)y + node.marginTop + dy);
  return r;
}

static void PlaceSingleChild(Dialog& dialog, int index, int x, int y, int w, int h) {
  const LayoutNode& node = dialog.nodes[index];
  if (node.child < 0) return;
  Rect r = SingleChildRect(node, x, y, w, h);
  PlaceNode(dialog, node.child, r.x, r.y, r.w, r.h);
}

static void ResizeOwnControl(Dialog& dialog, const LayoutNode& node, int x, int y, int w, int h) {
  if (node.control > 0) dialog.platform->resizeControl(node.control, x, y, w, h);
}

static void PlaceBox(Dialog& dialog, int index, int x, int y, int w, int h) {
  const LayoutNode& box = dialog.nodes[index];
  bool horizontal = box.kind == NODE_HBOX;
  int n = (int)box.children.size() - box.foldedChildren;
  if (n <= 0) return;
  int room = horizontal ? w : h, total = box.total, spacing = box.spacing;
  int64_t extra = (int64_t)room - total;
  int64_t cursor = horizontal ? x : y;
  if (box.expand == EXPAND_NO && !(room > 0 && room < total)) {
    if (box.align == ALIGN_CENTER) cursor += extra / 2;
    else if (box.align == ALIGN_END) cursor += extra;
  }
  for (size_t i = 0; i < box.children.size(); i++) {
    int child = box.children[i];
    if (dialog.nodes[child].folded) continue;
    int cached = box.childSizes[i];
    int64_t size;
    if (box.expand == EXPAND_EQUAL) size = ((int64_t)room - (int64_t)(n - 1) * spacing) / n;
    else if (room > 0 && room < total) size = Scale(cached, room, total);
    else if (box.expand == EXPAND_YES) size = cached + extra / n;
    else if (box.expand == EXPAND_ITEM && (int)i == box.expandItem) size = cached + extra;
    else size = cached;
    int at = ClampLength(cursor), length = ClampLength(size);
    if (horizontal) PlaceNode(dialog, child, at, y, length, h);
    else PlaceNode(dialog, child, x, at, w, length);
    cursor = ClampLength(cursor + (int64_t)length + spacing);
  }
}

// Column widths (or row heights) of a grid for the room it got.
static void GridSizes(const std::vector<int>& minimums, int count, int room, int total, int spacing,
                      int mode, int item, std::vector<int>* sizes) {
  sizes->assign((size_t)count, 0);
  int64_t extra = (int64_t)room - total;
  for (int i = 0; i < count; i++) {
    int64_t size;
    if (mode == EXPAND_EQUAL) size = ((int64_t)room - (int64_t)(count - 1) * spacing) / count;
    else if (room > 0 && room < total) size = Scale(minimums[i], room, total);
    else if (mode == EXPAND_YES) size = minimums[i] + extra / count;
    else if (mode == EXPAND_ITEM && i == item) size = minimums[i] + extra;
    else size = minimums[i];
    (*sizes)[i] = ClampLength(size);
  }
}

static void PlaceGrid(Dialog& dialog, int index, int x, int y, int w, int h) {
  const LayoutNode& grid = dialog.nodes[index];
  if (grid.rowsInUse == 0) return;
  std::vector<int> widths, heights;
  GridSizes(grid.columnMinimums, grid.columns, w, grid.totalWidth, grid.colSpacing, grid.colExpand,
            grid.colExpandItem, &widths);
  GridSizes(grid.rowMinimums, grid.rowsInUse, h, grid.totalHeight, grid.rowSpacing, grid.rowExpand,
            grid.rowExpandItem, &heights);
  // Starts of every column and row, spacing included.
  std::vector<int64_t> left((size_t)grid.columns + 1), top((size_t)grid.rowsInUse + 1);
  left[0] = x, top[0] = y;
  for (int c = 0; c < grid.columns; c++) left[c + 1] = left[c] + widths[c] + grid.colSpacing;
  for (int r = 0; r < grid.rowsInUse; r++) top[r + 1] = top[r] + heights[r] + grid.rowSpacing;
  for (int cell = 0; cell < grid.rowsInUse * grid.columns; cell++) {
    const GridCell c = grid.cells[cell];
    if (c.child < 0) continue;
    int row = cell / grid.columns, column = cell % grid.columns;
    int lastColumn = column + c.colSpan, lastRow = row + c.rowSpan;
    if (lastRow > grid.rowsInUse) lastRow = grid.rowsInUse;
    PlaceNode(dialog, c.child, ClampLength(left[column]), ClampLength(top[row]),
              ClampLength(left[lastColumn] - left[column] - grid.colSpacing),
              ClampLength(top[lastRow] - top[row] - grid.rowSpacing));
  }
}

static void PlaceScrollArea(Dialog& dialog, int index, int x, int y, int w, int h) {
  ResizeOwnControl(dialog, dialog.nodes[index], x, y, w, h);
  const LayoutNode& area = dialog.nodes[index];
  int innerW = Larger(ClampLength((int64_t)area.childWidth + area.marginLeft + area.marginRight),
                      area.innerWidth == kAutoLength ? 0 : area.innerWidth);
  int innerH = Larger(ClampLength((int64_t)area.childHeight + area.marginTop + area.marginBottom),
                      area.innerHeight == kAutoLength ? 0 : area.innerHeight);
  if (area.scrolling == SCROLL_VERTICAL) innerW = ClampLength((int64_t)w - 22);
  if (area.scrolling == SCROLL_HORIZONTAL) innerH = ClampLength((int64_t)h - 22);
  Rect r = SingleChildRect(area, 0, 0, innerW, innerH);
  if (area.control > 0 && (area.innerWidth == kAutoLength || area.innerHeight == kAutoLength)) {
    int setW = area.innerWidth == kAutoLength ? ClampLength((int64_t)area.marginLeft + area.marginRight + r.w) : kAutoLength;
    int setH = area.innerHeight == kAutoLength ? ClampLength((int64_t)area.marginTop + area.marginBottom + r.h) : kAutoLength;
    dialog.platform->setScrollAreaInnerSize(area.control, setW, setH);
  }
  if (area.child >= 0) PlaceNode(dialog, area.child, r.x, r.y, r.w, r.h);
}

static void PlaceWindowContent(Dialog& dialog, int index, int w, int h) {
  const LayoutNode& window = dialog.nodes[index];
  if (window.child < 0) return;
  int width = Larger(ClampLength((int64_t)w - window.marginLeft - window.marginRight), window.childWidth);
  int height = Larger(ClampLength((int64_t)h - window.marginTop - window.marginBottom), window.childHeight);
  PlaceNode(dialog, window.child, window.marginLeft, window.marginTop, width, height);
}

void PlaceNode(Dialog& dialog, int index, int x, int y, int w, int h) {
  const LayoutNode& node = dialog.nodes[index];
  const DialogPlatform* p = dialog.platform;
  switch (node.kind) {
    case NODE_WINDOW:
      PlaceWindowContent(dialog, index, w, h);
      return;
    case NODE_VBOX:
    case NODE_HBOX:
      PlaceBox(dialog, index, x, y, w, h);
      return;
    case NODE_GRIDBOX:
      PlaceGrid(dialog, index, x, y, w, h);
      return;
    case NODE_MULTIBOX:
      for (int child : node.children) PlaceNode(dialog, child, x, y, w, h);
      return;
    case NODE_SINGLEBOX:
      PlaceSingleChild(dialog, index, x, y, w, h);
      return;
    case NODE_EMPTY:
      return;
    case NODE_TAB:
      PlaceSingleChild(dialog, index, 0, 0, w, h);
      return;
    case NODE_CONTAINER: {
      ResizeOwnControl(dialog, node, x, y, w, h);
      int e = node.inset;
      PlaceSingleChild(dialog, index, e / 2, e / 2, ClampLength((int64_t)w - e), ClampLength((int64_t)h - e));
      return;
    }
    case NODE_FRAME: {
      ResizeOwnControl(dialog, node, x, y, w, h);
      int t = node.inset;
      // The child belongs to the frame's parent, inside the frame's border.
      PlaceSingleChild(dialog, index, ClampLength((int64_t)x + 4), ClampLength((int64_t)y + t),
                       ClampLength((int64_t)w - 8), ClampLength((int64_t)h - t - 4));
      return;
    }
    case NODE_CANVAS:
      ResizeOwnControl(dialog, node, x, y, w, h);
      if (node.flags & Canvas_Container) PlaceSingleChild(dialog, index, 0, 0, w, h);
      return;
    case NODE_SCROLLAREA:
      PlaceScrollArea(dialog, index, x, y, w, h);
      return;
    case NODE_PANEL: {
      ResizeOwnControl(dialog, node, x, y, w, h);
      int pageW = 0, pageH = 0;
      if (node.control > 0) p->panelPageSize(node.control, &pageW, &pageH);
      for (int tab : node.children) PlaceNode(dialog, tab, 0, 0, ClampLength(pageW), ClampLength(pageH));
      return;
    }
    case NODE_SPLITTER:
      ResizeOwnControl(dialog, node, x, y, w, h);
      // The panes follow the splitter's size; their children follow the panes.
      for (size_t i = 0; i < node.children.size() && i < 2; i++) {
        int paneW = 0, paneH = 0;
        if (node.control > 0) p->splitterPaneSize(node.control, (int)i, &paneW, &paneH);
        PlaceNode(dialog, node.children[i], 0, 0, ClampLength(paneW), ClampLength(paneH));
      }
      return;
    case NODE_TEXT:
    case NODE_HYPERLINK:
      // Text sits 2 units lower when there is room for it.
      if (!(node.flags & Text_Border) && (int64_t)h - 2 >= Larger(node.ownHeight, node.requiredHeight)) {
        ResizeOwnControl(dialog, node, x, y + 2, w, h - 2);
        return;
      }
      ResizeOwnControl(dialog, node, x, y, w, h);
      return;
    default:
      ResizeOwnControl(dialog, node, x, y, w, h);
      return;
  }
}

void PlaceSplitterPane(Dialog& dialog, int paneControl, int w, int h) {
  for (LayoutNode& node : dialog.nodes) {
    if (node.kind != NODE_SPLITTER) continue;
    for (size_t i = 0; i < node.children.size() && i < 2; i++)
      if (node.panes[i] == paneControl) PlaceNode(dialog, node.children[i], 0, 0, ClampLength(w), ClampLength(h));
  }
}

//-----------------------------------------------------------------------------
// The window
//-----------------------------------------------------------------------------

void LayoutNewWindow(Dialog& dialog, int askedWidth, int askedHeight) {
  int mw, mh;
  MinimumSize(dialog, dialog.root, &mw, &mh);
  int w = Larger(ClampLength(askedWidth), mw), h = Larger(ClampLength(askedHeight), mh);
  PlaceNode(dialog, dialog.root, 0, 0, w, h);
  dialog.laidOut = true;
  const DialogPlatform* p = dialog.platform;
  p->resizeWindow(dialog.window, w, h);
  uint32_t flags = dialog.nodes[dialog.root].flags;
  if (flags & Window_ScreenCentered) p->centerWindow(dialog.window, 0);
  else if ((flags & Window_WindowCentered) && dialog.parentWindow > 0)
    p->centerWindow(dialog.window, dialog.parentWindow);
  if (!(flags & Window_Invisible)) p->showWindow(dialog.window);
}

void RefitLayout(Dialog& dialog) {
  if (dialog.root < 0 || !dialog.laidOut) return;
  int mw, mh, w = 0, h = 0;
  MinimumSize(dialog, dialog.root, &mw, &mh);
  dialog.platform->windowInnerSize(dialog.window, &w, &h);
  w = Larger(w, mw), h = Larger(h, mh);
  PlaceNode(dialog, dialog.root, 0, 0, w, h);
  dialog.platform->resizeWindow(dialog.window, w, h);
}

void PlaceInWindow(Dialog& dialog) {
  if (dialog.root < 0 || !dialog.laidOut) return;
  int w = 0, h = 0;
  dialog.platform->windowInnerSize(dialog.window, &w, &h);
  PlaceNode(dialog, dialog.root, 0, 0, ClampLength(w), ClampLength(h));
}
