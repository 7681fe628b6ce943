// The window description reader: an XML description read element by
// element into layout nodes and real controls, its flags, values and event
// attributes checked, the first error kept.
//
// Index of this file:
// [SECTION] Names without regard to case
// [SECTION] Flag tables
// [SECTION] Event attributes
// [SECTION] Elements
// [SECTION] Attribute values
// [SECTION] Reading an element into its node
// [SECTION] Building the tree
// [SECTION] Dialogs
#include "dialog/description.h"

#include <string.h>

#include <algorithm>
#include <map>

#include "dialog/element_flags.h"
#include "dialog/runtime_values.h"
#include "runtime/startup_timing.h"

//-----------------------------------------------------------------------------
// [SECTION] Names without regard to case
//-----------------------------------------------------------------------------

static char Lower(char c) { return c >= 'A' && c <= 'Z' ? (char)(c - 'A' + 'a') : c; }

static bool SameName(const char* a, const char* b) {
  for (; *a && *b; a++, b++)
    if (Lower(*a) != Lower(*b)) return false;
  return *a == *b;
}

static bool SameName(const std::string& a, const char* b) { return SameName(a.c_str(), b); }

static bool StartsWith(const std::string& text, const char* prefix) {
  size_t n = strlen(prefix);
  return text.size() >= n && SameName(text.substr(0, n), prefix);
}

// Position of `word` in `text` ignoring case, or npos.
static size_t FindWord(const std::string& text, const char* word) {
  size_t n = strlen(word);
  for (size_t i = 0; i + n <= text.size(); i++)
    if (SameName(text.substr(i, n), word)) return i;
  return std::string::npos;
}

//-----------------------------------------------------------------------------
// [SECTION] Flag tables: the names a FLAGS list may use on each element
//-----------------------------------------------------------------------------

struct FlagName {
  const char* name;
  uint32_t value;
};

// A flag's name as the description spells it, and its value.
#define FLAG(name) {#name, name}

static const FlagName kWindowFlags[] = {
    FLAG(Window_ScreenCentered), FLAG(Window_WindowCentered), FLAG(Window_Tool), FLAG(Window_TitleBar),
    FLAG(Window_SystemMenu), FLAG(Window_SizeGadget), FLAG(Window_MinimizeGadget),
    FLAG(Window_MaximizeGadget), FLAG(Window_Invisible), FLAG(Window_BorderLess), FLAG(Window_NoActivate),
};
static const FlagName kButtonFlags[] = {
    FLAG(Button_Right), FLAG(Button_Left), FLAG(Button_Default), FLAG(Button_MultiLine), FLAG(Button_Toggle),
};
static const FlagName kButtonImageFlags[] = {FLAG(Button_Toggle)};
static const FlagName kCalendarFlags[] = {FLAG(Calendar_Borderless)};
static const FlagName kCanvasFlags[] = {
    FLAG(Canvas_ClipMouse), FLAG(Canvas_Border), FLAG(Canvas_Keyboard), FLAG(Canvas_DrawFocus),
    FLAG(Canvas_Container),
};
static const FlagName kCheckBoxFlags[] = {
    FLAG(CheckBox_Right), FLAG(CheckBox_Center), FLAG(CheckBox_ThreeState),
};
static const FlagName kComboBoxFlags[] = {
    FLAG(ComboBox_Editable), FLAG(ComboBox_LowerCase), FLAG(ComboBox_UpperCase), FLAG(ComboBox_Image),
};
static const FlagName kContainerFlags[] = {
    FLAG(Container_BorderLess), FLAG(Container_Flat), FLAG(Container_Raised), FLAG(Container_Single),
    FLAG(Container_Double),
};
static const FlagName kDateFlags[] = {FLAG(Date_UpDown), FLAG(Date_CheckBox)};
static const FlagName kExplorerComboFlags[] = {
    FLAG(Explorer_NoMyDocuments), FLAG(Explorer_DrivesOnly), FLAG(Explorer_Editable),
};
static const FlagName kExplorerListFlags[] = {
    FLAG(Explorer_NoMyDocuments), FLAG(Explorer_NoFiles), FLAG(Explorer_NoDriveRequester),
    FLAG(Explorer_AutoSort), FLAG(Explorer_BorderLess), FLAG(Explorer_AlwaysShowSelection),
    FLAG(Explorer_NoParentFolder), FLAG(Explorer_NoFolders), FLAG(Explorer_NoDirectoryChange),
    FLAG(Explorer_NoSort), FLAG(Explorer_MultiSelect), FLAG(Explorer_GridLines),
    FLAG(Explorer_HeaderDragDrop), FLAG(Explorer_FullRowSelect),
};
static const FlagName kExplorerTreeFlags[] = {
    FLAG(Explorer_BorderLess), FLAG(Explorer_AlwaysShowSelection), FLAG(Explorer_NoLines),
    FLAG(Explorer_NoButtons), FLAG(Explorer_NoMyDocuments), FLAG(Explorer_NoFiles),
    FLAG(Explorer_NoDriveRequester), FLAG(Explorer_AutoSort),
};
static const FlagName kEditorFlags[] = {FLAG(Editor_ReadOnly), FLAG(Editor_WordWrap)};
static const FlagName kFrameFlags[] = {FLAG(Frame_Double), FLAG(Frame_Single), FLAG(Frame_Flat)};
static const FlagName kListViewFlags[] = {FLAG(ListView_MultiSelect), FLAG(ListView_ClickSelect)};
static const FlagName kListIconFlags[] = {
    FLAG(ListIcon_CheckBoxes), FLAG(ListIcon_MultiSelect), FLAG(ListIcon_GridLines),
    FLAG(ListIcon_FullRowSelect), FLAG(ListIcon_HeaderDragDrop), FLAG(ListIcon_AlwaysShowSelection),
    FLAG(ListIcon_ThreeState),
};
static const FlagName kScrollAreaFlags[] = {
    FLAG(ScrollArea_Flat), FLAG(ScrollArea_Raised), FLAG(ScrollArea_Single), FLAG(ScrollArea_BorderLess),
    FLAG(ScrollArea_Center),
};
static const FlagName kScrollBarFlags[] = {FLAG(ScrollBar_Vertical)};
static const FlagName kSplitterFlags[] = {
    FLAG(Splitter_Vertical), FLAG(Splitter_Separator), FLAG(Splitter_FirstFixed), FLAG(Splitter_SecondFixed),
};
static const FlagName kStringFlags[] = {
    FLAG(String_Password), FLAG(String_ReadOnly), FLAG(String_Numeric), FLAG(String_LowerCase),
    FLAG(String_UpperCase), FLAG(String_BorderLess), FLAG(String_AutoComplete), FLAG(String_AutoInsert),
};
static const FlagName kSpinFlags[] = {FLAG(Spin_ReadOnly), FLAG(Spin_Numeric)};
static const FlagName kTreeFlags[] = {
    FLAG(Tree_AlwaysShowSelection), FLAG(Tree_NoLines), FLAG(Tree_NoButtons), FLAG(Tree_CheckBoxes),
    FLAG(Tree_ThreeState),
};
static const FlagName kImageFlags[] = {FLAG(Image_Raised), FLAG(Image_Border)};
static const FlagName kProgressBarFlags[] = {FLAG(ProgressBar_Smooth), FLAG(ProgressBar_Vertical)};
static const FlagName kTrackBarFlags[] = {FLAG(TrackBar_Ticks), FLAG(TrackBar_Vertical)};
static const FlagName kHyperLinkFlags[] = {FLAG(HyperLink_Underline)};
static const FlagName kTextFlags[] = {FLAG(Text_Center), FLAG(Text_Right), FLAG(Text_Border)};

