// The dialog engine's platform on Win32: real controls of every element kind
// (common controls version 6), their required sizes from the system's text
// and edge metrics, the engine's own container, panel, splitter, scroll area,
// spin and hyperlink controls, and the window side of opening and resizing.
#include "runtime/win32_internal.h"  // windows.h first

#include <commctrl.h>

#include <string>
#include <unordered_map>
#include <vector>

#include "dialog/description.h"
#include "runtime/canvas.h"
#include "runtime/fonts.h"
#include "runtime/win_text.h"
#include "runtime/windows.h"

//-----------------------------------------------------------------------------
// Where new controls go
//-----------------------------------------------------------------------------

static int g_buildWindow = 0;           // the window whose controls are being created
static std::vector<HWND> g_openLists;   // open child lists, innermost last
static bool g_lastWasOption = false;    // an option after a non-option starts a radio group

static HWND CurrentParent() {
  return g_openLists.empty() ? (HWND)WindowHandle(g_buildWindow) : g_openLists.back();
}

static const wchar_t kContainerClass[] = L"TintvaneContainer";
static const wchar_t kPanelClass[] = L"TintvanePanel";
static const wchar_t kSplitterClass[] = L"TintvaneSplitter";
static const wchar_t kScrollAreaClass[] = L"TintvaneScrollArea";
static const wchar_t kSpinClass[] = L"TintvaneSpin";
static const wchar_t kHyperlinkClass[] = L"TintvaneHyperlink";

//-----------------------------------------------------------------------------
// Metrics: device pixels to logical units
//-----------------------------------------------------------------------------

static int EdgeX() { return GetSystemMetrics(SM_CXEDGE); }
static int EdgeY() { return GetSystemMetrics(SM_CYEDGE); }

// The extent of `text` in the control's font as the system draws it.
static SIZE TextExtent(HWND hwnd, const std::wstring& text, bool prefix) {
  SIZE size = {0, 0};
  HDC dc = GetDC(hwnd);
  if (!dc) return size;
  HFONT font = (HFONT)SendMessageW(hwnd, WM_GETFONT, 0, 0);
  HGDIOBJ old = SelectObject(dc, font ? (HGDIOBJ)font : GetStockObject(SYSTEM_FONT));
  TEXTMETRICW metrics;
  GetTextMetricsW(dc, &metrics);
  if (text.empty()) {
    size.cy = metrics.tmHeight;
  } else {
    RECT r = {0, 0, 0, 0};
    DrawTextW(dc, text.c_str(), -1, &r, DT_CALCRECT | (prefix ? 0 : DT_NOPREFIX));
    size.cx = r.right - r.left, size.cy = r.bottom - r.top;
  }
  SelectObject(dc, old);
  ReleaseDC(hwnd, dc);
  return size;
}

static std::wstring WindowText(HWND hwnd) {
  int n = GetWindowTextLengthW(hwnd);
  std::wstring text((size_t)n + 1, L'\0');
  GetWindowTextW(hwnd, &text[0], n + 1);
  text.resize((size_t)n);
  return text;
}

// The border a window's styles add around its client area, in pixels.
static SIZE FrameOf(HWND hwnd) {
  RECT r = {0, 0, 0, 0};
  AdjustWindowRectEx(&r, (DWORD)GetWindowLongW(hwnd, GWL_STYLE), FALSE, (DWORD)GetWindowLongW(hwnd, GWL_EXSTYLE));
  return SIZE{r.right - r.left, r.bottom - r.top};
}

//-----------------------------------------------------------------------------
// The engine's own control classes
//-----------------------------------------------------------------------------

static int ControlOfWindow(HWND hwnd) { return ControlNumberOf(hwnd); }

// Containers (also canvases, panel pages, splitter panes and scroll-area
// insides): their children's notifications become events wherever they sit.
static LRESULT CALLBACK ContainerProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  LRESULT result = 0;
  if (HandleChildNotification(hwnd, msg, wParam, lParam, &result)) return result;
  switch (msg) {
    case WM_RBUTTONUP:
      OfferRightClick(hwnd);
      break;
    case WM_SIZE:
      if (GetPropW(hwnd, L"TintvanePane"))
        DialogPaneResized(ControlOfWindow(hwnd), DeviceToLogicalX(LOWORD(lParam)), DeviceToLogicalY(HIWORD(lParam)));
      break;
  }
  return DefWindowProcW(hwnd, msg, wParam, lParam);
}

//--- Panel: a tab control whose pages are containers inside it.

static HWND PanelTabs(HWND panel) { return GetWindow(panel, GW_CHILD); }

static void ShowSelectedPage(HWND panel) {
  HWND tabs = PanelTabs(panel);
  if (!tabs) return;
  RECT display;
  GetClientRect(tabs, &display);
  TabCtrl_AdjustRect(tabs, FALSE, &display);
  int selected = TabCtrl_GetCurSel(tabs);
  for (HWND page = GetWindow(tabs, GW_CHILD); page; page = GetWindow(page, GW_HWNDNEXT)) {
    if (!GetPropW(page, L"TintvanePage")) continue;  // the tab control's own up-down
    int at = (int)(intptr_t)GetPropW(page, L"TintvanePage") - 1;
    SetWindowPos(page, nullptr, display.left, display.top, display.right - display.left,
                 display.bottom - display.top, SWP_NOZORDER | SWP_NOACTIVATE);
    ShowWindow(page, at == selected ? SW_SHOWNA : SW_HIDE);
  }
}

