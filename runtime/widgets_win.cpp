// The runtime's own widgets on Win32: window classes for the container, the
// panel, the splitter, the scroll area, the spin field and the hyperlink,
// the subclass that lets a frame fill its inside, and the creation and
// queries of each.
//
// Index of this file:
// [SECTION] Controls in general
// [SECTION] Container
// [SECTION] Frame
// [SECTION] Panel
// [SECTION] Splitter
// [SECTION] Scroll area
// [SECTION] Spin
// [SECTION] Hyperlink
// [SECTION] Window classes
#include "runtime/win32_internal.h"  // windows.h first

#include <commctrl.h>

#include <string>
#include <unordered_map>

#include "runtime/fonts.h"
#include "runtime/widgets.h"
#include "runtime/win_text.h"
#include "runtime/windowing.h"

static const wchar_t kContainerClass[] = L"TintvaneContainer";
static const wchar_t kPanelClass[] = L"TintvanePanel";
static const wchar_t kSplitterClass[] = L"TintvaneSplitter";
static const wchar_t kScrollAreaClass[] = L"TintvaneScrollArea";
static const wchar_t kSpinClass[] = L"TintvaneSpin";
static const wchar_t kHyperlinkClass[] = L"TintvaneHyperlink";

//-----------------------------------------------------------------------------
// [SECTION] Controls in general
//-----------------------------------------------------------------------------

static HWND CreateChild(HWND parent, DWORD exStyle, const wchar_t* cls, const std::wstring& text, DWORD style) {
  return CreateWindowExW(exStyle, cls, text.c_str(), WS_CHILD | WS_VISIBLE | style, 0, 0, 0, 0, parent, nullptr,
                         GetModuleHandleW(nullptr), nullptr);
}

static int ControlOfWindow(HWND hwnd) { return ControlNumberOf(hwnd); }

int EnterChildControl(void* hwnd, int number, int kind) {
  if (!hwnd) return 0;
  int control = RegisterControl(number, hwnd, WindowNumberOf(TopLevelOf((HWND)hwnd)), kind);
  if (!control) {
    DestroyWindow((HWND)hwnd);
    return 0;
  }
  SendMessageW((HWND)hwnd, WM_SETFONT, (WPARAM)DefaultControlFont(), FALSE);
  return control;
}

std::wstring ChildWindowText(void* hwnd) {
  int n = GetWindowTextLengthW((HWND)hwnd);
  std::wstring text((size_t)n + 1, L'\0');
  GetWindowTextW((HWND)hwnd, &text[0], n + 1);
  text.resize((size_t)n);
  return text;
}

void MeasureChildText(void* window, const std::wstring& text, bool prefix, int* w, int* h) {
  *w = *h = 0;
  HWND hwnd = (HWND)window;
  // A memory device context measures as the window's would, with the same
  // font, and costs the window system nothing.
  ScopedMemoryDC dc(nullptr);
  if (!dc) return;
  HFONT font = (HFONT)SendMessageW(hwnd, WM_GETFONT, 0, 0);
  ScopedSelectObject selected(dc, font ? (HGDIOBJ)font : GetStockObject(SYSTEM_FONT));
  TEXTMETRICW metrics;
  GetTextMetricsW(dc, &metrics);
  if (text.empty()) {
    *h = metrics.tmHeight;
  } else {
    RECT r = {0, 0, 0, 0};
    DrawTextW(dc, text.c_str(), -1, &r, DT_CALCRECT | (prefix ? 0 : DT_NOPREFIX));
    *w = r.right - r.left, *h = r.bottom - r.top;
  }
}

//-----------------------------------------------------------------------------
// [SECTION] Container
//-----------------------------------------------------------------------------

static void OfferPaneSize(HWND pane, LPARAM size);

