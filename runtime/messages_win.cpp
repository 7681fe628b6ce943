#include <windows.h>

#include "runtime/messages.h"
#include "runtime/win_text.h"

bool AskRetryOrCancel(const char* title, const char* text) {
  // No owner: at close the program's windows are gone already.
  return MessageBoxW(nullptr, Utf8ToWide(text).c_str(), Utf8ToWide(title).c_str(),
                     MB_RETRYCANCEL | MB_ICONWARNING | MB_SETFOREGROUND) == IDRETRY;
}

std::string SystemErrorText(uint32_t error) {
  wchar_t* text = nullptr;
  DWORD length = FormatMessageW(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
                                nullptr, error, 0, (wchar_t*)&text, 0, nullptr);
  std::string out;
  if (length && text) {
    while (length && (text[length - 1] == L'\n' || text[length - 1] == L'\r' || text[length - 1] == L' ')) length--;
    text[length] = L'\0';
    out = WideToUtf8(text);
  }
  if (text) LocalFree(text);
  return out.empty() ? "Error " + std::to_string(error) + "." : out;
}
