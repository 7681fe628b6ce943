// Another program that holds a file or the clipboard for a while, as a virus
// scanner, a backup or sync client or a clipboard manager does:
//   holder.exe file PATH none|read-write MS NAME
//   holder.exe clipboard MS NAME
// A file is opened (created when it is not there) sharing nothing, or
// letting others read and write but not delete it. The holder sets the
// event NAME-held once it holds, and lets go after MS milliseconds, or when
// the event NAME-let-go is set (MS -1: only then). Exit code 0 once it has
// let go, 3 when it could not take hold.
#include <windows.h>

#include <stdlib.h>

#include <string>

static HANDLE OpenEvent(const std::wstring& name) { return CreateEventW(nullptr, TRUE, FALSE, name.c_str()); }

int wmain(int argc, wchar_t** argv) {
  bool file = argc == 6 && lstrcmpW(argv[1], L"file") == 0;
  bool clipboard = argc == 4 && lstrcmpW(argv[1], L"clipboard") == 0;
  if (!file && !clipboard) return 2;
  int ms = _wtoi(argv[file ? 4 : 2]);
  std::wstring name = argv[file ? 5 : 3];
  HANDLE held = OpenEvent(name + L"-held"), letGo = OpenEvent(name + L"-let-go");
  if (!held || !letGo) return 2;

  HANDLE handle = INVALID_HANDLE_VALUE;
  HWND owner = nullptr;
  if (file) {
    DWORD sharing = lstrcmpW(argv[3], L"read-write") == 0 ? FILE_SHARE_READ | FILE_SHARE_WRITE : 0;
    handle = CreateFileW(argv[2], GENERIC_READ | GENERIC_WRITE, sharing, nullptr, OPEN_ALWAYS, 0, nullptr);
    if (handle == INVALID_HANDLE_VALUE) return 3;
  } else {
    owner = CreateWindowW(L"STATIC", L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, nullptr, nullptr);
    if (!owner || !OpenClipboard(owner)) return 3;
  }
  SetEvent(held);
  WaitForSingleObject(letGo, ms < 0 ? INFINITE : (DWORD)ms);
  if (file) CloseHandle(handle);
  else CloseClipboard();
  return 0;
}
