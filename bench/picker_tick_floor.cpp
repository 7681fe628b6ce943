// The floor of the live picker tick benchmark: a plain Win32 program, none
// of the program's runtime, showing a live pick the way a plain program
// would, in a window with the same children in the same places and sizes.
// Per tick: GetCursorPos; BitBlt of the 31 x 21 screen region into a 32-bit
// DIB section, part by part as it lies on the monitors (EnumDisplayMonitors
// over the region; black where no monitor is), the pulsing crosshair written into it and the centre pixel
// read; FillRect of the swatch and SetWindowTextW of txtRGB; the three
// channel fields rewritten and coloured; three gradient strips written into
// a buffer and shown with SetDIBitsToDevice; StretchBlt with COLORONCOLOR of
// the region over the capture view. What it draws it draws at once; the
// text fields repaint from the message loop, which each tick runs until no
// message is pending.
//
//   picker_tick_floor.exe [TICKS] [UNTIMED] [paced] [autocopy]
//
// "paced" starts the ticks 16 ms apart, as the program's timer does; by
// default each starts when the one before has ended. "autocopy" copies the
// colour text to the clipboard every tick, after the centre pixel is read.
//
// Prints two lines, "FLOOR ticks misses total-ms worst-ms phase-ms..." and
// "TICKS" with every timed tick's time, which the benchmark reads
// (bench/picker_tick_common.h).
#include <windows.h>
#include <commctrl.h>

#include <math.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <wchar.h>

#include "bench/picker_tick_common.h"

//-----------------------------------------------------------------------------
// Window state
//-----------------------------------------------------------------------------

enum ChildId {
  ID_SELECTOR = 1, ID_CAPTURE, ID_PALETTE, ID_HISTORY, ID_SWATCH, ID_CODE, ID_PICTURE,
  ID_STRIP = 10,  // three
  ID_FIELD = 20,  // three
};

static int g_dpi = 96;
static HWND g_window, g_capture, g_swatch, g_code, g_picture, g_strips[3], g_fields[3];

// The region copied from the screen, kept for the capture view's repaints.
static HDC g_regionDc;
static HBITMAP g_region;
static unsigned char* g_regionBits;  // bottom-up, 4 bytes a pixel
static int g_pulseLevel = 0, g_pulseStep = 0;

static int g_swatchColor = 0;
static bool g_autocopy = false;

// Each strip's pixels, 24-bit bottom-up, and the row index of each column.
struct Strip {
  int width, height, stride;
  unsigned char* bits;
  int* columnIndex;
};
static Strip g_stripPixels[3];

// What each channel field shows and how it is coloured.
static int g_fieldNumber[3] = {-1, -1, -1};
static int g_fieldBackground[3] = {-1, -1, -1}, g_fieldText[3] = {-1, -1, -1};
static HBRUSH g_fieldBrush[3];

static unsigned char* g_pictureBits;  // 24-bit bottom-up
static int g_pictureWidth, g_pictureHeight;

static int Scaled(int v) { return MulDiv(v, g_dpi, 96); }

//-----------------------------------------------------------------------------
// Painting
//-----------------------------------------------------------------------------

static BITMAPINFO BottomUpInfo(int width, int height, int bits) {
  BITMAPINFO info = {};
  info.bmiHeader.biSize = sizeof info.bmiHeader;
  info.bmiHeader.biWidth = width;
  info.bmiHeader.biHeight = height;
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = (WORD)bits;
  info.bmiHeader.biCompression = BI_RGB;
  return info;
}

static void ShowRegion(HDC dc) {
  RECT client;
  GetClientRect(g_capture, &client);
  SetStretchBltMode(dc, COLORONCOLOR);
  StretchBlt(dc, 0, 0, client.right, client.bottom, g_regionDc, 0, 0, kBenchCaptureWidth, kBenchCaptureHeight, SRCCOPY);
}

static void ShowSwatch(HDC dc) {
  RECT client;
  GetClientRect(g_swatch, &client);
  SetDCBrushColor(dc, (COLORREF)g_swatchColor);
  FillRect(dc, &client, (HBRUSH)GetStockObject(DC_BRUSH));
}