//-----------------------------------------------------------------------------
// [SECTION] Event attributes
//-----------------------------------------------------------------------------

enum EventBits {
  EV_ANY = 1 << 0,
  EV_LEFT_CLICK = 1 << 1,
  EV_RIGHT_CLICK = 1 << 2,
  EV_LEFT_DOUBLE = 1 << 3,
  EV_RIGHT_DOUBLE = 1 << 4,
  EV_CHANGE = 1 << 5,
  EV_FOCUS = 1 << 6,
  EV_LOST_FOCUS = 1 << 7,
  EV_DRAG_START = 1 << 8,
  EV_IGNORED = 1u << 31,  // elements that ignore event attributes without a message
};

struct EventAttribute {
  const char* name;
  int type;  // -1: every type
  unsigned bit;
};

static const EventAttribute kEventAttributes[] = {
    {"ONEVENT", -1, EV_ANY},
    {"ONLEFTCLICK", 0, EV_LEFT_CLICK},
    {"ONRIGHTCLICK", 1, EV_RIGHT_CLICK},
    {"ONLEFTDOUBLECLICK", 2, EV_LEFT_DOUBLE},
    {"ONRIGHTDOUBLECLICK", 3, EV_RIGHT_DOUBLE},
    {"ONCHANGE", 768, EV_CHANGE},
    {"ONFOCUS", 14000, EV_FOCUS},
    {"ONLOSTFOCUS", 14001, EV_LOST_FOCUS},
    {"ONDRAGSTART", 14002, EV_DRAG_START},
};

const unsigned kClickEvents = EV_ANY | EV_LEFT_CLICK | EV_RIGHT_CLICK | EV_LEFT_DOUBLE | EV_RIGHT_DOUBLE;
const unsigned kListEvents = kClickEvents | EV_CHANGE | EV_DRAG_START;
const unsigned kFieldEvents = EV_ANY | EV_CHANGE | EV_FOCUS | EV_LOST_FOCUS;

//-----------------------------------------------------------------------------
// [SECTION] Elements
//-----------------------------------------------------------------------------

struct ElementInfo {
  const char* name;
  int kind;
  const FlagName* flags;  // null: every flag must be a named runtime value
  int flagCount;
  unsigned events;        // allowed event attributes
};

#define FLAGS(table) table, (int)(sizeof table / sizeof table[0])
#define NO_FLAGS nullptr, 0

// The `window` element is only valid as the selected one: nested, it is unknown.
static const ElementInfo kWindowElement = {"window", NODE_WINDOW, FLAGS(kWindowFlags), EV_IGNORED};

