// Layout nodes of an opened window description and the two-pass box layout
// over them: measuring bottom-up (each node reports the smallest size it can
// live with) and placing top-down (each node divides the rectangle it gets
// among its children and moves its control). Nodes are plain records told
// apart by their kind and identified by their index in the dialog; the facts
// of a kind (its children, its control, how it measures and places) stand
// in one row of the node-kind table (NodeKindOf).
//
// No operating system here: what the layout needs of the platform (the
// required sizes of controls, moving them, the window) comes through a
// DialogPlatform table, so the arithmetic runs natively with known sizes.
// All lengths are logical units (1/96 inch); integer arithmetic only.
#pragma once
#include <stdint.h>

#include <deque>
#include <string>
#include <utility>
#include <vector>

//-----------------------------------------------------------------------------
// Node kinds
//-----------------------------------------------------------------------------

enum NodeKind {
  // Layout only, no control of their own.
  NODE_WINDOW,
  NODE_VBOX,
  NODE_HBOX,
  NODE_GRIDBOX,
  NODE_MULTIBOX,
  NODE_SINGLEBOX,
  NODE_EMPTY,
  // Controls that hold children.
  NODE_CONTAINER,
  NODE_FRAME,
  NODE_CANVAS,
  NODE_SCROLLAREA,
  NODE_PANEL,
  NODE_TAB,
  NODE_SPLITTER,
  // Controls without children.
  NODE_BUTTON,
  NODE_BUTTONIMAGE,
  NODE_CHECKBOX,
  NODE_OPTION,
  NODE_TEXT,
  NODE_STRING,
  NODE_EDITOR,
  NODE_HYPERLINK,
  NODE_IMAGE,
  NODE_LISTVIEW,
  NODE_LISTICON,
  NODE_TREE,
  NODE_COMBOBOX,
  NODE_CALENDAR,
  NODE_DATE,
  NODE_SPIN,
  NODE_SCROLLBAR,
  NODE_PROGRESSBAR,
  NODE_TRACKBAR,
  NODE_SHORTCUT,
  NODE_IPADDRESS,
  NODE_EXPLORERCOMBO,
  NODE_EXPLORERLIST,
  NODE_EXPLORERTREE,
  NODE_SCINTILLA,
  NODE_WEB,
  NODE_KIND_COUNT
};

enum ExpandMode { EXPAND_YES = 1, EXPAND_NO = 2, EXPAND_EQUAL = 3, EXPAND_ITEM = 4 };
enum Alignment { ALIGN_UNSET = 0, ALIGN_START = 1, ALIGN_CENTER = 2, ALIGN_END = 3 };
enum Scrolling { SCROLL_BOTH = 0, SCROLL_VERTICAL = 1, SCROLL_HORIZONTAL = 2 };
enum WindowBoundMode { BOUND_UNSET = 0, BOUND_AUTO = 1, BOUND_NUMBER = 2 };

const int kGridRows = 70;           // rows of cells a grid holds
const int kGridMaxRowSpan = 65;
const int kGridMaxColumns = 256;    // keeps the cell matrix small
const int kLengthLimit = 1000000;   // every length is kept within +-this
const int kAutoLength = INT32_MIN;  // "AUTO" for inner sizes and splitter minimums
const int kGridCovered = -2;        // a cell covered by a spanning child

//-----------------------------------------------------------------------------
// Records
//-----------------------------------------------------------------------------

struct GridCell {
  int child = -1;  // node, kGridCovered, or -1 for an empty cell
  int colSpan = 0;
  int rowSpan = 0;
};

// An option whose radio group is created when its parent's children are done.
struct PendingOption {
  int node;
  int group;
  bool disabled, invisible;
};

struct WindowBound {
  int mode = BOUND_UNSET;
  int value = 0;
};

struct LayoutNode {
  // Common part.
  int kind = NODE_EMPTY;
  int parent = -1;
  int control = -1;           // -1: no control of its own (or not created)
  int requestedNumber = -1;   // -1: any
  uint32_t flags = 0;
  bool folded = false;
  int ownWidth = 0, ownHeight = 0;  // from WIDTH / HEIGHT
  std::string name, text;           // UTF-8
  std::vector<int> children;        // every attached child, in order (search, destruction)
  std::vector<PendingOption> pendingOptions;
  int requiredHeight = 0;           // controls: measured required height, for the text nudge

