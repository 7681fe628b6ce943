// The canvas control on Win32: a child window that shows a 24-bit surface and
// turns its messages into canvas events.
//
// Index of this file:
// [SECTION] Records and module-wide state
// [SECTION] Cursor table
// [SECTION] Surface
// [SECTION] Painting
// [SECTION] Focus mark and cell marker
// [SECTION] Events
// [SECTION] Mouse capture and confinement
// [SECTION] Message handlers
// [SECTION] Creation
// [SECTION] Attributes
#include "runtime/win32_internal.h"  // windows.h first

#include <windowsx.h>

#include "runtime/canvas.h"
#include "runtime/drawing.h"

//-----------------------------------------------------------------------------
// [SECTION] Records and module-wide state
//-----------------------------------------------------------------------------

struct CanvasRecord {
  HWND hwnd = nullptr;
  int number = 0;  // the control number, once registered
  int flags = 0;
  HBITMAP surface = nullptr;
  HDC surfaceDc = nullptr;  // holds the surface for the canvas's lifetime
  HGDIOBJ displacedBitmap = nullptr;
  PixelBuffer pixels = {};
  int background = -1;
  int cursorIndex = CURSOR_ARROW;  // kCustomCursor while the program's own cursor is set
  HCURSOR cursor = nullptr;
  bool pointerInside = false;
  void (*handler)(int canvas, int event) = nullptr;
  // The keyboard was used on the canvas since a mouse button was last
  // pressed there (or the focus came by the keyboard): the cell marker shows.
  bool keyboardCue = false;
  bool hasMarker = false;
  RECT marker = {};  // the marker's frame, in surface pixels
  HWND ring = nullptr;  // the focus mark around it, made when first shown
};

static const wchar_t kCanvasClass[] = L"TintvaneCanvas";
// The record lives in the window's extra bytes: reading them needs no trip to
// the window server, and every message and every drawing looks it up.
static const int kRecordSlot = 0;
static const int kCustomCursor = 254;
static const int kWhite = 0xFFFFFF;

// The one canvas that confines the pointer, and the wheel movement not yet
// reported: shared by all canvases, used on the GUI thread only.
static HWND g_clipOwner = nullptr;
static int g_wheelAccumulator = 0;

static CanvasRecord* RecordOf(HWND hwnd) { return (CanvasRecord*)GetWindowLongPtrW(hwnd, kRecordSlot); }

static CanvasRecord* CanvasRecordOf(int canvas) {
  if (ControlKindOf(canvas) != CONTROL_CANVAS) return nullptr;
  return RecordOf((HWND)ControlHandle(canvas));
}

bool IsCanvas(int control) { return CanvasRecordOf(control) != nullptr; }

//-----------------------------------------------------------------------------
// [SECTION] Cursor table, loaded on first use
//-----------------------------------------------------------------------------

static HCURSOR TableCursor(int index) {
  static const LPCWSTR kShapes[CURSOR_COUNT] = {
      IDC_ARROW,  IDC_CROSS,  IDC_IBEAM,  IDC_HAND,     IDC_WAIT,     IDC_NO,
      IDC_SIZEALL, IDC_SIZEWE, IDC_SIZENS, IDC_SIZENWSE, IDC_SIZENESW, nullptr,  // hidden: no cursor
  };
  static HCURSOR loaded[CURSOR_COUNT];
  if (!loaded[index] && kShapes[index]) loaded[index] = LoadCursorW(nullptr, kShapes[index]);
  return loaded[index];
}

static void SetCanvasCursor(CanvasRecord* r, int index, HCURSOR cursor) {
  r->cursorIndex = index;
  r->cursor = cursor;
  if (r->pointerInside) SetCursor(cursor);
}

//-----------------------------------------------------------------------------
// [SECTION] Surface
//-----------------------------------------------------------------------------

static int BackgroundFill(const CanvasRecord* r) { return r->background == -1 ? kWhite : r->background; }