static const ElementInfo kElements[] = {
    {"vbox", NODE_VBOX, NO_FLAGS, EV_IGNORED},
    {"hbox", NODE_HBOX, NO_FLAGS, EV_IGNORED},
    {"gridbox", NODE_GRIDBOX, NO_FLAGS, EV_IGNORED},
    {"multibox", NODE_MULTIBOX, NO_FLAGS, EV_IGNORED},
    {"singlebox", NODE_SINGLEBOX, NO_FLAGS, EV_IGNORED},
    {"empty", NODE_EMPTY, NO_FLAGS, EV_IGNORED},
    {"container", NODE_CONTAINER, FLAGS(kContainerFlags), EV_IGNORED},
    {"frame", NODE_FRAME, FLAGS(kFrameFlags), EV_IGNORED},
    {"canvas", NODE_CANVAS, FLAGS(kCanvasFlags), kClickEvents | EV_FOCUS | EV_LOST_FOCUS},
    {"scrollarea", NODE_SCROLLAREA, FLAGS(kScrollAreaFlags), EV_IGNORED},
    {"panel", NODE_PANEL, NO_FLAGS, EV_ANY | EV_CHANGE},
    {"tab", NODE_TAB, NO_FLAGS, EV_IGNORED},
    {"splitter", NODE_SPLITTER, FLAGS(kSplitterFlags), EV_IGNORED},
    {"button", NODE_BUTTON, FLAGS(kButtonFlags), EV_ANY},
    {"buttonimage", NODE_BUTTONIMAGE, FLAGS(kButtonImageFlags), EV_ANY},
    {"checkbox", NODE_CHECKBOX, FLAGS(kCheckBoxFlags), EV_ANY},
    {"option", NODE_OPTION, NO_FLAGS, EV_ANY},
    {"text", NODE_TEXT, FLAGS(kTextFlags), EV_ANY},
    {"string", NODE_STRING, FLAGS(kStringFlags), kFieldEvents},
    {"editor", NODE_EDITOR, FLAGS(kEditorFlags), EV_ANY},
    {"hyperlink", NODE_HYPERLINK, FLAGS(kHyperLinkFlags), EV_ANY},
    {"image", NODE_IMAGE, FLAGS(kImageFlags), kClickEvents | EV_DRAG_START},
    {"listview", NODE_LISTVIEW, FLAGS(kListViewFlags), EV_ANY | EV_LEFT_CLICK | EV_LEFT_DOUBLE},
    {"listicon", NODE_LISTICON, FLAGS(kListIconFlags), kListEvents},
    {"tree", NODE_TREE, FLAGS(kTreeFlags), kListEvents},
    {"combobox", NODE_COMBOBOX, FLAGS(kComboBoxFlags), kFieldEvents},
    {"calendar", NODE_CALENDAR, FLAGS(kCalendarFlags), EV_ANY},
    {"date", NODE_DATE, FLAGS(kDateFlags), EV_ANY | EV_CHANGE},
    {"spin", NODE_SPIN, FLAGS(kSpinFlags), EV_ANY | EV_CHANGE},
    {"scrollbar", NODE_SCROLLBAR, FLAGS(kScrollBarFlags), EV_ANY},
    {"progressbar", NODE_PROGRESSBAR, FLAGS(kProgressBarFlags), EV_ANY},
    {"trackbar", NODE_TRACKBAR, FLAGS(kTrackBarFlags), EV_ANY},
    {"shortcut", NODE_SHORTCUT, NO_FLAGS, EV_ANY},
    {"ipaddress", NODE_IPADDRESS, NO_FLAGS, EV_ANY},
    {"explorercombo", NODE_EXPLORERCOMBO, FLAGS(kExplorerComboFlags), EV_ANY},
    {"explorerlist", NODE_EXPLORERLIST, FLAGS(kExplorerListFlags), kListEvents},
    {"explorertree", NODE_EXPLORERTREE, FLAGS(kExplorerTreeFlags), kListEvents},
    {"scintilla", NODE_SCINTILLA, NO_FLAGS, EV_ANY},
    {"web", NODE_WEB, NO_FLAGS, EV_ANY},
};

static const ElementInfo* FindElement(const std::string& name) {
  for (const ElementInfo& e : kElements)
    if (SameName(name, e.name)) return &e;
  return nullptr;
}

//-----------------------------------------------------------------------------
// [SECTION] Attribute values
//-----------------------------------------------------------------------------

// Optional white space and sign, then digits; stops at anything else; no
// number reads 0. Saturates instead of overflowing.
static int PlainInteger(const std::string& text) {
  size_t i = 0;
  while (i < text.size() && (text[i] == ' ' || text[i] == '\t' || text[i] == '\r' || text[i] == '\n')) i++;
  bool negative = false;
  if (i < text.size() && (text[i] == '+' || text[i] == '-')) negative = text[i++] == '-';
  int64_t v = 0;
  for (; i < text.size() && text[i] >= '0' && text[i] <= '9'; i++)
    if (v < 0x100000000LL) v = v * 10 + (text[i] - '0');
  if (negative) v = -v;
  if (v > INT32_MAX) return INT32_MAX;
  if (v < INT32_MIN) return INT32_MIN;
  return (int)v;
}

// A registered name gives its current value; anything else reads as a number.
static int ResolvedInteger(const std::string& text) {
  return IsRuntimeName(text.c_str()) ? RuntimeValueOf(text.c_str()) : PlainInteger(text);
}

static int PlainLength(const std::string& text) { return ClampLength(PlainInteger(text)); }

static const std::string* FindAttribute(const XmlNode& element, const char* name) {
  const std::string* found = nullptr;
  for (const XmlAttribute& a : element.attributes)
    if (SameName(a.name, name)) found = &a.value;
  return found;
}

static int PlainAttribute(const XmlNode& element, const char* name, int fallback) {
  const std::string* v = FindAttribute(element, name);
  return v ? PlainInteger(*v) : fallback;
}

static int ResolvedAttribute(const XmlNode& element, const char* name, int fallback) {
  const std::string* v = FindAttribute(element, name);
  return v ? ResolvedInteger(*v) : fallback;
}