  // Boxes (main axis horizontal for hbox, vertical for vbox).
  int spacing = 5;
  int expand = EXPAND_YES;
  int expandItem = 0;  // 0-based
  int align = ALIGN_START;
  int total = 0;       // cached main-axis total
  int foldedChildren = 0;
  std::vector<int> childSizes;  // cached main-axis minimum per child

  // Single-child nodes (singlebox, container, frame, container canvas,
  // scroll area, tab, window). `inset` is the container's e or the frame's
  // caption height, as last measured.
  int child = -1;
  int marginTop = 10, marginBottom = 10, marginLeft = 10, marginRight = 10;
  bool expandVertical = true, expandHorizontal = true;
  int expandHeightLimit = 0, expandWidthLimit = 0;
  int alignVertical = ALIGN_UNSET, alignHorizontal = ALIGN_UNSET;
  int childWidth = 0, childHeight = 0;
  int inset = 0;

  // Grid.
  int columns = 2;
  int rowsInUse = 0;
  int nextFreeCell = 0;
  std::vector<GridCell> cells;  // kGridRows x columns, row by row
  int colSpacing = 5, rowSpacing = 5;
  int colExpand = EXPAND_YES, colExpandItem = 0;
  int rowExpand = EXPAND_NO, rowExpandItem = 0;
  int totalWidth = 0, totalHeight = 0;
  std::vector<int> columnMinimums, rowMinimums;  // only ever raised

  // Scroll area.
  int innerWidth = kAutoLength, innerHeight = kAutoLength;
  int scrolling = SCROLL_BOTH;

  // Splitter: its two pane containers, the pane minimums (number or kAutoLength).
  int panes[2] = {-1, -1};
  int paneMinimum[2] = {0, 0};

  // Window.
  int window = 0;
  WindowBound bounds[4];  // minimum width, minimum height, maximum width, maximum height
};

//-----------------------------------------------------------------------------
// What the engine needs of the platform
//-----------------------------------------------------------------------------

// Everything a control is created with; the fields a kind does not use stay 0.
struct ControlRequest {
  int kind;      // NodeKind
  int number;    // -1: any
  const char* text;
  uint32_t flags;
  int minimum, maximum, page, value, color;
  int innerWidth, innerHeight, step, scrolling;  // scroll area (kAutoLength = automatic)
  int firstMinimum, secondMinimum;               // splitter (kAutoLength = automatic)
  int font;                                      // 0: the default control font
};

struct DialogPlatform {
  // Windows. openWindow also binds the engine's size handler (DialogWindowResized).
  int (*openWindow)(int number, int x, int y, int w, int h, const char* title, uint32_t flags,
                    int parent);
  void (*closeWindow)(int window);
  void (*windowInnerSize)(int window, int* w, int* h);
  void (*resizeWindow)(int window, int w, int h);  // inner size, position kept
  // Sizes the user may resize the inner area to; kAutoLength leaves a bound as it is.
  void (*setWindowBounds)(int window, int minW, int minH, int maxW, int maxH);
  void (*centerWindow)(int window, int parent);  // parent 0: on the screen
  void (*showWindow)(int window);

  // Controls. createControl returns the control number, 0 on failure.
  int (*createControl)(const ControlRequest& request);
  void (*openChildList)(int control);  // controls created until the matching close go inside
  void (*closeChildList)();
  void (*endRadioGroup)();
  int (*addPanelPage)(int panel, const char* title);  // the page's container control, or 0
  int (*splitterPane)(int splitter, int pane);        // the pane's container control, or 0
  void (*disableControl)(int control);
  void (*hideControl)(int control, bool hidden);
  void (*setControlText)(int control, const char* text);
  void (*bindEvent)(int control, int type, intptr_t procedure);  // type -1: every type
  void (*resizeControl)(int control, int x, int y, int w, int h);

  // Measures, in logical units.
  void (*requiredSize)(int control, int kind, uint32_t flags, int* w, int* h);  // kind: NodeKind
  void (*listRowMetrics)(int control, int* rowHeight, int* frame);
  int (*thinBorderWidth)();
  int (*captionHeight)(int frame);
  int (*panelTabHeight)(int panel);
  void (*panelPageSize)(int panel, int* w, int* h);
  void (*setScrollAreaInnerSize)(int control, int w, int h);
  void (*setSplitterMinimum)(int splitter, int pane, int minimum);
  void (*splitterPaneSize)(int splitter, int pane, int* w, int* h);
};

