#include "runtime/win32_internal.h"  // windows.h first

#include <shellapi.h>

#include "runtime/web_address.h"
#include "runtime/win_text.h"

bool OpenWebAddress(const char* address) {
  if (!address) return false;
  // The shell is loaded when an address is first opened, not at every start:
  // it is large, and most runs never open one.
  typedef BOOL(WINAPI * ShellExecuteExFunction)(SHELLEXECUTEINFOW*);
  auto shellExecuteEx = (ShellExecuteExFunction)(void*)SystemProcedure(L"shell32.dll", "ShellExecuteExW");
  if (!shellExecuteEx) return false;
  std::wstring wide = Utf8ToWide(address);
  SHELLEXECUTEINFOW info = {sizeof info};
  info.fMask = SEE_MASK_FLAG_NO_UI;
  info.lpVerb = L"open";
  info.lpFile = wide.c_str();
  info.nShow = SW_SHOWNORMAL;
  return shellExecuteEx(&info) != 0;
}
