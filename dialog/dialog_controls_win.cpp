// The dialog platform's controls on Win32: for each element kind, the real
// control a description asks for (common controls version 6, the runtime's
// widgets and its canvas), created inside the open child list with the
// element's flags and values.
#include "runtime/win32_internal.h"  // windows.h first

#include <commctrl.h>

#include <string>
#include <vector>

#include "dialog/dialog_internal.h"
#include "dialog/description.h"
#include "dialog/element_flags.h"
#include "runtime/canvas.h"
#include "runtime/widgets.h"
#include "runtime/win_text.h"
#include "runtime/windows.h"

//-----------------------------------------------------------------------------
// Child windows
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
// What some controls start with
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
// The runtime's own controls
//-----------------------------------------------------------------------------

static int CreateContainerOfFlags(int number, uint32_t f) {
  int border = BORDER_NONE;
  if (f & Container_Double) border = BORDER_SUNKEN;
  else if (f & Container_Single) border = BORDER_THIN_SUNKEN;
  else if (f & Container_Raised) border = BORDER_RAISED;
  else if (f & Container_Flat) border = BORDER_LINE;
  return CreateContainerIn(number, NewControlParent(), border);
}

static int CreateFrameOfFlags(int number, const char* caption, uint32_t f) {
  uint32_t style = f & Frame_Flat;  // Frame_Flat is both bits of the others
  int line = style == Frame_Double   ? FRAME_ETCHED
             : style == Frame_Single ? FRAME_GRAY
             : style == Frame_Flat   ? FRAME_BLACK
                                     : FRAME_CAPTIONED;
  return CreateFrameIn(number, NewControlParent(), caption, line);
}