static LRESULT CALLBACK PanelProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  switch (msg) {
    case WM_SIZE:
      if (HWND tabs = PanelTabs(hwnd)) {
        MoveWindow(tabs, 0, 0, LOWORD(lParam), HIWORD(lParam), TRUE);
        ShowSelectedPage(hwnd);
      }
      return 0;
    case WM_SETFONT:
      if (HWND tabs = PanelTabs(hwnd)) SendMessageW(tabs, WM_SETFONT, wParam, lParam);
      return 0;
    case WM_NOTIFY:
      if (((NMHDR*)lParam)->code == TCN_SELCHANGE) {
        ShowSelectedPage(hwnd);
        OfferControlEvent(ControlOfWindow(hwnd), Changed, nullptr);
        return 0;
      }
      break;
  }
  return ContainerProc(hwnd, msg, wParam, lParam);
}

//--- Splitter: two pane containers and a separator the user drags.

struct SplitterState {
  HWND panes[2] = {nullptr, nullptr};
  int position = -1;           // first pane's length in pixels; -1 until the first size
  int minimum[2] = {0, 0};     // logical units
  int separator = 4;           // pixels
  bool sideBySide = false;
  bool secondFixed = false;    // on resizing, the second pane keeps its length (else the first does)
  int lastLength = 0;          // the main-axis length at the last layout
  bool dragging = false;
  int grab = 0;
};
static std::unordered_map<HWND, SplitterState> g_splitters;

static void LayOutSplitter(HWND hwnd) {
  auto it = g_splitters.find(hwnd);
  if (it == g_splitters.end()) return;
  SplitterState& s = it->second;
  RECT client;
  GetClientRect(hwnd, &client);
  int length = s.sideBySide ? client.right : client.bottom, cross = s.sideBySide ? client.bottom : client.right;
  int room = length - s.separator;
  if (s.position < 0) {
    if (room <= 0) return;  // not sized yet: the first real size splits it in half
    s.position = room / 2;
  } else if (s.secondFixed && s.lastLength) s.position += length - s.lastLength;
  s.lastLength = length;
  int low = s.sideBySide ? LogicalToDeviceX(s.minimum[0]) : LogicalToDeviceY(s.minimum[0]);
  int high = room - (s.sideBySide ? LogicalToDeviceX(s.minimum[1]) : LogicalToDeviceY(s.minimum[1]));
  if (s.position > high) s.position = high;
  if (s.position < low) s.position = low;
  if (s.position < 0) s.position = 0;
  int second = room - s.position;
  if (second < 0) second = 0;
  if (s.sideBySide) {
    MoveWindow(s.panes[0], 0, 0, s.position, cross, TRUE);
    MoveWindow(s.panes[1], s.position + s.separator, 0, second, cross, TRUE);
  } else {
    MoveWindow(s.panes[0], 0, 0, cross, s.position, TRUE);
    MoveWindow(s.panes[1], 0, s.position + s.separator, cross, second, TRUE);
  }
}

static LRESULT CALLBACK SplitterProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  auto it = g_splitters.find(hwnd);
  if (it != g_splitters.end()) {
    SplitterState& s = it->second;
    int at = s.sideBySide ? (short)LOWORD(lParam) : (short)HIWORD(lParam);
    switch (msg) {
      case WM_SIZE:
        LayOutSplitter(hwnd);
        return 0;
      case WM_SETCURSOR:
        if ((HWND)wParam == hwnd && LOWORD(lParam) == HTCLIENT) {
          SetCursor(LoadCursorW(nullptr, s.sideBySide ? IDC_SIZEWE : IDC_SIZENS));
          return TRUE;
        }
        break;
      case WM_LBUTTONDOWN:
        s.dragging = true;
        s.grab = at - s.position;
        SetCapture(hwnd);
        return 0;
      case WM_MOUSEMOVE:
        if (s.dragging) {
          s.position = at - s.grab;
          LayOutSplitter(hwnd);
        }
        return 0;
      case WM_LBUTTONUP:
      case WM_CAPTURECHANGED:
        if (s.dragging) {
          s.dragging = false;
          if (msg == WM_LBUTTONUP) ReleaseCapture();
          OfferControlEvent(ControlOfWindow(hwnd), Changed, nullptr);
        }
        return 0;
      case WM_PAINT: {
        PAINTSTRUCT ps;
        HDC dc = BeginPaint(hwnd, &ps);
        FillRect(dc, &ps.rcPaint, GetSysColorBrush(COLOR_BTNFACE));
        if (s.separator > 4) {
          RECT client, bar;
          GetClientRect(hwnd, &client);
          bar = client;
          if (s.sideBySide) bar.left = s.position, bar.right = s.position + s.separator;
          else bar.top = s.position, bar.bottom = s.position + s.separator;
          DrawEdge(dc, &bar, EDGE_RAISED, BF_RECT);
        }
        EndPaint(hwnd, &ps);
        return 0;
      }
      case WM_NCDESTROY:
        g_splitters.erase(it);
        break;
    }
  }
  return ContainerProc(hwnd, msg, wParam, lParam);
}

//--- Scroll area: an inner container moved by two scroll bars.