// Builds the surface for the current outer size, keeping the old picture at
// the top left. On failure the old surface stays in use.
static bool BuildSurface(CanvasRecord* r) {
  RECT outer;
  GetWindowRect(r->hwnd, &outer);
  int border = (r->flags & Canvas_Border) ? 4 : 0;
  int width = outer.right - outer.left - border, height = outer.bottom - outer.top - border;
  if (width < 1) width = 1;
  if (height < 1) height = 1;
  if (r->surface && width == r->pixels.width && height == r->pixels.height) return true;

  PixelBuffer pixels;
  HBITMAP bitmap = NewPixelBitmap(width, height, 3, &pixels);
  if (!bitmap) return false;
  RasterFillAll(pixels, BackgroundFill(r), 255);
  if (!r->surface) {
    r->surfaceDc = CreateCompatibleDC(nullptr);
    r->displacedBitmap = r->surfaceDc ? SelectObject(r->surfaceDc, bitmap) : nullptr;
    if (!r->displacedBitmap) {
      if (r->surfaceDc) DeleteDC(r->surfaceDc);
      r->surfaceDc = nullptr;
      DeleteObject(bitmap);
      return false;
    }
  } else {
    if (!SelectObject(r->surfaceDc, bitmap)) {  // the old surface stays selected and in use
      DeleteObject(bitmap);
      return false;
    }
    DetachDrawingFrom(r->surface);
    GdiFlush();
    RasterCopy(pixels, r->pixels, 0, 0);
    DeleteObject(r->surface);
  }
  r->surface = bitmap;
  r->pixels = pixels;
  return true;
}

static void PaintSurface(const CanvasRecord* r, HDC target);

// Repaints through the system: the whole client area, and with it the
// children of a container.
static void RepaintNow(const CanvasRecord* r) {
  UINT how = RDW_INVALIDATE | RDW_UPDATENOW;
  if (r->flags & Canvas_Container) how |= RDW_ALLCHILDREN;
  RedrawWindow(r->hwnd, nullptr, nullptr, how);
}

// Shows the surface at once: the copy a paint request makes, straight into
// the window's device context, without invalidating and painting through the
// message handler. A container repaints through the system, so its children
// paint too. A region that was already waiting for its paint still gets it.
static void ShowSurfaceNow(const CanvasRecord* r) {
  if (r->flags & Canvas_Container) {
    RepaintNow(r);
    return;
  }
  ScopedGetDC dc(r->hwnd);
  if (dc) PaintSurface(r, dc);
}

bool CanvasSurfaceOf(int canvas, HBITMAP* bitmap, HDC* dc, PixelBuffer* pixels) {
  CanvasRecord* r = CanvasRecordOf(canvas);
  if (!r || !r->surface) return false;
  *bitmap = r->surface;
  *dc = r->surfaceDc;
  *pixels = r->pixels;
  return true;
}

void ShowCanvasSurfaceNow(int canvas) {
  if (CanvasRecord* r = CanvasRecordOf(canvas)) ShowSurfaceNow(r);
}

static void CopyBitmapToSurface(CanvasRecord* r, HBITMAP bitmap) {
  PixelBuffer source;
  std::vector<unsigned char> storage;
  if (bitmap == r->surface || !BitmapPixels(bitmap, &source, &storage)) return;
  RasterCopy(r->pixels, source, 0, 0);
  ShowSurfaceNow(r);
}

//-----------------------------------------------------------------------------
// [SECTION] Painting: one copy of the surface, through an off-screen bitmap when the
// focus rectangle goes on top
//-----------------------------------------------------------------------------

static void DrawCellMarker(const CanvasRecord* r, HDC target);

static void PaintSurface(const CanvasRecord* r, HDC target) {
  RECT client;
  GetClientRect(r->hwnd, &client);
  bool focusFrame = (r->flags & Canvas_DrawFocus) && GetFocus() == r->hwnd;
  if (!focusFrame) {
    if (r->surface) BitBlt(target, 0, 0, r->pixels.width, r->pixels.height, r->surfaceDc, 0, 0, SRCCOPY);
    else FillRect(target, &client, (HBRUSH)GetStockObject(WHITE_BRUSH));
    DrawCellMarker(r, target);
    return;
  }
  ScopedMemoryDC composed(target);
  ScopedGdiObject frame(CreateCompatibleBitmap(target, client.right, client.bottom));
  if (!composed || !frame) return;
  ScopedSelectObject selected(composed, frame);
  FillRect(composed, &client, (HBRUSH)GetStockObject(WHITE_BRUSH));
  if (r->surface) BitBlt(composed, 0, 0, r->pixels.width, r->pixels.height, r->surfaceDc, 0, 0, SRCCOPY);
  DrawCellMarker(r, composed);
  RECT focus = client;
  InflateRect(&focus, -2, -2);
  DrawFocusRect(composed, &focus);
  BitBlt(target, 0, 0, client.right, client.bottom, composed, 0, 0, SRCCOPY);
}

static void OnPaint(const CanvasRecord* r) {
  ScopedPaint paint(r->hwnd);
  if (paint) PaintSurface(r, paint);
}

//-----------------------------------------------------------------------------
// [SECTION] Focus mark and cell marker
//-----------------------------------------------------------------------------

