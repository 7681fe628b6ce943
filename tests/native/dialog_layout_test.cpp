// The box layout's arithmetic on trees of nodes with known minimum sizes.
#include "dialog/layout.h"

#include <gtest/gtest.h>

#include "dialog/element_flags.h"

#include "tests/native/recording_platform.h"

struct Box {
  int x, y, w, h;
  bool operator==(const Box& o) const { return x == o.x && y == o.y && w == o.w && h == o.h; }
};
static std::ostream& operator<<(std::ostream& os, const Box& b) {
  return os << "(" << b.x << "," << b.y << " " << b.w << "x" << b.h << ")";
}

// A tree built node by node; leaves are list controls, measured by their own minimum.
struct Tree {
  Dialog d;
  Tree() {
    g_recording = Recording();
    d.platform = &kRecordingPlatform;
  }
  int Add(int kind, int parent = -1, int colSpan = 1, int rowSpan = 1) {
    int n = AddLayoutNode(d, kind);
    if (parent >= 0) AttachChild(d, parent, n, colSpan, rowSpan);
    return n;
  }
  int Leaf(int parent, int w, int h, int colSpan = 1, int rowSpan = 1) {
    int n = AddLayoutNode(d, NODE_LISTICON);
    d.nodes[n].ownWidth = w, d.nodes[n].ownHeight = h;
    ControlRequest r = {};
    r.kind = NODE_LISTICON;
    d.nodes[n].control = recording::Create(r);
    if (parent >= 0) AttachChild(d, parent, n, colSpan, rowSpan);
    return n;
  }
  LayoutNode& operator[](int n) { return d.nodes[n]; }
  Box Measure(int n) {
    int w, h;
    MinimumSize(d, n, &w, &h);
    return Box{0, 0, w, h};
  }
  void Place(int n, int x, int y, int w, int h) { PlaceNode(d, n, x, y, w, h); }
  Box Of(int n) {
    RecordedControl& c = g_recording.Control(d.nodes[n].control);
    return Box{c.x, c.y, c.w, c.h};
  }
};

