// The dialog engine's platform on Win32: where new controls go and the
// child lists that decide it, the required sizes of controls from the
// system's text and edge metrics, and the window side of opening and
// resizing, gathered in the platform table NewDialog hands to a dialog. The
// controls themselves come from dialog/dialog_controls_win.cpp.
#include "runtime/win32_internal.h"  // windows.h first

#include <commctrl.h>

#include <string>

#include "dialog/description.h"
#include "dialog/dialog_internal.h"
#include "dialog/element_flags.h"
#include "runtime/widgets.h"
#include "runtime/windowing.h"

//-----------------------------------------------------------------------------
// Where new controls go: the child lists
//-----------------------------------------------------------------------------

ControlPlacement g_placement;

void* NewControlParent() {
  return g_placement.openLists.empty() ? WindowHandle(g_placement.window) : g_placement.openLists.back();
}

// The window a control's children go into.
static void* ListHandleOf(int control) {
  void* inside = ScrollAreaInside(control);
  return inside ? inside : ControlHandle(control);
}

static void OpenChildList(int control) {
  void* list = ListHandleOf(control);
  g_placement.openLists.push_back(list ? list : NewControlParent());
  g_placement.lastWasOption = false;
}

static void CloseChildList() {
  if (!g_placement.openLists.empty()) g_placement.openLists.pop_back();
  g_placement.lastWasOption = false;
}

//-----------------------------------------------------------------------------
// Metrics: device pixels to logical units
//-----------------------------------------------------------------------------

static int EdgeX() { return ScaledSystemMetric(SM_CXEDGE); }
static int EdgeY() { return ScaledSystemMetric(SM_CYEDGE); }

// The extent of `text` in the control's font as the system draws it.
static SIZE TextExtent(HWND hwnd, const std::wstring& text, bool prefix) {
  SIZE size;
  int w, h;
  MeasureChildText(hwnd, text, prefix, &w, &h);
  size.cx = w, size.cy = h;
  return size;
}

// The border a window's styles add around its client area, in pixels.
static SIZE FrameOf(HWND hwnd) {
  RECT r = {0, 0, 0, 0};
  AdjustWindowRectEx(&r, (DWORD)GetWindowLongW(hwnd, GWL_STYLE), FALSE, (DWORD)GetWindowLongW(hwnd, GWL_EXSTYLE));
  return SIZE{r.right - r.left, r.bottom - r.top};
}

//-----------------------------------------------------------------------------
// Required sizes
//-----------------------------------------------------------------------------

// S(v): a length at 96 pixels per inch on this screen, rounded to nearest.
static int ScaleX(int v) { return LogicalToDeviceX(v); }
static int ScaleY(int v) { return LogicalToDeviceY(v); }

// The height of a line of text in the control's font.
static int LineHeight(HWND hwnd) { return TextExtent(hwnd, L"Hg", false).cy; }