static void ShowStrip(HDC dc, int channel) {
  const Strip& s = g_stripPixels[channel];
  BITMAPINFO info = BottomUpInfo(s.width, s.height, 24);
  SetDIBitsToDevice(dc, 0, 0, s.width, s.height, 0, 0, 0, s.height, s.bits, &info, DIB_RGB_COLORS);
}

static void ShowPicture(HDC dc) {
  BITMAPINFO info = BottomUpInfo(g_pictureWidth, g_pictureHeight, 24);
  SetDIBitsToDevice(dc, 0, 0, g_pictureWidth, g_pictureHeight, 0, 0, 0, g_pictureHeight, g_pictureBits, &info,
                    DIB_RGB_COLORS);
}

static LRESULT CALLBACK ViewProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  if (msg == WM_ERASEBKGND) return 1;  // the paint covers everything
  if (msg != WM_PAINT) return DefWindowProcW(hwnd, msg, wParam, lParam);
  PAINTSTRUCT ps;
  HDC dc = BeginPaint(hwnd, &ps);
  int id = (int)GetWindowLongPtrW(hwnd, GWLP_ID);
  if (id == ID_CAPTURE) ShowRegion(dc);
  else if (id == ID_SWATCH) ShowSwatch(dc);
  else if (id == ID_PICTURE) ShowPicture(dc);
  else if (id >= ID_STRIP && id < ID_STRIP + 3) ShowStrip(dc, id - ID_STRIP);
  else FillRect(dc, &ps.rcPaint, (HBRUSH)GetStockObject(WHITE_BRUSH));
  EndPaint(hwnd, &ps);
  return 0;
}

static LRESULT CALLBACK WindowProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  if (msg == WM_CTLCOLOREDIT) {
    for (int c = 0; c < 3; c++)
      if ((HWND)lParam == g_fields[c] && g_fieldBrush[c]) {
        SetTextColor((HDC)wParam, (COLORREF)g_fieldText[c]);
        SetBkColor((HDC)wParam, (COLORREF)g_fieldBackground[c]);
        return (LRESULT)g_fieldBrush[c];
      }
  }
  return DefWindowProcW(hwnd, msg, wParam, lParam);
}

//-----------------------------------------------------------------------------
// The window
//-----------------------------------------------------------------------------

// The program's fonts, made as it makes them.
static HFONT MakeFont(int points) {
  return CreateFontW(-MulDiv(points, g_dpi, 72), 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE, DEFAULT_CHARSET,
                     OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, CLEARTYPE_QUALITY, FIXED_PITCH | FF_MODERN, L"Consolas");
}

static HWND Child(const wchar_t* cls, const BenchBox& b, DWORD style, DWORD exStyle, int id) {
  return CreateWindowExW(exStyle, cls, L"", WS_CHILD | WS_VISIBLE | style, Scaled(b.x), Scaled(b.y),
                         Scaled(b.width), Scaled(b.height), g_window, (HMENU)(INT_PTR)id, GetModuleHandleW(nullptr),
                         nullptr);
}

// The row index a strip column shows: column 0 the channel at 0, the last
// column the channel at 255.
static int ColumnIndex(int column, int width) {
  if (width == 1) return 0;
  float t = (float)(column / ((width - 1) / 100.0));
  double index = round((double)t * 2.55);
  return index < 0 ? 0 : index > 255 ? 255 : (int)index;
}