// A canvas with Canvas_Keyboard shows its focus as the system's focus
// rectangle around it, a pixel off its edge, in the room its parent leaves
// there: drawn over the canvas it would change the colours it frames. The
// mark is a window of its own, a ring-shaped child of the canvas's parent
// above its siblings, so the parent and the frames around the canvas need
// not know of it; it takes no input, which goes to what lies beneath. In
// high contrast the ring, in the system's colours, also frames a canvas
// without a border of its own, focused or not, so that its colours show
// against whatever the user's background is.

static const wchar_t kFocusRingClass[] = L"TintvaneFocusRing";
static const int kFocusRingGap = 1;  // pixels between the canvas and its ring

// Whether the user has the system show everything in its high-contrast
// colours: the program's own marks then take the system's colours too.
static bool HighContrast() {
  HIGHCONTRASTW contrast = {sizeof contrast};
  return SystemParametersInfoW(SPI_GETHIGHCONTRAST, sizeof contrast, &contrast, 0) &&
         (contrast.dwFlags & HCF_HIGHCONTRASTON);
}

// False while the window's focus marks are hidden until the keyboard is used.
// Asked of the top-level window, which holds the state: a change goes to it
// (a key on a canvas sends it there) and it passes the change down.
static bool FocusMarksShown(HWND hwnd) {
  return !(SendMessageW(TopLevelOf(hwnd), WM_QUERYUISTATE, 0, 0) & UISF_HIDEFOCUS);
}

// The focus rectangle's line width the user chose (SPI_GETFOCUSBORDERWIDTH
// or _HEIGHT), within the few pixels the layout leaves around a canvas.
static int FocusBorder(UINT metric) {
  UINT width = 1;
  if (!SystemParametersInfoW(metric, 0, &width, 0) || width < 1) width = 1;
  return width > 3 ? 3 : (int)width;
}

static HWND RingCanvas(HWND ring) { return (HWND)GetWindowLongPtrW(ring, GWLP_USERDATA); }

static void PaintFocusRing(HWND ring, HDC dc) {
  RECT r;
  GetClientRect(ring, &r);  // the window's region leaves the band around the canvas
  bool focused = GetFocus() == RingCanvas(ring);
  if (HighContrast()) {
    FillRect(dc, &r, GetSysColorBrush(focused ? COLOR_HIGHLIGHT : COLOR_WINDOWTEXT));
    return;
  }
  FillRect(dc, &r, GetSysColorBrush(COLOR_BTNFACE));
  SetTextColor(dc, RGB(0, 0, 0));
  SetBkColor(dc, RGB(255, 255, 255));
  DrawFocusRect(dc, &r);
}

static LRESULT CALLBACK FocusRingProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  switch (msg) {
    case WM_NCHITTEST: return HTTRANSPARENT;
    case WM_ERASEBKGND: return 1;
    case WM_PAINT: {
      ScopedPaint paint(hwnd);
      if (paint) PaintFocusRing(hwnd, paint);
      return 0;
    }
    case WM_NCDESTROY:  // with the parent it lives in, perhaps before its canvas
      if (CanvasRecord* r = RecordOf(RingCanvas(hwnd))) r->ring = nullptr;
      break;
  }
  return DefWindowProcW(hwnd, msg, wParam, lParam);
}

static HWND NewRing(HWND canvas) {
  static bool registered = false;
  if (!registered) {
    WNDCLASSEXW wc = {sizeof wc};
    wc.lpfnWndProc = FocusRingProc;
    wc.hInstance = GetModuleHandleW(nullptr);
    wc.lpszClassName = kFocusRingClass;
    registered = RegisterClassExW(&wc) != 0;
    if (!registered) return nullptr;
  }
  // Disabled: the dialog manager's arrow keys never move the focus onto it.
  HWND ring = CreateWindowExW(0, kFocusRingClass, L"", WS_CHILD | WS_DISABLED | WS_CLIPSIBLINGS, 0, 0, 0, 0,
                              GetParent(canvas), nullptr, GetModuleHandleW(nullptr), nullptr);
  if (ring) SetWindowLongPtrW(ring, GWLP_USERDATA, (LONG_PTR)canvas);
  return ring;
}

static bool TakesFocusRing(const CanvasRecord* r) {
  return (r->flags & Canvas_Keyboard) && !(r->flags & Canvas_DrawFocus);
}

