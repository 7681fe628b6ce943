#include "runtime/win32_internal.h"  // windows.h first

#include <string.h>

#include "runtime/clipboard.h"
#include "runtime/win_text.h"
#include "runtime/windowing.h"

static int g_clipboardWindow;

void SetClipboardWindow(int window) { g_clipboardWindow = window; }

// Opens the clipboard with the program's window, trying again for `waitMs`:
// for the first few milliseconds only yielding the time slice, so that a
// short hold costs little, then sleeping a millisecond at a time.
static bool OpenClipboardWaiting(int waitMs) {
  HWND owner = (HWND)WindowHandle(g_clipboardWindow);
  LARGE_INTEGER frequency, start, now;
  QueryPerformanceFrequency(&frequency);
  QueryPerformanceCounter(&start);
  for (;;) {
    if (OpenClipboard(owner)) return true;
    QueryPerformanceCounter(&now);
    LONGLONG waited = (now.QuadPart - start.QuadPart) * 1000 / frequency.QuadPart;
    if (waited >= waitMs) return false;
    Sleep(waited < 3 ? 0 : 1);
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

// Places the bytes under `format`; the block passes to the system only on
// success. Nothing is allocated for a format that could not be registered.
static bool Place(UINT format, const void* bytes, size_t size) {
  if (!format) return false;
  HGLOBAL block = BlockOf(bytes, size);
  if (!block) return false;
  if (SetClipboardData(format, block)) return true;
  GlobalFree(block);
  return false;
}

void ClearClipboard() {
  ScopedClipboard clipboard(OpenClipboardWaiting(50));
  if (clipboard.open) EmptyClipboard();
}

bool PutClipboardText(const char* text, bool live, int waitMs) {
  std::wstring wide = Utf8ToWide(text);
  // Allocated before the clipboard is opened, to hold it the shortest time.
  HGLOBAL block = BlockOf(wide.c_str(), (wide.size() + 1) * sizeof(wchar_t));
  if (!block) return false;
  ScopedClipboard clipboard(OpenClipboardWaiting(waitMs));
  if (!clipboard.open) {
    GlobalFree(block);
    return false;
  }
  EmptyClipboard();
  bool placed = SetClipboardData(CF_UNICODETEXT, block) != nullptr;
  if (!placed) GlobalFree(block);
  if (placed && live) {
    // The formats Windows reads: clipboard history (Win+V) leaves out content
    // that says it may not be included, monitors pass by content that asks to
    // be excluded, and viewers and managers skip content marked to be ignored.
    const DWORD zero = 0;
    Place(RegisterClipboardFormatW(L"ExcludeClipboardContentFromMonitorProcessing"), &zero, sizeof zero);
    Place(RegisterClipboardFormatW(L"CanIncludeInClipboardHistory"), &zero, sizeof zero);
    Place(RegisterClipboardFormatW(L"Clipboard Viewer Ignore"), &zero, sizeof zero);
  }
  return placed;
}

bool ReadClipboardText(std::string* text, int waitMs) {
  text->clear();
  ScopedClipboard clipboard(OpenClipboardWaiting(waitMs));
  if (!clipboard.open) return false;
  HANDLE data = GetClipboardData(CF_UNICODETEXT);
  const wchar_t* p = data ? (const wchar_t*)GlobalLock(data) : nullptr;
  if (!p) return false;
  // Within the block's size: a text without its terminating zero ends there.
  size_t limit = GlobalSize(data) / sizeof(wchar_t);
  *text = WideToUtf8(std::wstring(p, wcsnlen(p, limit)).c_str());
  GlobalUnlock(data);
  return true;
}