struct Dialog {
  const DialogPlatform* platform = nullptr;
  std::deque<LayoutNode> nodes;  // stable references while nodes are added
  int root = -1;                 // the window node
  int window = 0;
  int parentWindow = 0;
  std::string error;             // the first error of the last open
  bool laidOut = false;          // the first layout has run: size events may place
  // Controls created with a font of their own, by name: set before the open,
  // so that the first measure already sees them.
  std::vector<std::pair<std::string, int>> controlFonts;
};

//-----------------------------------------------------------------------------
// Node kinds: what each kind of node is and does, one row per kind
//-----------------------------------------------------------------------------

// How a node keeps the children attached to it.
enum ChildHolding {
  HOLDS_NO_CHILD,    // controls without children: attached children are not laid out
  HOLDS_ONE_CHILD,   // a later child replaces an earlier one (still built, never placed)
  HOLDS_CHILD_LIST,  // every child, in order
  HOLDS_GRID_CELLS,  // every child in the cells of a grid, by its spans
};

typedef void (*MeasureProcedure)(Dialog& dialog, int node, int* w, int* h);
typedef void (*PlaceProcedure)(Dialog& dialog, int node, int x, int y, int w, int h);

struct NodeKindInfo {
  int kind;                    // NodeKind
  bool createsControl;         // false: layout only, no control of its own
  int holds;                   // ChildHolding
  bool opensChildList;         // its children's controls are created inside its control
  bool singleChildAttributes;  // reads MARGIN, EXPAND, EXPANDWIDTH, EXPANDHEIGHT, ALIGN
  bool textIsCaption;          // TEXT is the control's own text (not a title, format, path or address)
  int margin;                  // the default margin on every side
  // What the parent uses. Measuring by content (MinimumOfContent) gives
  // nothing for a folded node, then measureContent raised to the own
  // minimum, and a WIDTH or HEIGHT of -1 hides that length; controls
  // measured by the platform skip all of that.
  MeasureProcedure minimumSize;
  MeasureProcedure measureContent;
  PlaceProcedure place;
};

// The row of the node's kind. A canvas with Canvas_Container holds a child
// like a container and has a row of its own.
const NodeKindInfo& NodeKindOf(const LayoutNode& node);

//-----------------------------------------------------------------------------
// Building the tree
//-----------------------------------------------------------------------------

// A fresh node of `kind` with its kind's defaults; returns its index.
int AddLayoutNode(Dialog& dialog, int kind);

// Keeps the first error of an open: printf-style, at most 511 bytes.
void RecordDialogError(Dialog& dialog, const char* format, ...)
#if defined(__GNUC__)
    __attribute__((format(printf, 2, 3)))
#endif
    ;

// Attaches `child` to `parent` by the parent's kind. Grids take the spans
// (already read from the child's element) and may record an error.
void AttachChild(Dialog& dialog, int parent, int child, int colSpan, int rowSpan);
// A grid's rows in use, once its children are attached.
void FinishGrid(LayoutNode& grid);

//-----------------------------------------------------------------------------
// Measuring and placing
//-----------------------------------------------------------------------------

void MinimumSize(Dialog& dialog, int node, int* w, int* h);
void PlaceNode(Dialog& dialog, int node, int x, int y, int w, int h);

// First layout of an opened window: measure, place at the larger of the asked
// and the measured size, resize the window, centre it when its flags say so.
void LayoutNewWindow(Dialog& dialog, int askedWidth, int askedHeight);
// Measures again and grows the window where the content needs more room.
void RefitLayout(Dialog& dialog);
// Measures again and places the content at its measured size, giving the
// window that size, as the first layout does (without centring or showing).
void LayoutWindowAgain(Dialog& dialog);
// Places the content in the window's current inner size without measuring.
void PlaceInWindow(Dialog& dialog);
// A splitter pane reported a new size: its child is placed at (0, 0, w, h).
void PlaceSplitterPane(Dialog& dialog, int paneControl, int w, int h);

// Helpers shared with the description reader.
int ClampLength(int64_t v);