static bool MakeWindow() {
  HINSTANCE instance = GetModuleHandleW(nullptr);
  WNDCLASSW wc = {};
  wc.hInstance = instance;
  wc.hCursor = LoadCursorW(nullptr, IDC_ARROW);
  wc.hbrBackground = (HBRUSH)(COLOR_BTNFACE + 1);
  wc.lpfnWndProc = WindowProc;
  wc.lpszClassName = L"FloorWindow";
  RegisterClassW(&wc);
  wc.hbrBackground = nullptr;
  wc.lpfnWndProc = ViewProc;
  wc.lpszClassName = L"FloorView";
  RegisterClassW(&wc);

  DWORD style = WS_CAPTION | WS_SYSMENU | WS_CLIPCHILDREN, exStyle = WS_EX_CONTROLPARENT;
  RECT r = {0, 0, Scaled(kBenchClient.width), Scaled(kBenchClient.height)};
  AdjustWindowRectEx(&r, style, FALSE, exStyle);
  g_window = CreateWindowExW(exStyle, L"FloorWindow", L"Picker tick floor", style, Scaled(kBenchWindowX),
                             Scaled(kBenchWindowY), r.right - r.left, r.bottom - r.top, nullptr, nullptr, instance,
                             nullptr);
  if (!g_window) return false;
  Child(L"FloorView", kBenchSelector, 0, 0, ID_SELECTOR);
  g_capture = Child(L"FloorView", kBenchCapture, 0, WS_EX_CLIENTEDGE, ID_CAPTURE);
  Child(L"FloorView", kBenchPalette, 0, WS_EX_CLIENTEDGE, ID_PALETTE);
  Child(L"FloorView", kBenchHistory, 0, WS_EX_CLIENTEDGE, ID_HISTORY);
  g_swatch = Child(L"FloorView", kBenchSwatch, 0, 0, ID_SWATCH);
  g_code = Child(L"EDIT", kBenchCodeField, ES_READONLY, WS_EX_CLIENTEDGE, ID_CODE);
  for (int c = 0; c < 3; c++) {
    g_strips[c] = Child(L"FloorView", BenchStrip(c), 0, 0, ID_STRIP + c);
    g_fields[c] = Child(L"EDIT", BenchChannelField(c), ES_NUMBER, 0, ID_FIELD + c);
  }
  g_picture = Child(L"FloorView", kBenchPicture, 0, 0, ID_PICTURE);
  if (!g_capture || !g_swatch || !g_code || !g_picture) return false;
  HFONT fieldFont = MakeFont(kBenchFieldFontPoints), codeFont = MakeFont(kBenchCodeFontPoints);
  for (HWND field : g_fields) SendMessageW(field, WM_SETFONT, (WPARAM)fieldFont, TRUE);
  SendMessageW(g_code, WM_SETFONT, (WPARAM)codeFont, TRUE);

  // The region's bitmap, the strips' buffers and the picture.
  BITMAPINFO info = BottomUpInfo(kBenchCaptureWidth, kBenchCaptureHeight, 32);
  g_region = CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, (void**)&g_regionBits, nullptr, 0);
  g_regionDc = CreateCompatibleDC(nullptr);
  if (!g_region || !g_regionDc) return false;
  SelectObject(g_regionDc, g_region);
  for (int c = 0; c < 3; c++) {
    RECT client;
    GetClientRect(g_strips[c], &client);
    Strip& s = g_stripPixels[c];
    s.width = client.right;
    s.height = client.bottom;
    s.stride = (3 * s.width + 3) / 4 * 4;
    s.bits = (unsigned char*)calloc((size_t)s.stride * s.height, 1);
    s.columnIndex = (int*)malloc(sizeof(int) * s.width);
    for (int x = 0; x < s.width; x++) s.columnIndex[x] = ColumnIndex(x, s.width);
  }
  RECT client;
  GetClientRect(g_picture, &client);
  g_pictureWidth = client.right;
  g_pictureHeight = client.bottom;
  int stride = (3 * g_pictureWidth + 3) / 4 * 4;
  g_pictureBits = (unsigned char*)calloc((size_t)stride * g_pictureHeight, 1);
  for (int y = 0; y < g_pictureHeight; y++)
    for (int x = 0; x < g_pictureWidth; x++) {
      unsigned char* p = g_pictureBits + (size_t)(g_pictureHeight - 1 - y) * stride + 3 * x;
      int color = BenchPictureColor(x, y);
      p[0] = (unsigned char)(color >> 16);
      p[1] = (unsigned char)(color >> 8);
      p[2] = (unsigned char)color;
    }
  ShowWindow(g_window, SW_SHOW);
  UpdateWindow(g_window);
  return true;
}

//-----------------------------------------------------------------------------
// One tick
//-----------------------------------------------------------------------------

static int AdvancePulse() {
  if (g_pulseLevel < 64) {
    g_pulseStep = 12;
    g_pulseLevel = 76;
  } else if (g_pulseLevel < 193) {
    g_pulseLevel += g_pulseStep;
  } else {
    g_pulseStep = -12;
    g_pulseLevel -= 12;
  }
  return g_pulseLevel;
}

