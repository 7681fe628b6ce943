// Closes ColorTintvane.exe as a person does, for the tests that only look at
// what the program leaves behind: waits until its main window shows and is in
// front, then presses Alt+F4.
//   close_program.exe        exit code 0 when the keys went to the window
#include <windows.h>

static BOOL CALLBACK FindMain(HWND hwnd, LPARAM out) {
  wchar_t title[64];
  if (IsWindowVisible(hwnd) && GetWindowTextW(hwnd, title, 64) && lstrcmpW(title, L"Color Tintvane [1.0.0.7]") == 0) {
    *(HWND*)out = hwnd;
    return FALSE;
  }
  return TRUE;
}

int main() {
  HWND window = nullptr;
  for (DWORD start = GetTickCount(); GetTickCount() - start < 30000; Sleep(20)) {
    window = nullptr;
    EnumWindows(FindMain, (LPARAM)&window);
    if (window && GetForegroundWindow() == window) break;
  }
  if (!window || GetForegroundWindow() != window) return 1;
  DWORD pid = 0;
  GetWindowThreadProcessId(window, &pid);
  HANDLE process = OpenProcess(SYNCHRONIZE | PROCESS_QUERY_INFORMATION, FALSE, pid);
  if (process) WaitForInputIdle(process, 10000);
  INPUT keys[4] = {};
  for (INPUT& k : keys) k.type = INPUT_KEYBOARD;
  keys[0].ki.wVk = VK_MENU;
  keys[1].ki.wVk = VK_F4;
  keys[2].ki.wVk = VK_F4;
  keys[2].ki.dwFlags = KEYEVENTF_KEYUP;
  keys[3].ki.wVk = VK_MENU;
  keys[3].ki.dwFlags = KEYEVENTF_KEYUP;
  SendInput(4, keys, sizeof(INPUT));
  bool ended = process && WaitForSingleObject(process, 10000) == WAIT_OBJECT_0;
  if (process) CloseHandle(process);
  return ended ? 0 : 2;
}