// Shows the ring around the canvas while it has the focus and the window
// shows focus marks (or, in high contrast, while a canvas without a border
// shows at all), at its present place; hides it otherwise.
static void PlaceFocusRing(HWND hwnd) {
  CanvasRecord* r = RecordOf(hwnd);
  if (!r || !TakesFocusRing(r)) return;
  bool focused = GetFocus() == hwnd && FocusMarksShown(hwnd);
  bool framed = !(r->flags & Canvas_Border) && HighContrast();
  if (!IsWindowVisible(hwnd) || !(focused || framed)) {
    if (r->ring) ShowWindow(r->ring, SW_HIDE);
    return;
  }
  if (!r->ring) r->ring = NewRing(hwnd);
  if (!r->ring) return;
  RECT at;
  GetWindowRect(hwnd, &at);
  MapWindowPoints(HWND_DESKTOP, GetParent(hwnd), (POINT*)&at, 2);
  int lineX = FocusBorder(SPI_GETFOCUSBORDERWIDTH), lineY = FocusBorder(SPI_GETFOCUSBORDERHEIGHT);
  InflateRect(&at, kFocusRingGap + lineX, kFocusRingGap + lineY);
  int width = at.right - at.left, height = at.bottom - at.top;
  HRGN band = CreateRectRgn(0, 0, width, height);
  HRGN inside = CreateRectRgn(lineX, lineY, width - lineX, height - lineY);
  if (band && inside) CombineRgn(band, band, inside, RGN_DIFF);
  if (inside) DeleteObject(inside);
  if (band && !SetWindowRgn(r->ring, band, FALSE)) DeleteObject(band);  // the window owns the region it takes
  SetWindowPos(r->ring, HWND_TOP, at.left, at.top, width, height, SWP_NOACTIVATE | SWP_SHOWWINDOW);
  InvalidateRect(r->ring, nullptr, FALSE);
}

static bool CellMarkerShown(const CanvasRecord* r) {
  return r->hasMarker && r->keyboardCue && GetFocus() == r->hwnd && FocusMarksShown(r->hwnd);
}

// Two lines round the marked cell, dark outside and light inside, so that
// they show on any colour; the system's highlight colours in high contrast.
static void DrawCellMarker(const CanvasRecord* r, HDC target) {
  if (!CellMarkerShown(r)) return;
  bool contrast = HighContrast();
  RECT frame = r->marker;
  FrameRect(target, &frame, contrast ? GetSysColorBrush(COLOR_HIGHLIGHT) : (HBRUSH)GetStockObject(BLACK_BRUSH));
  InflateRect(&frame, -1, -1);
  if (frame.right > frame.left && frame.bottom > frame.top)
    FrameRect(target, &frame, contrast ? GetSysColorBrush(COLOR_HIGHLIGHTTEXT) : (HBRUSH)GetStockObject(WHITE_BRUSH));
}

// The keyboard used, or not, on the canvas: the marker follows.
static void SetKeyboardCue(CanvasRecord* r, bool used) {
  if (r->keyboardCue == used) return;
  r->keyboardCue = used;
  if (r->hasMarker) InvalidateRect(r->hwnd, nullptr, FALSE);
}

//-----------------------------------------------------------------------------
// [SECTION] Events
//-----------------------------------------------------------------------------

// The input state for an event: the pointer where the message was generated,
// in client pixels; buttons and modifiers as of the message being handled.
static CanvasEventData SnapshotInput(HWND hwnd) {
  CanvasEventData d = {};
  DWORD position = GetMessagePos();
  POINT p = {GET_X_LPARAM(position), GET_Y_LPARAM(position)};
  ScreenToClient(hwnd, &p);
  d.pointerX = p.x;
  d.pointerY = p.y;
  // The thread's key states at once: one question to the system, not one a key.
  BYTE keys[256];
  if (!GetKeyboardState(keys)) return d;
  auto down = [&keys](int key) { return (keys[key] & 0x80) != 0; };
  d.buttonMask = (down(VK_LBUTTON) ? 1 : 0) | (down(VK_RBUTTON) ? 2 : 0) | (down(VK_MBUTTON) ? 4 : 0);
  d.modifierMask = (down(VK_SHIFT) ? 1 : 0) | (down(VK_MENU) ? 2 : 0) | (down(VK_CONTROL) ? 4 : 0);
  return d;
}

// Runs the bound handler with this event as the current one, then queues the
// event. Returns false when the canvas is gone afterwards (a handler may
// release it), so the caller stops.
static bool RaiseEvent(HWND hwnd, int type, const CanvasEventData& data) {
  CanvasRecord* r = RecordOf(hwnd);
  if (!r || !r->number) return r != nullptr;
  int canvas = r->number;
  if (r->handler) {
    WindowEvent event = {Event_Control, ControlWindow(canvas), canvas, type, 0, data};
    const WindowEvent* outer = CurrentWindowEvent();
    WindowEvent saved = outer ? *outer : WindowEvent{};
    SetCurrentWindowEvent(&event);
    r->handler(canvas, type);
    SetCurrentWindowEvent(outer ? &saved : nullptr);
  }
  OfferControlEvent(canvas, type, &data);
  return RecordOf(hwnd) != nullptr;
}

