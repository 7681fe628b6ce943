// Windows, controls, timers and the event wait, on Win32.
//
// Index of this file:
// [SECTION] Display scale
// [SECTION] Registries
// [SECTION] Events offered by the window procedures
// [SECTION] Changes of scale
// [SECTION] Windows
// [SECTION] Events and timers
// [SECTION] Controls
// [SECTION] Window behaviour
// [SECTION] Displays
#include "runtime/win32_internal.h"  // windows.h first

#include <commctrl.h>
#include <windowsx.h>
#include <uxtheme.h>  // the types and parts; the calls are looked up
#include <vssym32.h>

#include <memory>
#include <unordered_map>
#include <vector>

#include "runtime/display_scale.h"
#include "runtime/focus_order.h"
#include "runtime/win_text.h"
#include "runtime/windowing.h"

//-----------------------------------------------------------------------------
// [SECTION] Display scale
//-----------------------------------------------------------------------------

// Lengths convert at the window scale: the main window's, from the monitor
// it stands on. Positions on the virtual screen convert at the desktop's
// scale, the system's at start-up, which no monitor changes: a position
// stored while the window stood on a monitor of another scale still means
// the same place at the next start.
static int g_dpiX = kLogicalPixelsPerInch, g_dpiY = kLogicalPixelsPerInch;
static float g_scaleX = 1.0f, g_scaleY = 1.0f;
static float g_desktopScaleX = 1.0f, g_desktopScaleY = 1.0f;

static void SetWindowingDpi(int x, int y) {
  g_dpiX = x > 0 ? x : kLogicalPixelsPerInch;
  g_dpiY = y > 0 ? y : kLogicalPixelsPerInch;
  g_scaleX = ScaleFactorOf(g_dpiX);
  g_scaleY = ScaleFactorOf(g_dpiY);
}

void InitWindowing() {
  ScopedGetDC screen(nullptr);
  if (!screen) return;
  SetWindowingDpi(GetDeviceCaps(screen, LOGPIXELSX), GetDeviceCaps(screen, LOGPIXELSY));
  g_desktopScaleX = g_scaleX;
  g_desktopScaleY = g_scaleY;
}

float WindowingScaleX() { return g_scaleX; }
float WindowingScaleY() { return g_scaleY; }
int WindowingDpiX() { return g_dpiX; }
int WindowingDpiY() { return g_dpiY; }
int LogicalToDeviceX(int v) { return LogicalToDevice(v, g_scaleX); }
int LogicalToDeviceY(int v) { return LogicalToDevice(v, g_scaleY); }
int DeviceToLogicalX(int v) { return DeviceToLogical(v, g_scaleX); }
int DeviceToLogicalY(int v) { return DeviceToLogical(v, g_scaleY); }
int ScreenToLogicalX(int v) { return DeviceToLogical(v, g_desktopScaleX); }
int ScreenToLogicalY(int v) { return DeviceToLogical(v, g_desktopScaleY); }
static int LogicalToScreenX(int v) { return LogicalToDevice(v, g_desktopScaleX); }
static int LogicalToScreenY(int v) { return LogicalToDevice(v, g_desktopScaleY); }

// The calls of Windows 8.1 and 10 that per-monitor scales need, looked up
// once from the system folder: the program imports nothing newer than
// Windows 7. Each is null where the system lacks it, and the system-wide
// scale of Windows 7 stands in.
struct ScaleCalls {
  UINT(WINAPI* dpiForWindow)(HWND);                                       // Windows 10 1607
  BOOL(WINAPI* adjustForDpi)(RECT*, DWORD, BOOL, DWORD, UINT);            // Windows 10 1607
  int(WINAPI* metricForDpi)(int, UINT);                                   // Windows 10 1607
  BOOL(WINAPI* parametersForDpi)(UINT, UINT, void*, UINT, UINT);          // Windows 10 1607
  BOOL(WINAPI* nonClientScaling)(HWND);                                   // Windows 10 1607
  HRESULT(WINAPI* dpiForMonitor)(HMONITOR, int, UINT*, UINT*);            // Windows 8.1, shcore
};

static const ScaleCalls& Scaling() {
  static ScaleCalls calls;
  static bool looked = false;
  if (!looked) {
    looked = true;
    auto user = [](const char* name) { return (void*)SystemProcedure(L"user32.dll", name); };
    calls.dpiForWindow = (decltype(calls.dpiForWindow))user("GetDpiForWindow");
    calls.adjustForDpi = (decltype(calls.adjustForDpi))user("AdjustWindowRectExForDpi");
    calls.metricForDpi = (decltype(calls.metricForDpi))user("GetSystemMetricsForDpi");
    calls.parametersForDpi = (decltype(calls.parametersForDpi))user("SystemParametersInfoForDpi");
    calls.nonClientScaling = (decltype(calls.nonClientScaling))user("EnableNonClientDpiScaling");
    calls.dpiForMonitor = (decltype(calls.dpiForMonitor))(void*)SystemProcedure(L"shcore.dll", "GetDpiForMonitor");
  }
  return calls;
}

int ScaledSystemMetric(int metric) {
  const ScaleCalls& calls = Scaling();
  return calls.metricForDpi ? calls.metricForDpi(metric, (UINT)g_dpiX) : GetSystemMetrics(metric);
}

bool SystemParametersAtScale(unsigned action, unsigned size, void* data) {
  const ScaleCalls& calls = Scaling();
  if (calls.parametersForDpi) return calls.parametersForDpi(action, size, data, 0, (UINT)g_dpiY) != FALSE;
  return SystemParametersInfoW(action, size, data, 0) != FALSE;
}

// The border a window's styles add around its client area as the system
// draws it for the window: at the window's own scale where the system
// tells it (the title bar of a window on a monitor of another scale is
// that monitor's size), else at the system's, or at `dpi` when not 0.
static RECT FrameOf(HWND hwnd, UINT dpi = 0) {
  RECT r = {0, 0, 0, 0};
  DWORD style = (DWORD)GetWindowLongW(hwnd, GWL_STYLE), exStyle = (DWORD)GetWindowLongW(hwnd, GWL_EXSTYLE);
  const ScaleCalls& calls = Scaling();
  if (!dpi && calls.dpiForWindow) dpi = calls.dpiForWindow(hwnd);
  if (!dpi || !calls.adjustForDpi || !calls.adjustForDpi(&r, style, FALSE, exStyle, dpi))
    AdjustWindowRectEx(&r, style, FALSE, exStyle);
  return r;
}

//-----------------------------------------------------------------------------
// [SECTION] Registries: numbers to handles and back
//-----------------------------------------------------------------------------

struct WindowRecord {
  HWND hwnd = nullptr;
  void (*sizeHandler)(int window) = nullptr;
  void (*sessionEndHandler)(int window) = nullptr;
  void (*scaleHandler)(int window) = nullptr;  // the window's scale is the windowing layer's
  int bounds[4] = {kIgnore, kIgnore, kIgnore, kIgnore};  // inner min w, min h, max w, max h
  std::vector<int> tabOrder;  // controls in the order Tab visits them; empty: the platform's
  HWND lastFocus = nullptr;   // the control that had the keyboard focus when the window was left
};