// Containers (also panel pages, splitter panes and scroll-area insides):
// their children's notifications become events wherever they sit.
static LRESULT CALLBACK ContainerProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  LRESULT result = 0;
  if (HandleChildNotification(hwnd, msg, wParam, lParam, &result)) return result;
  switch (msg) {
    case WM_NCHITTEST: {
      // The edge belongs to the container: the pointer's buttons reach it
      // there as anywhere inside (it has no sizing border to grab). The
      // system may call the edge a border or no part of the window at all.
      LRESULT hit = DefWindowProcW(hwnd, msg, wParam, lParam);
      return hit == HTBORDER || hit == HTNOWHERE ? HTCLIENT : hit;
    }
    case WM_RBUTTONUP:
      OfferRightClick(hwnd);
      break;
    case WM_SIZE:
      OfferPaneSize(hwnd, lParam);
      break;
  }
  return DefWindowProcW(hwnd, msg, wParam, lParam);
}

static void AddBorder(int border, DWORD* exStyle, DWORD* style) {
  switch (border) {
    case BORDER_LINE: *style |= WS_BORDER; break;
    case BORDER_THIN_SUNKEN: *exStyle |= WS_EX_STATICEDGE; break;
    case BORDER_RAISED: *exStyle |= WS_EX_DLGMODALFRAME; break;
    case BORDER_SUNKEN: *exStyle |= WS_EX_CLIENTEDGE; break;
  }
}

int CreateContainerIn(int number, void* parent, int border) {
  if (!RegisterWidgetClasses()) return 0;
  DWORD ex = WS_EX_CONTROLPARENT, style = WS_CLIPCHILDREN;
  AddBorder(border, &ex, &style);
  return EnterChildControl(CreateChild((HWND)parent, ex, kContainerClass, L"", style), number, CONTROL_CONTAINER);
}

//-----------------------------------------------------------------------------
// [SECTION] Frame
//-----------------------------------------------------------------------------

// Frames draw only their lines; the parent clips them out of its own
// painting, so a frame fills its inside, below the controls it surrounds.
// Put before the class's own procedure, which it calls directly: the common
// controls' subclassing would look up a window property at every message, a
// round trip to the window server under Wine.
static LRESULT CALLBACK FrameProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  if (msg == WM_ERASEBKGND) {
    RECT r;
    GetClientRect(hwnd, &r);
    FillRect((HDC)wParam, &r, GetSysColorBrush(COLOR_BTNFACE));
    return 1;
  }
  return CallWindowProcW((WNDPROC)GetClassLongPtrW(hwnd, GCLP_WNDPROC), hwnd, msg, wParam, lParam);
}

int CreateFrameIn(int number, void* parent, const char* caption, int line) {
  std::wstring text = Utf8ToWide(caption ? caption : "");
  HWND hwnd;
  if (line == FRAME_CAPTIONED) {
    hwnd = CreateChild((HWND)parent, 0, WC_BUTTONW, text, BS_GROUPBOX | WS_CLIPSIBLINGS);
  } else {
    DWORD style = line == FRAME_ETCHED ? SS_ETCHEDFRAME : line == FRAME_GRAY ? SS_GRAYFRAME : SS_BLACKFRAME;
    hwnd = CreateChild((HWND)parent, 0, WC_STATICW, text, WS_CLIPSIBLINGS | style);
  }
  if (hwnd) SetWindowLongPtrW(hwnd, GWLP_WNDPROC, (LONG_PTR)FrameProc);
  return EnterChildControl(hwnd, number, CONTROL_FRAME);
}

//-----------------------------------------------------------------------------
// [SECTION] Panel: a tab control whose pages are containers inside it
//-----------------------------------------------------------------------------

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

int CreatePanelIn(int number, void* parent) {
  if (!RegisterWidgetClasses()) return 0;
  HWND hwnd = CreateChild((HWND)parent, WS_EX_CONTROLPARENT, kPanelClass, L"", WS_CLIPCHILDREN);
  if (hwnd && !CreateChild(hwnd, WS_EX_CONTROLPARENT, WC_TABCONTROLW, L"", WS_CLIPCHILDREN | WS_TABSTOP)) {
    DestroyWindow(hwnd);
    return 0;
  }
  return EnterChildControl(hwnd, number, CONTROL_PANEL);
}