// "NO", "EQUAL", "ITEM:n" or the default; the item index is kept 0-based.
static int ExpandMode(const std::string& value, int fallback, int* item) {
  if (SameName(value, "NO")) return EXPAND_NO;
  if (SameName(value, "EQUAL")) return EXPAND_EQUAL;
  if (SameName(value, "YES")) return EXPAND_YES;
  if (StartsWith(value, "ITEM:")) {
    int64_t n = PlainInteger(value.substr(5));
    *item = (int)(n - 1 < INT32_MIN ? INT32_MIN : n - 1);
    return EXPAND_ITEM;
  }
  return fallback;
}

// The number after `word` in a MARGIN value, 0 when the word is absent.
static int MarginPart(const std::string& value, const char* word, int fallback) {
  size_t at = FindWord(value, word);
  return at == std::string::npos ? fallback : PlainLength(value.substr(at + strlen(word)));
}

static void ReadMargin(LayoutNode& node, const std::string& value) {
  if (value.find(':') == std::string::npos) {
    node.marginTop = node.marginBottom = node.marginLeft = node.marginRight = PlainLength(value);
    return;
  }
  node.marginTop = MarginPart(value, "TOP:", 0);
  node.marginBottom = MarginPart(value, "BOTTOM:", 0);
  node.marginLeft = MarginPart(value, "LEFT:", 0);
  node.marginRight = MarginPart(value, "RIGHT:", 0);
  if (FindWord(value, "VERTICAL:") != std::string::npos)
    node.marginTop = node.marginBottom = MarginPart(value, "VERTICAL:", 0);
  if (FindWord(value, "HORIZONTAL:") != std::string::npos)
    node.marginLeft = node.marginRight = MarginPart(value, "HORIZONTAL:", 0);
}

static void ReadSingleChildAlign(LayoutNode& node, const std::string& value) {
  int vertical = ALIGN_UNSET, horizontal = ALIGN_UNSET;
  if (FindWord(value, "TOP") != std::string::npos) vertical = ALIGN_START;
  if (FindWord(value, "BOTTOM") != std::string::npos) vertical = ALIGN_END;
  if (FindWord(value, "LEFT") != std::string::npos) horizontal = ALIGN_START;
  if (FindWord(value, "RIGHT") != std::string::npos) horizontal = ALIGN_END;
  int unset = FindWord(value, "CENTER") != std::string::npos ? ALIGN_CENTER : ALIGN_START;
  node.alignVertical = vertical != ALIGN_UNSET ? vertical : unset;
  node.alignHorizontal = horizontal != ALIGN_UNSET ? horizontal : unset;
}

static void ReadSingleChildAttributes(LayoutNode& node, const XmlNode& element) {
  if (const std::string* v = FindAttribute(element, "MARGIN")) ReadMargin(node, *v);
  if (const std::string* v = FindAttribute(element, "EXPAND")) {
    node.expandVertical = !SameName(*v, "NO") && !SameName(*v, "HORIZONTAL");
    node.expandHorizontal = !SameName(*v, "NO") && !SameName(*v, "VERTICAL");
  }
  node.expandWidthLimit = ClampLength(PlainAttribute(element, "EXPANDWIDTH", 0));
  node.expandHeightLimit = ClampLength(PlainAttribute(element, "EXPANDHEIGHT", 0));
  if (const std::string* v = FindAttribute(element, "ALIGN")) ReadSingleChildAlign(node, *v);
}

// "AUTO" or a plain integer.
static int AutoOrLength(const XmlNode& element, const char* name) {
  const std::string* v = FindAttribute(element, name);
  if (!v || SameName(*v, "AUTO")) return kAutoLength;
  return PlainLength(*v);
}

//-----------------------------------------------------------------------------
// [SECTION] Reading an element into its node
//-----------------------------------------------------------------------------

// Values an element's control is created with, beyond the node's own fields.
struct ElementExtras {
  ControlRequest request;
  int group = -1;
  bool disabled = false, invisible = false;
};

static uint32_t ParseFlagList(Dialog& dialog, const ElementInfo& info, const std::string& value) {
  uint32_t flags = 0;
  size_t i = 0, n = value.size();
  for (;;) {
    while (i < n && (value[i] == ' ' || value[i] == '\t')) i++;
    if (i >= n || value[i] != '#') break;  // the rest is ignored
    size_t start = i + 1, bar = value.find('|', start);
    size_t end = bar == std::string::npos ? n : bar;
    while (end > start && (value[end - 1] == ' ' || value[end - 1] == '\t')) end--;
    if (end - start > 128) break;
    std::string name = value.substr(start, end - start);
    bool found = false;
    for (int f = 0; f < info.flagCount && !found; f++)
      if (SameName(name, info.flags[f].name)) flags |= info.flags[f].value, found = true;
    if (!found) {
      if (IsRuntimeName(name.c_str()))
        flags |= (uint32_t)RuntimeValueOf(name.c_str());
      else
        RecordDialogError(dialog, "'#%s' flag is not supported for the following gadget: %s", name.c_str(), info.name);
    }
    if (bar == std::string::npos) break;
    i = bar + 1;
  }
  return flags;
}

static bool IsYes(const std::string& value) { return SameName(value, "YES"); }