typedef void (*EventProcedure)(const WindowEvent& event);
struct EventBinding {
  int type;  // -1: every type
  EventProcedure procedure;
};

struct ControlRecord {
  HWND hwnd = nullptr;
  int window = 0;
  int kind = CONTROL_UNKNOWN;
  int background = -1;  // colour value, -1 for the system's
  int text = -1;
  HBRUSH brush = nullptr;  // solid brush of `background`
};

static std::unordered_map<int, WindowRecord> g_windows;
static std::unordered_map<int, ControlRecord> g_controls;
static std::unordered_map<HWND, int> g_windowByHandle, g_controlByHandle;
static std::unordered_map<int, std::vector<EventBinding>> g_bindings;  // by control
static int g_nextWindowNumber = 1, g_nextControlNumber = 1;

// A private message that queues a posted control event in platform order.
static const UINT WM_TINTVANE_POSTED_EVENT = WM_APP + 0x54;
static const wchar_t kWindowClass[] = L"TintvaneWindow";

int FreshNumber(int& next, bool (*taken)(int)) {
  while (taken(next)) next++;
  return next++;
}

bool WindowExists(int window) { return g_windows.count(window) && g_windows[window].hwnd; }
bool ControlExists(int control) { return g_controls.count(control) && g_controls[control].hwnd; }

void* WindowHandle(int window) {
  auto it = g_windows.find(window);
  return it == g_windows.end() ? nullptr : it->second.hwnd;
}

int WindowNumberOf(void* hwnd) {
  auto it = g_windowByHandle.find((HWND)hwnd);
  return it == g_windowByHandle.end() ? 0 : it->second;
}

void* ControlHandle(int control) {
  auto it = g_controls.find(control);
  return it == g_controls.end() ? nullptr : it->second.hwnd;
}

int ControlNumberOf(void* hwnd) {
  auto it = g_controlByHandle.find((HWND)hwnd);
  return it == g_controlByHandle.end() ? 0 : it->second;
}

int ControlWindow(int control) {
  auto it = g_controls.find(control);
  return it == g_controls.end() ? 0 : it->second.window;
}

int ControlKindOf(int control) {
  auto it = g_controls.find(control);
  return it == g_controls.end() ? CONTROL_UNKNOWN : it->second.kind;
}

HWND TopLevelOf(HWND hwnd) {
  HWND root = GetAncestor(hwnd, GA_ROOT);
  return root ? root : hwnd;
}

//-----------------------------------------------------------------------------
// [SECTION] Events offered by the window procedures
//-----------------------------------------------------------------------------

static void OfferEvent(int code, int window, int control, int type, int timer,
                       const CanvasEventData* data) {
  WindowEvent e = {};
  e.code = code;
  e.window = window;
  e.control = control;
  e.type = type;
  e.timer = timer;
  if (data) e.data = *data;
  // The program's own change of a control's text raises nothing, bound or queued.
  if (code == Event_Control && !ProgramTextChangeActive()) {
    auto it = g_bindings.find(control);
    if (it != g_bindings.end()) {
      std::vector<EventBinding> bindings = it->second;  // a procedure may change the bindings
      // The event is the current one while its procedures run, so a canvas
      // procedure reads this event's data, as a bound canvas handler does.
      const WindowEvent* outer = CurrentWindowEvent();
      WindowEvent saved = outer ? *outer : WindowEvent{};
      SetCurrentWindowEvent(&e);
      for (const EventBinding& b : bindings)
        if (b.type == -1 || b.type == type) b.procedure(e);
      SetCurrentWindowEvent(outer ? &saved : nullptr);
    }
  }
  OfferWindowEvent(e);
}

void OfferRightClick(HWND hwnd) {
  HWND top = TopLevelOf(hwnd);
  int window = WindowNumberOf(top);
  if (!window) return;
  // Where the release happened, not where the pointer is when the event is handled.
  DWORD at = GetMessagePos();
  POINT p = {GET_X_LPARAM(at), GET_Y_LPARAM(at)};
  RECT client;
  ScreenToClient(top, &p);
  GetClientRect(top, &client);
  CanvasEventData data = {};
  data.pointerX = p.x >= 0 && p.x < client.right ? DeviceToLogicalX(p.x) : -1;
  data.pointerY = p.y >= 0 && p.y < client.bottom ? DeviceToLogicalY(p.y) : -1;
  OfferEvent(Event_RightClick, window, 0, 0, 0, &data);
}

void OfferControlEvent(int control, int type, const CanvasEventData* data) {
  int window = ControlWindow(control);
  if (window) OfferEvent(Event_Control, window, control, type, 0, data);
}

// Text fields and labels ask their parent for colours before painting.
static bool AnswerControlColor(HWND parent, UINT msg, WPARAM wParam, LPARAM lParam, LRESULT* result) {
  auto it = g_controls.find(ControlNumberOf((HWND)lParam));
  if (it == g_controls.end()) return false;
  const ControlRecord& c = it->second;
  if (c.background < 0 && c.text < 0) return false;
  HDC dc = (HDC)wParam;
  if (c.background < 0) {
    // The system's own colours for this kind of control (a label's differ
    // from a field's), with the chosen text colour over them.
    *result = DefWindowProcW(parent, msg, wParam, lParam);
    SetTextColor(dc, (COLORREF)c.text);
    return true;
  }
  if (c.text >= 0) SetTextColor(dc, (COLORREF)c.text);
  SetBkColor(dc, (COLORREF)c.background);
  *result = (LRESULT)c.brush;
  return true;
}

// The theme library's calls, looked up once from the system folder: it is
// not one of the system's known DLLs, so an import of it would be looked for
// in the program's folder first. Null when any is missing.
struct ThemeCalls {
  HTHEME(WINAPI* open)(HWND, LPCWSTR);
  HRESULT(WINAPI* close)(HTHEME);
  BOOL(WINAPI* partlyTransparent)(HTHEME, int, int);
  HRESULT(WINAPI* drawParent)(HWND, HDC, const RECT*);
  HRESULT(WINAPI* draw)(HTHEME, HDC, int, int, const RECT*, const RECT*);
  HRESULT(WINAPI* contentRect)(HTHEME, HDC, int, int, const RECT*, RECT*);
};

static const ThemeCalls* Theme() {
  static ThemeCalls calls;
  static int state = 0;  // 0 not looked up, 1 found, -1 missing
  if (!state) {
    auto find = [](const char* name) { return (void*)SystemProcedure(L"uxtheme.dll", name); };
    calls.open = (decltype(calls.open))find("OpenThemeData");
    calls.close = (decltype(calls.close))find("CloseThemeData");
    calls.partlyTransparent = (decltype(calls.partlyTransparent))find("IsThemeBackgroundPartiallyTransparent");
    calls.drawParent = (decltype(calls.drawParent))find("DrawThemeParentBackground");
    calls.draw = (decltype(calls.draw))find("DrawThemeBackground");
    calls.contentRect = (decltype(calls.contentRect))find("GetThemeBackgroundContentRect");
    bool all = calls.open && calls.close && calls.partlyTransparent && calls.drawParent && calls.draw && calls.contentRect;
    state = all ? 1 : -1;
  }
  return state == 1 ? &calls : nullptr;
}

