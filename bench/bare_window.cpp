// The floor for the start-up benchmark: the least a Win32 program does to put
// one window on the screen. Registers a class, opens and shows one window with
// a client area of about the main window's size, and runs a message loop until
// the window is closed. Built with the program's toolchain, link flags and
// manifest, so what it costs is what any window costs here. It ends its
// start-up as the program does: one push button whose look, with an icon
// over it, replaces it 1 ms after the window shows (bench/picker_face_floor.h).
#include <windows.h>

#include "bench/picker_face_floor.h"

static LRESULT CALLBACK BareWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_CLOSE: DestroyWindow(window); return 0;
    case WM_DESTROY: PostQuitMessage(0); return 0;
    case WM_PAINT: {
      PAINTSTRUCT ps;
      HDC dc = BeginPaint(window, &ps);
      ShowPickerFace(window, dc);
      EndPaint(window, &ps);
      return 0;
    }
  }
  return DefWindowProcW(window, message, wParam, lParam);
}

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
  WNDCLASSEXW windowClass = {};
  windowClass.cbSize = sizeof windowClass;
  windowClass.lpfnWndProc = BareWindowProc;
  windowClass.hInstance = instance;
  windowClass.hCursor = LoadCursorW(nullptr, (LPCWSTR)IDC_ARROW);
  windowClass.hbrBackground = (HBRUSH)(COLOR_BTNFACE + 1);
  windowClass.lpszClassName = L"BareWindow";
  if (!RegisterClassExW(&windowClass)) return 1;

  const DWORD style = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX;
  RECT outer = {0, 0, 480, 300};
  AdjustWindowRectEx(&outer, style, FALSE, 0);
  HWND window = CreateWindowExW(0, L"BareWindow", L"Bare window", style, 320, 240, outer.right - outer.left,
                                outer.bottom - outer.top, nullptr, nullptr, instance, nullptr);
  if (!window) return 1;
  HDC screen = GetDC(nullptr);
  int side = MulDiv(31, GetDeviceCaps(screen, LOGPIXELSX), 96);
  ReleaseDC(nullptr, screen);
  HWND button = CreateWindowExW(0, L"BUTTON", L"", WS_CHILD | WS_VISIBLE | BS_PUSHBUTTON, 20, 20, side, side, window,
                                nullptr, instance, nullptr);
  ShowWindow(window, SW_SHOW);
  UpdateWindow(window);
  StartPickerFace(window, button, window);

  MSG message;
  while (GetMessageW(&message, nullptr, 0, 0) > 0) {
    TranslateMessage(&message);
    DispatchMessageW(&message);
  }
  return 0;
}