// The attributes every element reads, in document order.
static void ReadCommonAttributes(Dialog& dialog, LayoutNode& node, const XmlNode& element,
                                 const ElementInfo& info, ElementExtras* extras) {
  for (const XmlAttribute& a : element.attributes) {
    const std::string& v = a.value;
    if (SameName(a.name, "ID")) {
      if (v.empty()) RecordDialogError(dialog, "<%s> '%s' can't have empty value.", info.name, a.name.c_str());
      else if (SameName(v, "#Any")) node.requestedNumber = -1;
      else if (v[0] == '#' && !IsRuntimeName(v.c_str()))
        RecordDialogError(dialog, "'%s' constant is not found or not declared as runtime.", v.c_str());
      else node.requestedNumber = ResolvedInteger(v);
    } else if (SameName(a.name, "NAME")) {
      node.name = v;
    } else if (SameName(a.name, "TEXT")) {
      node.text = v;
    } else if (SameName(a.name, "WIDTH") || SameName(a.name, "HEIGHT")) {
      if (v.empty()) RecordDialogError(dialog, "<%s> '%s' can't have empty value.", info.name, a.name.c_str());
      else (SameName(a.name, "WIDTH") ? node.ownWidth : node.ownHeight) = ClampLength(ResolvedInteger(v));
    } else if (SameName(a.name, "FOLDED")) {
      if (IsYes(v)) node.folded = true;
    } else if (SameName(a.name, "FLAGS")) {
      node.flags |= ParseFlagList(dialog, info, v);
    } else if (SameName(a.name, "DISABLED")) {
      if (IsYes(v)) extras->disabled = true;
    } else if (SameName(a.name, "INVISIBLE")) {
      if (IsYes(v)) extras->invisible = true;
    }
  }
}

// The attributes of the element's own kind.
static void ReadKindAttributes(LayoutNode& node, const XmlNode& element, ElementExtras* extras) {
  ControlRequest& r = extras->request;
  if (NodeKindOf(node).singleChildAttributes) ReadSingleChildAttributes(node, element);
  switch (node.kind) {
    case NODE_VBOX:
    case NODE_HBOX:
      node.spacing = ClampLength(PlainAttribute(element, "SPACING", 5));
      if (const std::string* v = FindAttribute(element, "EXPAND")) node.expand = ExpandMode(*v, EXPAND_YES, &node.expandItem);
      if (const std::string* v = FindAttribute(element, "ALIGN"))
        node.align = SameName(*v, "CENTER") ? ALIGN_CENTER
                     : SameName(*v, "BOTTOM") || SameName(*v, "RIGHT") ? ALIGN_END : ALIGN_START;
      break;
    case NODE_GRIDBOX:
      node.columns = PlainAttribute(element, "COLUMNS", 2);
      node.colSpacing = ClampLength(PlainAttribute(element, "COLSPACING", 5));
      node.rowSpacing = ClampLength(PlainAttribute(element, "ROWSPACING", 5));
      if (const std::string* v = FindAttribute(element, "COLEXPAND")) node.colExpand = ExpandMode(*v, EXPAND_YES, &node.colExpandItem);
      if (const std::string* v = FindAttribute(element, "ROWEXPAND")) node.rowExpand = ExpandMode(*v, EXPAND_NO, &node.rowExpandItem);
      break;  // the column count is checked when the first child arrives
    case NODE_WINDOW: {
      static const char* const kBoundNames[4] = {"MINWIDTH", "MINHEIGHT", "MAXWIDTH", "MAXHEIGHT"};
      for (int i = 0; i < 4; i++) {
        const std::string* v = FindAttribute(element, kBoundNames[i]);
        if (!v) continue;
        if (SameName(*v, "AUTO")) node.bounds[i].mode = BOUND_AUTO;
        else node.bounds[i] = WindowBound{BOUND_NUMBER, (int16_t)PlainInteger(*v)};
      }
      break;
    }
    case NODE_SCROLLAREA: {
      node.innerWidth = r.innerWidth = AutoOrLength(element, "INNERWIDTH");
      node.innerHeight = r.innerHeight = AutoOrLength(element, "INNERHEIGHT");
      r.step = PlainAttribute(element, "STEP", 10);
      const std::string* v = FindAttribute(element, "SCROLLING");
      node.scrolling = r.scrolling = !v ? SCROLL_BOTH : SameName(*v, "VERTICAL") ? SCROLL_VERTICAL
                                         : SameName(*v, "HORIZONTAL") ? SCROLL_HORIZONTAL : SCROLL_BOTH;
      break;
    }
    case NODE_SPLITTER: {
      static const char* const kMinimumNames[2] = {"FIRSTMIN", "SECONDMIN"};
      for (int i = 0; i < 2; i++) {
        const std::string* v = FindAttribute(element, kMinimumNames[i]);
        node.paneMinimum[i] = v && (SameName(*v, "AUTO") || SameName(*v, "REQUEST")) ? kAutoLength
                              : v ? PlainLength(*v) : 0;
      }
      r.firstMinimum = node.paneMinimum[0], r.secondMinimum = node.paneMinimum[1];
      break;
    }
    case NODE_OPTION:
      extras->group = ResolvedAttribute(element, "GROUP", -1);
      break;
    case NODE_HYPERLINK:
      r.color = ResolvedAttribute(element, "COLOR", 0xFF0000);
      break;
    case NODE_SPIN:
    case NODE_SCROLLBAR:
    case NODE_PROGRESSBAR:
    case NODE_TRACKBAR:
      r.minimum = ResolvedAttribute(element, "MIN", 0);
      r.maximum = ResolvedAttribute(element, "MAX", node.kind == NODE_TRACKBAR ? 10 : 100);
      r.page = ResolvedAttribute(element, "PAGE", 10);
      r.value = ResolvedAttribute(element, "VALUE", r.minimum);
      break;
    default:
      break;
  }
}