static bool Raise(HWND hwnd, int type) { return RaiseEvent(hwnd, type, SnapshotInput(hwnd)); }

static int EventData(int canvas, int attribute) {
  const WindowEvent* e = CurrentWindowEvent();
  if (!e || e->code != Event_Control || e->control != canvas) return 0;
  switch (attribute) {
    case PointerX: return e->data.pointerX;
    case PointerY: return e->data.pointerY;
    case ButtonMask: return e->data.buttonMask;
    case KeyCode: return e->data.keyCode;
    case ModifierMask: return e->data.modifierMask;
    case WheelSteps: return e->data.wheelSteps;
    case TypedChar: return e->data.typedChar;
  }
  return 0;
}

//-----------------------------------------------------------------------------
// [SECTION] Mouse capture and confinement
//-----------------------------------------------------------------------------

static void FreeClip(HWND hwnd) {
  if (g_clipOwner != hwnd) return;
  g_clipOwner = nullptr;
  ClipCursor(nullptr);
}

// The owner is set before the capture moves, so the canvas losing the
// capture to this one does not free the new confinement.
static void ConfineAndCapture(HWND hwnd) {
  RECT r;
  GetClientRect(hwnd, &r);
  MapWindowPoints(hwnd, HWND_DESKTOP, (POINT*)&r, 2);
  g_clipOwner = hwnd;
  ClipCursor(&r);
  SetCapture(hwnd);
}

static void EndCaptureAndClip(HWND hwnd) {
  FreeClip(hwnd);
  if (GetCapture() == hwnd) ReleaseCapture();
}

//-----------------------------------------------------------------------------
// [SECTION] Message handlers
//-----------------------------------------------------------------------------

static void TakeFocus(HWND hwnd) {
  if (GetFocus() != hwnd) SetFocus(hwnd);
  InvalidateRect(hwnd, nullptr, FALSE);
}

static void OnSize(HWND hwnd) {
  CanvasRecord* r = RecordOf(hwnd);
  BuildSurface(r);
  if (!Raise(hwnd, Resized)) return;
  // A canvas not on show paints whole when it shows.
  if (IsWindowVisible(hwnd)) RepaintNow(r);
}

// The pointer counts as inside only once the system has promised the leave
// notification: if it refuses, the next move asks again (and reports the
// entry again) rather than leaving the canvas sure of a pointer long gone,
// with no PointerLeft and no PointerEntered any more.
static void OnPointerMove(HWND hwnd) {
  CanvasRecord* r = RecordOf(hwnd);
  if (r->pointerInside) {
    Raise(hwnd, PointerMoved);
    return;
  }
  TRACKMOUSEEVENT track = {sizeof track, TME_LEAVE, hwnd, 0};
  r->pointerInside = TrackMouseEvent(&track) != 0;
  Raise(hwnd, PointerEntered);
}

static void OnPointerLeave(HWND hwnd) {
  RecordOf(hwnd)->pointerInside = false;
  Raise(hwnd, PointerLeft);
}

// `mask` is the button's bit; `doubleEvent` is 0 or the double-click event.
static void OnButtonPress(HWND hwnd, int mask, int pressEvent, int doubleEvent) {
  CanvasRecord* r = RecordOf(hwnd);
  if (r->flags & Canvas_Keyboard) {
    TakeFocus(hwnd);
    r = RecordOf(hwnd);  // a handler of the focus events may have released the canvas
    if (!r) return;
  }
  SetKeyboardCue(r, false);  // the mouse is in use there
  CanvasEventData data = SnapshotInput(hwnd);
  if (data.buttonMask == mask) {  // the first button down takes the mouse
    if (r->flags & Canvas_ClipMouse) ConfineAndCapture(hwnd);
    else SetCapture(hwnd);
  }
  if (RaiseEvent(hwnd, pressEvent, data) && doubleEvent) RaiseEvent(hwnd, doubleEvent, data);
}