int AddPanelPage(int panel, const char* title) {
  HWND tabs = PanelTabs((HWND)ControlHandle(panel));
  if (!tabs) return 0;
  std::wstring text = Utf8ToWide(title ? title : "");
  TCITEMW item = {TCIF_TEXT};
  item.pszText = &text[0];
  int index = TabCtrl_InsertItem(tabs, TabCtrl_GetItemCount(tabs), &item);
  if (index < 0) return 0;
  HWND page = CreateChild(tabs, WS_EX_CONTROLPARENT, kContainerClass, L"", WS_CLIPCHILDREN);
  if (!page) return 0;
  SetPropW(page, L"TintvanePage", (HANDLE)(intptr_t)(index + 1));
  ShowSelectedPage((HWND)ControlHandle(panel));
  return EnterChildControl(page, kAutoNumber, CONTROL_CONTAINER);
}

int PanelTabHeight(int panel) {
  HWND tabs = PanelTabs((HWND)ControlHandle(panel));
  if (!tabs) return 0;
  RECT item;
  if (TabCtrl_GetItemCount(tabs) > 0 && TabCtrl_GetItemRect(tabs, 0, &item)) return DeviceToLogicalY(item.bottom);
  int lineW, lineH;
  MeasureChildText(tabs, L"Hg", false, &lineW, &lineH);
  return DeviceToLogicalY(lineH + LogicalToDeviceY(6));
}

void PanelPageSize(int panel, int* w, int* h) {
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
// [SECTION] Splitter: two pane containers and a separator the user drags
//-----------------------------------------------------------------------------

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
  void (*paneResized)(int pane, int w, int h) = nullptr;
};
static std::unordered_map<HWND, SplitterState> g_splitters;

static SplitterState* SplitterOf(int control) {
  auto it = g_splitters.find((HWND)ControlHandle(control));
  return it == g_splitters.end() ? nullptr : &it->second;
}

// A container changed size: when it is a splitter's pane, the splitter's
// owner hears of it.
static void OfferPaneSize(HWND pane, LPARAM size) {
  auto it = g_splitters.find(GetParent(pane));
  if (it == g_splitters.end() || !it->second.paneResized) return;
  if (pane != it->second.panes[0] && pane != it->second.panes[1]) return;
  it->second.paneResized(ControlOfWindow(pane), DeviceToLogicalX(LOWORD(size)), DeviceToLogicalY(HIWORD(size)));
}

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
        ScopedPaint paint(hwnd);
        FillRect(paint, &paint.ps.rcPaint, GetSysColorBrush(COLOR_BTNFACE));
        if (s.separator > 4) {
          RECT client, bar;
          GetClientRect(hwnd, &client);
          bar = client;
          if (s.sideBySide) bar.left = s.position, bar.right = s.position + s.separator;
          else bar.top = s.position, bar.bottom = s.position + s.separator;
          DrawEdge(paint, &bar, EDGE_RAISED, BF_RECT);
        }
        return 0;
      }
      case WM_NCDESTROY:
        g_splitters.erase(it);
        break;
    }
  }
  return ContainerProc(hwnd, msg, wParam, lParam);
}

int CreateSplitterIn(int number, void* parent, const SplitterSettings& settings) {
  if (!RegisterWidgetClasses()) return 0;
  HWND hwnd = CreateChild((HWND)parent, WS_EX_CONTROLPARENT, kSplitterClass, L"", WS_CLIPCHILDREN);
  if (!hwnd) return 0;
  SplitterState& s = g_splitters[hwnd];
  s.sideBySide = settings.sideBySide;
  int separator = settings.separatorBar ? 7 : 4;
  s.separator = s.sideBySide ? LogicalToDeviceX(separator) : LogicalToDeviceY(separator);
  s.secondFixed = settings.secondFixed;
  s.minimum[0] = settings.minimum[0];
  s.minimum[1] = settings.minimum[1];
  s.paneResized = settings.paneResized;
  for (HWND& pane : s.panes) pane = CreateChild(hwnd, WS_EX_CONTROLPARENT, kContainerClass, L"", WS_CLIPCHILDREN);
  int control = EnterChildControl(hwnd, number, CONTROL_SPLITTER);
  if (!control) return 0;
  HWND panes[2] = {s.panes[0], s.panes[1]};
  for (HWND pane : panes)
    if (pane) EnterChildControl(pane, kAutoNumber, CONTROL_CONTAINER);
  return control;
}

