// Hook modules for the end-to-end tests, set as global hooks: the system
// loads them into every program, and they act inside ColorTintvane.exe only,
// where the tests cannot reach otherwise. Other programs are left alone.
//   RefuseEveryWindow (WH_CBT): makes every window creation in the program
//     fail, as window creation fails for real when the desktop heap runs out.
//   AnnounceScaleChange (WH_CALLWNDPROC): hands the program a change of
//     display scale as Windows announces one (tests/e2e/scale_change.h).
#include <windows.h>

#include <string.h>
#include <wchar.h>

#include "tests/e2e/scale_change.h"

static bool InTheProgram() {
  static int inProgram = -1;
  if (inProgram < 0) {
    wchar_t path[MAX_PATH] = L"";
    GetModuleFileNameW(nullptr, path, MAX_PATH);
    const wchar_t* name = wcsrchr(path, L'\\');
    inProgram = _wcsicmp(name ? name + 1 : path, L"ColorTintvane.exe") == 0;
  }
  return inProgram == 1;
}

extern "C" __declspec(dllexport) LRESULT CALLBACK RefuseEveryWindow(int code, WPARAM wParam, LPARAM lParam) {
  if (code == HCBT_CREATEWND && InTheProgram()) return 1;
  return CallNextHookEx(nullptr, code, wParam, lParam);
}

// The request, sent to a window of the program, becomes in the program's
// own process the message Windows sends: the new scale in both halves of
// wParam, a pointer to the suggested rectangle in lParam.
extern "C" __declspec(dllexport) LRESULT CALLBACK AnnounceScaleChange(int code, WPARAM wParam, LPARAM lParam) {
  const CWPSTRUCT* sent = (const CWPSTRUCT*)lParam;
  static const UINT request = RegisterWindowMessageW(kScaleChangeMessage);
  if (code == HC_ACTION && sent->message == request && InTheProgram()) {
    ScaleChangeRequest change = {};
    bool read = false;
    if (HANDLE memory = OpenFileMappingW(FILE_MAP_READ, FALSE, kScaleChangeMemory)) {
      if (const void* view = MapViewOfFile(memory, FILE_MAP_READ, 0, 0, sizeof change)) {
        memcpy(&change, view, sizeof change);
        read = true;
        UnmapViewOfFile(view);
      }
      CloseHandle(memory);
    }
    if (read)
      SendMessageW(sent->hwnd, WM_DPICHANGED, MAKEWPARAM(change.pixelsPerInch, change.pixelsPerInch),
                   (LPARAM)&change.suggested);
  }
  return CallNextHookEx(nullptr, code, wParam, lParam);
}