// Binds the event attributes of a created control.
static void BindEventAttributes(Dialog& dialog, const LayoutNode& node, const XmlNode& element, const ElementInfo& info) {
  if (info.events & EV_IGNORED) return;
  for (const XmlAttribute& a : element.attributes) {
    for (const EventAttribute& e : kEventAttributes) {
      if (!SameName(a.name, e.name)) continue;
      if (!(info.events & e.bit)) {
        RecordDialogError(dialog, "'%s' is not supported for the following gadget: %s", a.name.c_str(), info.name);
      } else if (intptr_t procedure = RuntimeProcedureOf(a.value.c_str())) {
        dialog.platform->bindEvent(node.control, e.type, procedure);
      } else {
        RecordDialogError(dialog, "'%s' is not a runtime procedure.", a.value.c_str());
      }
    }
  }
}

//-----------------------------------------------------------------------------
// [SECTION] Building the tree
//-----------------------------------------------------------------------------

static void ApplyState(Dialog& dialog, int control, bool disabled, bool invisible) {
  if (control <= 0) return;
  if (disabled) dialog.platform->disableControl(control);
  if (invisible) dialog.platform->hideControl(control, true);
}

static ControlRequest RequestFor(const Dialog& dialog, const LayoutNode& node, const ControlRequest& extras) {
  ControlRequest r = extras;
  r.kind = node.kind;
  r.number = node.requestedNumber;
  r.text = node.text.c_str();
  r.flags = node.flags;
  r.font = 0;
  for (const auto& named : dialog.controlFonts)
    if (SameName(node.name, named.first.c_str())) r.font = named.second;
  return r;
}

// Step 1 of building a child: its node, and its control unless it waits for
// its option group. Returns the node, or -1 when the element is not built.
static int CreateElementNode(Dialog& dialog, const XmlDoc& doc, int elementIndex, const ElementInfo& info,
                             int parentIndex, bool* disabled, bool* invisible) {
  const XmlNode& element = doc.nodes[elementIndex];
  if (info.kind == NODE_TAB && dialog.nodes[parentIndex].kind != NODE_PANEL) {
    RecordDialogError(dialog, "<tab> node requiers a parent <panel> node.");
    return -1;
  }
  if (dialog.nodes[parentIndex].kind == NODE_PANEL && info.kind != NODE_TAB) {
    RecordDialogError(dialog, "<panel> node can only hold <tab> nodes, not <%s>.", info.name);
    return -1;
  }
  int index = AddLayoutNode(dialog, info.kind);
  LayoutNode& node = dialog.nodes[index];
  ElementExtras extras = {};
  ReadCommonAttributes(dialog, node, element, info, &extras);
  ReadKindAttributes(node, element, &extras);
  *disabled = extras.disabled, *invisible = extras.invisible;
  if (!NodeKindOf(node).createsControl || !dialog.error.empty()) return index;

  const DialogPlatform* p = dialog.platform;
  if (info.kind == NODE_OPTION && extras.group != -1) {
    dialog.nodes[parentIndex].pendingOptions.push_back(PendingOption{index, extras.group, extras.disabled, extras.invisible});
    *disabled = *invisible = false;
    return index;
  }
  int control;
  if (info.kind == NODE_TAB) {
    int panel = dialog.nodes[parentIndex].control;
    control = panel > 0 ? p->addPanelPage(panel, node.text.c_str()) : 0;
  } else {
    control = p->createControl(RequestFor(dialog, node, extras.request));
  }
  if (control <= 0) return index;  // built and laid out without a control
  node.control = control;
  BindEventAttributes(dialog, node, element, info);
  if (info.kind == NODE_SPLITTER)
    for (int i = 0; i < 2; i++) node.panes[i] = p->splitterPane(control, i);
  if (NodeKindOf(node).opensChildList) p->openChildList(control);
  return index;
}

// Creates the options waiting for their groups, one group at a time in the
// order of their first member, each group closed off from what came before.
static void CreatePendingOptions(Dialog& dialog, int index) {
  const DialogPlatform* p = dialog.platform;
  std::vector<PendingOption> pending;
  pending.swap(dialog.nodes[index].pendingOptions);
  // One group at a time, in the order of each group's first option.
  while (!pending.empty()) {
    int group = pending[0].group;
    p->endRadioGroup();
    for (const PendingOption& o : pending) {
      if (o.group != group) continue;
      int control = p->createControl(RequestFor(dialog, dialog.nodes[o.node], ControlRequest{}));
      if (control <= 0) continue;
      dialog.nodes[o.node].control = control;
      ApplyState(dialog, control, o.disabled, o.invisible);
    }
    pending.erase(std::remove_if(pending.begin(), pending.end(),
                                 [group](const PendingOption& o) { return o.group == group; }),
                  pending.end());
  }
}

static void FinishChildren(Dialog& dialog, int index) {
  if (!dialog.nodes[index].pendingOptions.empty()) CreatePendingOptions(dialog, index);
  LayoutNode& node = dialog.nodes[index];
  const NodeKindInfo& kind = NodeKindOf(node);
  if (kind.holds == HOLDS_GRID_CELLS) FinishGrid(node);
  if (node.control > 0 && kind.opensChildList) dialog.platform->closeChildList();
}