// A push button with a caption colour of its own: the face as the system
// draws it (themed or classic), the caption in the colour over it.
static LRESULT PaintColoredButton(const NMCUSTOMDRAW* draw, int textColor) {
  if (draw->dwDrawStage != CDDS_PREPAINT) return CDRF_DODEFAULT;
  HWND button = draw->hdr.hwndFrom;
  HDC dc = draw->hdc;
  RECT face = draw->rc, content = draw->rc;
  bool pressed = draw->uItemState & CDIS_SELECTED, disabled = draw->uItemState & CDIS_DISABLED;
  const ThemeCalls* t = Theme();
  if (HTHEME theme = t ? t->open(button, L"BUTTON") : nullptr) {
    int state = disabled ? PBS_DISABLED : pressed ? PBS_PRESSED : (draw->uItemState & CDIS_HOT) ? PBS_HOT
              : (draw->uItemState & CDIS_DEFAULT) ? PBS_DEFAULTED : PBS_NORMAL;
    if (t->partlyTransparent(theme, BP_PUSHBUTTON, state)) t->drawParent(button, dc, &face);
    t->draw(theme, dc, BP_PUSHBUTTON, state, &face, nullptr);
    t->contentRect(theme, dc, BP_PUSHBUTTON, state, &face, &content);
    t->close(theme);
  } else {
    DrawFrameControl(dc, &face, DFC_BUTTON, DFCS_BUTTONPUSH | (pressed ? DFCS_PUSHED : 0));
    InflateRect(&content, -ScaledSystemMetric(SM_CXEDGE), -ScaledSystemMetric(SM_CYEDGE));
    if (pressed) OffsetRect(&content, 1, 1);
  }
  int n = GetWindowTextLengthW(button);
  std::wstring caption((size_t)n + 1, L'\0');
  GetWindowTextW(button, &caption[0], n + 1);
  ScopedSelectObject font(dc, (HFONT)SendMessageW(button, WM_GETFONT, 0, 0));
  int oldMode = SetBkMode(dc, TRANSPARENT);
  COLORREF oldColor = SetTextColor(dc, disabled ? GetSysColor(COLOR_GRAYTEXT) : (COLORREF)textColor);
  DrawTextW(dc, caption.c_str(), n, &content, DT_CENTER | DT_VCENTER | DT_SINGLELINE);
  SetTextColor(dc, oldColor);
  SetBkMode(dc, oldMode);
  if ((draw->uItemState & CDIS_FOCUS) && !(SendMessageW(button, WM_QUERYUISTATE, 0, 0) & UISF_HIDEFOCUS)) {
    InflateRect(&content, -1, -1);
    DrawFocusRect(dc, &content);
  }
  return CDRF_SKIPDEFAULT;
}

// The event a WM_COMMAND notification code means for a control of `kind`;
// the codes overlap between control classes. -1 for none.
static int CommandEvent(int kind, int code) {
  switch (kind) {
    case CONTROL_LIST_BOX:
      if (code == LBN_SELCHANGE) return Changed;
      if (code == LBN_DBLCLK) return LeftDoubleClicked;
      if (code == LBN_SETFOCUS) return FocusGained;
      if (code == LBN_KILLFOCUS) return FocusLost;
      return -1;
    case CONTROL_COMBO_BOX:
      if (code == CBN_SELCHANGE || code == CBN_EDITCHANGE) return Changed;
      if (code == CBN_SETFOCUS) return FocusGained;
      if (code == CBN_KILLFOCUS) return FocusLost;
      return -1;
    default:
      if (code == EN_CHANGE) return Changed;
      if (code == EN_SETFOCUS) return FocusGained;
      if (code == EN_KILLFOCUS) return FocusLost;
      if (code == BN_CLICKED) return LeftClicked;
      return -1;
  }
}

// Scroll bars move only when told to: follow the user's request, then report the change.
static void FollowScrollRequest(HWND bar, int request) {
  SCROLLINFO info = {sizeof info, SIF_ALL};
  if (!GetScrollInfo(bar, SB_CTL, &info)) return;
  int pos = info.nPos, page = info.nPage ? (int)info.nPage : 1;
  int last = info.nMax - (info.nPage ? (int)info.nPage - 1 : 0);
  switch (request) {
    case SB_LINEUP: pos--; break;
    case SB_LINEDOWN: pos++; break;
    case SB_PAGEUP: pos -= page; break;
    case SB_PAGEDOWN: pos += page; break;
    case SB_THUMBTRACK: case SB_THUMBPOSITION: pos = info.nTrackPos; break;
    case SB_TOP: pos = info.nMin; break;
    case SB_BOTTOM: pos = last; break;
    default: return;
  }
  if (pos > last) pos = last;
  if (pos < info.nMin) pos = info.nMin;
  SetScrollPos(bar, SB_CTL, pos, TRUE);
}

bool HandleChildNotification(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam, LRESULT* result) {
  if (msg == WM_CTLCOLOREDIT || msg == WM_CTLCOLORSTATIC)
    return AnswerControlColor(hwnd, msg, wParam, lParam, result);
  if (msg == WM_COMMAND && lParam) {
    int control = ControlNumberOf((HWND)lParam);
    if (!control) return false;
    int type = CommandEvent(ControlKindOf(control), HIWORD(wParam));
    if (type < 0) return false;
    OfferControlEvent(control, type, nullptr);
    *result = 0;
    return true;
  }
  if ((msg == WM_HSCROLL || msg == WM_VSCROLL) && lParam) {
    int control = ControlNumberOf((HWND)lParam);
    int kind = ControlKindOf(control);
    if (kind != CONTROL_SCROLL_BAR && kind != CONTROL_TRACK_BAR) return false;
    if (kind == CONTROL_SCROLL_BAR) FollowScrollRequest((HWND)lParam, LOWORD(wParam));
    if (LOWORD(wParam) != SB_ENDSCROLL) OfferControlEvent(control, Changed, nullptr);
    *result = 0;
    return true;
  }
  if (msg == WM_NOTIFY) {
    const NMHDR* hdr = (const NMHDR*)lParam;
    int control = ControlNumberOf(hdr->hwndFrom);
    if (!control) return false;
    if (hdr->code == NM_CUSTOMDRAW) {
      auto it = g_controls.find(control);
      if (it->second.kind != CONTROL_BUTTON || it->second.text < 0) return false;
      *result = PaintColoredButton((const NMCUSTOMDRAW*)lParam, it->second.text);
      return true;
    }
    switch (hdr->code) {
      case LVN_ITEMCHANGED: {
        const NMLISTVIEW* lv = (const NMLISTVIEW*)lParam;
        if ((lv->uChanged & LVIF_STATE) && ((lv->uOldState ^ lv->uNewState) & LVIS_SELECTED))
          OfferControlEvent(control, Changed, nullptr);
        break;
      }
      case TVN_SELCHANGEDW:
      case DTN_DATETIMECHANGE:
        OfferControlEvent(control, Changed, nullptr);
        break;
      case LVN_BEGINDRAG:
      case TVN_BEGINDRAGW:
        OfferControlEvent(control, DragStarted, nullptr);
        break;
      case NM_CLICK: OfferControlEvent(control, LeftClicked, nullptr); break;
      case NM_RCLICK: OfferControlEvent(control, RightClicked, nullptr); break;
      case NM_DBLCLK: OfferControlEvent(control, LeftDoubleClicked, nullptr); break;
      case NM_RDBLCLK: OfferControlEvent(control, RightDoubleClicked, nullptr); break;
      default: return false;
    }
    *result = 0;
    return true;
  }
  return false;
}