static unsigned char* RegionPixel(int x, int y) {
  return g_regionBits + ((size_t)(kBenchCaptureHeight - 1 - y) * kBenchCaptureWidth + x) * 4;
}

static void SetRegionPixel(int x, int y, int color) {
  unsigned char* p = RegionPixel(x, y);
  p[0] = (unsigned char)(color >> 16);
  p[1] = (unsigned char)(color >> 8);
  p[2] = (unsigned char)color;
}

static void ShowField(int channel, int value) {
  if (value != g_fieldNumber[channel]) {
    wchar_t text[8];
    swprintf(text, 8, L"%d", value);
    SetWindowTextW(g_fields[channel], text);
    g_fieldNumber[channel] = value;
  }
  int background = value << (8 * channel);
  int textColor = channel == 1 && value >= 193 ? 0x404040 : 0xFFFFFF;
  if (background == g_fieldBackground[channel] && textColor == g_fieldText[channel]) return;
  if (g_fieldBrush[channel]) DeleteObject(g_fieldBrush[channel]);
  g_fieldBrush[channel] = CreateSolidBrush((COLORREF)background);
  g_fieldBackground[channel] = background;
  g_fieldText[channel] = textColor;
  InvalidateRect(g_fields[channel], nullptr, TRUE);
}

static void FillStrip(int channel, int color) {
  Strip& s = g_stripPixels[channel];
  int shift = 8 * channel;
  int kept = color & ~(0xFF << shift);
  unsigned char* row = s.bits;  // the bottom row, then copied upwards
  for (int x = 0; x < s.width; x++) {
    int c = kept | s.columnIndex[x] << shift;
    row[3 * x] = (unsigned char)(c >> 16);
    row[3 * x + 1] = (unsigned char)(c >> 8);
    row[3 * x + 2] = (unsigned char)c;
  }
  for (int y = 1; y < s.height; y++) memcpy(s.bits + (size_t)y * s.stride, row, (size_t)s.stride);
}

// The colour text onto the clipboard, as a plain program copies it.
static void CopyText(const wchar_t* text) {
  if (!OpenClipboard(nullptr)) return;
  EmptyClipboard();
  size_t bytes = (wcslen(text) + 1) * sizeof(wchar_t);
  if (HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE, bytes)) {
    memcpy(GlobalLock(block), text, bytes);
    GlobalUnlock(block);
    if (!SetClipboardData(CF_UNICODETEXT, block)) GlobalFree(block);
  }
  CloseClipboard();
}

// Copies the part of the region (lParam) on the monitor to its place in the
// region's bitmap: only what lies on a monitor can be read.
static BOOL CALLBACK CopyMonitorPart(HMONITOR, HDC, LPRECT monitor, LPARAM regionRect) {
  const RECT& region = *(const RECT*)regionRect;
  RECT part;
  if (IntersectRect(&part, monitor, &region)) {
    HDC screen = GetDC(nullptr);
    BitBlt(g_regionDc, part.left - region.left, part.top - region.top, part.right - part.left,
           part.bottom - part.top, screen, part.left, part.top, SRCCOPY);
    ReleaseDC(nullptr, screen);
  }
  return TRUE;
}