// The control's required size in device pixels. Its text and font are read
// only by the kinds measured by them: every measure asks the system.
static SIZE RequiredPixels(HWND hwnd, int kind, uint32_t flags) {
  int edgeW = 2 * EdgeX(), edgeH = 2 * EdgeY();
  switch (kind) {
    case NODE_TEXT:
    case NODE_HYPERLINK: {
      SIZE s = TextExtent(hwnd, ChildWindowText(hwnd), false);
      if (kind == NODE_TEXT && (flags & Text_Border)) return SIZE{s.cx + edgeW, s.cy + edgeH};
      return SIZE{s.cx + 2, s.cy + 2};
    }
    case NODE_STRING:
    case NODE_SHORTCUT:
      return SIZE{edgeW, LineHeight(hwnd) + edgeH};
    case NODE_BUTTON: {
      SIZE s = TextExtent(hwnd, ChildWindowText(hwnd), true);
      int w = s.cx + ScaleX(edgeW + 10), h = s.cy + ScaleY(edgeH);
      if (h >= ScaleY(18) && h < ScaleY(24)) {
        h = (int)(h * 1.27);
        if (h > ScaleY(24)) h = ScaleY(24);
      }
      return SIZE{w, h};
    }
    case NODE_CHECKBOX:
    case NODE_OPTION: {
      SIZE s = TextExtent(hwnd, ChildWindowText(hwnd), true);
      int box = ScaledSystemMetric(SM_CXMENUCHECK);
      return SIZE{s.cx + box + ScaleX(6), (s.cy > box ? s.cy : box) + 2};
    }
    case NODE_BUTTONIMAGE:
      return SIZE{edgeW + ScaleX(4), edgeH + ScaleY(4)};
    case NODE_IMAGE:
      return FrameOf(hwnd);
    case NODE_COMBOBOX:
    case NODE_EXPLORERCOMBO: {
      int item = (int)SendMessageW(hwnd, CB_GETITEMHEIGHT, (WPARAM)-1, 0);
      return SIZE{edgeW + ScaledSystemMetric(SM_CXVSCROLL) + ScaleX(8), (item > 0 ? item : LineHeight(hwnd)) + edgeH + 2};
    }
    case NODE_CALENDAR: {
      RECT r = {0, 0, 0, 0};
      MonthCal_GetMinReqRect(hwnd, &r);
      SIZE frame = FrameOf(hwnd);
      return SIZE{r.right - r.left + frame.cx, r.bottom - r.top + frame.cy};
    }
    case NODE_DATE: {
      SIZE s = TextExtent(hwnd, L"00/00/0000", false);
      return SIZE{s.cx + edgeW + ScaledSystemMetric(SM_CXVSCROLL) + ScaleX(8), LineHeight(hwnd) + edgeH + 2};
    }
    case NODE_SPIN:
      return SIZE{edgeW + ScaledSystemMetric(SM_CXVSCROLL), LineHeight(hwnd) + edgeH};
    case NODE_IPADDRESS: {
      SIZE s = TextExtent(hwnd, L"000.000.000.000", false);
      return SIZE{s.cx + edgeW + ScaleX(8), LineHeight(hwnd) + edgeH};
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

static int ThinBorderWidth() { return DeviceToLogicalX(ScaledSystemMetric(SM_CXBORDER)); }

static int CaptionHeight(int frame) {
  HWND hwnd = (HWND)ControlHandle(frame);
  if (!hwnd) return 0;
  std::wstring caption = ChildWindowText(hwnd);
  return caption.empty() ? 0 : DeviceToLogicalY(TextExtent(hwnd, caption, true).cy);
}

//-----------------------------------------------------------------------------
// Windows and the rest of the platform table
//-----------------------------------------------------------------------------

static int OpenDialogWindow(int number, int x, int y, int w, int h, const char* title, uint32_t flags, int parent) {
  if (!ControlClassesReady()) return 0;
  int window = OpenWindow(number == -1 ? kAutoNumber : number, x, y, w, h, title, flags, parent);
  if (window <= 0) return 0;
  SetWindowSizeHandler(window, DialogWindowResized);
  g_placement = ControlPlacement{window};
  return window;
}

static void InnerSize(int window, int* w, int* h) {
  *w = WindowInnerWidth(window);
  *h = WindowInnerHeight(window);
}

static void ResizeDialogWindow(int window, int w, int h) { ResizeWindowTo(window, kIgnore, kIgnore, w, h); }

// The layout's automatic length asks to leave a length as it is: kIgnore.
static int IgnoredIfAutomatic(int v) { return v == kAutoLength ? kIgnore : v; }

static void SetDialogWindowBounds(int window, int minW, int minH, int maxW, int maxH) {
  SetWindowBounds(window, IgnoredIfAutomatic(minW), IgnoredIfAutomatic(minH), IgnoredIfAutomatic(maxW), IgnoredIfAutomatic(maxH));
}

static void ShowDialogWindow(int window) { HideWindow(window, false); }

static void Disable(int control) { DisableControl(control, true); }

static void BindEvent(int control, int type, intptr_t procedure) {
  BindControlEvent(control, type, (void (*)(const WindowEvent&))procedure);
}

// Whether only frames lie under the window among its siblings.
static bool OnlyFramesUnder(HWND hwnd) {
  for (HWND under = GetWindow(hwnd, GW_HWNDNEXT); under; under = GetWindow(under, GW_HWNDNEXT))
    if (ControlKindOf(ControlNumberOf(under)) != CONTROL_FRAME) return false;
  return true;
}

static void ResizeDialogControl(int control, int x, int y, int w, int h) {
  ResizeControl(control, x, y, w > 0 ? w : 0, h > 0 ? h : 0);
  // Frames lie under the controls they surround. Each placement of the
  // window's content comes here; the frames already at the bottom, in this
  // order, stay there.
  HWND hwnd = (HWND)ControlHandle(control);
  if (ControlKindOf(control) == CONTROL_FRAME && !OnlyFramesUnder(hwnd))
    SetWindowPos(hwnd, HWND_BOTTOM, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
}

static void SetScrollAreaInner(int control, int w, int h) {
  SetScrollAreaInnerSize(control, IgnoredIfAutomatic(w), IgnoredIfAutomatic(h));
}

static const DialogPlatform kWin32Platform = {
    OpenDialogWindow, CloseWindow,        InnerSize,          ResizeDialogWindow, SetDialogWindowBounds,
    CenterWindow,     ShowDialogWindow,   CreateControlOfKind, OpenChildList,     CloseChildList,
    EndRadioGroup,    AddPanelPage,       SplitterPane,       Disable,            HideControl,
    SetControlText,   BindEvent,          ResizeDialogControl, RequiredSize,      ListRowMetrics,
    ThinBorderWidth,  CaptionHeight,      PanelTabHeight,     PanelPageSize,      SetScrollAreaInner,
    SetSplitterMinimum, SplitterPaneSize,
};

int NewDialog(int number) { return NewDialogOn(&kWin32Platform, number); }