//-----------------------------------------------------------------------------
// [SECTION] Changes of scale
//-----------------------------------------------------------------------------

static bool g_applyingScale = false;  // a change is being applied (TakesScaleChange)

// Every length at the new scale, the window laid out again at it by its
// scale handler, then moved with its top-left corner to `at` (null: where
// it is) and drawn anew, frame and children.
static void ApplyWindowScale(HWND hwnd, int window, int dpiX, int dpiY, const POINT* at) {
  g_applyingScale = true;
  SetWindowingDpi(dpiX, dpiY);
  g_windows[window].scaleHandler(window);
  if (at) SetWindowPos(hwnd, nullptr, at->x, at->y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
  RedrawWindow(hwnd, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN | RDW_UPDATENOW);
  g_applyingScale = false;
}

// The system announces a new scale for the window (WM_DPICHANGED): the new
// pixels per inch, and the rectangle it suggests. A window whose scale is
// the windowing layer's lays itself out again, at the size its content
// takes, and stands at the suggested rectangle's corner; any other takes the
// suggested rectangle as it is.
static void OnScaleAnnounced(HWND hwnd, int window, int dpiX, int dpiY, const RECT* suggested) {
  if (!window || !g_windows[window].scaleHandler) {
    if (suggested)
      SetWindowPos(hwnd, nullptr, suggested->left, suggested->top, suggested->right - suggested->left,
                   suggested->bottom - suggested->top, SWP_NOZORDER | SWP_NOACTIVATE);
    return;
  }
  if (!TakesScaleChange(g_dpiX, dpiX, g_applyingScale, IsWindowVisible(hwnd) != FALSE)) return;
  POINT at = suggested ? POINT{suggested->left, suggested->top} : POINT{0, 0};
  ApplyWindowScale(hwnd, window, dpiX, dpiY, suggested ? &at : nullptr);
}

// The size the window will take at `dpi`, by which the system places the
// rectangle it suggests (WM_GETDPISCALEDSIZE): its inner size in logical
// units at that scale, inside its frame at that scale. False where the
// system cannot tell the frame; it then scales the window as a whole.
static bool SizeAtScale(HWND hwnd, int dpi, SIZE* size) {
  if (!Scaling().adjustForDpi || dpi <= 0) return false;
  RECT client, frame = FrameOf(hwnd, (UINT)dpi);
  GetClientRect(hwnd, &client);
  float factor = ScaleFactorOf(dpi);
  size->cx = LogicalToDevice(DeviceToLogicalX(client.right), factor) + frame.right - frame.left;
  size->cy = LogicalToDevice(DeviceToLogicalY(client.bottom), factor) + frame.bottom - frame.top;
  return true;
}

void SetWindowScaleHandler(int window, void (*handler)(int)) {
  if (g_windows.count(window)) g_windows[window].scaleHandler = handler;
}

bool FollowMonitorScale(int window) {
  HWND hwnd = (HWND)WindowHandle(window);
  const ScaleCalls& calls = Scaling();
  if (!hwnd || !g_windows[window].scaleHandler || !calls.dpiForMonitor) return false;
  UINT x = 0, y = 0;
  HMONITOR monitor = MonitorFromWindow(hwnd, MONITOR_DEFAULTTONEAREST);
  if (FAILED(calls.dpiForMonitor(monitor, 0 /* MDT_EFFECTIVE_DPI */, &x, &y))) return false;
  if (!TakesScaleChange(g_dpiX, (int)x, g_applyingScale, true)) return false;
  ApplyWindowScale(hwnd, window, (int)x, (int)y, nullptr);
  return true;
}

#ifndef WM_GETDPISCALEDSIZE
#define WM_GETDPISCALEDSIZE 0x02E4
#endif

static BOOL CALLBACK PassSysColorChange(HWND child, LPARAM) {
  SendMessageW(child, WM_SYSCOLORCHANGE, 0, 0);
  return TRUE;
}

// A window left for another (a dialog, a menu, another program) gets its
// keyboard focus back on the control that had it, as a dialog box does:
// a keyboard user goes on where they were. True when the focus was given
// back (the default handling would put it on the window itself).
static bool KeepFocusAcrossActivation(int window, HWND hwnd, bool active, bool minimized) {
  HWND& last = g_windows[window].lastFocus;
  if (!active) {
    HWND focus = GetFocus();
    if (focus && IsChild(hwnd, focus)) last = focus;
    return false;
  }
  if (minimized || !last || !IsWindow(last) || !IsChild(hwnd, last) || !IsWindowVisible(last) || !IsWindowEnabled(last))
    return false;
  SetFocus(last);
  return true;
}

static LRESULT CALLBACK WindowProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  int window = WindowNumberOf(hwnd);
  LRESULT result = 0;
  if (window && HandleChildNotification(hwnd, msg, wParam, lParam, &result)) return result;
  switch (msg) {
    case WM_CLOSE:
      if (window) OfferEvent(Event_Close, window, 0, 0, 0, nullptr);
      return 0;  // the program decides when to close
    case WM_MOVE:
      if (window) OfferEvent(Event_Move, window, 0, 0, 0, nullptr);
      break;
    case WM_NCCREATE:
      // Per-monitor scales as Windows 10 1607 has them (the manifest's
      // fallback there) scale the title bar only when asked; later ones do it
      // themselves.
      if (Scaling().nonClientScaling) Scaling().nonClientScaling(hwnd);
      break;
    case WM_DPICHANGED:
      OnScaleAnnounced(hwnd, window, LOWORD(wParam), HIWORD(wParam), (const RECT*)lParam);
      return 0;
    case WM_GETDPISCALEDSIZE:
      return window && g_windows[window].scaleHandler && SizeAtScale(hwnd, (int)wParam, (SIZE*)lParam);
    case WM_ENDSESSION:
      if (window && wParam && g_windows[window].sessionEndHandler) g_windows[window].sessionEndHandler(window);
      return 0;
    case WM_SIZE:
      if (window) {
        if (g_windows[window].sizeHandler) g_windows[window].sizeHandler(window);
        OfferEvent(Event_SizeWindow, window, 0, 0, 0, nullptr);
      }
      break;
    case WM_ACTIVATE:
      if (window && LOWORD(wParam) != WA_INACTIVE) OfferEvent(Event_Activate, window, 0, 0, 0, nullptr);
      if (window && KeepFocusAcrossActivation(window, hwnd, LOWORD(wParam) != WA_INACTIVE, HIWORD(wParam) != 0))
        return 0;
      break;
    case WM_TIMER:
      if (window) OfferEvent(Event_Timer, window, 0, 0, (int)wParam, nullptr);
      return 0;
    case WM_SYSCOLORCHANGE:  // comes to top-level windows only: the controls draw in the colours too
      EnumChildWindows(hwnd, PassSysColorChange, 0);
      break;
    case WM_RBUTTONUP:
      if (window) OfferRightClick(hwnd);
      break;
    case WM_GETICON:
      // The window's own icons, which the taskbar and Alt+Tab ask for before
      // the class's, are the class's unless set otherwise: answered here,
      // they cost the window system no copy of them per window.
      if (LRESULT icon = DefWindowProcW(hwnd, msg, wParam, lParam)) return icon;
      return (LRESULT)GetClassLongPtrW(hwnd, wParam == ICON_BIG ? GCLP_HICON : GCLP_HICONSM);
    case WM_GETMINMAXINFO:
      if (window) {
        // The bounds are inner sizes; the system wants outer ones.
        const int* b = g_windows[window].bounds;
        MINMAXINFO* info = (MINMAXINFO*)lParam;
        RECT frame = FrameOf(hwnd);
        int fw = frame.right - frame.left, fh = frame.bottom - frame.top;
        if (b[0] != kIgnore) info->ptMinTrackSize.x = LogicalToDeviceX(b[0]) + fw;
        if (b[1] != kIgnore) info->ptMinTrackSize.y = LogicalToDeviceY(b[1]) + fh;
        if (b[2] != kIgnore) info->ptMaxTrackSize.x = LogicalToDeviceX(b[2]) + fw;
        if (b[3] != kIgnore) info->ptMaxTrackSize.y = LogicalToDeviceY(b[3]) + fh;
        return 0;
      }
      break;
    case WM_COMMAND:
      if (window && lParam == 0 && HIWORD(wParam) == 0) {  // an item of a menu not shown by ShowPopupMenu
        DispatchMenuChoice(window, 0, LOWORD(wParam));
        return 0;
      }
      break;
    case WM_TINTVANE_MENU_CHOICE:  // wParam: menu number, lParam: item
      if (window) DispatchMenuChoice(window, (int)wParam, (int)lParam);
      return 0;
    case WM_TINTVANE_POSTED_EVENT:  // wParam: control, lParam: event type
      if (window) OfferEvent(Event_Control, window, (int)wParam, (int)lParam, 0, nullptr);
      return 0;
  }
  return DefWindowProcW(hwnd, msg, wParam, lParam);
}