// A left or right release is a click when it happens over the control while
// the canvas still holds the capture: the message's position, in client
// coordinates, from 0 to the outer width - 1 and the outer height - 1.
// `clickEvent` is -1 for the middle button.
static void OnButtonRelease(HWND hwnd, LPARAM lParam, int releaseEvent, int clickEvent) {
  POINT p = {GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
  RECT outer;
  GetWindowRect(hwnd, &outer);
  OffsetRect(&outer, -outer.left, -outer.top);
  bool click = clickEvent >= 0 && PtInRect(&outer, p) && GetCapture() == hwnd;
  CanvasEventData data = SnapshotInput(hwnd);
  if (data.buttonMask == 0) EndCaptureAndClip(hwnd);
  if (RaiseEvent(hwnd, releaseEvent, data) && click) RaiseEvent(hwnd, clickEvent, data);
}

static void OnWheel(HWND hwnd, int delta) {
  g_wheelAccumulator += delta;
  int steps = g_wheelAccumulator / 120;  // truncated toward zero
  if (steps == 0) return;
  g_wheelAccumulator -= steps * 120;
  CanvasEventData data = SnapshotInput(hwnd);
  data.wheelSteps = steps;
  RaiseEvent(hwnd, WheelTurned, data);
}

static void OnKey(HWND hwnd, int type, WPARAM key) {
  if (type == KeyPressed) {
    // The keyboard is in use: the window shows focus marks from now on, and
    // this canvas its marker.
    if (!FocusMarksShown(hwnd)) SendMessageW(TopLevelOf(hwnd), WM_CHANGEUISTATE, MAKEWPARAM(UIS_CLEAR, UISF_HIDEFOCUS), 0);
    SetKeyboardCue(RecordOf(hwnd), true);
  }
  CanvasEventData data = SnapshotInput(hwnd);
  data.keyCode = (int)key;
  RaiseEvent(hwnd, type, data);
}

static void OnChar(HWND hwnd, WPARAM code) {
  if (code < 32) return;  // Enter, Backspace, Tab, Escape and control characters are keys only
  CanvasEventData data = SnapshotInput(hwnd);
  data.typedChar = (int)(code & 0xFFFF);
  RaiseEvent(hwnd, CharTyped, data);
}

// Every key but Tab reaches a focused canvas, Enter and Escape included, so
// the dialog navigation of the window neither moves away on arrows nor turns
// Enter and Escape into commands.
static LRESULT OnDialogCode(LPARAM lParam) {
  LRESULT code = DLGC_WANTARROWS | DLGC_WANTCHARS;
  const MSG* m = (const MSG*)lParam;
  if (m && (m->message == WM_KEYDOWN || m->message == WM_CHAR) && m->wParam != VK_TAB) code |= DLGC_WANTMESSAGE;
  return code;
}

static void OnEnable(HWND hwnd, bool enabled) {
  if (!enabled) EndCaptureAndClip(hwnd);
  InvalidateRect(hwnd, nullptr, FALSE);
}

static void OnDestroy(HWND hwnd) {
  CanvasRecord* r = RecordOf(hwnd);
  FreeClip(hwnd);
  if (r->ring) DestroyWindow(r->ring);
  if (r->surface) {
    DetachDrawingFrom(r->surface);
    SelectObject(r->surfaceDc, r->displacedBitmap);
    DeleteObject(r->surface);
  }
  if (r->surfaceDc) DeleteDC(r->surfaceDc);
  SetWindowLongPtrW(hwnd, kRecordSlot, 0);
  delete r;
}

static LRESULT CALLBACK CanvasProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  CanvasRecord* r = RecordOf(hwnd);
  if (!r) return DefWindowProcW(hwnd, msg, wParam, lParam);  // still being created
  LRESULT result = 0;
  if ((r->flags & Canvas_Container) && HandleChildNotification(hwnd, msg, wParam, lParam, &result)) return result;
  switch (msg) {
    case WM_SIZE: OnSize(hwnd); return 0;
    case WM_PAINT: OnPaint(r); return 0;
    case WM_ERASEBKGND: PaintSurface(r, (HDC)wParam); return 1;
    case WM_PRINTCLIENT: PaintSurface(r, (HDC)wParam); return 0;
    case WM_MOUSEMOVE: OnPointerMove(hwnd); return 0;
    case WM_MOUSELEAVE: OnPointerLeave(hwnd); return 0;
    case WM_LBUTTONDOWN: OnButtonPress(hwnd, 1, LeftPressed, 0); return 0;
    case WM_LBUTTONDBLCLK: OnButtonPress(hwnd, 1, LeftPressed, LeftDoubleClicked); return 0;
    case WM_RBUTTONDOWN: OnButtonPress(hwnd, 2, RightPressed, 0); return 0;
    case WM_RBUTTONDBLCLK: OnButtonPress(hwnd, 2, RightPressed, RightDoubleClicked); return 0;
    case WM_MBUTTONDOWN:
    case WM_MBUTTONDBLCLK: OnButtonPress(hwnd, 4, MiddlePressed, 0); return 0;
    case WM_LBUTTONUP: OnButtonRelease(hwnd, lParam, LeftReleased, LeftClicked); return 0;
    case WM_RBUTTONUP: OnButtonRelease(hwnd, lParam, RightReleased, RightClicked); return 0;
    case WM_MBUTTONUP: OnButtonRelease(hwnd, lParam, MiddleReleased, -1); return 0;
    case WM_MOUSEWHEEL: OnWheel(hwnd, GET_WHEEL_DELTA_WPARAM(wParam)); return 0;
    case WM_KEYDOWN: OnKey(hwnd, KeyPressed, wParam); return 0;
    case WM_KEYUP: OnKey(hwnd, KeyReleased, wParam); return 0;
    case WM_CHAR: OnChar(hwnd, wParam); return 0;
    case WM_GETDLGCODE: return OnDialogCode(lParam);
    case WM_SETFOCUS:
    case WM_KILLFOCUS:
      InvalidateRect(hwnd, nullptr, FALSE);  // the focus rectangle
      // A focus that came by the keyboard shows the marker; a press takes it away again.
      if (msg == WM_SETFOCUS) SetKeyboardCue(r, true);
      PlaceFocusRing(hwnd);
      Raise(hwnd, msg == WM_SETFOCUS ? FocusGained : FocusLost);
      return 0;
    case WM_MOUSEACTIVATE:
      if (!(r->flags & Canvas_Keyboard)) break;
      TakeFocus(hwnd);
      SetKeyboardCue(r, false);
      return MA_NOACTIVATE;
    case WM_UPDATEUISTATE:  // focus marks shown or hidden from now on
      DefWindowProcW(hwnd, msg, wParam, lParam);
      PlaceFocusRing(hwnd);
      InvalidateRect(hwnd, nullptr, FALSE);
      return 0;
    case WM_WINDOWPOSCHANGED:  // moved, sized, shown or hidden: the ring goes along
      if (r->ring || GetFocus() == hwnd || HighContrast()) PlaceFocusRing(hwnd);
      break;
    case WM_SYSCOLORCHANGE:  // high contrast on or off, passed on by the window
      PlaceFocusRing(hwnd);
      if (r->ring) InvalidateRect(r->ring, nullptr, FALSE);
      InvalidateRect(hwnd, nullptr, FALSE);
      return 0;
    case WM_SETCURSOR:
      if ((HWND)wParam != hwnd) break;  // over a child: its own cursor
      SetCursor(r->cursor);
      return TRUE;
    case WM_CANCELMODE: FreeClip(hwnd); break;  // the default handling ends the capture
    case WM_CAPTURECHANGED:  // no release will come to end the confinement
      if ((HWND)lParam != hwnd) FreeClip(hwnd);
      return 0;
    case WM_ENABLE: OnEnable(hwnd, wParam != 0); return 0;
    case WM_NCDESTROY: OnDestroy(hwnd); break;
  }
  return DefWindowProcW(hwnd, msg, wParam, lParam);
}

