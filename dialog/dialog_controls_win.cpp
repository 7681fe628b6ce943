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
      if (parent && (flags & 0x2)) continue;              // Explorer_NoParentFolder
      if (e.folder && !parent && (flags & 0x4)) continue;  // Explorer_NoFolders
      if (!e.folder && (flags & 0x1)) continue;            // Explorer_NoFiles
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
      if (e.name != L".." && (e.folder || !(flags & 0x1))) names.push_back(e.name);  // Explorer_NoFiles
  for (std::wstring& name : names) {
    TVINSERTSTRUCTW insert = {TVI_ROOT, TVI_LAST};
    insert.item.mask = TVIF_TEXT;
    insert.item.pszText = &name[0];
    TreeView_InsertItem(tree, &insert);
  }
}

// The source-code editor comes from "Scintilla.dll", when it can be loaded.
static bool ScintillaAvailable() {
  static int state = 0;  // 0 unknown, 1 loaded, -1 missing
  if (!state) state = LoadLibraryW(L"Scintilla.dll") ? 1 : -1;
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
    HMODULE ole = LoadLibraryW(L"ole32.dll"), atl = LoadLibraryW(L"atl.dll");
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
  if (f & 0x8) border = BORDER_SUNKEN;            // Container_Double
  else if (f & 0x4) border = BORDER_THIN_SUNKEN;  // Container_Single
  else if (f & 0x2) border = BORDER_RAISED;       // Container_Raised
  else if (f & 0x1) border = BORDER_LINE;         // Container_Flat
  return CreateContainerIn(number, NewControlParent(), border);
}

static int CreateFrameOfFlags(int number, const char* caption, uint32_t f) {
  int style = f & 0x3;
  int line = style == 0 ? FRAME_CAPTIONED : style == 1 ? FRAME_ETCHED : style == 2 ? FRAME_GRAY : FRAME_BLACK;
  return CreateFrameIn(number, NewControlParent(), caption, line);
}

static int CreateScrollAreaOf(const ControlRequest& r) {
  uint32_t f = r.flags;
  ScrollAreaSettings s;
  s.verticalBar = r.scrolling != SCROLL_HORIZONTAL;
  s.horizontalBar = r.scrolling != SCROLL_VERTICAL;
  if (f & 0x8) s.border = BORDER_NONE;               // ScrollArea_BorderLess
  else if (f & 0x4) s.border = BORDER_LINE;          // ScrollArea_Single
  else if (f & 0x2) s.border = BORDER_RAISED;        // ScrollArea_Raised
  else if (f & 0x1) s.border = BORDER_THIN_SUNKEN;   // ScrollArea_Flat
  else s.border = BORDER_SUNKEN;
  s.innerWidth = r.innerWidth == kAutoLength ? 0 : r.innerWidth;
  s.innerHeight = r.innerHeight == kAutoLength ? 0 : r.innerHeight;
  s.step = r.step;
  s.center = f & 0x10;
  return CreateScrollAreaIn(r.number, NewControlParent(), s);
}

static int CreateSplitterOf(const ControlRequest& r) {
  SplitterSettings s;
  s.sideBySide = r.flags & 0x1;
  s.separatorBar = r.flags & 0x2;
  s.secondFixed = r.flags & 0x8;  // Splitter_FirstFixed (0x4) is what happens anyway
  s.minimum[0] = r.firstMinimum == kAutoLength ? 0 : r.firstMinimum;
  s.minimum[1] = r.secondMinimum == kAutoLength ? 0 : r.secondMinimum;
  s.paneResized = DialogPaneResized;
  return CreateSplitterIn(r.number, NewControlParent(), s);
}