//-----------------------------------------------------------------------------
// [SECTION] Windows
//-----------------------------------------------------------------------------

// The program's icon (icon group 1) in the large and small sizes of the
// display's scale, each taken from the group's own image of that size. Loaded
// once and kept for the process: every window of the class wears them.
static HICON g_largeIcon, g_smallIcon;

static HICON LoadProgramIcon(int widthMetric, int heightMetric) {
  return (HICON)LoadImageW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(1), IMAGE_ICON,
                           GetSystemMetrics(widthMetric), GetSystemMetrics(heightMetric), 0);
}

static bool RegisterWindowClassOnce() {
  static bool registered = false;
  if (registered) return true;
  g_largeIcon = LoadProgramIcon(SM_CXICON, SM_CYICON);
  g_smallIcon = LoadProgramIcon(SM_CXSMICON, SM_CYSMICON);
  WNDCLASSEXW wc = {sizeof wc};
  wc.lpfnWndProc = WindowProc;
  wc.hInstance = GetModuleHandleW(nullptr);
  wc.hCursor = LoadCursorW(nullptr, IDC_ARROW);
  wc.hbrBackground = (HBRUSH)(COLOR_BTNFACE + 1);
  wc.hIcon = g_largeIcon;
  wc.hIconSm = g_smallIcon;
  wc.lpszClassName = kWindowClass;
  registered = RegisterClassExW(&wc) != 0;
  return registered;
}

static bool WindowNumberTaken(int n) { return g_windows.count(n) != 0; }
static bool ControlNumberTaken(int n) { return g_controls.count(n) != 0; }

// Each button and the sizing border is the title bar and one bit of its own,
// which tells it.
const uint32_t kSystemMenuBit = Window_SystemMenu & ~Window_TitleBar;
const uint32_t kMinimizeBit = Window_MinimizeGadget & ~Window_SystemMenu;
const uint32_t kMaximizeBit = Window_MaximizeGadget & ~Window_SystemMenu;
const uint32_t kSizeBit = Window_SizeGadget & ~Window_TitleBar;

// Far beyond any desktop, yet within what every window system takes.
static int ClampPosition(int v) { return v < -1000000 ? -1000000 : v > 1000000 ? 1000000 : v; }

int OpenWindow(int number, int x, int y, int w, int h, const char* title, uint32_t flags, int parent) {
  if (!RegisterWindowClassOnce()) return 0;
  if (number == kAutoNumber) number = FreshNumber(g_nextWindowNumber, WindowNumberTaken);
  if (number <= 0) return 0;
  if (WindowExists(number)) CloseWindow(number);

  DWORD style = WS_CLIPCHILDREN, exStyle = WS_EX_CONTROLPARENT;
  if (flags & Window_BorderLess) style |= WS_POPUP;
  else style |= WS_CAPTION;
  if (flags & kSystemMenuBit) style |= WS_SYSMENU;
  if (flags & kMinimizeBit) style |= WS_MINIMIZEBOX | WS_SYSMENU;
  if (flags & kMaximizeBit) style |= WS_MAXIMIZEBOX | WS_SYSMENU;
  if (flags & kSizeBit) style |= WS_THICKFRAME;
  if (flags & Window_Tool) exStyle |= WS_EX_TOOLWINDOW;
  if (flags & Window_NoActivate) exStyle |= WS_EX_NOACTIVATE;
  HWND owner = (HWND)WindowHandle(parent);

  RECT r = {0, 0, LogicalToDeviceX(w), LogicalToDeviceY(h)};
  AdjustWindowRectEx(&r, style, FALSE, exStyle);
  int outerW = r.right - r.left, outerH = r.bottom - r.top;
  int px = ClampPosition(LogicalToScreenX(x)), py = ClampPosition(LogicalToScreenY(y));
  if (flags & Window_ScreenCentered) {
    RECT work;
    SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
    px = work.left + (work.right - work.left - outerW) / 2;
    py = work.top + (work.bottom - work.top - outerH) / 2;
  }
  std::wstring text = Utf8ToWide(title ? title : "");
  HWND hwnd = CreateWindowExW(exStyle, kWindowClass, text.c_str(), style, px, py, outerW, outerH,
                              owner, nullptr, GetModuleHandleW(nullptr), nullptr);
  if (!hwnd) return 0;
  g_windows[number].hwnd = hwnd;
  g_windowByHandle[hwnd] = number;
  // Focus marks as the system has them for a new window: hidden until the
  // keyboard is used, where the user's settings say so.
  SendMessageW(hwnd, WM_CHANGEUISTATE, MAKEWPARAM(UIS_INITIALIZE, 0), 0);
  if ((flags & Window_WindowCentered) && owner) CenterWindow(number, parent);
  if (!(flags & Window_Invisible)) HideWindow(number, false);
  return number;
}

