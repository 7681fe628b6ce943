// Stands in for the web browser in the end-to-end tests: appends the address
// it was asked to open to the file named first on its command line.
//   url_recorder.exe LOG_FILE ADDRESS
#include <windows.h>

#include <string>

int wmain(int argc, wchar_t** argv) {
  if (argc < 3) return 2;
  HANDLE log = CreateFileW(argv[1], FILE_APPEND_DATA, FILE_SHARE_READ, nullptr, OPEN_ALWAYS, 0, nullptr);
  if (log == INVALID_HANDLE_VALUE) return 1;
  std::wstring line = std::wstring(argv[2]) + L"\n";
  DWORD wrote = 0;
  WriteFile(log, line.data(), (DWORD)(line.size() * sizeof(wchar_t)), &wrote, nullptr);
  CloseHandle(log);
  return 0;
}
