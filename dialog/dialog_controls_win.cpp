// The dialog platform's controls on Win32: for each element kind, the real
// control a description asks for (common controls version 6, the runtime's
// widgets and its canvas), created inside the open child list with the
// element's flags and values. kControlKinds holds one row per kind.
//
// Index of this file:
// [SECTION] Child windows
// [SECTION] What some controls start with
// [SECTION] Styles from the element's flags
// [SECTION] The table's rows and the common way of creating a control
// [SECTION] The runtime's own controls
// [SECTION] System controls that need more than their window
// [SECTION] Control kinds
#include "runtime/win32_internal.h"  // windows.h first

#include <commctrl.h>

#include <string>
#include <vector>

#include "dialog/dialog_internal.h"
#include "dialog/description.h"
#include "dialog/element_flags.h"
#include "runtime/canvas.h"
#include "runtime/fonts.h"
#include "runtime/widgets.h"
#include "runtime/win_text.h"
#include "runtime/windowing.h"

//-----------------------------------------------------------------------------
// [SECTION] Child windows
//-----------------------------------------------------------------------------

bool ControlClassesReady() {
  static bool done = false, ok = false;
  if (done) return ok;
  done = true;
  INITCOMMONCONTROLSEX controls = {sizeof controls,
                                   ICC_WIN95_CLASSES | ICC_DATE_CLASSES | ICC_USEREX_CLASSES | ICC_INTERNET_CLASSES |
                                       ICC_STANDARD_CLASSES | ICC_LINK_CLASS};
  InitCommonControlsEx(&controls);
  ok = RegisterWidgetClasses();
  return ok;
}

static HWND CreateChild(DWORD exStyle, const wchar_t* cls, const std::wstring& text, DWORD style) {
  return CreateWindowExW(exStyle, cls, text.c_str(), WS_CHILD | WS_VISIBLE | style, 0, 0, 0, 0,
                         (HWND)NewControlParent(), nullptr, GetModuleHandleW(nullptr), nullptr);
}

// A static text created and freed at once ends the radio group in progress.
void EndRadioGroup() {
  HWND stop = CreateChild(0, WC_STATICW, L"", WS_GROUP);
  if (stop) DestroyWindow(stop);
  g_placement.lastWasOption = false;
}

//-----------------------------------------------------------------------------
// [SECTION] What some controls start with
//-----------------------------------------------------------------------------

// The Unix epoch as a system time: a date control's "date 0".
static SYSTEMTIME DateZero() {
  SYSTEMTIME t = {};
  t.wYear = 1970, t.wMonth = 1, t.wDay = 1, t.wDayOfWeek = 4;
  return t;
}

// The roots of the drives, "C:\\" and so on.
static std::vector<std::wstring> DriveRoots() {
  std::vector<std::wstring> roots;
  wchar_t drives[512];
  DWORD n = GetLogicalDriveStringsW(511, drives);
  for (wchar_t* d = drives; n && n < 512 && *d; d += wcslen(d) + 1) roots.push_back(d);
  return roots;
}

struct FolderEntry {
  std::wstring name;
  bool folder;
};