TEST(BoxLayout, SharesRoomByExpandMode) {
  struct Case {
    const char* what;
    int expand, align, width;
    Box first, second;
  } cases[] = {
      {"yes: each gets E / n more", EXPAND_YES, ALIGN_START, 200, {10, 0, 87, 30}, {102, 0, 107, 30}},
      {"too little room: scaled down", EXPAND_YES, ALIGN_START, 50, {10, 0, 19, 30}, {34, 0, 28, 30}},
      {"no, centred", EXPAND_NO, ALIGN_CENTER, 200, {57, 0, 40, 30}, {102, 0, 60, 30}},
      {"no, at the end", EXPAND_NO, ALIGN_END, 200, {105, 0, 40, 30}, {150, 0, 60, 30}},
      {"equal", EXPAND_EQUAL, ALIGN_START, 200, {10, 0, 97, 30}, {112, 0, 97, 30}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    Tree t;
    int box = t.Add(NODE_HBOX);
    t[box].expand = c.expand, t[box].align = c.align;
    int a = t.Leaf(box, 40, 10), b = t.Leaf(box, 60, 20);
    Box minimum = t.Measure(box);
    EXPECT_EQ(minimum.w, c.expand == EXPAND_EQUAL ? 125 : 105);
    EXPECT_EQ(minimum.h, 20);
    t.Place(box, 10, 0, c.width, 30);
    EXPECT_EQ(t.Of(a), c.first);
    EXPECT_EQ(t.Of(b), c.second);
  }
}

TEST(BoxLayout, ItemExpansionCountsFromOne) {
  for (const char* what : {"item 2", "item 5"}) {
    SCOPED_TRACE(what);
    Tree t;
    int box = t.Add(NODE_VBOX);
    t[box].expand = EXPAND_ITEM, t[box].expandItem = what[5] - '1';
    int a = t.Leaf(box, 10, 10), b = t.Leaf(box, 10, 20), c = t.Leaf(box, 10, 30);
    t.Measure(box);
    t.Place(box, 0, 0, 50, 200);
    bool second = what[5] == '2';
    EXPECT_EQ(t.Of(a), (Box{0, 0, 50, 10}));
    EXPECT_EQ(t.Of(b), (Box{0, 15, 50, second ? 20 + 130 : 20}));
    EXPECT_EQ(t.Of(c), (Box{0, second ? 170 : 40, 50, 30}));
  }
  // One child in an equal box with no spacing takes the whole height.
  Tree t;
  int box = t.Add(NODE_VBOX);
  t[box].expand = EXPAND_EQUAL, t[box].spacing = 0;
  int only = t.Leaf(box, 10, 10);
  t.Measure(box);
  t.Place(box, 3, 4, 50, 99);
  EXPECT_EQ(t.Of(only), (Box{3, 4, 50, 99}));
}

TEST(BoxLayout, FoldedChildren) {
  Tree t;
  int box = t.Add(NODE_HBOX);
  int a = t.Leaf(box, 40, 10);
  int folded = t.Add(NODE_SINGLEBOX, box);
  t[folded].folded = true;
  int inner = t.Leaf(folded, 100, 100);
  int button = t.Add(NODE_BUTTON, box);  // a folded control: measured, not placed
  t[button].folded = true;
  t[button].ownWidth = 30;
  ControlRequest r = {};
  t[button].control = recording::Create(r);
  int b = t.Leaf(box, 60, 10);
  EXPECT_EQ(t.Measure(folded).w, 0);
  EXPECT_EQ(t.Measure(box).w, 40 + 30 + 60 + 5);  // one spacing: two children are placed
  t.Place(box, 0, 0, 165, 10);
  EXPECT_EQ(t.Of(a), (Box{0, 0, 55, 10}));  // the two placed children share the extra 30
  EXPECT_EQ(t.Of(b), (Box{60, 0, 75, 10}));
  EXPECT_EQ(g_recording.Control(t[inner].control).resizes, 0);
  EXPECT_EQ(g_recording.Control(t[button].control).resizes, 0);

  // Folded below a singlebox: measured as 0 x 0 and still placed.
  int single = t.Add(NODE_SINGLEBOX);
  int child = t.Leaf(single, 30, 30);
  t[child].folded = true;
  EXPECT_EQ(t.Measure(single), (Box{0, 0, 20, 20}));
  t.Place(single, 0, 0, 100, 100);
  EXPECT_EQ(t.Of(child), (Box{10, 10, 80, 80}));
}

TEST(SingleChildLayout, MarginsExpansionAndAlignment) {
  struct Case {
    const char* what;
    bool expandH, expandV;
    int limitW, alignH, alignV;
    Box child;
  } cases[] = {
      {"horizontal, centred", true, false, 0, ALIGN_CENTER, ALIGN_CENTER, {15, 26, 80, 8}},
      {"no growth, end", false, false, 0, ALIGN_END, ALIGN_END, {65, 32, 30, 8}},
      {"grows to its limit, centred", true, true, 50, ALIGN_CENTER, ALIGN_START, {30, 20, 50, 20}},
      {"limit below the minimum", true, true, 20, ALIGN_START, ALIGN_START, {15, 20, 30, 20}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    Tree t;
    int single = t.Add(NODE_SINGLEBOX);
    t[single].expandHorizontal = c.expandH, t[single].expandVertical = c.expandV;
    t[single].expandWidthLimit = c.limitW;
    t[single].alignHorizontal = c.alignH, t[single].alignVertical = c.alignV;
    int child = t.Leaf(single, 30, 8);
    EXPECT_EQ(t.Measure(single), (Box{0, 0, 50, 28}));
    t.Place(single, 5, 10, 100, 40);
    EXPECT_EQ(t.Of(child), c.child);
  }
}

TEST(SingleChildLayout, MinusOneHidesTheWidthOfLayoutNodesOnly) {
  Tree t;
  int single = t.Add(NODE_SINGLEBOX);
  t[single].ownWidth = -1;
  t.Leaf(single, 30, 8);
  EXPECT_EQ(t.Measure(single), (Box{0, 0, 0, 28}));
  g_recording.requiredByKind[NODE_BUTTON] = {44, 22};
  int button = t.Add(NODE_BUTTON);
  t[button].ownWidth = -1;
  ControlRequest r = {};
  r.kind = NODE_BUTTON;
  t[button].control = recording::Create(r);
  EXPECT_EQ(t.Measure(button), (Box{0, 0, 44, 22}));
}

TEST(SingleChildLayout, ContainerFrameAndCanvasInsets) {
  struct Case {
    int kind;
    uint32_t flags;
    Box minimum, child;
  } cases[] = {
      {NODE_CONTAINER, 0, {0, 0, 50, 40}, {10, 10, 80, 30}},
      {NODE_CONTAINER, 0x1, {0, 0, 52, 42}, {11, 11, 78, 28}},     // flat: e = 2
      {NODE_CONTAINER, 0x8, {0, 0, 54, 44}, {12, 12, 76, 26}},     // double: e = 2 x thin (2)
      {NODE_FRAME, 0, {0, 0, 48, 47}, {209, 318, 82, 23}},          // t = 13, margin 5
      {NODE_CANVAS, 0x20, {0, 0, 50, 40}, {10, 10, 80, 30}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.kind * 100 + c.flags);
    Tree t;
    g_recording.thinBorder = 2;
    int node = t.Add(c.kind);
    t[node].flags = c.flags;
    ControlRequest r = {};
    t[node].control = recording::Create(r);
    int child = t.Leaf(node, 30, 20);
    EXPECT_EQ(t.Measure(node), c.minimum);
    t.Place(node, 200, 300, 100, 50);
    EXPECT_EQ(t.Of(node), (Box{200, 300, 100, 50}));
    EXPECT_EQ(t.Of(child), c.child);
  }
}

// A multibox stacks its children on one rectangle (the main window's picker
// canvas over its template button): it measures as the largest child per
// axis, raised to its own minimum, and gives every child its whole rectangle.
TEST(MultiboxLayout, EveryChildTakesTheWholeRectangle) {
  Tree t;
  int multi = t.Add(NODE_MULTIBOX);
  int wide = t.Leaf(multi, 40, 10), tall = t.Leaf(multi, 20, 30);
  EXPECT_EQ(t.Measure(multi), (Box{0, 0, 40, 30}));
  t[multi].ownWidth = 60;
  EXPECT_EQ(t.Measure(multi), (Box{0, 0, 60, 30}));
  t.Place(multi, 5, 6, 100, 50);
  EXPECT_EQ(t.Of(wide), (Box{5, 6, 100, 50}));
  EXPECT_EQ(t.Of(tall), (Box{5, 6, 100, 50}));
  // Given less than the children need, they get less too.
  t.Place(multi, 0, 0, 10, 5);
  EXPECT_EQ(t.Of(wide), (Box{0, 0, 10, 5}));
  EXPECT_EQ(t.Of(tall), (Box{0, 0, 10, 5}));
}

TEST(GridLayout, SpanningDeficitFollowsTheColumnExpandMode) {
  struct Case {
    int colExpand, item;
    int minimums[3];
  } cases[] = {
      {EXPAND_ITEM, 0, {10 + 80, 20, 30}},
      {EXPAND_NO, 0, {10, 20, 30 + 80}},
      {EXPAND_ITEM, 7, {10, 20, 30 + 80}},  // an item outside the span: the last column
      {EXPAND_YES, 0, {10 + 26, 20 + 26, 30 + 26}},
      {EXPAND_EQUAL, 0, {46, 46, 46}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.colExpand * 10 + c.item);
    Tree t;
    int grid = t.Add(NODE_GRIDBOX);
    t[grid].columns = 3, t[grid].colExpand = c.colExpand, t[grid].colExpandItem = c.item;
    t.Leaf(grid, 150, 10, 3);  // wider than 10 + 20 + 30 + 2 x 5 by 80
    t.Leaf(grid, 10, 10), t.Leaf(grid, 20, 10), t.Leaf(grid, 30, 10);
    FinishGrid(t[grid]);
    t.Measure(grid);
    EXPECT_EQ(t[grid].columnMinimums, std::vector<int>(c.minimums, c.minimums + 3));
  }
}

TEST(GridLayout, CellsSpansAndPlacing) {
  Tree t;
  int grid = t.Add(NODE_GRIDBOX);
  t[grid].columns = 3, t[grid].colExpand = EXPAND_ITEM, t[grid].rowExpand = EXPAND_ITEM;
  int tall = t.Leaf(grid, 20, 50, 1, 2);   // column 0, rows 0-1
  int wide = t.Leaf(grid, 40, 10, 5);      // the span is cut to the 2 columns left
  int a = t.Leaf(grid, 15, 10), b = t.Leaf(grid, 25, 10);  // row 1, skipping the covered cell
  FinishGrid(t[grid]);
  EXPECT_EQ(t[grid].rowsInUse, 2);
  EXPECT_EQ(t.Measure(grid), (Box{0, 0, 20 + 5 + 15 + 5 + 25, 50}));
  EXPECT_EQ(t[grid].rowMinimums[0], 10 + 25);  // the row span's deficit goes to item 1
  EXPECT_EQ(t[grid].rowMinimums[1], 10);
  t.Place(grid, 0, 0, 100, 80);
  // Column 0 takes the extra 30 width, row 0 the extra 30 height.
  EXPECT_EQ(t.Of(tall), (Box{0, 0, 50, 80}));
  EXPECT_EQ(t.Of(wide), (Box{55, 0, 45, 65}));
  EXPECT_EQ(t.Of(a), (Box{55, 70, 15, 10}));
  EXPECT_EQ(t.Of(b), (Box{75, 70, 25, 10}));
}

TEST(GridLayout, ColumnMinimumsOnlyGrow) {
  Tree t;
  int grid = t.Add(NODE_GRIDBOX);
  int leaf = t.Leaf(grid, 80, 10);
  t.Leaf(grid, 10, 10);
  FinishGrid(t[grid]);
  EXPECT_EQ(t.Measure(grid).w, 95);
  t[leaf].ownWidth = 30;
  EXPECT_EQ(t.Measure(grid).w, 95);
}

TEST(GridLayout, RowsOfCellsAreBounded) {
  Tree t;
  int grid = t.Add(NODE_GRIDBOX);
  t[grid].columns = 1;
  for (int i = 0; i < kGridRows; i++) t.Leaf(grid, 1, 1);
  EXPECT_EQ(t.d.error, "");
  t.Leaf(grid, 1, 1);
  EXPECT_EQ(t.d.error, "A gridbox can only hold 70 rows of cells.");
  FinishGrid(t[grid]);
  EXPECT_EQ(t[grid].rowsInUse, kGridRows);

  Tree spans;
  int g = spans.Add(NODE_GRIDBOX);
  spans.d.nodes[g].columns = 1;
  for (int i = 0; i < 10; i++) spans.Leaf(g, 1, 1);
  spans.Leaf(g, 1, 1, 1, 61);
  EXPECT_EQ(spans.d.error, "A gridbox can only hold 70 rows of cells (a child in row 11 spans 61 rows).");
}

TEST(ControlLayout, ListHeightsHoldWholeRowsAndTextSitsLower) {
  Tree t;
  g_recording.listRow = 16, g_recording.listFrame = 4;
  int list = t.Add(NODE_LISTVIEW);
  ControlRequest r = {};
  r.kind = NODE_LISTVIEW;
  t[list].control = recording::Create(r);
  for (auto [own, rounded] : {std::pair{0, 0}, {4, 4}, {20, 20}, {21, 36}, {50, 52}}) {
    t[list].ownHeight = own;
    EXPECT_EQ(t.Measure(list).h, rounded) << own;
  }
  g_recording.requiredByKind[NODE_TEXT] = {12, 15};
  int text = t.Add(NODE_TEXT);
  r.kind = NODE_TEXT;
  t[text].control = recording::Create(r);
  t.Measure(text);
  t.Place(text, 0, 10, 12, 17);
  EXPECT_EQ(t.Of(text), (Box{0, 12, 12, 15}));
  t.Place(text, 0, 10, 12, 16);
  EXPECT_EQ(t.Of(text), (Box{0, 10, 12, 16}));
  t[text].flags = Text_Border;
  t.Place(text, 0, 10, 12, 30);
  EXPECT_EQ(t.Of(text), (Box{0, 10, 12, 30}));
}

TEST(ControlLayout, ScrollAreaPanelAndSplitter) {
  Tree t;
  int area = t.Add(NODE_SCROLLAREA);
  t[area].scrolling = SCROLL_VERTICAL;
  t[area].ownHeight = 50;
  ControlRequest r = {};
  t[area].control = recording::Create(r);
  int inner = t.Leaf(area, 100, 300);
  EXPECT_EQ(t.Measure(area), (Box{0, 0, 100 + 20 + 22, 50}));
  t.Place(area, 0, 0, 200, 80);
  EXPECT_EQ(t.Of(inner), (Box{10, 10, 158, 300}));
  EXPECT_EQ(g_recording.Control(t[area].control).request.innerWidth, 178);
  EXPECT_EQ(g_recording.Control(t[area].control).request.innerHeight, 320);

  int panel = t.Add(NODE_PANEL);
  t[panel].control = recording::Create(r);
  int tab1 = t.Add(NODE_TAB, panel), tab2 = t.Add(NODE_TAB, panel);
  t.Leaf(tab1, 50, 10);
  int page2 = t.Leaf(tab2, 10, 60);
  EXPECT_EQ(t.Measure(panel), (Box{0, 0, 70 + 4, 80 + 20 + 2}));
  t.Place(panel, 0, 0, 104, 122);
  EXPECT_EQ(t.Of(page2), (Box{10, 10, 80, 80}));

  int splitter = t.Add(NODE_SPLITTER);
  t[splitter].flags = Splitter_Vertical | Splitter_Separator;
  t[splitter].control = recording::Create(r);
  t[splitter].paneMinimum[0] = kAutoLength;
  int left = t.Leaf(splitter, 30, 40), right = t.Leaf(splitter, 50, 10);
  EXPECT_EQ(t.Measure(splitter), (Box{0, 0, 87, 40}));
  EXPECT_EQ(g_recording.Control(t[splitter].control).request.firstMinimum, 30);
  t.Place(splitter, 0, 0, 100, 40);
  EXPECT_EQ(t.Of(left), (Box{0, 0, 50, 40}));
  EXPECT_EQ(t.Of(right), (Box{0, 0, 50, 40}));
}

TEST(WindowLayout, BoundsAndContentInMargins) {
  Tree t;
  int window = t.Add(NODE_WINDOW);
  t.d.root = window;
  t[window].window = 77;
  t[window].bounds[0] = WindowBound{BOUND_NUMBER, 300};
  t[window].bounds[1] = WindowBound{BOUND_AUTO, 0};
  int content = t.Leaf(window, 100, 50);
  EXPECT_EQ(t.Measure(window), (Box{0, 0, 300, 66}));
  EXPECT_EQ(g_recording.bounds[0], 300);
  EXPECT_EQ(g_recording.bounds[1], 66);
  EXPECT_EQ(g_recording.bounds[2], kAutoLength);
  LayoutNewWindow(t.d, 0, 100);
  EXPECT_EQ(g_recording.windowW, 300);
  EXPECT_EQ(g_recording.windowH, 100);
  EXPECT_TRUE(g_recording.windowShown);
  EXPECT_EQ(t.Of(content), (Box{8, 8, 284, 84}));
  // A window smaller than its content keeps the content's minimum.
  g_recording.windowW = 50;
  PlaceInWindow(t.d);
  EXPECT_EQ(t.Of(content), (Box{8, 8, 100, 84}));
}

TEST(Layout, HugeLengthsStayBounded) {
  Tree t;
  int box = t.Add(NODE_HBOX);
  t[box].spacing = kLengthLimit;
  for (int i = 0; i < 5; i++) t.Leaf(box, kLengthLimit, kLengthLimit);
  EXPECT_EQ(t.Measure(box).w, kLengthLimit);
  t.Place(box, kLengthLimit, -kLengthLimit, kLengthLimit, kLengthLimit);
  t.Place(box, 0, 0, 7, 7);
}