//-----------------------------------------------------------------------------
// [SECTION] Creation
//-----------------------------------------------------------------------------

static bool RegisterCanvasClassOnce() {
  static bool registered = false;
  if (registered) return true;
  WNDCLASSEXW wc = {sizeof wc};
  wc.style = CS_DBLCLKS;  // no class brush and no class cursor: the canvas paints and sets both
  wc.cbWndExtra = sizeof(CanvasRecord*);
  wc.lpfnWndProc = CanvasProc;
  wc.hInstance = GetModuleHandleW(nullptr);
  wc.lpszClassName = kCanvasClass;
  registered = RegisterClassExW(&wc) != 0;
  return registered;
}

static int CreateCanvasWindow(int number, int window, HWND parent, int x, int y, int w, int h, int flags) {
  if (!parent || !window || !RegisterCanvasClassOnce()) return 0;
  DWORD style = WS_CHILD | WS_VISIBLE, exStyle = 0;
  if (flags & Canvas_Keyboard) style |= WS_TABSTOP | WS_GROUP;
  if (flags & Canvas_Container) style |= WS_CLIPCHILDREN;
  if (flags & Canvas_Border) exStyle |= WS_EX_CLIENTEDGE;
  HWND hwnd = CreateWindowExW(exStyle, kCanvasClass, L"", style, LogicalToDeviceX(x), LogicalToDeviceY(y),
                              LogicalToDeviceX(w), LogicalToDeviceY(h), parent, nullptr,
                              GetModuleHandleW(nullptr), nullptr);
  if (!hwnd) return 0;
  CanvasRecord* r = new CanvasRecord;
  r->hwnd = hwnd;
  r->flags = flags;
  r->cursor = TableCursor(CURSOR_ARROW);
  SetLastError(0);
  if (!SetWindowLongPtrW(hwnd, kRecordSlot, (LONG_PTR)r) && GetLastError()) {
    delete r;  // the window cannot find it, so its destruction would not free it
    DestroyWindow(hwnd);
    return 0;
  }
  if (!BuildSurface(r)) {
    DestroyWindow(hwnd);  // frees the record
    return 0;
  }
  r->number = RegisterControl(number, hwnd, window, CONTROL_CANVAS);
  if (!r->number) {
    DestroyWindow(hwnd);
    return 0;
  }
  return r->number;
}

