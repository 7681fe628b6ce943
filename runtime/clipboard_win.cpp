#include "runtime/win32_internal.h"  // windows.h first

#include <string.h>

#include "runtime/clipboard.h"
#include "runtime/win_text.h"

// Another program (a clipboard viewer or manager) may hold the clipboard for
// a moment. The copy runs on the GUI thread, up to 60 times a second while
// picking, so it waits for that only a few milliseconds in all, yielding its
// time slice in between, never sleeping a timer period.
const int kClipboardWaitMicroseconds = 3000;

static bool OpenClipboardBriefly() {
  LARGE_INTEGER frequency, start, now;
  QueryPerformanceFrequency(&frequency);
  QueryPerformanceCounter(&start);
  for (;;) {
    if (OpenClipboard(nullptr)) return true;
    QueryPerformanceCounter(&now);
    if ((now.QuadPart - start.QuadPart) * 1000000 >= kClipboardWaitMicroseconds * frequency.QuadPart) return false;
    Sleep(0);
  }
}

// A movable block holding `bytes`, or null.
static HGLOBAL BlockOf(const void* bytes, size_t size) {
  HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE, size);
  if (!block) return nullptr;
  void* p = GlobalLock(block);
  if (!p) {
    GlobalFree(block);
    return nullptr;
  }
  memcpy(p, bytes, size);
  GlobalUnlock(block);
  return block;
}

// Places the block under `format`; ownership passes to the system only on success.
static bool Place(UINT format, HGLOBAL block) {
  if (!format || !block) return false;
  if (SetClipboardData(format, block)) return true;
  GlobalFree(block);
  return false;
}

void ClearClipboard() {
  ScopedClipboard clipboard(OpenClipboardBriefly());
  if (clipboard.open) EmptyClipboard();
}

bool PutClipboardText(const char* text, bool live) {
  std::wstring wide = Utf8ToWide(text);
  HGLOBAL block = BlockOf(wide.c_str(), (wide.size() + 1) * sizeof(wchar_t));
  if (!block) return false;
  ScopedClipboard clipboard(OpenClipboardBriefly());
  if (!clipboard.open) {
    GlobalFree(block);
    return false;
  }
  EmptyClipboard();
  bool placed = Place(CF_UNICODETEXT, block);
  if (placed && live) {
    // The formats Windows reads: clipboard history (Win+V) leaves out content
    // that says it may not be included, and monitors pass by content that
    // asks to be excluded.
    const DWORD zero = 0;
    Place(RegisterClipboardFormatW(L"ExcludeClipboardContentFromMonitorProcessing"), BlockOf(&zero, sizeof zero));
    Place(RegisterClipboardFormatW(L"CanIncludeInClipboardHistory"), BlockOf(&zero, sizeof zero));
  }
  return placed;
}