int SplitterPane(int splitter, int pane) {
  SplitterState* s = SplitterOf(splitter);
  if (!s || pane < 0 || pane > 1 || !s->panes[pane]) return 0;
  return ControlNumberOf(s->panes[pane]);
}

void SetSplitterMinimum(int splitter, int pane, int minimum) {
  SplitterState* s = SplitterOf(splitter);
  if (!s || pane < 0 || pane > 1) return;
  s->minimum[pane] = minimum;
  LayOutSplitter((HWND)ControlHandle(splitter));
}

void SplitterPaneSize(int splitter, int pane, int* w, int* h) {
  *w = *h = 0;
  SplitterState* s = SplitterOf(splitter);
  RECT r;
  if (!s || pane < 0 || pane > 1 || !GetClientRect(s->panes[pane], &r)) return;
  *w = DeviceToLogicalX(r.right), *h = DeviceToLogicalY(r.bottom);
}

//-----------------------------------------------------------------------------
// [SECTION] Scroll area: an inner container moved by two scroll bars
//-----------------------------------------------------------------------------

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

int CreateScrollAreaIn(int number, void* parent, const ScrollAreaSettings& settings) {
  if (!RegisterWidgetClasses()) return 0;
  DWORD ex = WS_EX_CONTROLPARENT, style = WS_CLIPCHILDREN;
  if (settings.verticalBar) style |= WS_VSCROLL;
  if (settings.horizontalBar) style |= WS_HSCROLL;
  AddBorder(settings.border, &ex, &style);
  HWND hwnd = CreateChild((HWND)parent, ex, kScrollAreaClass, L"", style);
  if (!hwnd) return 0;
  ScrollAreaState& s = g_scrollAreas[hwnd];
  s.inner = CreateChild(hwnd, WS_EX_CONTROLPARENT, kContainerClass, L"", WS_CLIPCHILDREN);
  s.innerW = LogicalToDeviceX(settings.innerWidth);
  s.innerH = LogicalToDeviceY(settings.innerHeight);
  s.step = settings.step > 0 ? settings.step : 1;
  s.centre = settings.center;
  LayOutScrollArea(hwnd);
  return EnterChildControl(hwnd, number, CONTROL_SCROLL_AREA);
}

void* ScrollAreaInside(int control) {
  auto it = g_scrollAreas.find((HWND)ControlHandle(control));
  return it == g_scrollAreas.end() ? nullptr : it->second.inner;
}

void SetScrollAreaInnerSize(int control, int w, int h) {
  HWND hwnd = (HWND)ControlHandle(control);
  auto it = g_scrollAreas.find(hwnd);
  if (it == g_scrollAreas.end()) return;
  if (w != kIgnore) it->second.innerW = LogicalToDeviceX(w > 0 ? w : 0);
  if (h != kIgnore) it->second.innerH = LogicalToDeviceY(h > 0 ? h : 0);
  LayOutScrollArea(hwnd);
}

//-----------------------------------------------------------------------------
// [SECTION] Spin: a number field with up and down arrows
//-----------------------------------------------------------------------------