struct ScrollAreaState {
  HWND inner = nullptr;
  int innerW = 0, innerH = 0;  // pixels
  int step = 10;               // logical units
  int x = 0, y = 0;            // scroll position in pixels
  bool centre = false;
};
static std::unordered_map<HWND, ScrollAreaState> g_scrollAreas;

static void LayOutScrollArea(HWND hwnd) {
  auto it = g_scrollAreas.find(hwnd);
  if (it == g_scrollAreas.end()) return;
  ScrollAreaState& s = it->second;
  RECT client;
  GetClientRect(hwnd, &client);
  int axes[2][3] = {{SB_HORZ, s.innerW, client.right}, {SB_VERT, s.innerH, client.bottom}};
  int* pos[2] = {&s.x, &s.y};
  for (int a = 0; a < 2; a++) {
    int extra = axes[a][1] - axes[a][2];
    if (*pos[a] > extra) *pos[a] = extra;
    if (*pos[a] < 0) *pos[a] = 0;
    SCROLLINFO info = {sizeof info, SIF_RANGE | SIF_PAGE | SIF_POS, 0, axes[a][1] > 0 ? axes[a][1] - 1 : 0,
                       (UINT)(axes[a][2] > 0 ? axes[a][2] : 0), *pos[a]};
    SetScrollInfo(hwnd, axes[a][0], &info, TRUE);
  }
  int left = -s.x, top = -s.y;
  if (s.centre && s.innerW < client.right) left = (client.right - s.innerW) / 2;
  if (s.centre && s.innerH < client.bottom) top = (client.bottom - s.innerH) / 2;
  SetWindowPos(s.inner, nullptr, left, top, s.innerW, s.innerH, SWP_NOZORDER | SWP_NOACTIVATE);
}

static LRESULT CALLBACK ScrollAreaProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  auto it = g_scrollAreas.find(hwnd);
  if (it != g_scrollAreas.end()) {
    ScrollAreaState& s = it->second;
    switch (msg) {
      case WM_SIZE:
        LayOutScrollArea(hwnd);
        return 0;
      case WM_HSCROLL:
      case WM_VSCROLL:
        if (!lParam) {  // our own bars; child scroll bars are the children's business
          bool horizontal = msg == WM_HSCROLL;
          int& pos = horizontal ? s.x : s.y;
          int step = horizontal ? LogicalToDeviceX(s.step) : LogicalToDeviceY(s.step);
          SCROLLINFO info = {sizeof info, SIF_ALL};
          GetScrollInfo(hwnd, horizontal ? SB_HORZ : SB_VERT, &info);
          switch (LOWORD(wParam)) {
            case SB_LINEUP: pos -= step; break;
            case SB_LINEDOWN: pos += step; break;
            case SB_PAGEUP: pos -= (int)info.nPage; break;
            case SB_PAGEDOWN: pos += (int)info.nPage; break;
            case SB_THUMBTRACK: case SB_THUMBPOSITION: pos = info.nTrackPos; break;
          }
          LayOutScrollArea(hwnd);
          return 0;
        }
        break;
      case WM_NCDESTROY:
        g_scrollAreas.erase(it);
        break;
    }
  }
  return ContainerProc(hwnd, msg, wParam, lParam);
}

//--- Spin: a number field with up and down arrows.

static LRESULT CALLBACK SpinProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  HWND edit = GetWindow(hwnd, GW_CHILD);
  HWND arrows = edit ? GetWindow(edit, GW_HWNDNEXT) : nullptr;
  int control = ControlOfWindow(hwnd);
  switch (msg) {
    case WM_SIZE:
      if (edit && arrows) {
        int w = LOWORD(lParam), h = HIWORD(lParam), arrowW = GetSystemMetrics(SM_CXVSCROLL);
        if (arrowW > w) arrowW = w;
        MoveWindow(edit, 0, 0, w - arrowW, h, TRUE);
        MoveWindow(arrows, w - arrowW, 0, arrowW, h, TRUE);
      }
      return 0;
    case WM_SETFONT:
      if (edit) SendMessageW(edit, WM_SETFONT, wParam, lParam);
      return 0;
    case WM_GETFONT:
      return edit ? SendMessageW(edit, WM_GETFONT, 0, 0) : 0;
    case WM_SETTEXT:
      return edit ? SendMessageW(edit, WM_SETTEXT, wParam, lParam) : 0;
    case WM_GETTEXT:
      return edit ? SendMessageW(edit, WM_GETTEXT, wParam, lParam) : 0;
    case WM_GETTEXTLENGTH:
      return edit ? SendMessageW(edit, WM_GETTEXTLENGTH, 0, 0) : 0;
    case WM_COMMAND:
      if ((HWND)lParam == edit && control) {
        int code = HIWORD(wParam);
        if (code == EN_CHANGE) OfferControlEvent(control, Changed, nullptr);
        if (code == EN_SETFOCUS) OfferControlEvent(control, FocusGained, nullptr);
        if (code == EN_KILLFOCUS) OfferControlEvent(control, FocusLost, nullptr);
        return 0;
      }
      break;
    case WM_VSCROLL:
      if ((HWND)lParam == arrows && control) {
        OfferControlEvent(control, Changed, nullptr);
        return 0;
      }
      break;
  }
  return ContainerProc(hwnd, msg, wParam, lParam);
}

