// One live picker tick on the real controls: copy the region around the
// pointer, magnify it into the capture view with the crosshair, and refresh
// the swatch, txtRGB, the three channel fields and the three strips. Prints
// the mean over many ticks and its share of the 16 ms timer period. A plain
// Windows program (Google Benchmark does not build for it here).
#include <windows.h>
#include <commctrl.h>

#include <stdio.h>

#include "colour/colour_widgets.h"
#include "colour/named_colors.h"
#include "runtime/canvas.h"
#include "runtime/drawing.h"
#include "runtime/settings.h"
#include "runtime/windows.h"

static int Field(int window, int x, int y, int width) {
  HWND edit = CreateWindowExW(WS_EX_CLIENTEDGE, L"EDIT", L"", WS_CHILD | WS_VISIBLE, LogicalToDeviceX(x),
                              LogicalToDeviceY(y), LogicalToDeviceX(width), LogicalToDeviceY(20),
                              (HWND)WindowHandle(window), nullptr, nullptr, nullptr);
  return RegisterControl(kAutoNumber, edit, window, CONTROL_TEXT_FIELD);
}

static void Pump() {
  MSG msg;
  while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&msg);
}

int main() {
  SetProcessDPIAware();
  InitCommonControls();
  InitWindowing();
  BuildNamedColorMap();
  CONFIG.CRC = kSettingsMarker;

  // The widgets in the sizes of the main window.
  ColourWidgets w = {};
  w.wndMain = OpenWindow(kAutoNumber, 40, 40, 420, 300, "Picker tick", WINDOW_SYSTEM_MENU);
  const int kDragCanvas = Canvas_ClipMouse | Canvas_Keyboard;
  w.cmdSelector = CreateCanvas(kAutoNumber, w.wndMain, 10, 10, 40, 40, Canvas_Keyboard);
  w.imgPaletteCapture = CreateCanvas(kAutoNumber, w.wndMain, 60, 10, 156, 104, kDragCanvas | Canvas_Border);
  w.imgPaletteAuto = CreateCanvas(kAutoNumber, w.wndMain, 60, 118, 156, 20, kDragCanvas | Canvas_Border);
  w.imgPaletteCurrent = CreateCanvas(kAutoNumber, w.wndMain, 230, 10, 60, 60, 0);
  w.txtRGB = Field(w.wndMain, 230, 80, 120);
  w.imgPaletteHistory = CreateCanvas(kAutoNumber, w.wndMain, 60, 142, 156, 20, kDragCanvas | Canvas_Border);
  int* strips[3] = {&w.imgPaletteR, &w.imgPaletteG, &w.imgPaletteB};
  int* fields[3] = {&w.txtR, &w.txtG, &w.txtB};
  for (int c = 0; c < 3; c++) {
    *strips[c] = CreateCanvas(kAutoNumber, w.wndMain, 10, 170 + 24 * c, 300, 20, kDragCanvas);
    *fields[c] = Field(w.wndMain, 320, 170 + 24 * c, 40);
  }
  // A picture whose pixels all differ: every tick picks a new colour, so no
  // view skips its work.
  int picture = CreateCanvas(kAutoNumber, w.wndMain, 10, 245, 250, 50, 0);
  if (BeginDrawing(CanvasTarget(picture))) {
    for (int y = 0; y < SurfaceHeight(); y++)
      for (int x = 0; x < SurfaceWidth(); x++) WritePixel(x, y, ComposeColour(x & 255, (y * 5) & 255, 99));
    EndDrawing();
  }
  SetColourWidgets(w);
  SetForegroundWindow((HWND)WindowHandle(w.wndMain));
  Pump();
  POINT origin = {0, 0};
  ClientToScreen((HWND)ControlHandle(picture), &origin);

  const int kTicks = 300;
  LARGE_INTEGER frequency, start, end;
  QueryPerformanceFrequency(&frequency);
  double total = 0, worst = 0;
  for (int i = 0; i < kTicks; i++) {
    SetCursorPos(origin.x + 20 + i % 200, origin.y + 10 + i % 30);
    QueryPerformanceCounter(&start);
    CaptureScreen(true);
    QueryPerformanceCounter(&end);
    double ms = (end.QuadPart - start.QuadPart) * 1000.0 / frequency.QuadPart;
    total += ms;
    if (ms > worst) worst = ms;
    Pump();
  }
  double mean = total / kTicks;
  printf("live picker tick: mean %.3f ms, worst %.3f ms over %d ticks; %.1f%% of the 16 ms period\n", mean, worst,
         kTicks, mean / 16.0 * 100.0);
  CloseAllWindows();
  return 0;
}
