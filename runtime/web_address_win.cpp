#include <windows.h>
#include <shellapi.h>

#include "runtime/web_address.h"
#include "runtime/win_text.h"

static bool (*g_opener)(const char*) = nullptr;

void SetWebAddressOpener(bool (*opener)(const char*)) { g_opener = opener; }

bool OpenWebAddress(const char* address) {
  if (!address) return false;
  if (g_opener) return g_opener(address);
  std::wstring wide = Utf8ToWide(address);
  SHELLEXECUTEINFOW info = {sizeof info};
  info.fMask = SEE_MASK_FLAG_NO_UI;
  info.lpVerb = L"open";
  info.lpFile = wide.c_str();
  info.nShow = SW_SHOWNORMAL;
  return ShellExecuteExW(&info) != 0;
}