// The entries of a folder but ".", at most 100000 of them.
static std::vector<FolderEntry> FolderEntries(std::wstring path) {
  std::vector<FolderEntry> entries;
  if (path.back() != L'\\') path += L'\\';
  WIN32_FIND_DATAW found;
  HANDLE find = FindFirstFileW((path + L"*").c_str(), &found);
  if (find == INVALID_HANDLE_VALUE) return entries;
  do {
    if (wcscmp(found.cFileName, L".")) entries.push_back(FolderEntry{found.cFileName, (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0});
  } while (entries.size() < 100000 && FindNextFileW(find, &found));
  FindClose(find);
  return entries;
}

// Folders and files of `path` into a list view, or the drives when the path is empty.
static void FillExplorerList(HWND list, const std::wstring& path, uint32_t flags) {
  LVCOLUMNW column = {LVCF_TEXT | LVCF_WIDTH, 0, LogicalToDeviceX(200), (wchar_t*)L"Name"};
  ListView_InsertColumn(list, 0, &column);
  std::vector<std::wstring> names;
  if (path.empty()) names = DriveRoots();
  else
    for (const FolderEntry& e : FolderEntries(path)) {
      bool parent = e.name == L"..";
      if (parent && (flags & Explorer_NoParentFolder)) continue;
      if (e.folder && !parent && (flags & Explorer_NoFolders)) continue;
      if (!e.folder && (flags & Explorer_NoFiles)) continue;
      names.push_back(e.name);
    }
  for (size_t i = 0; i < names.size(); i++) {
    LVITEMW item = {LVIF_TEXT, (int)i};
    item.pszText = &names[i][0];
    ListView_InsertItem(list, &item);
  }
}

// The entries of `path` into a tree view, or the drives when the path is empty.
static void FillExplorerTree(HWND tree, const std::wstring& path, uint32_t flags) {
  std::vector<std::wstring> names;
  if (path.empty()) names = DriveRoots();
  else
    for (const FolderEntry& e : FolderEntries(path))
      if (e.name != L".." && (e.folder || !(flags & Explorer_NoFiles))) names.push_back(e.name);
  for (std::wstring& name : names) {
    TVINSERTSTRUCTW insert = {TVI_ROOT, TVI_LAST};
    insert.item.mask = TVIF_TEXT;
    insert.item.pszText = &name[0];
    TreeView_InsertItem(tree, &insert);
  }
}

// The source-code editor comes from "Scintilla.dll" beside the program, when
// it is there: never from the current folder, where anyone may put a file.
static bool ScintillaAvailable() {
  static int state = 0;  // 0 unknown, 1 loaded, -1 missing
  if (!state) state = LoadProgramLibrary(L"Scintilla.dll") ? 1 : -1;
  return state == 1;
}

// The system web view: the browser control hosted by ATL's window class,
// both looked up at run time.
static bool WebViewAvailable() {
  static int state = 0;
  if (!state) {
    state = -1;
    typedef HRESULT(WINAPI * OleInit)(void*);
    typedef BOOL(WINAPI * AxInit)();
    HMODULE ole = LoadSystemLibrary(L"ole32.dll"), atl = LoadSystemLibrary(L"atl.dll");
    OleInit oleInit = ole ? (OleInit)(void*)GetProcAddress(ole, "OleInitialize") : nullptr;
    AxInit axInit = atl ? (AxInit)(void*)GetProcAddress(atl, "AtlAxWinInit") : nullptr;
    if (oleInit && axInit && SUCCEEDED(oleInit(nullptr)) && axInit()) state = 1;
  }
  return state == 1;
}

//-----------------------------------------------------------------------------
// [SECTION] Styles from the element's flags
//-----------------------------------------------------------------------------

// One flag's part in a control's styles: when every bit of `flag` is in the
// element's flags (and not every bit of `unless`, when it is not 0), `style`
// and `exStyle` are added, otherwise `styleOtherwise` and `exOtherwise`. A
// list of them ends with a row of flag 0.
struct FlagStyle {
  uint32_t flag, unless;
  DWORD style, styleOtherwise;
  DWORD exStyle, exOtherwise;
};

static bool HasEveryBit(uint32_t flags, uint32_t bits) { return (flags & bits) == bits; }

// The push button's kind is one of three: Button_Toggle includes Button_Default's bit.
static const FlagStyle kButtonFlagStyles[] = {
    {Button_Toggle, 0, BS_PUSHLIKE | BS_AUTOCHECKBOX},
    {Button_Default, Button_Toggle, BS_DEFPUSHBUTTON, BS_PUSHBUTTON},
    {Button_Right, 0, BS_RIGHT},
    {Button_Left, 0, BS_LEFT},
    {Button_MultiLine, 0, BS_MULTILINE},
    {0}};

// The alignment is the button's own two bits: BS_CENTER is BS_LEFT | BS_RIGHT.
static_assert(CheckBox_Right == BS_RIGHT && CheckBox_Center == BS_CENTER, "check box alignment");
static const FlagStyle kCheckBoxFlagStyles[] = {
    {CheckBox_ThreeState, 0, BS_AUTO3STATE, BS_AUTOCHECKBOX},
    {CheckBox_Right, 0, BS_RIGHT},
    {CheckBox_Center & ~CheckBox_Right, 0, BS_LEFT},
    {0}};

static const FlagStyle kTextFlagStyles[] = {
    {Text_Center, 0, SS_CENTER, SS_LEFT},
    {Text_Right, Text_Center, SS_RIGHT},
    {Text_Border, 0, 0, 0, WS_EX_CLIENTEDGE},
    {0}};

static const FlagStyle kStringFlagStyles[] = {
    {String_Password, 0, ES_PASSWORD},
    {String_ReadOnly, 0, ES_READONLY},
    {String_Numeric, 0, ES_NUMBER},
    {String_LowerCase, 0, ES_LOWERCASE},
    {String_UpperCase, 0, ES_UPPERCASE},
    {String_BorderLess, 0, 0, 0, 0, WS_EX_CLIENTEDGE},
    {0}};

static const FlagStyle kEditorFlagStyles[] = {
    {Editor_ReadOnly, 0, ES_READONLY},
    {Editor_WordWrap, 0, 0, ES_AUTOHSCROLL | WS_HSCROLL},
    {0}};

static const FlagStyle kImageFlagStyles[] = {
    {Image_Border, 0, 0, 0, WS_EX_CLIENTEDGE},
    {Image_Raised, Image_Border, 0, 0, WS_EX_DLGMODALFRAME},
    {0}};

static const FlagStyle kListViewFlagStyles[] = {
    {ListView_MultiSelect, 0, LBS_EXTENDEDSEL},
    {ListView_ClickSelect, 0, LBS_MULTIPLESEL},
    {0}};

static const FlagStyle kListIconFlagStyles[] = {
    {ListIcon_MultiSelect, 0, 0, LVS_SINGLESEL},
    {ListIcon_AlwaysShowSelection, 0, LVS_SHOWSELALWAYS},
    {0}};

static const FlagStyle kExplorerListFlagStyles[] = {
    {Explorer_MultiSelect, 0, 0, LVS_SINGLESEL},
    {Explorer_AlwaysShowSelection, 0, LVS_SHOWSELALWAYS},
    {Explorer_BorderLess, 0, 0, 0, 0, WS_EX_CLIENTEDGE},
    {0}};

static const FlagStyle kTreeFlagStyles[] = {
    {Tree_NoLines, 0, 0, TVS_HASLINES | TVS_LINESATROOT},
    {Tree_NoButtons, 0, 0, TVS_HASBUTTONS},
    {Tree_AlwaysShowSelection, 0, TVS_SHOWSELALWAYS},
    {Tree_CheckBoxes, 0, TVS_CHECKBOXES},
    {0}};

static const FlagStyle kExplorerTreeFlagStyles[] = {
    {Explorer_NoLines, 0, 0, TVS_HASLINES | TVS_LINESATROOT},
    {Explorer_NoButtons, 0, 0, TVS_HASBUTTONS},
    {Explorer_AlwaysShowSelection, 0, TVS_SHOWSELALWAYS},
    {Explorer_BorderLess, 0, 0, 0, 0, WS_EX_CLIENTEDGE},
    {0}};

// ComboBox_Editable is two bits, both needed; ComboBox_Image picks the class.
static const FlagStyle kComboBoxFlagStyles[] = {
    {ComboBox_Editable, 0, CBS_DROPDOWN | CBS_AUTOHSCROLL, CBS_DROPDOWNLIST},
    {ComboBox_LowerCase, 0, CBS_LOWERCASE},
    {ComboBox_UpperCase, 0, CBS_UPPERCASE},
    {0}};

static const FlagStyle kExplorerComboFlagStyles[] = {
    {Explorer_Editable, 0, CBS_DROPDOWN | CBS_AUTOHSCROLL, CBS_DROPDOWNLIST},
    {0}};

static const FlagStyle kCalendarFlagStyles[] = {{Calendar_Borderless, 0, 0, WS_BORDER}, {0}};

static const FlagStyle kDateFlagStyles[] = {{Date_UpDown, 0, DTS_UPDOWN}, {Date_CheckBox, 0, DTS_SHOWNONE}, {0}};

static const FlagStyle kScrollBarFlagStyles[] = {{ScrollBar_Vertical, 0, SBS_VERT, SBS_HORZ}, {0}};

static const FlagStyle kProgressBarFlagStyles[] = {
    {ProgressBar_Smooth, 0, PBS_SMOOTH},
    {ProgressBar_Vertical, 0, PBS_VERTICAL},
    {0}};

static const FlagStyle kTrackBarFlagStyles[] = {
    {TrackBar_Ticks, 0, TBS_AUTOTICKS, TBS_NOTICKS},
    {TrackBar_Vertical, 0, TBS_VERT, TBS_HORZ},
    {0}};

//-----------------------------------------------------------------------------
// [SECTION] The table's rows and the common way of creating a control
//-----------------------------------------------------------------------------

struct ControlKindInfo;
typedef int (*CreateProcedure)(const ControlKindInfo& info, const ControlRequest& r, const std::wstring& text);

struct ControlKindInfo {
  int kind;                     // NodeKind
  const wchar_t* windowClass;   // null: no window of a system class
  bool caption;                 // the window is created with the element's text
  DWORD style, exStyle;
  const FlagStyle* flagStyles;  // null: the flags change no style
  int controlKind;              // ControlKind
  CreateProcedure create;       // null: the common way
};

// The row's styles with those the element's flags add.
static void StylesOf(const ControlKindInfo& info, uint32_t flags, DWORD* style, DWORD* exStyle) {
  *style = info.style, *exStyle = info.exStyle;
  for (const FlagStyle* f = info.flagStyles; f && f->flag; f++) {
    bool on = HasEveryBit(flags, f->flag) && !(f->unless && HasEveryBit(flags, f->unless));
    *style |= on ? f->style : f->styleOtherwise;
    *exStyle |= on ? f->exStyle : f->exOtherwise;
  }
}

// The kind's window inside the open child list, with the styles of the row and the flags.
static HWND NewWindowOfKind(const ControlKindInfo& info, uint32_t flags, const std::wstring& caption,
                            DWORD moreStyle = 0) {
  DWORD style, exStyle;
  StylesOf(info, flags, &style, &exStyle);
  return CreateChild(exStyle, info.windowClass, caption, style | moreStyle);
}

//-----------------------------------------------------------------------------
// [SECTION] The runtime's own controls
//-----------------------------------------------------------------------------

static int CreateContainerOf(const ControlKindInfo&, const ControlRequest& r, const std::wstring&) {
  uint32_t f = r.flags;
  int border = BORDER_NONE;
  if (f & Container_Double) border = BORDER_SUNKEN;
  else if (f & Container_Single) border = BORDER_THIN_SUNKEN;
  else if (f & Container_Raised) border = BORDER_RAISED;
  else if (f & Container_Flat) border = BORDER_LINE;
  return CreateContainerIn(r.number, NewControlParent(), border);
}

static int CreateFrameOf(const ControlKindInfo&, const ControlRequest& r, const std::wstring&) {
  uint32_t style = r.flags & Frame_Flat;  // Frame_Flat is both bits of the others
  int line = style == Frame_Double   ? FRAME_ETCHED
             : style == Frame_Single ? FRAME_GRAY
             : style == Frame_Flat   ? FRAME_BLACK
                                     : FRAME_CAPTIONED;
  return CreateFrameIn(r.number, NewControlParent(), r.text, line);
}

// The canvas of a description: the runtime's canvas control (runtime/canvas.h)
// with the element's flags (client edge for Canvas_Border, a tab stop with
// Canvas_Keyboard, a container with Canvas_Container), created inside the
// open child list. It registers itself; the layout places it afterwards.
static int CreateCanvasForDescription(const ControlKindInfo&, const ControlRequest& r, const std::wstring&) {
  return CreateCanvasIn(r.number, NewControlParent(), 0, 0, 1, 1, (int)r.flags);
}

static int CreateScrollAreaOf(const ControlKindInfo&, const ControlRequest& r, const std::wstring&) {
  uint32_t f = r.flags;
  ScrollAreaSettings s;
  s.verticalBar = r.scrolling != SCROLL_HORIZONTAL;
  s.horizontalBar = r.scrolling != SCROLL_VERTICAL;
  if (f & ScrollArea_BorderLess) s.border = BORDER_NONE;
  else if (f & ScrollArea_Single) s.border = BORDER_LINE;
  else if (f & ScrollArea_Raised) s.border = BORDER_RAISED;
  else if (f & ScrollArea_Flat) s.border = BORDER_THIN_SUNKEN;
  else s.border = BORDER_SUNKEN;
  s.innerWidth = r.innerWidth == kAutoLength ? 0 : r.innerWidth;
  s.innerHeight = r.innerHeight == kAutoLength ? 0 : r.innerHeight;
  s.step = r.step;
  s.center = f & ScrollArea_Center;
  return CreateScrollAreaIn(r.number, NewControlParent(), s);
}

static int CreatePanelOf(const ControlKindInfo&, const ControlRequest& r, const std::wstring&) {
  return CreatePanelIn(r.number, NewControlParent());
}

static int CreateSplitterOf(const ControlKindInfo&, const ControlRequest& r, const std::wstring&) {
  SplitterSettings s;
  s.sideBySide = r.flags & Splitter_Vertical;
  s.separatorBar = r.flags & Splitter_Separator;
  s.secondFixed = r.flags & Splitter_SecondFixed;  // Splitter_FirstFixed is what happens anyway
  s.minimum[0] = r.firstMinimum == kAutoLength ? 0 : r.firstMinimum;
  s.minimum[1] = r.secondMinimum == kAutoLength ? 0 : r.secondMinimum;
  s.paneResized = DialogPaneResized;
  return CreateSplitterIn(r.number, NewControlParent(), s);
}

static int CreateSpinOf(const ControlKindInfo&, const ControlRequest& r, const std::wstring&) {
  SpinSettings s;
  s.readOnly = r.flags & Spin_ReadOnly;
  s.numeric = r.flags & Spin_Numeric;
  s.minimum = r.minimum, s.maximum = r.maximum, s.value = r.value;
  return CreateSpinIn(r.number, NewControlParent(), s, r.text);
}

static int CreateHyperlinkOf(const ControlKindInfo&, const ControlRequest& r, const std::wstring&) {
  return CreateHyperlinkIn(r.number, NewControlParent(), r.text, r.color, r.flags & HyperLink_Underline);
}

//-----------------------------------------------------------------------------
// [SECTION] System controls that need more than their window
//-----------------------------------------------------------------------------

// The text goes in after creation, where an edit control takes it whole.
static int CreateEditor(const ControlKindInfo& info, const ControlRequest& r, const std::wstring& text) {
  HWND hwnd = NewWindowOfKind(info, r.flags, L"");
  if (hwnd) SetWindowTextW(hwnd, text.c_str());
  return EnterChildControl(hwnd, r.number, info.controlKind);
}

// A list view of one column captioned with the text.
static int CreateListIcon(const ControlKindInfo& info, const ControlRequest& r, const std::wstring& text) {
  HWND hwnd = NewWindowOfKind(info, r.flags, L"");
  if (!hwnd) return 0;
  uint32_t f = r.flags;
  DWORD ex = 0;
  if (f & ListIcon_CheckBoxes) ex |= LVS_EX_CHECKBOXES;
  if (f & ListIcon_GridLines) ex |= LVS_EX_GRIDLINES;
  if (f & ListIcon_FullRowSelect) ex |= LVS_EX_FULLROWSELECT;
  if (f & ListIcon_HeaderDragDrop) ex |= LVS_EX_HEADERDRAGDROP;
  LVCOLUMNW column = {LVCF_TEXT | LVCF_WIDTH, 0, LogicalToDeviceX(300), (wchar_t*)text.c_str()};
  ListView_InsertColumn(hwnd, 0, &column);
  ListView_SetExtendedListViewStyle(hwnd, ex);
  return EnterChildControl(hwnd, r.number, info.controlKind);
}

// The folders and files of the text's path, or the drives.
static int CreateExplorerList(const ControlKindInfo& info, const ControlRequest& r, const std::wstring& text) {
  HWND hwnd = NewWindowOfKind(info, r.flags, L"");
  if (!hwnd) return 0;
  uint32_t f = r.flags;
  DWORD ex = 0;
  if (f & Explorer_GridLines) ex |= LVS_EX_GRIDLINES;
  if (f & Explorer_HeaderDragDrop) ex |= LVS_EX_HEADERDRAGDROP;
  if (f & Explorer_FullRowSelect) ex |= LVS_EX_FULLROWSELECT;
  FillExplorerList(hwnd, text, f);
  ListView_SetExtendedListViewStyle(hwnd, ex);
  return EnterChildControl(hwnd, r.number, info.controlKind);
}

static int CreateExplorerTree(const ControlKindInfo& info, const ControlRequest& r, const std::wstring& text) {
  HWND hwnd = NewWindowOfKind(info, r.flags, L"");
  if (hwnd) FillExplorerTree(hwnd, text, r.flags);
  return EnterChildControl(hwnd, r.number, info.controlKind);
}

static int CreateComboBox(const ControlKindInfo& info, const ControlRequest& r, const std::wstring&) {
  DWORD style, exStyle;
  StylesOf(info, r.flags, &style, &exStyle);
  const wchar_t* windowClass = (r.flags & ComboBox_Image) ? WC_COMBOBOXEXW : info.windowClass;
  return EnterChildControl(CreateChild(exStyle, windowClass, L"", style), r.number, info.controlKind);
}

// The drives, and the text's path chosen (added when it is none of them).
static int CreateExplorerCombo(const ControlKindInfo& info, const ControlRequest& r, const std::wstring& text) {
  HWND hwnd = NewWindowOfKind(info, r.flags, L"");
  if (hwnd) {
    for (const std::wstring& root : DriveRoots()) SendMessageW(hwnd, CB_ADDSTRING, 0, (LPARAM)root.c_str());
    if (!text.empty()) {
      LRESULT at = SendMessageW(hwnd, CB_FINDSTRINGEXACT, (WPARAM)-1, (LPARAM)text.c_str());
      if (at == CB_ERR) at = SendMessageW(hwnd, CB_ADDSTRING, 0, (LPARAM)text.c_str());
      SendMessageW(hwnd, CB_SETCURSEL, (WPARAM)at, 0);
    }
  }
  return EnterChildControl(hwnd, r.number, info.controlKind);
}

static int CreateCalendar(const ControlKindInfo& info, const ControlRequest& r, const std::wstring&) {
  HWND hwnd = NewWindowOfKind(info, r.flags, L"");
  if (hwnd) {
    SYSTEMTIME zero = DateZero();
    MonthCal_SetCurSel(hwnd, &zero);
  }
  return EnterChildControl(hwnd, r.number, info.controlKind);
}

// The text, when there is one, is the date's format.
static int CreateDate(const ControlKindInfo& info, const ControlRequest& r, const std::wstring& text) {
  HWND hwnd = NewWindowOfKind(info, r.flags, L"");
  if (hwnd) {
    if (!text.empty()) SendMessageW(hwnd, DTM_SETFORMATW, 0, (LPARAM)text.c_str());
    SYSTEMTIME zero = DateZero();
    DateTime_SetSystemtime(hwnd, GDT_VALID, &zero);
  }
  return EnterChildControl(hwnd, r.number, info.controlKind);
}

static int CreateScrollBar(const ControlKindInfo& info, const ControlRequest& r, const std::wstring&) {
  HWND hwnd = NewWindowOfKind(info, r.flags, L"");
  if (hwnd) {
    SCROLLINFO scroll = {sizeof scroll, SIF_RANGE | SIF_PAGE | SIF_POS, r.minimum, r.maximum, (UINT)r.page, r.value};
    SetScrollInfo(hwnd, SB_CTL, &scroll, FALSE);
  }
  return EnterChildControl(hwnd, r.number, info.controlKind);
}

static int CreateProgressBar(const ControlKindInfo& info, const ControlRequest& r, const std::wstring&) {
  HWND hwnd = NewWindowOfKind(info, r.flags, L"");
  if (hwnd) {
    SendMessageW(hwnd, PBM_SETRANGE32, (WPARAM)r.minimum, (LPARAM)r.maximum);
    SendMessageW(hwnd, PBM_SETPOS, (WPARAM)r.value, 0);
  }
  return EnterChildControl(hwnd, r.number, info.controlKind);
}

static int CreateTrackBar(const ControlKindInfo& info, const ControlRequest& r, const std::wstring&) {
  HWND hwnd = NewWindowOfKind(info, r.flags, L"");
  if (hwnd) {
    SendMessageW(hwnd, TBM_SETRANGEMIN, FALSE, (LPARAM)r.minimum);
    SendMessageW(hwnd, TBM_SETRANGEMAX, FALSE, (LPARAM)r.maximum);
    SendMessageW(hwnd, TBM_SETPOS, TRUE, (LPARAM)r.value);
  }
  return EnterChildControl(hwnd, r.number, info.controlKind);
}

static int CreateScintilla(const ControlKindInfo& info, const ControlRequest& r, const std::wstring&) {
  if (!ScintillaAvailable()) return 0;
  return EnterChildControl(NewWindowOfKind(info, r.flags, L""), r.number, info.controlKind);
}

// The text is the page's address.
static int CreateWebView(const ControlKindInfo& info, const ControlRequest& r, const std::wstring& text) {
  if (!WebViewAvailable()) return 0;
  return EnterChildControl(NewWindowOfKind(info, r.flags, text.empty() ? L"about:blank" : text), r.number,
                           info.controlKind);
}

//-----------------------------------------------------------------------------
// [SECTION] Control kinds: one row per element kind
//-----------------------------------------------------------------------------

static const DWORD kEditorStyle = ES_MULTILINE | ES_AUTOVSCROLL | ES_WANTRETURN | WS_VSCROLL | WS_TABSTOP;
static const DWORD kListBoxStyle = LBS_NOTIFY | LBS_HASSTRINGS | LBS_NOINTEGRALHEIGHT | WS_VSCROLL | WS_TABSTOP;
static const DWORD kListViewStyle = LVS_REPORT | LVS_SHAREIMAGELISTS | WS_TABSTOP;

// Columns: the kind; its window class (null: none, the runtime's own
// controls make their windows themselves and enter as the kind shown);
// whether the window is created with the element's text as its caption; the
// base styles (besides WS_CHILD | WS_VISIBLE) and extended styles; the styles
// its flags add; the kind of control it enters as; the procedure that
// creates it when the common way (the window, then entered as a control) is
// not enough. A row of no class and no procedure has no control.
static constexpr ControlKindInfo kControlKinds[NODE_KIND_COUNT] = {
  // kind                class                caption style                             exStyle           flag styles               control kind         create
    {NODE_WINDOW,        nullptr,             false,  0,                                0,                nullptr,                  CONTROL_UNKNOWN,     nullptr},
    {NODE_VBOX,          nullptr,             false,  0,                                0,                nullptr,                  CONTROL_UNKNOWN,     nullptr},
    {NODE_HBOX,          nullptr,             false,  0,                                0,                nullptr,                  CONTROL_UNKNOWN,     nullptr},
    {NODE_GRIDBOX,       nullptr,             false,  0,                                0,                nullptr,                  CONTROL_UNKNOWN,     nullptr},
    {NODE_MULTIBOX,      nullptr,             false,  0,                                0,                nullptr,                  CONTROL_UNKNOWN,     nullptr},
    {NODE_SINGLEBOX,     nullptr,             false,  0,                                0,                nullptr,                  CONTROL_UNKNOWN,     nullptr},
    {NODE_EMPTY,         nullptr,             false,  0,                                0,                nullptr,                  CONTROL_UNKNOWN,     nullptr},
    {NODE_CONTAINER,     nullptr,             false,  0,                                0,                nullptr,                  CONTROL_CONTAINER,   CreateContainerOf},
    {NODE_FRAME,         nullptr,             true,   0,                                0,                nullptr,                  CONTROL_FRAME,       CreateFrameOf},
    {NODE_CANVAS,        nullptr,             false,  0,                                0,                nullptr,                  CONTROL_CANVAS,      CreateCanvasForDescription},
    {NODE_SCROLLAREA,    nullptr,             false,  0,                                0,                nullptr,                  CONTROL_SCROLL_AREA, CreateScrollAreaOf},
    {NODE_PANEL,         nullptr,             false,  0,                                0,                nullptr,                  CONTROL_PANEL,       CreatePanelOf},
    {NODE_TAB,           nullptr,             false,  0,                                0,                nullptr,                  CONTROL_UNKNOWN,     nullptr},
    {NODE_SPLITTER,      nullptr,             false,  0,                                0,                nullptr,                  CONTROL_SPLITTER,    CreateSplitterOf},
    {NODE_BUTTON,        WC_BUTTONW,          true,   WS_TABSTOP,                       0,                kButtonFlagStyles,        CONTROL_BUTTON,      nullptr},
    {NODE_BUTTONIMAGE,   WC_BUTTONW,          true,   WS_TABSTOP | BS_BITMAP,           0,                kButtonFlagStyles,        CONTROL_BUTTON,      nullptr},
    {NODE_CHECKBOX,      WC_BUTTONW,          true,   WS_TABSTOP,                       0,                kCheckBoxFlagStyles,      CONTROL_CHECK_BOX,   nullptr},
    {NODE_OPTION,        WC_BUTTONW,          true,   BS_AUTORADIOBUTTON,               0,                nullptr,                  CONTROL_CHECK_BOX,   nullptr},
    {NODE_TEXT,          WC_STATICW,          true,   SS_NOPREFIX,                      0,                kTextFlagStyles,          CONTROL_STATIC_TEXT, nullptr},
    {NODE_STRING,        WC_EDITW,            true,   ES_AUTOHSCROLL | WS_TABSTOP,      0,                kStringFlagStyles,        CONTROL_TEXT_FIELD,  nullptr},
    {NODE_EDITOR,        WC_EDITW,            false,  kEditorStyle,                     WS_EX_CLIENTEDGE, kEditorFlagStyles,        CONTROL_TEXT_FIELD,  CreateEditor},
    {NODE_HYPERLINK,     nullptr,             true,   0,                                0,                nullptr,                  CONTROL_OTHER,       CreateHyperlinkOf},
    {NODE_IMAGE,         WC_STATICW,          false,  SS_BITMAP | SS_NOTIFY,            0,                kImageFlagStyles,         CONTROL_OTHER,       nullptr},
    {NODE_LISTVIEW,      WC_LISTBOXW,         false,  kListBoxStyle,                    WS_EX_CLIENTEDGE, kListViewFlagStyles,      CONTROL_LIST_BOX,    nullptr},
    {NODE_LISTICON,      WC_LISTVIEWW,        false,  kListViewStyle,                   WS_EX_CLIENTEDGE, kListIconFlagStyles,      CONTROL_LIST_VIEW,   CreateListIcon},
    {NODE_TREE,          WC_TREEVIEWW,        false,  WS_TABSTOP,                       WS_EX_CLIENTEDGE, kTreeFlagStyles,          CONTROL_TREE,        nullptr},
    {NODE_COMBOBOX,      WC_COMBOBOXW,        false,  WS_VSCROLL | WS_TABSTOP,          0,                kComboBoxFlagStyles,      CONTROL_COMBO_BOX,   CreateComboBox},
    {NODE_CALENDAR,      MONTHCAL_CLASSW,     false,  WS_TABSTOP,                       0,                kCalendarFlagStyles,      CONTROL_OTHER,       CreateCalendar},
    {NODE_DATE,          DATETIMEPICK_CLASSW, false,  WS_TABSTOP | DTS_SHORTDATEFORMAT, 0,                kDateFlagStyles,          CONTROL_DATE,        CreateDate},
    {NODE_SPIN,          nullptr,             true,   0,                                0,                nullptr,                  CONTROL_OTHER,       CreateSpinOf},
    {NODE_SCROLLBAR,     WC_SCROLLBARW,       false,  0,                                0,                kScrollBarFlagStyles,     CONTROL_SCROLL_BAR,  CreateScrollBar},
    {NODE_PROGRESSBAR,   PROGRESS_CLASSW,     false,  0,                                0,                kProgressBarFlagStyles,   CONTROL_OTHER,       CreateProgressBar},
    {NODE_TRACKBAR,      TRACKBAR_CLASSW,     false,  WS_TABSTOP,                       0,                kTrackBarFlagStyles,      CONTROL_TRACK_BAR,   CreateTrackBar},
    {NODE_SHORTCUT,      HOTKEY_CLASSW,       false,  WS_TABSTOP,                       0,                nullptr,                  CONTROL_OTHER,       nullptr},
    {NODE_IPADDRESS,     WC_IPADDRESSW,       false,  WS_TABSTOP,                       0,                nullptr,                  CONTROL_OTHER,       nullptr},
    {NODE_EXPLORERCOMBO, WC_COMBOBOXW,        false,  WS_VSCROLL | WS_TABSTOP,          0,                kExplorerComboFlagStyles, CONTROL_COMBO_BOX,   CreateExplorerCombo},
    {NODE_EXPLORERLIST,  WC_LISTVIEWW,        false,  kListViewStyle,                   0,                kExplorerListFlagStyles,  CONTROL_LIST_VIEW,   CreateExplorerList},
    {NODE_EXPLORERTREE,  WC_TREEVIEWW,        false,  WS_TABSTOP,                       0,                kExplorerTreeFlagStyles,  CONTROL_TREE,        CreateExplorerTree},
    {NODE_SCINTILLA,     L"Scintilla",        false,  WS_TABSTOP,                       WS_EX_CLIENTEDGE, nullptr,                  CONTROL_OTHER,       CreateScintilla},
    {NODE_WEB,           L"AtlAxWin",         true,   WS_TABSTOP,                       0,                nullptr,                  CONTROL_OTHER,       CreateWebView},
};

static constexpr bool RowsFollowTheKinds() {
  for (int k = 0; k < NODE_KIND_COUNT; k++)
    if (kControlKinds[k].kind != k) return false;
  return true;
}
static_assert(RowsFollowTheKinds(), "one row per NodeKind, in the order of the kinds");

static int CreateBareControl(const ControlRequest& r) {
  if (!ControlClassesReady() || !WindowExists(g_placement.window)) return 0;
  // An option after anything else starts a radio group, its first option the group's tab stop.
  bool groupStart = r.kind == NODE_OPTION && !g_placement.lastWasOption;
  g_placement.lastWasOption = r.kind == NODE_OPTION;
  if (r.kind < 0 || r.kind >= NODE_KIND_COUNT) return 0;
  const ControlKindInfo& info = kControlKinds[r.kind];
  std::wstring text = Utf8ToWide(r.text ? r.text : "");
  if (info.create) return info.create(info, r, text);
  if (!info.windowClass) return 0;
  HWND hwnd = NewWindowOfKind(info, r.flags, info.caption ? text : L"", groupStart ? WS_GROUP | WS_TABSTOP : 0);
  return EnterChildControl(hwnd, r.number, info.controlKind);
}

int CreateControlOfKind(const ControlRequest& r) {
  int control = CreateBareControl(r);
  // Not drawn yet: the font goes in without a redraw.
  if (control > 0 && FontExists(r.font))
    SendMessageW((HWND)ControlHandle(control), WM_SETFONT, (WPARAM)FontHandle(r.font), FALSE);
  return control;
}
