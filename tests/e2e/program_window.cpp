// Waits for ColorTintvane.exe's main window, and closes it as a person does,
// for the scripts and tests that only look at what the program shows or
// leaves behind:
//   program_window.exe wait    returns once the window shows, in front, has
//                              painted its picker button and takes input
//   program_window.exe close   the same, then presses Alt+F4 and waits for
//                              the program to end
//   program_window.exe rect    as wait, then prints the window's outer
//                              rectangle in screen pixels: "X Y WIDTH HEIGHT"
// Exit code 0 on success, 1 when no window showed, 2 when it did not end.
#include <windows.h>

#include "tests/e2e/alt_f4.h"

static BOOL CALLBACK FindMain(HWND hwnd, LPARAM out) {
  wchar_t title[64];
  if (IsWindowVisible(hwnd) && GetWindowTextW(hwnd, title, 64) && lstrcmpW(title, L"Color Tintvane [1.0.0.7]") == 0) {
    *(HWND*)out = hwnd;
    return FALSE;
  }
  return TRUE;
}

// The native button beside the picker is hidden once the picker has its face.
static BOOL CALLBACK FindVisiblePickerTemplate(HWND child, LPARAM out) {
  wchar_t cls[16], text[4];
  GetClassNameW(child, cls, 16);
  LONG type = GetWindowLongW(child, GWL_STYLE) & BS_TYPEMASK;
  if (lstrcmpiW(cls, L"Button") == 0 && type != BS_GROUPBOX && GetWindowTextW(child, text, 4) == 0 &&
      IsWindowVisible(child)) {
    *(bool*)out = true;
    return FALSE;
  }
  return TRUE;
}

static bool Ready(HWND* window) {
  *window = nullptr;
  EnumWindows(FindMain, (LPARAM)window);
  if (!*window || GetForegroundWindow() != *window) return false;
  bool templateShows = false;
  EnumChildWindows(*window, FindVisiblePickerTemplate, (LPARAM)&templateShows);
  return !templateShows;
}

int wmain(int argc, wchar_t** argv) {
  SetProcessDPIAware();  // rectangles in device pixels at every display scale
  bool close = argc > 1 && lstrcmpW(argv[1], L"close") == 0;
  HWND window = nullptr;
  DWORD start = GetTickCount();
  while (!Ready(&window)) {
    if (GetTickCount() - start > 30000) return 1;
    Sleep(20);
  }
  DWORD pid = 0;
  GetWindowThreadProcessId(window, &pid);
  HANDLE process = OpenProcess(SYNCHRONIZE | PROCESS_QUERY_INFORMATION, FALSE, pid);
  if (process) WaitForInputIdle(process, 10000);
  if (lstrcmpW(argc > 1 ? argv[1] : L"", L"rect") == 0) {
    RECT r = {};
    GetWindowRect(window, &r);
    char line[64];
    DWORD written = 0;
    int n = wsprintfA(line, "%d %d %d %d\n", (int)r.left, (int)r.top, (int)(r.right - r.left), (int)(r.bottom - r.top));
    WriteFile(GetStdHandle(STD_OUTPUT_HANDLE), line, (DWORD)n, &written, nullptr);
  }
  if (!close) return 0;
  bool ended = process && PressAltF4UntilEnded(process, window);
  if (process) CloseHandle(process);
  return ended ? 0 : 2;
}
