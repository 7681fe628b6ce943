#include <windows.h>
#include <shellapi.h>

#include "runtime/web_address.h"
#include "runtime/win_text.h"

static bool (*g_opener)(const char*) = nullptr;

void SetWebAddressOpener(bool (*opener)(const char*)) { g_opener = opener; }

bool OpenWebAddress(const char* address) {
  if (!address) return false;
  if (g_opener) return g_opener(address);
  // The shell is loaded when an address is first opened, not at every start:
  // it is large, and most runs never open one.
  typedef BOOL(WINAPI * ShellExecuteExFunction)(SHELLEXECUTEINFOW*);
  static ShellExecuteExFunction shellExecuteEx = nullptr;
  if (!shellExecuteEx) {
    HMODULE shell = LoadLibraryW(L"shell32.dll");
    if (shell) shellExecuteEx = (ShellExecuteExFunction)(void*)GetProcAddress(shell, "ShellExecuteExW");
    if (!shellExecuteEx) return false;
  }
  std::wstring wide = Utf8ToWide(address);
  SHELLEXECUTEINFOW info = {sizeof info};
  info.fMask = SEE_MASK_FLAG_NO_UI;
  info.lpVerb = L"open";
  info.lpFile = wide.c_str();
  info.nShow = SW_SHOWNORMAL;
  return shellExecuteEx(&info) != 0;
}