static LRESULT CALLBACK SpinProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  HWND edit = GetWindow(hwnd, GW_CHILD);
  HWND arrows = edit ? GetWindow(edit, GW_HWNDNEXT) : nullptr;
  int control = ControlOfWindow(hwnd);
  switch (msg) {
    case WM_SIZE:
      if (edit && arrows) {
        int w = LOWORD(lParam), h = HIWORD(lParam), arrowW = ScaledSystemMetric(SM_CXVSCROLL);
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

int CreateSpinIn(int number, void* parent, const SpinSettings& settings, const char* text) {
  if (!RegisterWidgetClasses()) return 0;
  HWND hwnd = CreateChild((HWND)parent, WS_EX_CONTROLPARENT, kSpinClass, L"", WS_CLIPCHILDREN);
  if (!hwnd) return 0;
  bool numeric = settings.numeric;
  HWND edit = CreateChild(hwnd, WS_EX_CLIENTEDGE, WC_EDITW, L"",
                          ES_AUTOHSCROLL | WS_TABSTOP | (settings.readOnly ? ES_READONLY : 0) | (numeric ? ES_NUMBER : 0));
  HWND arrows = CreateChild(hwnd, 0, UPDOWN_CLASSW, L"", UDS_ARROWKEYS | (numeric ? UDS_SETBUDDYINT | UDS_NOTHOUSANDS : 0));
  if (!edit || !arrows) {
    DestroyWindow(hwnd);
    return 0;
  }
  SendMessageW(arrows, UDM_SETBUDDY, (WPARAM)edit, 0);
  SendMessageW(arrows, UDM_SETRANGE32, (WPARAM)settings.minimum, (LPARAM)settings.maximum);
  SendMessageW(arrows, UDM_SETPOS32, 0, (LPARAM)settings.value);
  std::wstring wide = Utf8ToWide(text ? text : "");
  if (!wide.empty()) SetWindowTextW(edit, wide.c_str());
  return EnterChildControl(hwnd, number, CONTROL_OTHER);
}

//-----------------------------------------------------------------------------
// [SECTION] Hyperlink: text in a colour of its own, underlined on request or under the pointer
//-----------------------------------------------------------------------------

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
      ScopedPaint paint(hwnd);
      RECT client;
      GetClientRect(hwnd, &client);
      FillRect(paint, &client, GetSysColorBrush(COLOR_BTNFACE));
      HFONT font = (s.underline || s.hover) && s.underlined ? s.underlined : s.font;
      ScopedSelectObject selected(paint, font ? (HGDIOBJ)font : GetStockObject(DEFAULT_GUI_FONT));
      SetBkMode(paint, TRANSPARENT);
      SetTextColor(paint, s.color);
      std::wstring text = ChildWindowText(hwnd);
      DrawTextW(paint, text.c_str(), -1, &client, DT_NOPREFIX);
      return 0;
    }
    case WM_NCDESTROY:
      if (s.underlined) DeleteObject(s.underlined);
      g_hyperlinks.erase(it);
      break;
  }
  return DefWindowProcW(hwnd, msg, wParam, lParam);
}

int CreateHyperlinkIn(int number, void* parent, const char* text, int color, bool underline) {
  if (!RegisterWidgetClasses()) return 0;
  HWND hwnd = CreateChild((HWND)parent, 0, kHyperlinkClass, Utf8ToWide(text ? text : ""), 0);
  if (hwnd) {
    HyperlinkState& s = g_hyperlinks[hwnd];
    s.color = (COLORREF)(color & 0xFFFFFF);
    s.underline = underline;
  }
  return EnterChildControl(hwnd, number, CONTROL_OTHER);
}

//-----------------------------------------------------------------------------
// [SECTION] Window classes
//-----------------------------------------------------------------------------

bool RegisterWidgetClasses() {
  static bool done = false, ok = false;
  if (done) return ok;
  done = true;
  INITCOMMONCONTROLSEX controls = {sizeof controls, ICC_TAB_CLASSES | ICC_UPDOWN_CLASS | ICC_STANDARD_CLASSES};
  InitCommonControlsEx(&controls);
  const struct {
    const wchar_t* name;
    WNDPROC proc;
  } classes[] = {
      {kContainerClass, ContainerProc}, {kPanelClass, PanelProc}, {kSplitterClass, SplitterProc},
      {kScrollAreaClass, ScrollAreaProc}, {kSpinClass, SpinProc}, {kHyperlinkClass, HyperlinkProc},
  };
  ok = true;
  for (auto& c : classes) {
    WNDCLASSEXW wc = {sizeof wc};
    wc.lpfnWndProc = c.proc;
    wc.hInstance = GetModuleHandleW(nullptr);
    wc.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    wc.hbrBackground = (HBRUSH)(intptr_t)(COLOR_BTNFACE + 1);
    wc.lpszClassName = c.name;
    if (!RegisterClassExW(&wc) && GetLastError() != ERROR_CLASS_ALREADY_EXISTS) ok = false;
  }
  return ok;
}