static int CreateScrollAreaOf(const ControlRequest& r) {
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

static int CreateSplitterOf(const ControlRequest& r) {
  SplitterSettings s;
  s.sideBySide = r.flags & Splitter_Vertical;
  s.separatorBar = r.flags & Splitter_Separator;
  s.secondFixed = r.flags & Splitter_SecondFixed;  // Splitter_FirstFixed is what happens anyway
  s.minimum[0] = r.firstMinimum == kAutoLength ? 0 : r.firstMinimum;
  s.minimum[1] = r.secondMinimum == kAutoLength ? 0 : r.secondMinimum;
  s.paneResized = DialogPaneResized;
  return CreateSplitterIn(r.number, NewControlParent(), s);
}

static int CreateSpinOf(const ControlRequest& r) {
  SpinSettings s;
  s.readOnly = r.flags & Spin_ReadOnly;
  s.numeric = r.flags & Spin_Numeric;
  s.minimum = r.minimum, s.maximum = r.maximum, s.value = r.value;
  return CreateSpinIn(r.number, NewControlParent(), s, r.text);
}

// The canvas of a description: the runtime's canvas control (runtime/canvas.h)
// with the element's flags (client edge for Canvas_Border, a tab stop with
// Canvas_Keyboard, a container with Canvas_Container), created inside the
// open child list. It registers itself; the layout places it afterwards.
static int CreateCanvasForDescription(int number, uint32_t flags) {
  return CreateCanvasIn(number, NewControlParent(), 0, 0, 1, 1, (int)flags);
}

//-----------------------------------------------------------------------------
// Every element kind
//-----------------------------------------------------------------------------

int CreateControlOfKind(const ControlRequest& r) {
  if (!ControlClassesReady() || !WindowExists(g_placement.window)) return 0;
  std::wstring text = Utf8ToWide(r.text ? r.text : "");
  uint32_t f = r.flags;
  bool option = r.kind == NODE_OPTION;
  bool groupStart = option && !g_placement.lastWasOption;
  g_placement.lastWasOption = option;
  HWND hwnd = nullptr;
  int kind = CONTROL_OTHER;
  switch (r.kind) {
    case NODE_CONTAINER:
      return CreateContainerOfFlags(r.number, f);
    case NODE_FRAME:
      return CreateFrameOfFlags(r.number, r.text, f);
    case NODE_CANVAS:
      return CreateCanvasForDescription(r.number, f);
    case NODE_SCROLLAREA:
      return CreateScrollAreaOf(r);
    case NODE_PANEL:
      return CreatePanelIn(r.number, NewControlParent());
    case NODE_SPLITTER:
      return CreateSplitterOf(r);
    case NODE_SPIN:
      return CreateSpinOf(r);
    case NODE_HYPERLINK:
      return CreateHyperlinkIn(r.number, NewControlParent(), r.text, r.color, f & HyperLink_Underline);
    case NODE_BUTTON:
    case NODE_BUTTONIMAGE: {
      DWORD style = WS_TABSTOP | (r.kind == NODE_BUTTONIMAGE ? BS_BITMAP : 0);
      if ((f & Button_Toggle) == Button_Toggle) style |= BS_PUSHLIKE | BS_AUTOCHECKBOX;
      else style |= (f & Button_Default) ? BS_DEFPUSHBUTTON : BS_PUSHBUTTON;
      if (f & Button_Right) style |= BS_RIGHT;
      if (f & Button_Left) style |= BS_LEFT;
      if (f & Button_MultiLine) style |= BS_MULTILINE;
      hwnd = CreateChild(0, WC_BUTTONW, text, style);
      kind = CONTROL_BUTTON;
      break;
    }
    case NODE_CHECKBOX: {
      // The alignment is the button's own two bits: BS_CENTER is BS_LEFT | BS_RIGHT.
      static_assert(CheckBox_Right == BS_RIGHT && CheckBox_Center == BS_CENTER, "check box alignment");
      DWORD style = WS_TABSTOP | ((f & CheckBox_ThreeState) == CheckBox_ThreeState ? BS_AUTO3STATE : BS_AUTOCHECKBOX) |
                    (f & CheckBox_Center);
      hwnd = CreateChild(0, WC_BUTTONW, text, style);
      kind = CONTROL_CHECK_BOX;
      break;
    }
    case NODE_OPTION:
      hwnd = CreateChild(0, WC_BUTTONW, text, BS_AUTORADIOBUTTON | (groupStart ? WS_GROUP | WS_TABSTOP : 0));
      kind = CONTROL_CHECK_BOX;
      break;
    case NODE_TEXT: {
      DWORD style = SS_NOPREFIX | ((f & Text_Center) ? SS_CENTER : (f & Text_Right) ? SS_RIGHT : SS_LEFT);
      hwnd = CreateChild((f & Text_Border) ? WS_EX_CLIENTEDGE : 0, WC_STATICW, text, style);
      kind = CONTROL_STATIC_TEXT;
      break;
    }
    case NODE_STRING: {
      DWORD style = ES_AUTOHSCROLL | WS_TABSTOP;
      if (f & String_Password) style |= ES_PASSWORD;
      if (f & String_ReadOnly) style |= ES_READONLY;
      if (f & String_Numeric) style |= ES_NUMBER;
      if (f & String_LowerCase) style |= ES_LOWERCASE;
      if (f & String_UpperCase) style |= ES_UPPERCASE;
      hwnd = CreateChild((f & String_BorderLess) ? 0 : WS_EX_CLIENTEDGE, WC_EDITW, text, style);
      kind = CONTROL_TEXT_FIELD;
      break;
    }
    case NODE_EDITOR: {
      DWORD style = ES_MULTILINE | ES_AUTOVSCROLL | ES_WANTRETURN | WS_VSCROLL | WS_TABSTOP |
                    ((f & Editor_ReadOnly) ? ES_READONLY : 0);
      if (!(f & Editor_WordWrap)) style |= ES_AUTOHSCROLL | WS_HSCROLL;
      hwnd = CreateChild(WS_EX_CLIENTEDGE, WC_EDITW, L"", style);
      if (hwnd) SetWindowTextW(hwnd, text.c_str());
      kind = CONTROL_TEXT_FIELD;
      break;
    }
    case NODE_IMAGE:
      hwnd = CreateChild((f & Image_Border) ? WS_EX_CLIENTEDGE : (f & Image_Raised) ? WS_EX_DLGMODALFRAME : 0,
                         WC_STATICW, L"", SS_BITMAP | SS_NOTIFY);
      break;
    case NODE_LISTVIEW:
      hwnd = CreateChild(WS_EX_CLIENTEDGE, WC_LISTBOXW, L"",
                         LBS_NOTIFY | LBS_HASSTRINGS | LBS_NOINTEGRALHEIGHT | WS_VSCROLL | WS_TABSTOP |
                             ((f & ListView_MultiSelect) ? LBS_EXTENDEDSEL : 0) |
                             ((f & ListView_ClickSelect) ? LBS_MULTIPLESEL : 0));
      kind = CONTROL_LIST_BOX;
      break;
    case NODE_LISTICON:
    case NODE_EXPLORERLIST: {
      bool explorer = r.kind == NODE_EXPLORERLIST;
      bool multi = explorer ? (f & Explorer_MultiSelect) : (f & ListIcon_MultiSelect);
      bool always = explorer ? (f & Explorer_AlwaysShowSelection) : (f & ListIcon_AlwaysShowSelection);
      bool border = !(explorer && (f & Explorer_BorderLess));
      hwnd = CreateChild(border ? WS_EX_CLIENTEDGE : 0, WC_LISTVIEWW, L"",
                         LVS_REPORT | LVS_SHAREIMAGELISTS | WS_TABSTOP | (multi ? 0 : LVS_SINGLESEL) |
                             (always ? LVS_SHOWSELALWAYS : 0));
      if (!hwnd) return 0;
      DWORD ex = 0;
      if (explorer) {
        if (f & Explorer_GridLines) ex |= LVS_EX_GRIDLINES;
        if (f & Explorer_HeaderDragDrop) ex |= LVS_EX_HEADERDRAGDROP;
        if (f & Explorer_FullRowSelect) ex |= LVS_EX_FULLROWSELECT;
        FillExplorerList(hwnd, text, f);
      } else {
        if (f & ListIcon_CheckBoxes) ex |= LVS_EX_CHECKBOXES;
        if (f & ListIcon_GridLines) ex |= LVS_EX_GRIDLINES;
        if (f & ListIcon_FullRowSelect) ex |= LVS_EX_FULLROWSELECT;
        if (f & ListIcon_HeaderDragDrop) ex |= LVS_EX_HEADERDRAGDROP;
        LVCOLUMNW column = {LVCF_TEXT | LVCF_WIDTH, 0, LogicalToDeviceX(300), &text[0]};
        ListView_InsertColumn(hwnd, 0, &column);
      }
      ListView_SetExtendedListViewStyle(hwnd, ex);
      kind = CONTROL_LIST_VIEW;
      break;
    }
    case NODE_TREE:
    case NODE_EXPLORERTREE: {
      bool explorer = r.kind == NODE_EXPLORERTREE;
      bool noLines = explorer ? (f & Explorer_NoLines) : (f & Tree_NoLines);
      bool noButtons = explorer ? (f & Explorer_NoButtons) : (f & Tree_NoButtons);
      bool always = explorer ? (f & Explorer_AlwaysShowSelection) : (f & Tree_AlwaysShowSelection);
      DWORD style = WS_TABSTOP | (noLines ? 0 : TVS_HASLINES | TVS_LINESATROOT) | (noButtons ? 0 : TVS_HASBUTTONS) |
                    (always ? TVS_SHOWSELALWAYS : 0) | (!explorer && (f & Tree_CheckBoxes) ? TVS_CHECKBOXES : 0);
      hwnd = CreateChild(explorer && (f & Explorer_BorderLess) ? 0 : WS_EX_CLIENTEDGE, WC_TREEVIEWW, L"", style);
      if (hwnd && explorer) FillExplorerTree(hwnd, text, f);
      kind = CONTROL_TREE;
      break;
    }
    case NODE_COMBOBOX:
    case NODE_EXPLORERCOMBO: {
      bool combo = r.kind == NODE_COMBOBOX;
      bool editable = combo ? (f & ComboBox_Editable) == ComboBox_Editable : (f & Explorer_Editable);
      DWORD style = WS_VSCROLL | WS_TABSTOP | (editable ? CBS_DROPDOWN | CBS_AUTOHSCROLL : CBS_DROPDOWNLIST);
      if (combo && (f & ComboBox_LowerCase)) style |= CBS_LOWERCASE;
      if (combo && (f & ComboBox_UpperCase)) style |= CBS_UPPERCASE;
      bool images = combo && (f & ComboBox_Image);
      hwnd = CreateChild(0, images ? WC_COMBOBOXEXW : WC_COMBOBOXW, L"", style);
      if (hwnd && r.kind == NODE_EXPLORERCOMBO) {
        for (const std::wstring& root : DriveRoots()) SendMessageW(hwnd, CB_ADDSTRING, 0, (LPARAM)root.c_str());
        if (!text.empty()) {
          LRESULT at = SendMessageW(hwnd, CB_FINDSTRINGEXACT, (WPARAM)-1, (LPARAM)text.c_str());
          if (at == CB_ERR) at = SendMessageW(hwnd, CB_ADDSTRING, 0, (LPARAM)text.c_str());
          SendMessageW(hwnd, CB_SETCURSEL, (WPARAM)at, 0);
        }
      }
      kind = CONTROL_COMBO_BOX;
      break;
    }
    case NODE_CALENDAR:
      hwnd = CreateChild(0, MONTHCAL_CLASSW, L"", WS_TABSTOP | ((f & Calendar_Borderless) ? 0 : WS_BORDER));
      if (hwnd) {
        SYSTEMTIME zero = DateZero();
        MonthCal_SetCurSel(hwnd, &zero);
      }
      break;
    case NODE_DATE:
      hwnd = CreateChild(0, DATETIMEPICK_CLASSW, L"",
                         WS_TABSTOP | DTS_SHORTDATEFORMAT | ((f & Date_UpDown) ? DTS_UPDOWN : 0) |
                             ((f & Date_CheckBox) ? DTS_SHOWNONE : 0));
      if (hwnd) {
        if (!text.empty()) SendMessageW(hwnd, DTM_SETFORMATW, 0, (LPARAM)text.c_str());
        SYSTEMTIME zero = DateZero();
        DateTime_SetSystemtime(hwnd, GDT_VALID, &zero);
      }
      kind = CONTROL_DATE;
      break;
    case NODE_SCROLLBAR: {
      hwnd = CreateChild(0, WC_SCROLLBARW, L"", (f & ScrollBar_Vertical) ? SBS_VERT : SBS_HORZ);
      if (hwnd) {
        SCROLLINFO info = {sizeof info, SIF_RANGE | SIF_PAGE | SIF_POS, r.minimum, r.maximum, (UINT)r.page, r.value};
        SetScrollInfo(hwnd, SB_CTL, &info, FALSE);
      }
      kind = CONTROL_SCROLL_BAR;
      break;
    }
    case NODE_PROGRESSBAR:
      hwnd = CreateChild(0, PROGRESS_CLASSW, L"", (f & ProgressBar_Smooth ? PBS_SMOOTH : 0) |
                                                 (f & ProgressBar_Vertical ? PBS_VERTICAL : 0));
      if (hwnd) {
        SendMessageW(hwnd, PBM_SETRANGE32, (WPARAM)r.minimum, (LPARAM)r.maximum);
        SendMessageW(hwnd, PBM_SETPOS, (WPARAM)r.value, 0);
      }
      break;
    case NODE_TRACKBAR:
      hwnd = CreateChild(0, TRACKBAR_CLASSW, L"",
                         WS_TABSTOP | (f & TrackBar_Ticks ? TBS_AUTOTICKS : TBS_NOTICKS) |
                             (f & TrackBar_Vertical ? TBS_VERT : TBS_HORZ));
      if (hwnd) {
        SendMessageW(hwnd, TBM_SETRANGEMIN, FALSE, (LPARAM)r.minimum);
        SendMessageW(hwnd, TBM_SETRANGEMAX, FALSE, (LPARAM)r.maximum);
        SendMessageW(hwnd, TBM_SETPOS, TRUE, (LPARAM)r.value);
      }
      kind = CONTROL_TRACK_BAR;
      break;
    case NODE_SHORTCUT:
      hwnd = CreateChild(0, HOTKEY_CLASSW, L"", WS_TABSTOP);
      break;
    case NODE_IPADDRESS:
      hwnd = CreateChild(0, WC_IPADDRESSW, L"", WS_TABSTOP);
      break;
    case NODE_SCINTILLA:
      if (!ScintillaAvailable()) return 0;
      hwnd = CreateChild(WS_EX_CLIENTEDGE, L"Scintilla", L"", WS_TABSTOP);
      break;
    case NODE_WEB:
      if (!WebViewAvailable()) return 0;
      hwnd = CreateChild(0, L"AtlAxWin", text.empty() ? L"about:blank" : text, WS_TABSTOP);
      break;
    default:
      return 0;
  }
  return EnterChildControl(hwnd, r.number, kind);
}