// The spans a grid reads from a child's element.
static void ReadSpans(Dialog& dialog, const XmlNode& element, int* colSpan, int* rowSpan) {
  *colSpan = PlainAttribute(element, "COLSPAN", 1);
  *rowSpan = PlainAttribute(element, "ROWSPAN", 1);
  if (*colSpan < 1) *colSpan = 1;
  if (*rowSpan < 1) *rowSpan = 1;
  if (*colSpan > kGridMaxColumns) *colSpan = kGridMaxColumns;
  if (*rowSpan > kGridMaxRowSpan) {
    RecordDialogError(dialog, "A gridbox can only have a maximum of 65 rows (%d was specified).", *rowSpan);
    *rowSpan = kGridMaxRowSpan;
  }
}

static void BuildChildren(Dialog& dialog, const XmlDoc& doc, int parentIndex, int elementIndex, int depth) {
  for (int c = doc.nodes[elementIndex].firstChild; c >= 0; c = doc.nodes[c].nextSibling) {
    if (!dialog.error.empty()) return;
    const ElementInfo* info = FindElement(doc.nodes[c].name);
    if (!info) continue;  // unknown: skipped with everything inside it
    if (depth >= kDialogMaxNesting) {
      RecordDialogError(dialog, "The window description is nested too deeply (more than %d levels).", kDialogMaxNesting);
      return;
    }
    // A splitter's children go into its panes, one each.
    int pane = -1;
    const LayoutNode& parent = dialog.nodes[parentIndex];
    if (parent.kind == NODE_SPLITTER) {
      if (parent.children.size() >= 2) {
        RecordDialogError(dialog, "A splitter can only hold two children.");
        return;
      }
      pane = parent.panes[parent.children.size()];
      if (pane > 0) dialog.platform->openChildList(pane);
    }
    bool disabled = false, invisible = false;
    int node = CreateElementNode(dialog, doc, c, *info, parentIndex, &disabled, &invisible);
    if (node >= 0) {
      if (dialog.error.empty()) BuildChildren(dialog, doc, node, c, depth + 1);
      FinishChildren(dialog, node);
      int colSpan = 1, rowSpan = 1;
      if (NodeKindOf(dialog.nodes[parentIndex]).holds == HOLDS_GRID_CELLS)
        ReadSpans(dialog, doc.nodes[c], &colSpan, &rowSpan);
      AttachChild(dialog, parentIndex, node, colSpan, rowSpan);
      ApplyState(dialog, dialog.nodes[node].control, disabled, invisible);
    }
    if (pane > 0) dialog.platform->closeChildList();
  }
}

//-----------------------------------------------------------------------------
// [SECTION] Dialogs
//-----------------------------------------------------------------------------

static std::map<int, Dialog> g_dialogs;
static std::map<int, int> g_dialogByWindow;  // window number -> dialog number

static Dialog* FindDialog(int number) {
  auto it = g_dialogs.find(number);
  return it == g_dialogs.end() ? nullptr : &it->second;
}

// Destroys the node tree and closes the window, keeping the dialog and its error.
static void CloseDialogWindow(Dialog& dialog) {
  if (dialog.window > 0) {
    g_dialogByWindow.erase(dialog.window);
    dialog.platform->closeWindow(dialog.window);
  }
  dialog.nodes.clear();
  dialog.root = -1;
  dialog.window = 0;
  dialog.parentWindow = 0;
  dialog.laidOut = false;
}

void SetDialogControlFont(int number, const char* name, int font) {
  Dialog* dialog = FindDialog(number);
  if (!dialog || !name) return;
  auto& fonts = dialog->controlFonts;
  fonts.erase(std::remove_if(fonts.begin(), fonts.end(), [name](const std::pair<std::string, int>& named) {
                return SameName(named.first, name);
              }), fonts.end());
  if (font) fonts.emplace_back(name, font);
}

int NewDialogOn(const DialogPlatform* platform, int number) {
  if (!platform || (number <= 0 && number != -1)) return 0;
  if (number == -1) {
    number = 1;
    while (g_dialogs.count(number)) number++;
  }
  ReleaseDialog(number);
  g_dialogs[number].platform = platform;
  return number;
}

// Selection: a root `window`, or the first matching `window`
// child of a root `dialogs`.
static int SelectWindowElement(const XmlDoc& doc, const char* name) {
  int root = XmlRootElement(doc);
  if (root < 0) return -1;
  bool anyName = !name || !*name;
  auto matches = [&](int element) {
    if (anyName) return true;
    const std::string* n = FindAttribute(doc.nodes[element], "NAME");
    return n && SameName(*n, name);
  };
  if (SameName(doc.nodes[root].name, "window")) return matches(root) ? root : -1;
  if (!SameName(doc.nodes[root].name, "dialogs")) return -1;
  for (int c = doc.nodes[root].firstChild; c >= 0; c = doc.nodes[c].nextSibling)
    if (SameName(doc.nodes[c].name, "window") && matches(c)) return c;
  return -1;
}