//--- Hyperlink: text in a colour of its own, underlined on request or under the pointer.

struct HyperlinkState {
  COLORREF color = RGB(0, 0, 255);
  bool underline = false, hover = false;
  HFONT font = nullptr, underlined = nullptr;
};
static std::unordered_map<HWND, HyperlinkState> g_hyperlinks;

static LRESULT CALLBACK HyperlinkProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  auto it = g_hyperlinks.find(hwnd);
  if (it == g_hyperlinks.end()) return DefWindowProcW(hwnd, msg, wParam, lParam);
  HyperlinkState& s = it->second;
  switch (msg) {
    case WM_SETFONT: {
      s.font = (HFONT)wParam;
      if (s.underlined) DeleteObject(s.underlined);
      LOGFONTW lf;
      s.underlined = GetObjectW(s.font ? (HGDIOBJ)s.font : GetStockObject(DEFAULT_GUI_FONT), sizeof lf, &lf)
                         ? (lf.lfUnderline = TRUE, CreateFontIndirectW(&lf)) : nullptr;
      if (lParam) InvalidateRect(hwnd, nullptr, TRUE);
      return 0;
    }
    case WM_GETFONT:
      return (LRESULT)s.font;
    case WM_SETTEXT: {
      LRESULT r = DefWindowProcW(hwnd, msg, wParam, lParam);
      InvalidateRect(hwnd, nullptr, TRUE);
      return r;
    }
    case WM_SETCURSOR:
      SetCursor(LoadCursorW(nullptr, IDC_HAND));
      return TRUE;
    case WM_MOUSEMOVE:
      if (!s.hover) {
        s.hover = true;
        TRACKMOUSEEVENT track = {sizeof track, TME_LEAVE, hwnd, 0};
        _TrackMouseEvent(&track);
        InvalidateRect(hwnd, nullptr, TRUE);
      }
      return 0;
    case WM_MOUSELEAVE:
      s.hover = false;
      InvalidateRect(hwnd, nullptr, TRUE);
      return 0;
    case WM_LBUTTONUP:
      OfferControlEvent(ControlOfWindow(hwnd), LeftClicked, nullptr);
      return 0;
    case WM_PAINT: {
      PAINTSTRUCT ps;
      HDC dc = BeginPaint(hwnd, &ps);
      RECT client;
      GetClientRect(hwnd, &client);
      FillRect(dc, &client, GetSysColorBrush(COLOR_BTNFACE));
      HFONT font = (s.underline || s.hover) && s.underlined ? s.underlined : s.font;
      HGDIOBJ old = SelectObject(dc, font ? (HGDIOBJ)font : GetStockObject(DEFAULT_GUI_FONT));
      SetBkMode(dc, TRANSPARENT);
      SetTextColor(dc, s.color);
      std::wstring text = WindowText(hwnd);
      DrawTextW(dc, text.c_str(), -1, &client, DT_NOPREFIX);
      SelectObject(dc, old);
      EndPaint(hwnd, &ps);
      return 0;
    }
    case WM_NCDESTROY:
      if (s.underlined) DeleteObject(s.underlined);
      g_hyperlinks.erase(it);
      break;
  }
  return DefWindowProcW(hwnd, msg, wParam, lParam);
}

// Frames draw only their lines; the parent clips them out of its own
// painting, so a frame fills its inside, below the controls it surrounds.
static LRESULT CALLBACK FrameSubclassProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam, UINT_PTR, DWORD_PTR) {
  if (msg == WM_ERASEBKGND) {
    RECT r;
    GetClientRect(hwnd, &r);
    FillRect((HDC)wParam, &r, GetSysColorBrush(COLOR_BTNFACE));
    return 1;
  }
  return DefSubclassProc(hwnd, msg, wParam, lParam);
}

static bool RegisterClassesOnce() {
  static bool done = false, ok = false;
  if (done) return ok;
  done = true;
  INITCOMMONCONTROLSEX controls = {sizeof controls,
                                   ICC_WIN95_CLASSES | ICC_DATE_CLASSES | ICC_USEREX_CLASSES | ICC_INTERNET_CLASSES |
                                       ICC_STANDARD_CLASSES | ICC_LINK_CLASS};
  InitCommonControlsEx(&controls);
  struct {
    const wchar_t* name;
    WNDPROC proc;
    int brush;  // system colour + 1, or 0 for white
    UINT style;
  } classes[] = {
      {kContainerClass, ContainerProc, COLOR_BTNFACE + 1, 0},
      {kPanelClass, PanelProc, COLOR_BTNFACE + 1, 0},
      {kSplitterClass, SplitterProc, COLOR_BTNFACE + 1, 0},
      {kScrollAreaClass, ScrollAreaProc, COLOR_BTNFACE + 1, 0},
      {kSpinClass, SpinProc, COLOR_BTNFACE + 1, 0},
      {kHyperlinkClass, HyperlinkProc, COLOR_BTNFACE + 1, 0},
  };
  ok = true;
  for (auto& c : classes) {
    WNDCLASSEXW wc = {sizeof wc};
    wc.style = c.style;
    wc.lpfnWndProc = c.proc;
    wc.hInstance = GetModuleHandleW(nullptr);
    wc.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    wc.hbrBackground = c.brush ? (HBRUSH)(intptr_t)c.brush : (HBRUSH)GetStockObject(WHITE_BRUSH);
    wc.lpszClassName = c.name;
    if (!RegisterClassExW(&wc) && GetLastError() != ERROR_CLASS_ALREADY_EXISTS) ok = false;
  }
  return ok;
}

