// The two-pass box layout over the nodes of a dialog (dialog/layout.h):
// building the tree, measuring bottom-up, placing top-down, the window's
// first layout and refits. What each kind of node does is named in the
// node-kind table at the end, one row per kind.
//
// Index of this file:
// [SECTION] Arithmetic helpers
// [SECTION] Building the tree
// [SECTION] Measuring
// [SECTION] Placing
// [SECTION] The window
// [SECTION] Node kinds
#include "dialog/layout.h"

#include <stdarg.h>
#include <stdio.h>

#include "dialog/element_flags.h"

//-----------------------------------------------------------------------------
// [SECTION] Arithmetic helpers: lengths stay within +-kLengthLimit, so no sum or
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
// [SECTION] Building the tree
//-----------------------------------------------------------------------------

int AddLayoutNode(Dialog& dialog, int kind) {
  int index = (int)dialog.nodes.size();
  dialog.nodes.emplace_back();
  LayoutNode& node = dialog.nodes.back();
  node.kind = kind;
  const NodeKindInfo& row = NodeKindOf(node);
  node.marginTop = node.marginBottom = node.marginLeft = node.marginRight = row.margin;
  if (row.holds == HOLDS_GRID_CELLS) node.rowMinimums.assign(kGridRows, 0);
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
  switch (NodeKindOf(parent).holds) {
    case HOLDS_ONE_CHILD:
      parent.child = child;  // a later child replaces an earlier one
      break;
    case HOLDS_CHILD_LIST:
      parent.children.push_back(child);
      parent.childSizes.push_back(0);
      break;
    case HOLDS_GRID_CELLS:
      AttachToGrid(dialog, parentIndex, child, colSpan, rowSpan);
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
// [SECTION] Measuring: what each kind of node needs at least, bottom-up
//-----------------------------------------------------------------------------

void MinimumSize(Dialog& dialog, int index, int* w, int* h) {
  NodeKindOf(dialog.nodes[index]).minimumSize(dialog, index, w, h);
}

// Controls measured by their required size: the larger of it and the own
// minimum. Folding and -1 do not apply.
static void MinimumOfControl(Dialog& dialog, int index, int* w, int* h) {
  LayoutNode& node = dialog.nodes[index];
  int rw = 0, rh = 0;
  if (node.control > 0) dialog.platform->requiredSize(node.control, node.kind, node.flags, &rw, &rh);
  rw = ClampLength(rw), rh = ClampLength(rh);
  node.requiredHeight = rh;
  *w = Larger(rw, node.ownWidth);
  *h = Larger(rh, node.ownHeight);
}

// A list's own height, rounded up to whole rows inside its frame.
static void MinimumOfList(Dialog& dialog, int index, int* w, int* h) {
  const LayoutNode& node = dialog.nodes[index];
  *w = node.ownWidth;
  *h = node.ownHeight;
  int row = 0, frame = 0;
  if (node.control > 0) dialog.platform->listRowMetrics(node.control, &row, &frame);
  row = ClampLength(row), frame = ClampLength(frame);
  if (row <= 0) return;
  int rows = (*h - frame) / row;
  if (frame + row * rows < *h) *h = ClampLength(frame + (int64_t)row * (rows + 1));
}

// Every other node: measured by its content.
static void MinimumOfContent(Dialog& dialog, int index, int* w, int* h) {
  const LayoutNode& node = dialog.nodes[index];
  if (node.folded) {
    *w = *h = 0;
    return;
  }
  NodeKindOf(node).measureContent(dialog, index, w, h);
  *w = Larger(*w, node.ownWidth);
  *h = Larger(*h, node.ownHeight);
  if (node.ownWidth == -1) *w = 0;
  if (node.ownHeight == -1) *h = 0;
}

// Empty nodes and controls without a measure: only their own minimum counts.
static void MeasureNothing(Dialog&, int, int* w, int* h) { *w = *h = 0; }

// The child's minimum inside the margins, remembered for placing.
static void MeasureChildInMargins(Dialog& dialog, LayoutNode& node, int* w, int* h) {
  int cw = 0, ch = 0;
  if (node.child >= 0) MinimumSize(dialog, node.child, &cw, &ch);
  node.childWidth = cw, node.childHeight = ch;
  *w = ClampLength((int64_t)cw + node.marginLeft + node.marginRight);
  *h = ClampLength((int64_t)ch + node.marginTop + node.marginBottom);
}

static void MeasureSingleChild(Dialog& dialog, int index, int* w, int* h) {
  MeasureChildInMargins(dialog, dialog.nodes[index], w, h);
}

// A container canvas without a child counts its own minimum only.
static void MeasureContainerCanvas(Dialog& dialog, int index, int* w, int* h) {
  LayoutNode& node = dialog.nodes[index];
  if (node.child >= 0) MeasureChildInMargins(dialog, node, w, h);
  else *w = *h = 0;
}

// Flat containers have a fixed inset; other borders twice the thin border.
static void MeasureContainer(Dialog& dialog, int index, int* w, int* h) {
  LayoutNode& node = dialog.nodes[index];
  if (!node.flags) node.inset = 0;
  else if (node.flags & Container_Flat) node.inset = 2;
  else node.inset = 2 * ClampLength(dialog.platform->thinBorderWidth());
  MeasureChildInMargins(dialog, node, w, h);
  *w = ClampLength((int64_t)*w + node.inset);
  *h = ClampLength((int64_t)*h + node.inset);
}

// The border around, and the caption (at least 10 high) above.
static void MeasureFrame(Dialog& dialog, int index, int* w, int* h) {
  LayoutNode& node = dialog.nodes[index];
  int caption = node.control > 0 ? ClampLength(dialog.platform->captionHeight(node.control)) : 0;
  node.inset = Larger(10, caption);
  MeasureChildInMargins(dialog, node, w, h);
  *w = ClampLength((int64_t)*w + 8);
  *h = ClampLength((int64_t)*h + node.inset + 4);
}

// The child counts only across the one scrolling direction, with room for the bar.
static void MeasureScrollArea(Dialog& dialog, int index, int* w, int* h) {
  LayoutNode& node = dialog.nodes[index];
  int cw, ch;
  MeasureChildInMargins(dialog, node, &cw, &ch);
  *w = node.scrolling == SCROLL_VERTICAL ? ClampLength((int64_t)cw + 22) : node.ownWidth;
  *h = node.scrolling == SCROLL_HORIZONTAL ? ClampLength((int64_t)ch + 22) : node.ownHeight;
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

static void MeasureWindow(Dialog& dialog, int index, int* w, int* h) {
  LayoutNode& node = dialog.nodes[index];
  MeasureChildInMargins(dialog, node, w, h);
  ApplyWindowBounds(dialog, node, w, h);
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

// Per axis the largest child.
static void MeasureLargestChild(Dialog& dialog, int index, int* w, int* h) {
  *w = *h = 0;
  for (int child : dialog.nodes[index].children) {
    int cw, ch;
    MinimumSize(dialog, child, &cw, &ch);
    *w = Larger(*w, cw), *h = Larger(*h, ch);
  }
}

// The largest page, inside the panel's border and under its tabs.
static void MeasurePanel(Dialog& dialog, int index, int* w, int* h) {
  MeasureLargestChild(dialog, index, w, h);
  const LayoutNode& node = dialog.nodes[index];
  int tabs = node.control > 0 ? ClampLength(dialog.platform->panelTabHeight(node.control)) : 0;
  *w = ClampLength((int64_t)*w + 4);
  *h = ClampLength((int64_t)*h + tabs + 2);
}

// Both panes and the separator along the splitter; a pane whose minimum is
// automatic takes its child's.
static void MeasureSplitter(Dialog& dialog, int index, int* w, int* h) {
  const LayoutNode& node = dialog.nodes[index];
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
      dialog.platform->setSplitterMinimum(node.control, i, sideBySide ? size[i][0] : size[i][1]);
}

//-----------------------------------------------------------------------------
// [SECTION] Placing: each kind of node divides its rectangle, top-down
//-----------------------------------------------------------------------------

void PlaceNode(Dialog& dialog, int index, int x, int y, int w, int h) {
  NodeKindOf(dialog.nodes[index]).place(dialog, index, x, y, w, h);
}

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

static void PlaceNothing(Dialog&, int, int, int, int, int) {}

static void PlaceControl(Dialog& dialog, int index, int x, int y, int w, int h) {
  ResizeOwnControl(dialog, dialog.nodes[index], x, y, w, h);
}

// Text sits 2 units lower when there is room for it.
static void PlaceText(Dialog& dialog, int index, int x, int y, int w, int h) {
  const LayoutNode& node = dialog.nodes[index];
  if (!(node.flags & Text_Border) && (int64_t)h - 2 >= Larger(node.ownHeight, node.requiredHeight)) {
    ResizeOwnControl(dialog, node, x, y + 2, w, h - 2);
    return;
  }
  ResizeOwnControl(dialog, node, x, y, w, h);
}

static void PlaceContainer(Dialog& dialog, int index, int x, int y, int w, int h) {
  const LayoutNode& node = dialog.nodes[index];
  ResizeOwnControl(dialog, node, x, y, w, h);
  int e = node.inset;
  PlaceSingleChild(dialog, index, e / 2, e / 2, ClampLength((int64_t)w - e), ClampLength((int64_t)h - e));
}

// The child belongs to the frame's parent, inside the frame's border.
static void PlaceFrame(Dialog& dialog, int index, int x, int y, int w, int h) {
  const LayoutNode& node = dialog.nodes[index];
  ResizeOwnControl(dialog, node, x, y, w, h);
  int t = node.inset;
  PlaceSingleChild(dialog, index, ClampLength((int64_t)x + 4), ClampLength((int64_t)y + t),
                   ClampLength((int64_t)w - 8), ClampLength((int64_t)h - t - 4));
}

static void PlaceContainerCanvas(Dialog& dialog, int index, int x, int y, int w, int h) {
  ResizeOwnControl(dialog, dialog.nodes[index], x, y, w, h);
  PlaceSingleChild(dialog, index, 0, 0, w, h);
}

// A page's child lives inside the page.
static void PlaceTab(Dialog& dialog, int index, int, int, int w, int h) { PlaceSingleChild(dialog, index, 0, 0, w, h); }

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

static void PlaceOnEveryChild(Dialog& dialog, int index, int x, int y, int w, int h) {
  for (int child : dialog.nodes[index].children) PlaceNode(dialog, child, x, y, w, h);
}

// Every page at the size the panel gives its pages.
static void PlacePanel(Dialog& dialog, int index, int x, int y, int w, int h) {
  const LayoutNode& node = dialog.nodes[index];
  ResizeOwnControl(dialog, node, x, y, w, h);
  int pageW = 0, pageH = 0;
  if (node.control > 0) dialog.platform->panelPageSize(node.control, &pageW, &pageH);
  for (int tab : node.children) PlaceNode(dialog, tab, 0, 0, ClampLength(pageW), ClampLength(pageH));
}

// The panes follow the splitter's size; their children follow the panes.
static void PlaceSplitter(Dialog& dialog, int index, int x, int y, int w, int h) {
  const LayoutNode& node = dialog.nodes[index];
  ResizeOwnControl(dialog, node, x, y, w, h);
  for (size_t i = 0; i < node.children.size() && i < 2; i++) {
    int paneW = 0, paneH = 0;
    if (node.control > 0) dialog.platform->splitterPaneSize(node.control, (int)i, &paneW, &paneH);
    PlaceNode(dialog, node.children[i], 0, 0, ClampLength(paneW), ClampLength(paneH));
  }
}

// The content at the margins, never below its measured minimum; the window's
// own alignment and expansion play no part.
static void PlaceWindow(Dialog& dialog, int index, int, int, int w, int h) {
  const LayoutNode& window = dialog.nodes[index];
  if (window.child < 0) return;
  int width = Larger(ClampLength((int64_t)w - window.marginLeft - window.marginRight), window.childWidth);
  int height = Larger(ClampLength((int64_t)h - window.marginTop - window.marginBottom), window.childHeight);
  PlaceNode(dialog, window.child, window.marginLeft, window.marginTop, width, height);
}

void PlaceSplitterPane(Dialog& dialog, int paneControl, int w, int h) {
  for (LayoutNode& node : dialog.nodes) {
    if (node.kind != NODE_SPLITTER) continue;
    for (size_t i = 0; i < node.children.size() && i < 2; i++)
      if (node.panes[i] == paneControl) PlaceNode(dialog, node.children[i], 0, 0, ClampLength(w), ClampLength(h));
  }
}

//-----------------------------------------------------------------------------
// [SECTION] The window
//-----------------------------------------------------------------------------

// Measures, places the content at the larger of the asked and the measured
// size and gives the window that inner size; from then on the window's size
// events place the content (in a window the system keeps larger, say).
static void FitWindowToContent(Dialog& dialog, int askedWidth, int askedHeight) {
  int mw, mh;
  MinimumSize(dialog, dialog.root, &mw, &mh);
  int w = Larger(ClampLength(askedWidth), mw), h = Larger(ClampLength(askedHeight), mh);
  PlaceNode(dialog, dialog.root, 0, 0, w, h);
  dialog.laidOut = true;
  dialog.platform->resizeWindow(dialog.window, w, h);
}

void LayoutNewWindow(Dialog& dialog, int askedWidth, int askedHeight) {
  FitWindowToContent(dialog, askedWidth, askedHeight);
  const DialogPlatform* p = dialog.platform;
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

void LayoutWindowAgain(Dialog& dialog) {
  if (dialog.root < 0 || !dialog.laidOut) return;
  FitWindowToContent(dialog, 0, 0);
}

void PlaceInWindow(Dialog& dialog) {
  if (dialog.root < 0 || !dialog.laidOut) return;
  int w = 0, h = 0;
  dialog.platform->windowInnerSize(dialog.window, &w, &h);
  PlaceNode(dialog, dialog.root, 0, 0, ClampLength(w), ClampLength(h));
}

//-----------------------------------------------------------------------------
// [SECTION] Node kinds: one row per kind, naming the procedures above
//-----------------------------------------------------------------------------

// Columns: the kind; whether it creates a control; how it holds children;
// whether its control takes its children's controls (opens a child list);
// whether it reads the single-child attributes; whether TEXT is its
// control's caption; its default margin; then how it is measured and placed.
static constexpr NodeKindInfo kNodeKinds[NODE_KIND_COUNT] = {
  // kind                control  holds             list   attrs  caption  margin  minimumSize       measureContent          place
    {NODE_WINDOW,        false,   HOLDS_ONE_CHILD,  false, true,  false,   8,      MinimumOfContent, MeasureWindow,          PlaceWindow},
    {NODE_VBOX,          false,   HOLDS_CHILD_LIST, false, false, false,   10,     MinimumOfContent, MeasureBox,             PlaceBox},
    {NODE_HBOX,          false,   HOLDS_CHILD_LIST, false, false, false,   10,     MinimumOfContent, MeasureBox,             PlaceBox},
    {NODE_GRIDBOX,       false,   HOLDS_GRID_CELLS, false, false, false,   10,     MinimumOfContent, MeasureGrid,            PlaceGrid},
    {NODE_MULTIBOX,      false,   HOLDS_CHILD_LIST, false, false, false,   10,     MinimumOfContent, MeasureLargestChild,    PlaceOnEveryChild},
    {NODE_SINGLEBOX,     false,   HOLDS_ONE_CHILD,  false, true,  false,   10,     MinimumOfContent, MeasureSingleChild,     PlaceSingleChild},
    {NODE_EMPTY,         false,   HOLDS_NO_CHILD,   false, false, false,   10,     MinimumOfContent, MeasureNothing,         PlaceNothing},
    {NODE_CONTAINER,     true,    HOLDS_ONE_CHILD,  true,  true,  false,   10,     MinimumOfContent, MeasureContainer,       PlaceContainer},
    {NODE_FRAME,         true,    HOLDS_ONE_CHILD,  false, true,  true,    5,      MinimumOfContent, MeasureFrame,           PlaceFrame},
    {NODE_CANVAS,        true,    HOLDS_NO_CHILD,   false, true,  false,   10,     MinimumOfControl, MeasureNothing,         PlaceControl},
    {NODE_SCROLLAREA,    true,    HOLDS_ONE_CHILD,  true,  true,  false,   10,     MinimumOfContent, MeasureScrollArea,      PlaceScrollArea},
    {NODE_PANEL,         true,    HOLDS_CHILD_LIST, false, false, false,   10,     MinimumOfContent, MeasurePanel,           PlacePanel},
    {NODE_TAB,           true,    HOLDS_ONE_CHILD,  true,  true,  false,   10,     MinimumOfContent, MeasureSingleChild,     PlaceTab},
    {NODE_SPLITTER,      true,    HOLDS_CHILD_LIST, false, false, false,   10,     MinimumOfContent, MeasureSplitter,        PlaceSplitter},
    {NODE_BUTTON,        true,    HOLDS_NO_CHILD,   false, false, true,    10,     MinimumOfControl, MeasureNothing,         PlaceControl},
    {NODE_BUTTONIMAGE,   true,    HOLDS_NO_CHILD,   false, false, false,   10,     MinimumOfControl, MeasureNothing,         PlaceControl},
    {NODE_CHECKBOX,      true,    HOLDS_NO_CHILD,   false, false, true,    10,     MinimumOfControl, MeasureNothing,         PlaceControl},
    {NODE_OPTION,        true,    HOLDS_NO_CHILD,   false, false, true,    10,     MinimumOfControl, MeasureNothing,         PlaceControl},
    {NODE_TEXT,          true,    HOLDS_NO_CHILD,   false, false, true,    10,     MinimumOfControl, MeasureNothing,         PlaceText},
    {NODE_STRING,        true,    HOLDS_NO_CHILD,   false, false, true,    10,     MinimumOfControl, MeasureNothing,         PlaceControl},
    {NODE_EDITOR,        true,    HOLDS_NO_CHILD,   false, false, true,    10,     MinimumOfContent, MeasureNothing,         PlaceControl},
    {NODE_HYPERLINK,     true,    HOLDS_NO_CHILD,   false, false, true,    10,     MinimumOfControl, MeasureNothing,         PlaceText},
    {NODE_IMAGE,         true,    HOLDS_NO_CHILD,   false, false, false,   10,     MinimumOfControl, MeasureNothing,         PlaceControl},
    {NODE_LISTVIEW,      true,    HOLDS_NO_CHILD,   false, false, false,   10,     MinimumOfList,    MeasureNothing,         PlaceControl},
    {NODE_LISTICON,      true,    HOLDS_NO_CHILD,   false, false, false,   10,     MinimumOfContent, MeasureNothing,         PlaceControl},
    {NODE_TREE,          true,    HOLDS_NO_CHILD,   false, false, false,   10,     MinimumOfContent, MeasureNothing,         PlaceControl},
    {NODE_COMBOBOX,      true,    HOLDS_NO_CHILD,   false, false, false,   10,     MinimumOfControl, MeasureNothing,         PlaceControl},
    {NODE_CALENDAR,      true,    HOLDS_NO_CHILD,   false, false, false,   10,     MinimumOfControl, MeasureNothing,         PlaceControl},
    {NODE_DATE,          true,    HOLDS_NO_CHILD,   false, false, false,   10,     MinimumOfControl, MeasureNothing,         PlaceControl},
    {NODE_SPIN,          true,    HOLDS_NO_CHILD,   false, false, true,    10,     MinimumOfControl, MeasureNothing,         PlaceControl},
    {NODE_SCROLLBAR,     true,    HOLDS_NO_CHILD,   false, false, false,   10,     MinimumOfContent, MeasureNothing,         PlaceControl},
    {NODE_PROGRESSBAR,   true,    HOLDS_NO_CHILD,   false, false, false,   10,     MinimumOfContent, MeasureNothing,         PlaceControl},
    {NODE_TRACKBAR,      true,    HOLDS_NO_CHILD,   false, false, false,   10,     MinimumOfContent, MeasureNothing,         PlaceControl},
    {NODE_SHORTCUT,      true,    HOLDS_NO_CHILD,   false, false, false,   10,     MinimumOfControl, MeasureNothing,         PlaceControl},
    {NODE_IPADDRESS,     true,    HOLDS_NO_CHILD,   false, false, false,   10,     MinimumOfControl, MeasureNothing,         PlaceControl},
    {NODE_EXPLORERCOMBO, true,    HOLDS_NO_CHILD,   false, false, false,   10,     MinimumOfControl, MeasureNothing,         PlaceControl},
    {NODE_EXPLORERLIST,  true,    HOLDS_NO_CHILD,   false, false, false,   10,     MinimumOfContent, MeasureNothing,         PlaceControl},
    {NODE_EXPLORERTREE,  true,    HOLDS_NO_CHILD,   false, false, false,   10,     MinimumOfContent, MeasureNothing,         PlaceControl},
    {NODE_SCINTILLA,     true,    HOLDS_NO_CHILD,   false, false, false,   10,     MinimumOfContent, MeasureNothing,         PlaceControl},
    {NODE_WEB,           true,    HOLDS_NO_CHILD,   false, false, false,   10,     MinimumOfContent, MeasureNothing,         PlaceControl},
};

// A canvas that holds a child measures and places like a container.
static constexpr NodeKindInfo kContainerCanvas =
    {NODE_CANVAS,        true,    HOLDS_ONE_CHILD,  true,  true,  false,   10,     MinimumOfContent, MeasureContainerCanvas, PlaceContainerCanvas};

static constexpr bool RowsFollowTheKinds() {
  for (int k = 0; k < NODE_KIND_COUNT; k++)
    if (kNodeKinds[k].kind != k) return false;
  return true;
}
static_assert(RowsFollowTheKinds(), "one row per NodeKind, in the order of the kinds");

const NodeKindInfo& NodeKindOf(const LayoutNode& node) {
  if (node.kind == NODE_CANVAS && (node.flags & Canvas_Container)) return kContainerCanvas;
  return kNodeKinds[node.kind];
}