int OpenDescribedWindow(int number, const XmlDoc& doc, const char* windowName, int x, int y, int width,
                        int height, int parentWindow) {
  Dialog* dialog = FindDialog(number);
  if (!dialog) return 0;
  dialog->error.clear();
  CloseDialogWindow(*dialog);
  int element = SelectWindowElement(doc, windowName);
  if (element < 0) {
    RecordDialogError(*dialog, "Dialog window not found");
    return 0;
  }
  // The window node and its own attributes.
  int root = AddLayoutNode(*dialog, NODE_WINDOW);
  dialog->root = root;
  ElementExtras extras = {};
  ReadCommonAttributes(*dialog, dialog->nodes[root], doc.nodes[element], kWindowElement, &extras);
  ReadKindAttributes(dialog->nodes[root], doc.nodes[element], &extras);
  LayoutNode& window = dialog->nodes[root];
  if (dialog->error.empty()) {
    window.window = dialog->platform->openWindow(window.requestedNumber, x, y, width, height, window.text.c_str(),
                                                 window.flags | Window_Invisible, parentWindow);
    if (window.window <= 0) RecordDialogError(*dialog, "The window could not be opened.");
  }
  if (dialog->error.empty()) {
    dialog->window = window.window;
    dialog->parentWindow = parentWindow;
    g_dialogByWindow[dialog->window] = number;
    BuildChildren(*dialog, doc, root, element, 0);
    FinishChildren(*dialog, root);
    MarkStartupStep(STEP_CONTROL_CREATION);
  }
  if (!dialog->error.empty()) {
    CloseDialogWindow(*dialog);
    return 0;
  }
  LayoutNewWindow(*dialog, width, height);
  return 1;
}

int OpenDescribedWindowText(int number, const char* text, size_t length, const char* windowName, int x, int y,
                            int width, int height, int parentWindow) {
  Dialog* dialog = FindDialog(number);
  if (!dialog) return 0;
  XmlDoc doc;
  std::string reason;
  if (!text || !XmlParse(doc, text, length, &reason)) {
    CloseDialogWindow(*dialog);
    dialog->error.clear();
    RecordDialogError(*dialog, "The window description is not well-formed XML (%s).", reason.c_str());
    return 0;
  }
  return OpenDescribedWindow(number, doc, windowName, x, y, width, height, parentWindow);
}

int DialogWindowOf(int number) {
  Dialog* dialog = FindDialog(number);
  return dialog && dialog->window > 0 ? dialog->window : -1;
}

// Children in the order a search visits them.
static void SearchChildren(const LayoutNode& node, std::vector<int>* out) {
  out->clear();
  if (NodeKindOf(node).holds == HOLDS_ONE_CHILD) {
    if (node.child >= 0) out->push_back(node.child);
  } else {
    *out = node.children;
  }
}

// Depth first, a node before its children; -1 when nothing matches.
static int FindNodeByName(const Dialog& dialog, const char* name) {
  if (dialog.root < 0 || !name) return -1;
  std::vector<int> stack(1, dialog.root), children;
  while (!stack.empty()) {
    int index = stack.back();
    stack.pop_back();
    const LayoutNode& node = dialog.nodes[index];
    if (SameName(node.name, name)) return index;
    SearchChildren(node, &children);
    stack.insert(stack.end(), children.rbegin(), children.rend());
  }
  return -1;
}

int DialogControlByName(int number, const char* name) {
  Dialog* dialog = FindDialog(number);
  if (!dialog) return -1;
  int index = FindNodeByName(*dialog, name);
  if (index < 0) return -1;
  int control = dialog->nodes[index].control;
  return control > 0 ? control : -1;
}

void RefitDialog(int number) {
  if (Dialog* dialog = FindDialog(number)) RefitLayout(*dialog);
}

void RelayoutDialog(int number) {
  if (Dialog* dialog = FindDialog(number)) LayoutWindowAgain(*dialog);
}

void ReleaseDialog(int number) {
  if (number == -1) {
    while (!g_dialogs.empty()) ReleaseDialog(g_dialogs.begin()->first);
    return;
  }
  Dialog* dialog = FindDialog(number);
  if (!dialog) return;
  CloseDialogWindow(*dialog);
  g_dialogs.erase(number);
}

const char* DialogError(int number) {
  Dialog* dialog = FindDialog(number);
  return dialog ? dialog->error.c_str() : "";
}

const Dialog* DialogRecord(int number) { return FindDialog(number); }

// Walks the subtree below `index` (itself included), depth first.
template <typename Visit>
static void WalkSubtree(const Dialog& dialog, int index, Visit visit) {
  std::vector<int> stack(1, index), children;
  while (!stack.empty()) {
    int n = stack.back();
    stack.pop_back();
    visit(dialog.nodes[n]);
    SearchChildren(dialog.nodes[n], &children);
    stack.insert(stack.end(), children.rbegin(), children.rend());
  }
}

void SetDialogHiddenTree(int number, const char* name, bool hidden) {
  Dialog* dialog = FindDialog(number);
  if (!dialog) return;
  int index = FindNodeByName(*dialog, name);
  if (index < 0) return;
  const DialogPlatform* p = dialog->platform;
  WalkSubtree(*dialog, index, [&](const LayoutNode& node) {
    if (node.control > 0) p->hideControl(node.control, hidden || node.folded);
  });
}

void RefreshDialogTexts(int number) {
  Dialog* dialog = FindDialog(number);
  if (!dialog || dialog->root < 0) return;
  const DialogPlatform* p = dialog->platform;
  WalkSubtree(*dialog, dialog->root, [&](const LayoutNode& node) {
    if (node.control > 0 && NodeKindOf(node).textIsCaption) p->setControlText(node.control, node.text.c_str());
  });
}

void DialogWindowResized(int window) {
  auto it = g_dialogByWindow.find(window);
  if (it == g_dialogByWindow.end()) return;
  if (Dialog* dialog = FindDialog(it->second)) PlaceInWindow(*dialog);
}

void DialogPaneResized(int paneControl, int w, int h) {
  for (auto& d : g_dialogs) PlaceSplitterPane(d.second, paneControl, w, h);
}