//-----------------------------------------------------------------------------
// Creating controls
//-----------------------------------------------------------------------------

static HWND CreateChild(DWORD exStyle, const wchar_t* cls, const std::wstring& text, DWORD style,
                        HWND parent = nullptr) {
  return CreateWindowExW(exStyle, cls, text.c_str(), WS_CHILD | WS_VISIBLE | style, 0, 0, 0, 0,
                         parent ? parent : CurrentParent(), nullptr, GetModuleHandleW(nullptr), nullptr);
}

// Enters a created child as a control of the window being built, with the default font.
static int Enter(HWND hwnd, int number, int controlKind) {
  if (!hwnd) return 0;
  int control = RegisterControl(number, hwnd, g_buildWindow, controlKind);
  if (!control) {
    DestroyWindow(hwnd);
    return 0;
  }
  SendMessageW(hwnd, WM_SETFONT, (WPARAM)DefaultControlFont(), FALSE);
  return control;
}

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

static int CreateCanvasForDescription(int number, uint32_t flags);

static int CreateControlOfKind(const ControlRequest& r) {
  if (!RegisterClassesOnce() || !WindowExists(g_buildWindow)) return 0;
  std::wstring text = Utf8ToWide(r.text ? r.text : "");
  uint32_t f = r.flags;
  bool option = r.kind == NODE_OPTION;
  bool groupStart = option && !g_lastWasOption;
  g_lastWasOption = option;
  HWND hwnd = nullptr;
  int kind = CONTROL_OTHER;
  switch (r.kind) {
    case NODE_CONTAINER: {
      DWORD ex = WS_EX_CONTROLPARENT;
      DWORD style = WS_CLIPCHILDREN;
      if (f & 0x8) ex |= WS_EX_CLIENTEDGE;                     // Container_Double
      else if (f & 0x4) ex |= WS_EX_STATICEDGE;                // Container_Single
      else if (f & 0x2) ex |= WS_EX_DLGMODALFRAME;             // Container_Raised
      else if (f & 0x1) style |= WS_BORDER;                    // Container_Flat
      hwnd = CreateChild(ex, kContainerClass, L"", style);
      kind = CONTROL_CONTAINER;
      break;
    }
    case NODE_FRAME: {
      int style = f & 0x3;
      if (!style) hwnd = CreateChild(0, WC_BUTTONW, text, BS_GROUPBOX | WS_CLIPSIBLINGS);
      else hwnd = CreateChild(0, WC_STATICW, text, WS_CLIPSIBLINGS | (style == 1 ? SS_ETCHEDFRAME : style == 2 ? SS_GRAYFRAME : SS_BLACKFRAME));
      if (hwnd) SetWindowSubclass(hwnd, FrameSubclassProc, 0, 0);
      kind = CONTROL_FRAME;
      break;
    }
    case NODE_CANVAS:
      return CreateCanvasForDescription(r.number, f);
    case NODE_SCROLLAREA: {
      DWORD ex = WS_EX_CONTROLPARENT, style = WS_CLIPCHILDREN;
      if (r.scrolling != SCROLL_HORIZONTAL) style |= WS_VSCROLL;
      if (r.scrolling != SCROLL_VERTICAL) style |= WS_HSCROLL;
      if (f & 0x8) {}                                         // ScrollArea_BorderLess
      else if (f & 0x4) style |= WS_BORDER;                    // ScrollArea_Single
      else if (f & 0x2) ex |= WS_EX_DLGMODALFRAME;             // ScrollArea_Raised
      else if (f & 0x1) ex |= WS_EX_STATICEDGE;                // ScrollArea_Flat
      else ex |= WS_EX_CLIENTEDGE;
      hwnd = CreateChild(ex, kScrollAreaClass, L"", style);
      if (!hwnd) return 0;
      ScrollAreaState& s = g_scrollAreas[hwnd];
      s.inner = CreateChild(WS_EX_CONTROLPARENT, kContainerClass, L"", WS_CLIPCHILDREN, hwnd);
      s.innerW = r.innerWidth == kAutoLength ? 0 : LogicalToDeviceX(r.innerWidth);
      s.innerH = r.innerHeight == kAutoLength ? 0 : LogicalToDeviceY(r.innerHeight);
      s.step = r.step > 0 ? r.step : 1;
      s.centre = f & 0x10;
      LayOutScrollArea(hwnd);
      kind = CONTROL_SCROLL_AREA;
      break;
    }
    case NODE_PANEL: {
      hwnd = CreateChild(WS_EX_CONTROLPARENT, kPanelClass, L"", WS_CLIPCHILDREN);
      if (hwnd && !CreateChild(WS_EX_CONTROLPARENT, WC_TABCONTROLW, L"", WS_CLIPCHILDREN | WS_TABSTOP, hwnd)) {
        DestroyWindow(hwnd);
        return 0;
      }
      kind = CONTROL_PANEL;
      break;
    }
    case NODE_SPLITTER: {
      hwnd = CreateChild(WS_EX_CONTROLPARENT, kSplitterClass, L"", WS_CLIPCHILDREN);
      if (!hwnd) return 0;
      SplitterState& s = g_splitters[hwnd];
      s.sideBySide = f & 0x1;
      s.separator = f & 0x2 ? (s.sideBySide ? LogicalToDeviceX(7) : LogicalToDeviceY(7))
                            : (s.sideBySide ? LogicalToDeviceX(4) : LogicalToDeviceY(4));
      s.secondFixed = f & 0x8;  // Splitter_FirstFixed (0x4) is what happens anyway
      s.minimum[0] = r.firstMinimum == kAutoLength ? 0 : r.firstMinimum;
      s.minimum[1] = r.secondMinimum == kAutoLength ? 0 : r.secondMinimum;
      for (HWND& pane : s.panes) {
        pane = CreateChild(WS_EX_CONTROLPARENT, kContainerClass, L"", WS_CLIPCHILDREN, hwnd);
        if (pane) SetPropW(pane, L"TintvanePane", (HANDLE)1);
      }
      kind = CONTROL_SPLITTER;
      break;
    }
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
    case NODE_HYPERLINK:
      hwnd = CreateChild(0, kHyperlinkClass, text, 0);
      if (hwnd) {
        HyperlinkState& s = g_hyperlinks[hwnd];
        s.color = (COLORREF)(r.color & 0xFFFFFF);
        s.underline = f & 0x1;
      }
      break;
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
    case NODE_SPIN: {
      hwnd = CreateChild(WS_EX_CONTROLPARENT, kSpinClass, L"", WS_CLIPCHILDREN);
      if (!hwnd) return 0;
      bool numeric = f & 0x2;
      HWND edit = CreateChild(WS_EX_CLIENTEDGE, WC_EDITW, L"",
                              ES_AUTOHSCROLL | WS_TABSTOP | ((f & 0x1) ? ES_READONLY : 0) | (numeric ? ES_NUMBER : 0), hwnd);
      HWND arrows = CreateChild(0, UPDOWN_CLASSW, L"", UDS_ARROWKEYS | (numeric ? UDS_SETBUDDYINT | UDS_NOTHOUSANDS : 0), hwnd);
      if (!edit || !arrows) {
        DestroyWindow(hwnd);
        return 0;
      }
      SendMessageW(arrows, UDM_SETBUDDY, (WPARAM)edit, 0);
      SendMessageW(arrows, UDM_SETRANGE32, (WPARAM)r.minimum, (LPARAM)r.maximum);
      SendMessageW(arrows, UDM_SETPOS32, 0, (LPARAM)r.value);
      if (!text.empty()) SetWindowTextW(edit, text.c_str());
      break;
    }
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
  return Enter(hwnd, r.number, kind);
}

// The canvas of a description: the runtime's canvas control (runtime/canvas.h)
// with the element's flags (client edge for Canvas_Border, a tab stop with
// Canvas_Keyboard, a container with Canvas_Container), created inside the
// open child list. It registers itself; the layout places it afterwards.
static int CreateCanvasForDescription(int number, uint32_t flags) {
  return CreateCanvasIn(number, CurrentParent(), 0, 0, 1, 1, (int)flags);
}

//-----------------------------------------------------------------------------
// Required sizes
//-----------------------------------------------------------------------------

// S(v): a length at 96 pixels per inch on this screen, rounded to nearest.
static int ScaleX(int v) { return LogicalToDeviceX(v); }
static int ScaleY(int v) { return LogicalToDeviceY(v); }

// The control's required size in device pixels.
static SIZE RequiredPixels(HWND hwnd, int kind, uint32_t flags) {
  std::wstring text = WindowText(hwnd);
  int edgeW = 2 * EdgeX(), edgeH = 2 * EdgeY();
  int lineH = TextExtent(hwnd, L"Hg", false).cy;
  switch (kind) {
    case NODE_TEXT:
    case NODE_HYPERLINK: {
      SIZE s = TextExtent(hwnd, text, false);
      if (kind == NODE_TEXT && (flags & kTextBorderFlag)) return SIZE{s.cx + edgeW, s.cy + edgeH};
      return SIZE{s.cx + 2, s.cy + 2};
    }
    case NODE_STRING:
    case NODE_SHORTCUT:
      return SIZE{edgeW, lineH + edgeH};
    case NODE_BUTTON: {
      SIZE s = TextExtent(hwnd, text, true);
      int w = s.cx + ScaleX(edgeW + 10), h = s.cy + ScaleY(edgeH);
      if (h >= ScaleY(18) && h < ScaleY(24)) {
        h = (int)(h * 1.27);
        if (h > ScaleY(24)) h = ScaleY(24);
      }
      return SIZE{w, h};
    }
    case NODE_CHECKBOX:
    case NODE_OPTION: {
      SIZE s = TextExtent(hwnd, text, true);
      int box = GetSystemMetrics(SM_CXMENUCHECK);
      return SIZE{s.cx + box + ScaleX(6), (s.cy > box ? s.cy : box) + 2};
    }
    case NODE_BUTTONIMAGE:
      return SIZE{edgeW + ScaleX(4), edgeH + ScaleY(4)};
    case NODE_IMAGE:
      return FrameOf(hwnd);
    case NODE_COMBOBOX:
    case NODE_EXPLORERCOMBO: {
      int item = (int)SendMessageW(hwnd, CB_GETITEMHEIGHT, (WPARAM)-1, 0);
      return SIZE{edgeW + GetSystemMetrics(SM_CXVSCROLL) + ScaleX(8), (item > 0 ? item : lineH) + edgeH + 2};
    }
    case NODE_CALENDAR: {
      RECT r = {0, 0, 0, 0};
      MonthCal_GetMinReqRect(hwnd, &r);
      SIZE frame = FrameOf(hwnd);
      return SIZE{r.right - r.left + frame.cx, r.bottom - r.top + frame.cy};
    }
    case NODE_DATE: {
      SIZE s = TextExtent(hwnd, L"00/00/0000", false);
      return SIZE{s.cx + edgeW + GetSystemMetrics(SM_CXVSCROLL) + ScaleX(8), lineH + edgeH + 2};
    }
    case NODE_SPIN:
      return SIZE{edgeW + GetSystemMetrics(SM_CXVSCROLL), lineH + edgeH};
    case NODE_IPADDRESS: {
      SIZE s = TextExtent(hwnd, L"000.000.000.000", false);
      return SIZE{s.cx + edgeW + ScaleX(8), lineH + edgeH};
    }
    default:  // canvases and the rest: no measure of their own
      return SIZE{0, 0};
  }
}

static void RequiredSize(int control, int kind, uint32_t flags, int* w, int* h) {
  *w = *h = 0;
  HWND hwnd = (HWND)ControlHandle(control);
  if (!hwnd) return;
  SIZE s = RequiredPixels(hwnd, kind, flags);
  *w = DeviceToLogicalX(s.cx);
  *h = DeviceToLogicalY(s.cy);
}

static void ListRowMetrics(int control, int* rowHeight, int* frame) {
  HWND hwnd = (HWND)ControlHandle(control);
  LRESULT row = hwnd ? SendMessageW(hwnd, LB_GETITEMHEIGHT, 0, 0) : 0;
  *rowHeight = row > 0 && row != LB_ERR ? DeviceToLogicalY((int)row) : 0;
  *frame = DeviceToLogicalY(2 * EdgeY());
}

static int ThinBorderWidth() { return DeviceToLogicalX(GetSystemMetrics(SM_CXBORDER)); }

static int CaptionHeight(int frame) {
  HWND hwnd = (HWND)ControlHandle(frame);
  if (!hwnd) return 0;
  std::wstring caption = WindowText(hwnd);
  return caption.empty() ? 0 : DeviceToLogicalY(TextExtent(hwnd, caption, true).cy);
}

static int PanelTabHeight(int panel) {
  HWND tabs = PanelTabs((HWND)ControlHandle(panel));
  if (!tabs) return 0;
  RECT item;
  if (TabCtrl_GetItemCount(tabs) > 0 && TabCtrl_GetItemRect(tabs, 0, &item)) return DeviceToLogicalY(item.bottom);
  return DeviceToLogicalY(TextExtent(tabs, L"Hg", false).cy + ScaleY(6));
}

static void PanelPageSize(int panel, int* w, int* h) {
  *w = *h = 0;
  HWND tabs = PanelTabs((HWND)ControlHandle(panel));
  if (!tabs) return;
  RECT display;
  GetClientRect(tabs, &display);
  TabCtrl_AdjustRect(tabs, FALSE, &display);
  *w = DeviceToLogicalX(display.right > display.left ? display.right - display.left : 0);
  *h = DeviceToLogicalY(display.bottom > display.top ? display.bottom - display.top : 0);
}

//-----------------------------------------------------------------------------
// Child lists, pages, panes
//-----------------------------------------------------------------------------

// The window a control's children go into.
static HWND ListHandleOf(int control) {
  HWND hwnd = (HWND)ControlHandle(control);
  auto area = g_scrollAreas.find(hwnd);
  return area != g_scrollAreas.end() ? area->second.inner : hwnd;
}

static void OpenChildList(int control) {
  HWND list = ListHandleOf(control);
  g_openLists.push_back(list ? list : CurrentParent());
  g_lastWasOption = false;
}

static void CloseChildList() {
  if (!g_openLists.empty()) g_openLists.pop_back();
  g_lastWasOption = false;
}

// A static text created and freed at once ends the radio group in progress.
static void EndRadioGroup() {
  HWND stop = CreateChild(0, WC_STATICW, L"", WS_GROUP);
  if (stop) DestroyWindow(stop);
  g_lastWasOption = false;
}

static int AddPanelPage(int panel, const char* title) {
  HWND tabs = PanelTabs((HWND)ControlHandle(panel));
  if (!tabs) return 0;
  std::wstring text = Utf8ToWide(title ? title : "");
  TCITEMW item = {TCIF_TEXT};
  item.pszText = &text[0];
  int index = TabCtrl_InsertItem(tabs, TabCtrl_GetItemCount(tabs), &item);
  if (index < 0) return 0;
  HWND page = CreateChild(WS_EX_CONTROLPARENT, kContainerClass, L"", WS_CLIPCHILDREN, tabs);
  if (!page) return 0;
  SetPropW(page, L"TintvanePage", (HANDLE)(intptr_t)(index + 1));
  ShowSelectedPage((HWND)ControlHandle(panel));
  return Enter(page, kAutoNumber, CONTROL_CONTAINER);
}

static int SplitterPane(int splitter, int pane) {
  auto it = g_splitters.find((HWND)ControlHandle(splitter));
  if (it == g_splitters.end() || pane < 0 || pane > 1 || !it->second.panes[pane]) return 0;
  HWND hwnd = it->second.panes[pane];
  int known = ControlNumberOf(hwnd);
  return known ? known : Enter(hwnd, kAutoNumber, CONTROL_CONTAINER);
}

static void SetSplitterMinimum(int splitter, int pane, int minimum) {
  HWND hwnd = (HWND)ControlHandle(splitter);
  auto it = g_splitters.find(hwnd);
  if (it == g_splitters.end() || pane < 0 || pane > 1) return;
  it->second.minimum[pane] = minimum;
  LayOutSplitter(hwnd);
}

static void SplitterPaneSize(int splitter, int pane, int* w, int* h) {
  *w = *h = 0;
  auto it = g_splitters.find((HWND)ControlHandle(splitter));
  RECT r;
  if (it == g_splitters.end() || pane < 0 || pane > 1 || !GetClientRect(it->second.panes[pane], &r)) return;
  *w = DeviceToLogicalX(r.right), *h = DeviceToLogicalY(r.bottom);
}

static void SetScrollAreaInnerSize(int control, int w, int h) {
  HWND hwnd = (HWND)ControlHandle(control);
  auto it = g_scrollAreas.find(hwnd);
  if (it == g_scrollAreas.end()) return;
  if (w != kAutoLength) it->second.innerW = LogicalToDeviceX(w > 0 ? w : 0);
  if (h != kAutoLength) it->second.innerH = LogicalToDeviceY(h > 0 ? h : 0);
  LayOutScrollArea(hwnd);
}

//-----------------------------------------------------------------------------
// Windows and the rest of the platform table
//-----------------------------------------------------------------------------

// Window flags of a description to the windowing layer's flags.
static int WindowFlagsOf(uint32_t f) {
  int flags = 0;
  if (f & 0x80000) flags |= WINDOW_SYSTEM_MENU;
  if (f & 0x20000) flags |= WINDOW_MINIMIZE_BUTTON;
  if (f & 0x10000) flags |= WINDOW_MAXIMIZE_BUTTON;
  if (f & 0x40000) flags |= WINDOW_SIZEABLE;
  if (f & 0xC00000) flags |= WINDOW_TITLE_BAR;
  if (f & 0x4) flags |= WINDOW_TOOL;
  if (f & 0x80000000) flags |= WINDOW_BORDERLESS;
  if (f & 0x1) flags |= WINDOW_SCREEN_CENTERED;
  if (f & 0x2) flags |= WINDOW_WINDOW_CENTERED;
  if (f & 0x2000000) flags |= WINDOW_NO_ACTIVATE;
  if (f & 0x10000000) flags |= WINDOW_INVISIBLE;
  return flags;
}

static int OpenDialogWindow(int number, int x, int y, int w, int h, const char* title, uint32_t flags, int parent) {
  if (!RegisterClassesOnce()) return 0;
  int window = OpenWindow(number == -1 ? kAutoNumber : number, x, y, w, h, title, WindowFlagsOf(flags), parent);
  if (window <= 0) return 0;
  SetWindowSizeHandler(window, DialogWindowResized);
  g_buildWindow = window;
  g_openLists.clear();
  g_lastWasOption = false;
  return window;
}

static void InnerSize(int window, int* w, int* h) {
  *w = WindowInnerWidth(window);
  *h = WindowInnerHeight(window);
}

static void ResizeDialogWindow(int window, int w, int h) { ResizeWindowTo(window, kIgnore, kIgnore, w, h); }

static int BoundOrIgnore(int v) { return v == kAutoLength ? kIgnore : v; }

static void SetDialogWindowBounds(int window, int minW, int minH, int maxW, int maxH) {
  SetWindowBounds(window, BoundOrIgnore(minW), BoundOrIgnore(minH), BoundOrIgnore(maxW), BoundOrIgnore(maxH));
}

static void ShowDialogWindow(int window) { HideWindow(window, false); }

static void Disable(int control) { DisableControl(control, true); }

static void BindEvent(int control, int type, intptr_t procedure) {
  BindControlEvent(control, type, (void (*)(const WindowEvent&))procedure);
}

static void ResizeDialogControl(int control, int x, int y, int w, int h) {
  ResizeControl(control, x, y, w > 0 ? w : 0, h > 0 ? h : 0);
  // Frames lie under the controls they surround.
  if (ControlKindOf(control) == CONTROL_FRAME)
    SetWindowPos((HWND)ControlHandle(control), HWND_BOTTOM, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
}

static const DialogPlatform kWin32Platform = {
    OpenDialogWindow, CloseWindow,        InnerSize,          ResizeDialogWindow, SetDialogWindowBounds,
    CenterWindow,     ShowDialogWindow,   CreateControlOfKind, OpenChildList,     CloseChildList,
    EndRadioGroup,    AddPanelPage,       SplitterPane,       Disable,            HideControl,
    SetControlText,   BindEvent,          ResizeDialogControl, RequiredSize,      ListRowMetrics,
    ThinBorderWidth,  CaptionHeight,      PanelTabHeight,     PanelPageSize,      SetScrollAreaInnerSize,
    SetSplitterMinimum, SplitterPaneSize,
};

int NewDialog(int number) { return NewDialogOn(&kWin32Platform, number); }