void CenterWindow(int window, int parent) {
  HWND hwnd = (HWND)WindowHandle(window);
  if (!hwnd) return;
  RECT outer, area;
  GetWindowRect(hwnd, &outer);
  HWND over = (HWND)WindowHandle(parent);
  bool onParent = over && GetWindowRect(over, &area);
  if (!onParent) SystemParametersInfoW(SPI_GETWORKAREA, 0, &area, 0);
  int w = outer.right - outer.left, h = outer.bottom - outer.top;
  int x = area.left + (area.right - area.left - w) / 2, y = area.top + (area.bottom - area.top - h) / 2;
  if (onParent) {
    if (x < 0) x = 0;
    if (y < 0) y = 0;
  }
  SetWindowPos(hwnd, nullptr, x, y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void HideWindow(int window, bool hidden) {
  HWND hwnd = (HWND)WindowHandle(window);
  if (!hwnd) return;
  bool noActivate = GetWindowLongW(hwnd, GWL_EXSTYLE) & WS_EX_NOACTIVATE;
  ShowWindow(hwnd, hidden ? SW_HIDE : noActivate ? SW_SHOWNOACTIVATE : SW_SHOWNORMAL);
}

void SetWindowBounds(int window, int minWidth, int minHeight, int maxWidth, int maxHeight) {
  auto it = g_windows.find(window);
  if (it == g_windows.end()) return;
  int* b = it->second.bounds;
  int values[4] = {minWidth, minHeight, maxWidth, maxHeight};
  for (int i = 0; i < 4; i++)
    if (values[i] != kIgnore) b[i] = values[i];
}

// Drops a control's record, its brush and its bindings; the caller destroys the window.
static void ForgetControl(int control) {
  auto it = g_controls.find(control);
  if (it == g_controls.end()) return;
  if (it->second.brush) DeleteObject(it->second.brush);
  g_controlByHandle.erase(it->second.hwnd);
  g_bindings.erase(control);
  g_controls.erase(it);
}

void CloseWindow(int window) {
  auto it = g_windows.find(window);
  if (it == g_windows.end()) return;
  HWND hwnd = it->second.hwnd;
  // Controls of the window go with it.
  std::vector<int> controls;
  for (auto& c : g_controls)
    if (c.second.window == window) controls.push_back(c.first);
  for (int c : controls) ForgetControl(c);
  g_windowByHandle.erase(hwnd);
  g_windows.erase(it);
  if (hwnd) DestroyWindow(hwnd);
}

void CloseAllWindows() {
  std::vector<int> all;
  for (auto& w : g_windows) all.push_back(w.first);
  for (int w : all) CloseWindow(w);
}

void SetWindowSizeHandler(int window, void (*handler)(int)) {
  if (g_windows.count(window)) g_windows[window].sizeHandler = handler;
}

void SetSessionEndHandler(int window, void (*handler)(int)) {
  if (g_windows.count(window)) g_windows[window].sessionEndHandler = handler;
}

void SetWindowTabOrder(int window, const int* controls, int count) {
  if (g_windows.count(window)) g_windows[window].tabOrder.assign(controls, controls + (count > 0 ? count : 0));
}

int WindowX(int window) {
  RECT r;
  return GetWindowRect((HWND)WindowHandle(window), &r) ? ScreenToLogicalX(r.left) : 0;
}
int WindowY(int window) {
  RECT r;
  return GetWindowRect((HWND)WindowHandle(window), &r) ? ScreenToLogicalY(r.top) : 0;
}
int WindowInnerWidth(int window) {
  RECT r;
  return GetClientRect((HWND)WindowHandle(window), &r) ? DeviceToLogicalX(r.right) : 0;
}
int WindowInnerHeight(int window) {
  RECT r;
  return GetClientRect((HWND)WindowHandle(window), &r) ? DeviceToLogicalY(r.bottom) : 0;
}

int WindowOuterWidth(int window) {
  RECT r;
  return GetWindowRect((HWND)WindowHandle(window), &r) ? DeviceToLogicalX(r.right - r.left) : 0;
}
int WindowOuterHeight(int window) {
  RECT r;
  return GetWindowRect((HWND)WindowHandle(window), &r) ? DeviceToLogicalY(r.bottom - r.top) : 0;
}

void ResizeWindowTo(int window, int x, int y, int innerWidth, int innerHeight) {
  HWND hwnd = (HWND)WindowHandle(window);
  if (!hwnd) return;
  RECT outer, client;
  GetWindowRect(hwnd, &outer);
  GetClientRect(hwnd, &client);
  int px = x == kIgnore ? outer.left : ClampPosition(LogicalToScreenX(x));
  int py = y == kIgnore ? outer.top : ClampPosition(LogicalToScreenY(y));
  int cw = innerWidth == kIgnore ? client.right : LogicalToDeviceX(innerWidth);
  int ch = innerHeight == kIgnore ? client.bottom : LogicalToDeviceY(innerHeight);
  if (px == outer.left && py == outer.top && cw == client.right && ch == client.bottom) return;  // already so
  RECT frame = FrameOf(hwnd);
  SetWindowPos(hwnd, nullptr, px, py, cw + frame.right - frame.left, ch + frame.bottom - frame.top,
               SWP_NOZORDER | SWP_NOACTIVATE);
}

//-----------------------------------------------------------------------------
// [SECTION] Events and timers
//-----------------------------------------------------------------------------

static bool IsPushButton(HWND hwnd) {
  auto it = g_controls.find(ControlNumberOf(hwnd));
  if (it == g_controls.end() || it->second.kind != CONTROL_BUTTON) return false;
  LONG type = GetWindowLongW(hwnd, GWL_STYLE) & BS_TYPEMASK;
  return type == BS_PUSHBUTTON || type == BS_DEFPUSHBUTTON;
}

// Tab in a window with an order of its own moves the focus along it, as the
// dialog manager would along the window's tree: a text field's text comes
// selected, and the window shows focus marks from now on (the keyboard is in
// use). False where the window has no order, or Ctrl or Alt is held.
static bool MoveFocusByTab(HWND root) {
  auto it = g_windows.find(WindowNumberOf(root));
  if (it == g_windows.end() || it->second.tabOrder.empty()) return false;
  if (GetKeyState(VK_CONTROL) < 0 || GetKeyState(VK_MENU) < 0) return false;
  const std::vector<int>& order = it->second.tabOrder;
  std::unique_ptr<bool[]> canFocus(new bool[order.size()]);
  HWND focus = GetFocus();
  int current = -1;
  for (size_t i = 0; i < order.size(); i++) {
    HWND hwnd = (HWND)ControlHandle(order[i]);
    canFocus[i] = hwnd && IsWindowVisible(hwnd) && IsWindowEnabled(hwnd);
    if (hwnd && (hwnd == focus || IsChild(hwnd, focus))) current = (int)i;
  }
  int next = NextInFocusOrder(canFocus.get(), (int)order.size(), current, GetKeyState(VK_SHIFT) < 0);
  if (next < 0) return false;
  HWND target = (HWND)ControlHandle(order[(size_t)next]);
  SetFocus(target);
  if (SendMessageW(target, WM_GETDLGCODE, 0, 0) & DLGC_HASSETSEL) SendMessageW(target, EM_SETSEL, 0, -1);
  SendMessageW(root, WM_CHANGEUISTATE, MAKEWPARAM(UIS_CLEAR, UISF_HIDEFOCUS), 0);
  return true;
}

int WaitWindowEvent(int timeoutMs, WindowEvent* event) {
  SetCurrentWindowEvent(nullptr);  // the caller is done with the previous event
  DWORD start = GetTickCount();
  for (;;) {
    MSG msg;
    while (!PendingWindowEventCount() && PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
      if (msg.message == WM_QUIT) break;
      // Tab and arrow navigation between the controls of our windows. Enter
      // and Escape stay with the focused control: the dialog manager would
      // turn them into clicks of whatever controls carry ids 1 and 2, or into
      // menu items 1 and 2. Enter on a push button presses it.
      HWND root = msg.hwnd ? TopLevelOf(msg.hwnd) : nullptr;
      bool enterOrEscape = (msg.message == WM_KEYDOWN || msg.message == WM_CHAR) &&
                           (msg.wParam == VK_RETURN || msg.wParam == VK_ESCAPE);
      if (msg.message == WM_KEYDOWN && msg.wParam == VK_TAB && root && MoveFocusByTab(root)) continue;
      if (msg.message == WM_KEYDOWN && msg.wParam == VK_RETURN && IsPushButton(msg.hwnd)) {
        SendMessageW(msg.hwnd, BM_CLICK, 0, 0);
        continue;
      }
      if (!enterOrEscape && root && WindowNumberOf(root) && IsDialogMessageW(root, &msg)) continue;
      TranslateMessage(&msg);
      DispatchMessageW(&msg);
    }
    if (TakeWindowEvent(event)) return event->code;
    DWORD waited = GetTickCount() - start;
    if ((int)waited >= timeoutMs) return 0;
    MsgWaitForMultipleObjectsEx(0, nullptr, (DWORD)timeoutMs - waited, QS_ALLINPUT,
                                MWMO_INPUTAVAILABLE);
  }
}

void PostControlEvent(int window, int control, int type) {
  HWND hwnd = (HWND)WindowHandle(window);
  if (!hwnd) return;
  PostMessageW(hwnd, WM_TINTVANE_POSTED_EVENT, (WPARAM)control, (LPARAM)type);
}

bool AddWindowTimer(int window, int timerId, int periodMs) {
  HWND hwnd = (HWND)WindowHandle(window);
  return hwnd && SetTimer(hwnd, (UINT_PTR)timerId, (UINT)periodMs, nullptr) != 0;
}

void RemoveWindowTimer(int window, int timerId) {
  HWND hwnd = (HWND)WindowHandle(window);
  if (hwnd) KillTimer(hwnd, (UINT_PTR)timerId);
}

uint32_t TickMs() { return GetTickCount(); }

//-----------------------------------------------------------------------------
// [SECTION] Controls
//-----------------------------------------------------------------------------

int RegisterControl(int number, void* hwnd, int window, int kind) {
  if (!hwnd || !WindowExists(window)) return 0;
  if (number == kAutoNumber) number = FreshNumber(g_nextControlNumber, ControlNumberTaken);
  if (number <= 0) return 0;
  if (ControlExists(number)) ReleaseControl(number);
  g_controls[number] = ControlRecord{(HWND)hwnd, window, kind};
  g_controlByHandle[(HWND)hwnd] = number;
  SetWindowLongPtrW((HWND)hwnd, GWLP_ID, (LONG_PTR)number);
  return number;
}

void ReleaseControl(int control) {
  auto it = g_controls.find(control);
  if (it == g_controls.end()) return;
  HWND hwnd = it->second.hwnd;
  // The controls inside a container go with it.
  std::vector<int> released = {control};
  for (auto& c : g_controls)
    if (hwnd && c.second.hwnd && IsChild(hwnd, c.second.hwnd)) released.push_back(c.first);
  for (int c : released) ForgetControl(c);
  if (hwnd) DestroyWindow(hwnd);
}

void SetControlText(int control, const char* text) {
  HWND hwnd = (HWND)ControlHandle(control);
  if (!hwnd) return;
  std::wstring wide = Utf8ToWide(text ? text : "");
  BeginProgramTextChange();
  SetWindowTextW(hwnd, wide.c_str());
  EndProgramTextChange();
}

std::string ControlText(int control) {
  HWND hwnd = (HWND)ControlHandle(control);
  if (!hwnd) return std::string();
  int n = GetWindowTextLengthW(hwnd);
  std::wstring wide((size_t)n + 1, L'\0');
  GetWindowTextW(hwnd, &wide[0], n + 1);
  return WideToUtf8(wide.c_str());
}

void DisableControl(int control, bool disabled) {
  if (HWND hwnd = (HWND)ControlHandle(control)) EnableWindow(hwnd, !disabled);
}

void HideControl(int control, bool hidden) {
  if (HWND hwnd = (HWND)ControlHandle(control)) ShowWindow(hwnd, hidden ? SW_HIDE : SW_SHOWNA);
}

void BindControlEvent(int control, int type, void (*procedure)(const WindowEvent&)) {
  if (ControlExists(control) && procedure) g_bindings[control].push_back(EventBinding{type, procedure});
}

void SetControlFont(int control, void* hfont) {
  if (HWND hwnd = (HWND)ControlHandle(control)) SendMessageW(hwnd, WM_SETFONT, (WPARAM)hfont, TRUE);
}

void SetControlColors(int control, int background, int text) {
  auto it = g_controls.find(control);
  if (it == g_controls.end()) return;
  ControlRecord& c = it->second;
  if (c.background == background && c.text == text) return;
  if (c.brush) DeleteObject(c.brush);
  c.brush = background >= 0 ? CreateSolidBrush((COLORREF)background) : nullptr;
  c.background = background;
  c.text = text;
  InvalidateRect(c.hwnd, nullptr, TRUE);
}

static bool ControlRect(int control, RECT* r) {
  HWND hwnd = (HWND)ControlHandle(control);
  if (!hwnd || !GetWindowRect(hwnd, r)) return false;
  MapWindowPoints(HWND_DESKTOP, GetParent(hwnd), (POINT*)r, 2);
  return true;
}

void ResizeControl(int control, int x, int y, int w, int h) {
  RECT r;
  if (!ControlRect(control, &r)) return;
  int px = x == kIgnore ? r.left : LogicalToDeviceX(x);
  int py = y == kIgnore ? r.top : LogicalToDeviceY(y);
  int pw = w == kIgnore ? r.right - r.left : LogicalToDeviceX(w);
  int ph = h == kIgnore ? r.bottom - r.top : LogicalToDeviceY(h);
  // Placing a window's content again mostly finds controls where they are.
  if (px == r.left && py == r.top && pw == r.right - r.left && ph == r.bottom - r.top) return;
  HWND hwnd = (HWND)ControlHandle(control);
  UINT flags = SWP_NOZORDER | SWP_NOACTIVATE;
  // A control not on show (its window not yet shown, say) has nothing on
  // the screen to redraw; it paints whole when it shows.
  if (!IsWindowVisible(hwnd)) flags |= SWP_NOREDRAW | SWP_NOCOPYBITS | SWP_DEFERERASE;
  SetWindowPos(hwnd, nullptr, px, py, pw, ph, flags);
}

int ControlX(int control) {
  RECT r;
  return ControlRect(control, &r) ? DeviceToLogicalX(r.left) : 0;
}
int ControlY(int control) {
  RECT r;
  return ControlRect(control, &r) ? DeviceToLogicalY(r.top) : 0;
}
int ControlWidth(int control) {
  RECT r;
  return ControlRect(control, &r) ? DeviceToLogicalX(r.right - r.left) : 0;
}
int ControlHeight(int control) {
  RECT r;
  return ControlRect(control, &r) ? DeviceToLogicalY(r.bottom - r.top) : 0;
}

int ControlScreenX(int control) {
  RECT r;
  HWND hwnd = (HWND)ControlHandle(control);
  return hwnd && GetWindowRect(hwnd, &r) ? DeviceToLogicalX(r.left) : 0;
}
int ControlScreenY(int control) {
  RECT r;
  HWND hwnd = (HWND)ControlHandle(control);
  return hwnd && GetWindowRect(hwnd, &r) ? DeviceToLogicalY(r.top) : 0;
}

int FocusedControl() { return ControlNumberOf(GetFocus()); }

void SetTextFieldLimit(int control, int characters) {
  if (HWND hwnd = (HWND)ControlHandle(control)) SendMessageW(hwnd, EM_SETLIMITTEXT, (WPARAM)characters, 0);
}

//-----------------------------------------------------------------------------
// [SECTION] Window behaviour
//-----------------------------------------------------------------------------

void SetWindowTitle(int window, const char* title) {
  if (HWND hwnd = (HWND)WindowHandle(window)) SetWindowTextW(hwnd, Utf8ToWide(title ? title : "").c_str());
}

void SetWindowStayOnTop(int window, bool onTop) {
  HWND hwnd = (HWND)WindowHandle(window);
  if (!hwnd) return;
  bool isOnTop = (GetWindowLongW(hwnd, GWL_EXSTYLE) & WS_EX_TOPMOST) != 0;
  if (isOnTop == onTop) return;  // a new window starts in the ordinary band: nothing to move
  SetWindowPos(hwnd, onTop ? HWND_TOPMOST : HWND_NOTOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
}

void ActivateWindow(int window) {
  if (HWND hwnd = (HWND)WindowHandle(window)) SetForegroundWindow(hwnd);
}

bool WindowIsMinimized(int window) {
  HWND hwnd = (HWND)WindowHandle(window);
  return hwnd && IsIconic(hwnd);
}

void HideWindowAnimated(int window, int animation, int ms) {
  HWND hwnd = (HWND)WindowHandle(window);
  if (!hwnd) return;
  static const DWORD kFlags[] = {AW_HOR_POSITIVE, AW_VER_NEGATIVE, AW_CENTER, AW_BLEND};
  bool known = animation >= 0 && animation < (int)(sizeof kFlags / sizeof kFlags[0]);
  if (!known || !AnimateWindow(hwnd, (DWORD)ms, AW_HIDE | kFlags[animation])) ShowWindow(hwnd, SW_HIDE);
}

//-----------------------------------------------------------------------------
// [SECTION] Displays
//-----------------------------------------------------------------------------

static std::vector<RECT> g_displays;  // virtual-screen pixels, the primary first

static BOOL CALLBACK CollectDisplay(HMONITOR monitor, HDC, LPRECT, LPARAM) {
  MONITORINFO info = {sizeof info};
  if (!GetMonitorInfoW(monitor, &info)) return TRUE;
  if (info.dwFlags & MONITORINFOF_PRIMARY) g_displays.insert(g_displays.begin(), info.rcMonitor);
  else g_displays.push_back(info.rcMonitor);
  return TRUE;
}

int ExamineDisplays() {
  g_displays.clear();
  EnumDisplayMonitors(nullptr, nullptr, CollectDisplay, 0);
  return (int)g_displays.size();
}

// Adds the rectangle EnumDisplayMonitors hands over to the
// std::vector<ScreenRect> at `list`.
static BOOL CALLBACK CollectMonitorRect(HMONITOR, HDC, LPRECT r, LPARAM list) {
  ((std::vector<ScreenRect>*)list)->push_back(ScreenRect{r->left, r->top, r->right - r->left, r->bottom - r->top});
  return TRUE;
}

std::vector<ScreenRect> MonitorRects(const ScreenRect* reaching) {
  std::vector<ScreenRect> monitors;
  RECT clip = {};
  if (reaching) clip = {reaching->x, reaching->y, reaching->x + reaching->width, reaching->y + reaching->height};
  // One call, the rectangles handed over with the monitors, without a
  // GetMonitorInfoW for each: every tick of a pick comes here.
  EnumDisplayMonitors(nullptr, reaching ? &clip : nullptr, CollectMonitorRect, (LPARAM)&monitors);
  if (monitors.empty() && GetSystemMetrics(SM_CMONITORS) == 0)
    monitors.push_back(ScreenRect{0, 0, PrimaryMonitorWidth(), PrimaryMonitorHeight()});
  return monitors;
}

static const RECT* DisplayRect(int display) {
  return display >= 0 && display < (int)g_displays.size() ? &g_displays[(size_t)display] : nullptr;
}
int DisplayX(int display) { return DisplayRect(display) ? DisplayRect(display)->left : 0; }
int DisplayY(int display) { return DisplayRect(display) ? DisplayRect(display)->top : 0; }
int DisplayWidth(int display) {
  return DisplayRect(display) ? DisplayRect(display)->right - DisplayRect(display)->left : 0;
}
int DisplayHeight(int display) {
  return DisplayRect(display) ? DisplayRect(display)->bottom - DisplayRect(display)->top : 0;
}
int PrimaryMonitorWidth() { return GetSystemMetrics(SM_CXSCREEN); }
int PrimaryMonitorHeight() { return GetSystemMetrics(SM_CYSCREEN); }