static int CreateSpinOf(const ControlRequest& r) {
  SpinSettings s;
  s.readOnly = r.flags & 0x1;
  s.numeric = r.flags & 0x2;
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
      return CreateHyperlinkIn(r.number, NewControlParent(), r.text, r.color, f & 0x1);
    case NODE_BUTTON:
    case NODE_BUTTONIMAGE: {
      DWORD style = WS_TABSTOP | (r.kind == NODE_BUTTONIMAGE ? BS_BITMAP : 0);
      if ((f & 0x1003) == 0x1003) style |= BS_PUSHLIKE | BS_AUTOCHECKBOX;  // Button_Toggle
      else style |= (f & 0x1) ? BS_DEFPUSHBUTTON : BS_PUSHBUTTON;
      style |= f & (BS_RIGHT | BS_LEFT | BS_MULTILINE);
      hwnd = CreateChild(0, WC_BUTTONW, text, style);
      kind = CONTROL_BUTTON;
      break;
    }
    case NODE_CHECKBOX: {
      DWORD style = WS_TABSTOP | ((f & 0x5) == 0x5 ? BS_AUTO3STATE : BS_AUTOCHECKBOX) | (f & 0x300);
      hwnd = CreateChild(0, WC_BUTTONW, text, style);
      kind = CONTROL_CHECK_BOX;
      break;
    }
    case NODE_OPTION:
      hwnd = CreateChild(0, WC_BUTTONW, text, BS_AUTORADIOBUTTON | (groupStart ? WS_GROUP | WS_TABSTOP : 0));
      kind = CONTROL_CHECK_BOX;
      break;
    case NODE_TEXT: {
      DWORD style = SS_NOPREFIX | ((f & 0x1) ? SS_CENTER : (f & 0x2) ? SS_RIGHT : SS_LEFT);
      hwnd = CreateChild((f & 0x20000) ? WS_EX_CLIENTEDGE : 0, WC_STATICW, text, style);
      kind = CONTROL_STATIC_TEXT;
      break;
    }
    case NODE_STRING: {
      DWORD style = ES_AUTOHSCROLL | WS_TABSTOP | (f & (ES_PASSWORD | ES_READONLY | ES_NUMBER | ES_LOWERCASE | ES_UPPERCASE));
      hwnd = CreateChild((f & 0x20000) ? 0 : WS_EX_CLIENTEDGE, WC_EDITW, text, style);
      kind = CONTROL_TEXT_FIELD;
      break;
    }
    case NODE_EDITOR: {
      DWORD style = ES_MULTILINE | ES_AUTOVSCROLL | ES_WANTRETURN | WS_VSCROLL | WS_TABSTOP | (f & ES_READONLY);
      if (!(f & 0x10000000)) style |= ES_AUTOHSCROLL | WS_HSCROLL;  // without Editor_WordWrap
      hwnd = CreateChild(WS_EX_CLIENTEDGE, WC_EDITW, L"", style);
      if (hwnd) SetWindowTextW(hwnd, text.c_str());
      kind = CONTROL_TEXT_FIELD;
      break;
    }
    case NODE_IMAGE:
      hwnd = CreateChild((f & 0x200) ? WS_EX_CLIENTEDGE : (f & 0x1) ? WS_EX_DLGMODALFRAME : 0, WC_STATICW, L"",
                         SS_BITMAP | SS_NOTIFY);
      break;
    case NODE_LISTVIEW:
      hwnd = CreateChild(WS_EX_CLIENTEDGE, WC_LISTBOXW, L"",
                         LBS_NOTIFY | LBS_HASSTRINGS | LBS_NOINTEGRALHEIGHT | WS_VSCROLL | WS_TABSTOP |
                             (f & (LBS_EXTENDEDSEL | LBS_MULTIPLESEL)));
      kind = CONTROL_LIST_BOX;
      break;
    case NODE_LISTICON:
    case NODE_EXPLORERLIST: {
      bool explorer = r.kind == NODE_EXPLORERLIST;
      bool multi = explorer ? (f & 0x200000) : (f & 0x4);
      bool always = explorer ? (f & 0x1000000) : (f & 0x8);
      bool border = !(explorer && (f & 0x100000));
      hwnd = CreateChild(border ? WS_EX_CLIENTEDGE : 0, WC_LISTVIEWW, L"",
                         LVS_REPORT | LVS_SHAREIMAGELISTS | WS_TABSTOP | (multi ? 0 : LVS_SINGLESEL) |
                             (always ? LVS_SHOWSELALWAYS : 0));
      if (!hwnd) return 0;
      DWORD ex = 0;
      if (explorer) {
        if (f & 0x400000) ex |= LVS_EX_GRIDLINES;
        if (f & 0x800000) ex |= LVS_EX_HEADERDRAGDROP;
        if (f & 0x2000000) ex |= LVS_EX_FULLROWSELECT;
        FillExplorerList(hwnd, text, f);
      } else {
        if (f & 0x1) ex |= LVS_EX_CHECKBOXES;
        if (f & 0x10000) ex |= LVS_EX_GRIDLINES;
        if (f & 0x40000000) ex |= LVS_EX_FULLROWSELECT;
        if (f & 0x10000000) ex |= LVS_EX_HEADERDRAGDROP;
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
      bool noLines = explorer ? (f & 0x4000000) : (f & 0x2);
      bool noButtons = explorer ? (f & 0x8000000) : (f & 0x1);
      bool always = explorer ? (f & 0x1000000) : (f & 0x20);
      DWORD style = WS_TABSTOP | (noLines ? 0 : TVS_HASLINES | TVS_LINESATROOT) | (noButtons ? 0 : TVS_HASBUTTONS) |
                    (always ? TVS_SHOWSELALWAYS : 0) | (!explorer && (f & 0x100) ? TVS_CHECKBOXES : 0);
      hwnd = CreateChild(explorer && (f & 0x100000) ? 0 : WS_EX_CLIENTEDGE, WC_TREEVIEWW, L"", style);
      if (hwnd && explorer) FillExplorerTree(hwnd, text, f);
      kind = CONTROL_TREE;
      break;
    }
    case NODE_COMBOBOX:
    case NODE_EXPLORERCOMBO: {
      bool editable = r.kind == NODE_COMBOBOX ? (f & 0x42) == 0x42 : (f & 0x100);
      DWORD style = WS_VSCROLL | WS_TABSTOP | (editable ? CBS_DROPDOWN | CBS_AUTOHSCROLL : CBS_DROPDOWNLIST);
      if (r.kind == NODE_COMBOBOX) style |= f & (CBS_LOWERCASE | CBS_UPPERCASE);
      bool images = r.kind == NODE_COMBOBOX && (f & 0x10000000);
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
      hwnd = CreateChild(0, MONTHCAL_CLASSW, L"", WS_TABSTOP | ((f & 0x800000) ? 0 : WS_BORDER));
      if (hwnd) {
        SYSTEMTIME zero = DateZero();
        MonthCal_SetCurSel(hwnd, &zero);
      }
      break;
    case NODE_DATE:
      hwnd = CreateChild(0, DATETIMEPICK_CLASSW, L"",
                         WS_TABSTOP | DTS_SHORTDATEFORMAT | ((f & 0x1) ? DTS_UPDOWN : 0) | ((f & 0x2) ? DTS_SHOWNONE : 0));
      if (hwnd) {
        if (!text.empty()) SendMessageW(hwnd, DTM_SETFORMATW, 0, (LPARAM)text.c_str());
        SYSTEMTIME zero = DateZero();
        DateTime_SetSystemtime(hwnd, GDT_VALID, &zero);
      }
      kind = CONTROL_DATE;
      break;
    case NODE_SCROLLBAR: {
      hwnd = CreateChild(0, WC_SCROLLBARW, L"", (f & 0x1) ? SBS_VERT : SBS_HORZ);
      if (hwnd) {
        SCROLLINFO info = {sizeof info, SIF_RANGE | SIF_PAGE | SIF_POS, r.minimum, r.maximum, (UINT)r.page, r.value};
        SetScrollInfo(hwnd, SB_CTL, &info, FALSE);
      }
      kind = CONTROL_SCROLL_BAR;
      break;
    }
    case NODE_PROGRESSBAR:
      hwnd = CreateChild(0, PROGRESS_CLASSW, L"", (f & 0x1 ? PBS_SMOOTH : 0) | (f & 0x4 ? PBS_VERTICAL : 0));
      if (hwnd) {
        SendMessageW(hwnd, PBM_SETRANGE32, (WPARAM)r.minimum, (LPARAM)r.maximum);
        SendMessageW(hwnd, PBM_SETPOS, (WPARAM)r.value, 0);
      }
      break;
    case NODE_TRACKBAR:
      hwnd = CreateChild(0, TRACKBAR_CLASSW, L"",
                         WS_TABSTOP | (f & 0x1 ? TBS_AUTOTICKS : TBS_NOTICKS) | (f & 0x2 ? TBS_VERT : TBS_HORZ));
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