// One live tick, phase by phase; returns the colour it picked.
static int Tick(BenchClock* clock) {
  POINT p;
  GetCursorPos(&p);
  RECT region = {p.x - kBenchCaptureWidth / 2, p.y - kBenchCaptureHeight / 2, 0, 0};
  region.right = region.left + kBenchCaptureWidth;
  region.bottom = region.top + kBenchCaptureHeight;
  GdiFlush();
  memset(g_regionBits, 0, (size_t)kBenchCaptureWidth * kBenchCaptureHeight * 4);  // black off the monitors
  EnumDisplayMonitors(nullptr, &region, CopyMonitorPart, (LPARAM)&region);
  GdiFlush();
  int cx = kBenchCaptureWidth / 2, cy = kBenchCaptureHeight / 2;
  int level = AdvancePulse();
  int grey = level | level << 8 | level << 16;
  SetRegionPixel(cx, cy - 1, grey);
  SetRegionPixel(cx, cy + 1, grey);
  SetRegionPixel(cx - 1, cy, grey);
  SetRegionPixel(cx + 1, cy, grey);
  const unsigned char* centre = RegionPixel(cx, cy);
  int color = centre[2] | centre[1] << 8 | centre[0] << 16;
  wchar_t code[8];
  swprintf(code, 8, L"#%02X%02X%02X", color & 0xFF, (color >> 8) & 0xFF, (color >> 16) & 0xFF);
  if (g_autocopy) CopyText(code);
  MarkPhase(clock, PHASE_CAPTURE);

  g_swatchColor = color;
  HDC dc = GetDC(g_swatch);
  ShowSwatch(dc);
  ReleaseDC(g_swatch, dc);
  SetWindowTextW(g_code, code);
  MarkPhase(clock, PHASE_SWATCH_AND_TEXT);

  for (int c = 0; c < 3; c++) ShowField(c, (color >> (8 * c)) & 0xFF);
  MarkPhase(clock, PHASE_FIELDS);

  for (int c = 0; c < 3; c++) {
    FillStrip(c, color);
    dc = GetDC(g_strips[c]);
    ShowStrip(dc, c);
    ReleaseDC(g_strips[c], dc);
  }
  MarkPhase(clock, PHASE_STRIPS);

  dc = GetDC(g_capture);
  ShowRegion(dc);
  ReleaseDC(g_capture, dc);
  MarkPhase(clock, PHASE_MAGNIFY);

  PumpMessages();
  MarkPhase(clock, PHASE_REPAINT);
  return color;
}

//-----------------------------------------------------------------------------
// Entry
//-----------------------------------------------------------------------------

int main(int argc, char** argv) {
  int ticks = argc > 1 ? atoi(argv[1]) : 200, untimed = argc > 2 ? atoi(argv[2]) : 10;
  bool paced = false;
  for (int i = 3; i < argc; i++) {
    paced = paced || strcmp(argv[i], "paced") == 0;
    g_autocopy = g_autocopy || strcmp(argv[i], "autocopy") == 0;
  }
  if (ticks < 1) ticks = 1;
  if (untimed < 0) untimed = 0;
  SetProcessDPIAware();
  INITCOMMONCONTROLSEX controls = {sizeof controls, ICC_STANDARD_CLASSES};
  InitCommonControlsEx(&controls);
  HDC screen = GetDC(nullptr);
  g_dpi = GetDeviceCaps(screen, LOGPIXELSX);
  ReleaseDC(nullptr, screen);
  if (!MakeWindow()) {
    fprintf(stderr, "floor: cannot make the window\n");
    return 1;
  }
  POINT origin = {0, 0};
  ClientToScreen(g_picture, &origin);
  if (!WaitUntilInFront(g_window, origin, g_pictureWidth, g_pictureHeight)) {
    fprintf(stderr, "floor: the window does not come to the front\n");
    return 1;
  }

  BenchStats stats = {};
  std::vector<double> tickMs;
  int previous = -1;
  for (int i = 0; stats.ticks < ticks; i++) {
    POINT at = BenchPathPoint(i);
    POINT onScreen = {origin.x + at.x, origin.y + at.y};
    WaitForTickStart(paced);
    if (!PlacePointer(onScreen) || TooManyMisses(stats.misses, ticks)) {
      fprintf(stderr, "floor: the pointer does not stay where it is put\n");
      return 1;
    }
    BenchClock clock;
    StartBenchClock(&clock);
    int color = Tick(&clock);
    wchar_t code[8];
    swprintf(code, 8, L"#%02X%02X%02X", color & 0xFF, (color >> 8) & 0xFF, (color >> 16) & 0xFF);
    bool fresh = color == BenchPictureColor(at.x, at.y) && ((color ^ previous) & 0xFF) &&
                 ((color ^ previous) & 0xFF00) && ((color ^ previous) & 0xFF0000) &&
                 (!g_autocopy || ClipboardHolds(code));
    previous = color;
    if (i < untimed) continue;
    if (fresh) AddTick(&stats, clock, &tickMs);
    else stats.misses++;
  }
  PrintStatsLine(stdout, "FLOOR", stats);
  PrintTickTimesLine(stdout, tickMs);
  DestroyWindow(g_window);
  return 0;
}
