// Shared by the Win32 parts of the runtime (canvas, drawing, images, dialog
// controls): the helpers that turn child notifications into window events,
// the bitmaps behind surfaces and images, and the scope guards that give OS
// resources back. Includes windows.h.
#pragma once
#include <windows.h>

#include <string>
#include <vector>

#include "runtime/event_queue.h"
#include "runtime/raster.h"

// Offers a control event of `control` (with its canvas data, or zeros) to the
// event queue of the control's window.
void OfferControlEvent(int control, int type, const CanvasEventData* data);

// Turns WM_COMMAND and WM_NOTIFY from child controls into control events.
// Containers that hold controls call it from their own window procedure so
// that notifications reach the program whatever the nesting. Returns true
// when the message was handled; *result then holds the answer.
bool HandleChildNotification(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam, LRESULT* result);

// The right button was released over `hwnd`, a window of ours or a container
// in one: offers the right-click event of its top-level window, with where
// the release happened.
void OfferRightClick(HWND hwnd);

// Where a child window's control events go when nobody claims the message:
// the top-level window that holds it.
HWND TopLevelOf(HWND hwnd);

// A pop-up menu's chosen item reaches its window as this message (wParam:
// the menu's number, lParam: the item), dispatched like input.
const UINT WM_TINTVANE_MENU_CHOICE = WM_APP + 0x55;
// Offers the menu event of a chosen item to the window's queue (menu 0: a
// menu of no number).
void DispatchMenuChoice(int window, int menu, int item);

// A procedure of a system library, the library loaded from the system
// folder when first asked for and kept; null when either is missing. For
// libraries that most runs never need, and calls that may be missing from
// the platform.
FARPROC SystemProcedure(const wchar_t* library, const char* name);

// A system library ("ole32.dll") from the system folder, never from the
// program's folder or the current one; null when it cannot be loaded.
HMODULE LoadSystemLibrary(const wchar_t* name);
// A library that comes with the program ("Scintilla.dll") from the
// program's own folder by its full path; null when it is not there.
HMODULE LoadProgramLibrary(const wchar_t* name);
// A library by its full path as a system without the search flags loads
// it, its own dependencies taken from its folder and the system folders,
// never from the folders of PATH; null when it or a dependency is missing.
HMODULE LoadLibraryKeepingPathOut(const std::wstring& path);

// A system metric (a GetSystemMetrics index) at the windowing layer's
// window scale, as the system draws for a window of that scale; the
// system-wide one where the system cannot tell (before Windows 10 1607).
int ScaledSystemMetric(int metric);
// SystemParametersInfoW's answer to a query (SPI_GETNONCLIENTMETRICS) at
// the window scale, likewise.
bool SystemParametersAtScale(unsigned action, unsigned size, void* data);

// The next free number from `next` on, for numbered objects.
int FreshNumber(int& next, bool (*taken)(int));

//-----------------------------------------------------------------------------
// Bitmaps, surfaces and images shared by the canvas, drawing and image code
//-----------------------------------------------------------------------------

// A new bottom-up device-independent bitmap section of 3 or 4 bytes per
// pixel, its memory described in *pixels (contents undefined). Null when
// the size is not acceptable or the platform refuses.
HBITMAP NewPixelBitmap(int width, int height, int bytesPerPixel, PixelBuffer* pixels);

// Direct access to any bitmap's pixels: 24-bit and 32-bit bitmap sections
// in place, other bitmaps as a 24-bit copy held in *storage. False for a
// handle that is not a bitmap.
bool BitmapPixels(HBITMAP bitmap, PixelBuffer* pixels, std::vector<unsigned char>* storage);

// Closes the drawing context if it draws into `bitmap`; called before a
// bitmap is replaced or deleted.
void DetachDrawingFrom(HBITMAP bitmap);

// A canvas's surface: the bitmap, the memory device context that holds it
// for the canvas's lifetime, and its pixels. False when `canvas` is not a canvas.
bool CanvasSurfaceOf(int canvas, HBITMAP* bitmap, HDC* dc, PixelBuffer* pixels);
// Shows the surface on screen now.
void ShowCanvasSurfaceNow(int canvas);

// An image's bitmap and pixels; false when the number denotes no image.
bool ImagePixelsOf(int image, HBITMAP* bitmap, PixelBuffer* pixels);

//-----------------------------------------------------------------------------
// Scope guards: OS resources given back when the scope ends, in the reverse
// order of taking them (an object selected back before its device context
// goes). Each answers as the handle it holds, null when the taking failed.
//-----------------------------------------------------------------------------

// A window's device context (the screen's for a null window).
struct ScopedGetDC {
  HWND hwnd;
  HDC dc;
  explicit ScopedGetDC(HWND window) : hwnd(window), dc(GetDC(window)) {}
  ~ScopedGetDC() {
    if (dc) ReleaseDC(hwnd, dc);
  }
  ScopedGetDC(const ScopedGetDC&) = delete;
  void operator=(const ScopedGetDC&) = delete;
  operator HDC() const { return dc; }
};

// A memory device context compatible with `like` (the screen for null).
struct ScopedMemoryDC {
  HDC dc;
  explicit ScopedMemoryDC(HDC like) : dc(CreateCompatibleDC(like)) {}
  ~ScopedMemoryDC() {
    if (dc) DeleteDC(dc);
  }
  ScopedMemoryDC(const ScopedMemoryDC&) = delete;
  void operator=(const ScopedMemoryDC&) = delete;
  operator HDC() const { return dc; }
};

// A GDI object (bitmap, font, brush) owned by the scope.
struct ScopedGdiObject {
  HGDIOBJ object;
  explicit ScopedGdiObject(HGDIOBJ created) : object(created) {}
  ~ScopedGdiObject() {
    if (object) DeleteObject(object);
  }
  ScopedGdiObject(const ScopedGdiObject&) = delete;
  void operator=(const ScopedGdiObject&) = delete;
  operator HGDIOBJ() const { return object; }
};

// An object selected into a device context; what it displaced goes back.
struct ScopedSelectObject {
  HDC dc;
  HGDIOBJ displaced;
  ScopedSelectObject(HDC into, HGDIOBJ object) : dc(into), displaced(SelectObject(into, object)) {}
  ~ScopedSelectObject() {
    if (displaced) SelectObject(dc, displaced);
  }
  ScopedSelectObject(const ScopedSelectObject&) = delete;
  void operator=(const ScopedSelectObject&) = delete;
};

// A paint of a window between BeginPaint and EndPaint.
struct ScopedPaint {
  HWND hwnd;
  PAINTSTRUCT ps;
  HDC dc;
  explicit ScopedPaint(HWND window) : hwnd(window), dc(BeginPaint(window, &ps)) {}
  ~ScopedPaint() { EndPaint(hwnd, &ps); }
  ScopedPaint(const ScopedPaint&) = delete;
  void operator=(const ScopedPaint&) = delete;
  operator HDC() const { return dc; }
};

// The clipboard, closed at the end of the scope when `opened` says the
// opening succeeded (the caller opens it, waiting as it sees fit).
struct ScopedClipboard {
  bool open;
  explicit ScopedClipboard(bool opened) : open(opened) {}
  ~ScopedClipboard() {
    if (open) CloseClipboard();
  }
  ScopedClipboard(const ScopedClipboard&) = delete;
  void operator=(const ScopedClipboard&) = delete;
};
