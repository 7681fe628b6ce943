#include "runtime/clipboard.h"

#include <string.h>
#include <windows.h>

#include "runtime/win_text.h"

// Another program (a clipboard viewer or manager) may hold the clipboard for
// a moment; a few short retries keep a copy from being lost to that.
static bool OpenClipboardBriefly() {
  for (int attempt = 0; attempt < 5; attempt++) {
    if (OpenClipboard(nullptr)) return true;
    Sleep(2);
  }
  return false;
}

void ClearClipboard() {
  if (!OpenClipboardBriefly()) return;
  EmptyClipboard();
  CloseClipboard();
}

bool PutClipboardText(const char* text) {
  if (!OpenClipboardBriefly()) return false;
  std::wstring wide = Utf8ToWide(text);
  size_t bytes = (wide.size() + 1) * sizeof(wchar_t);
  HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE, bytes);
  if (!block) {
    CloseClipboard();
    return false;
  }
  void* p = GlobalLock(block);
  if (!p) {
    GlobalFree(block);
    CloseClipboard();
    return false;
  }
  memcpy(p, wide.c_str(), bytes);
  GlobalUnlock(block);
  EmptyClipboard();
  bool placed = SetClipboardData(CF_UNICODETEXT, block) != nullptr;
  if (!placed) GlobalFree(block);  // ownership passes to the system only on success
  CloseClipboard();
  return placed;
}
