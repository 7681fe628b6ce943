// A hook module for the end-to-end tests: set as a global WH_CBT hook, it
// makes every window creation in ColorTintvane.exe fail, as window creation
// fails for real when the desktop heap runs out. Other programs are left
// alone.
#include <windows.h>

#include <wchar.h>

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