int CreateCanvas(int number, int window, int x, int y, int w, int h, int flags) {
  return CreateCanvasWindow(number, window, (HWND)WindowHandle(window), x, y, w, h, flags);
}

int CreateCanvasIn(int number, void* parent, int x, int y, int w, int h, int flags) {
  if (!parent || !IsWindow((HWND)parent)) return 0;
  return CreateCanvasWindow(number, WindowNumberOf(TopLevelOf((HWND)parent)), (HWND)parent, x, y, w, h, flags);
}

//-----------------------------------------------------------------------------
// [SECTION] Attributes, background, focus, handlers
//-----------------------------------------------------------------------------

intptr_t ReadCanvasAttribute(int canvas, int attribute) {
  CanvasRecord* r = CanvasRecordOf(canvas);
  if (!r) return 0;
  switch (attribute) {
    case SurfaceImage: return (intptr_t)r->surface;
    case CursorShape: return r->cursorIndex == kCustomCursor ? -1 : r->cursorIndex;
    case MouseClip: return g_clipOwner == r->hwnd ? 1 : 0;
    case CustomCursor: return r->cursorIndex == kCustomCursor ? (intptr_t)r->cursor : 0;
  }
  return EventData(canvas, attribute);
}

void WriteCanvasAttribute(int canvas, int attribute, intptr_t value) {
  CanvasRecord* r = CanvasRecordOf(canvas);
  if (!r) return;
  switch (attribute) {
    case SurfaceImage: CopyBitmapToSurface(r, (HBITMAP)value); break;
    case CursorShape:
      if (value >= 0 && value < CURSOR_COUNT) SetCanvasCursor(r, (int)value, TableCursor((int)value));
      break;
    case CustomCursor:
      if (value) SetCanvasCursor(r, kCustomCursor, (HCURSOR)value);
      break;
    case MouseClip:
      if (value) ConfineAndCapture(r->hwnd);
      else if (g_clipOwner == r->hwnd) EndCaptureAndClip(r->hwnd);
      break;
  }
}

bool CanvasSurfaceSize(int canvas, int* width, int* height) {
  CanvasRecord* r = CanvasRecordOf(canvas);
  if (!r || !r->surface) return false;
  *width = r->pixels.width;
  *height = r->pixels.height;
  return true;
}

int CanvasSurfacePixel(int canvas, int x, int y) {
  CanvasRecord* r = CanvasRecordOf(canvas);
  if (!r || !r->surface || x < 0 || y < 0 || x >= r->pixels.width || y >= r->pixels.height) return -1;
  GdiFlush();  // platform drawing still on its way reaches the memory first
  return RasterReadPixel(r->pixels, x, y);
}

void SetCanvasBackground(int canvas, int color) {
  CanvasRecord* r = CanvasRecordOf(canvas);
  if (!r) return;
  r->background = color == -1 ? -1 : color & 0xFFFFFF;
  GdiFlush();
  RasterFillAll(r->pixels, BackgroundFill(r), 255);
  ShowSurfaceNow(r);
}

int CanvasBackground(int canvas) {
  CanvasRecord* r = CanvasRecordOf(canvas);
  return r ? r->background : -1;
}

bool FocusCanvas(int canvas) {
  CanvasRecord* r = CanvasRecordOf(canvas);
  if (!r || !(r->flags & Canvas_Keyboard)) return false;
  SetFocus(r->hwnd);
  return GetFocus() == r->hwnd;
}

void BindCanvasHandler(int canvas, void (*handler)(int canvas, int event)) {
  if (CanvasRecord* r = CanvasRecordOf(canvas)) r->handler = handler;
}

void SetCanvasMarker(int canvas, int x, int y, int width, int height) {
  CanvasRecord* r = CanvasRecordOf(canvas);
  if (!r) return;
  bool has = width > 0 && height > 0;
  RECT frame = {x, y, x + (has ? width : 0), y + (has ? height : 0)};
  if (has == r->hasMarker && (!has || EqualRect(&frame, &r->marker))) return;
  r->hasMarker = has;
  r->marker = frame;
  ShowSurfaceNow(r);  // the old frame goes with the surface shown again
}
