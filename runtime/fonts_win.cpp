#include "runtime/win32_internal.h"  // windows.h first

#include <vector>

#include "runtime/fonts.h"
#include "runtime/win_text.h"
#include "runtime/windowing.h"

struct LoadedFont {
  HFONT handle;
  std::wstring face;
  int points;
};
static std::vector<LoadedFont> g_fonts;  // font n is g_fonts[n - 1]

// The font at the windowing layer's window scale: its points in pixels of that scale.
static HFONT MakeFont(const std::wstring& face, int points) {
  return CreateFontW(-MulDiv(points, WindowingDpiY(), 72), 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE,
                     DEFAULT_CHARSET, OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, CLEARTYPE_QUALITY,
                     FIXED_PITCH | FF_MODERN, face.c_str());
}

int LoadFont(const char* face, int points) {
  std::wstring name = Utf8ToWide(face);
  HFONT font = MakeFont(name, points);
  if (!font) return 0;
  g_fonts.push_back(LoadedFont{font, name, points});
  return (int)g_fonts.size();
}

bool FontExists(int font) { return FontHandle(font) != nullptr; }

void* FontHandle(int font) {
  if (font < 1 || font > (int)g_fonts.size()) return nullptr;
  return g_fonts[(size_t)font - 1].handle;
}

static int g_defaultFont = 0;
static HFONT g_messageFont = nullptr;

void ReleaseAllFonts() {
  for (const LoadedFont& f : g_fonts) DeleteObject(f.handle);
  g_fonts.clear();
  g_defaultFont = 0;
  if (g_messageFont) DeleteObject(g_messageFont);
  g_messageFont = nullptr;
}

void SetDefaultControlFont(int font) { g_defaultFont = FontExists(font) ? font : 0; }

// The system's message font at the window scale; null when it cannot be made.
static HFONT MakeMessageFont() {
  NONCLIENTMETRICSW metrics = {sizeof metrics};
  return SystemParametersAtScale(SPI_GETNONCLIENTMETRICS, sizeof metrics, &metrics)
             ? CreateFontIndirectW(&metrics.lfMessageFont)
             : nullptr;
}

void* DefaultControlFont() {
  if (g_defaultFont) return FontHandle(g_defaultFont);
  if (!g_messageFont) g_messageFont = MakeMessageFont();
  return g_messageFont ? (void*)g_messageFont : GetStockObject(DEFAULT_GUI_FONT);
}

//-----------------------------------------------------------------------------
// A change of scale
//-----------------------------------------------------------------------------

struct FontSwap {
  HFONT from, to;
};

static BOOL CALLBACK SwapFontOf(HWND hwnd, LPARAM swaps) {
  HFONT shown = (HFONT)SendMessageW(hwnd, WM_GETFONT, 0, 0);
  for (const FontSwap& s : *(const std::vector<FontSwap>*)swaps)
    if (shown && shown == s.from) {
      SendMessageW(hwnd, WM_SETFONT, (WPARAM)s.to, FALSE);
      break;
    }
  return TRUE;
}

static BOOL CALLBACK SwapFontsIn(HWND top, LPARAM swaps) {
  SwapFontOf(top, swaps);
  EnumChildWindows(top, SwapFontOf, swaps);  // every descendant, parents before their children
  return TRUE;
}

void RemakeFontsAtScale() {
  std::vector<FontSwap> swaps;
  for (LoadedFont& f : g_fonts) {
    HFONT made = MakeFont(f.face, f.points);
    if (!made) continue;  // the font of the old size serves on
    swaps.push_back(FontSwap{f.handle, made});
    f.handle = made;
  }
  if (g_messageFont) {
    if (HFONT made = MakeMessageFont()) {
      swaps.push_back(FontSwap{g_messageFont, made});
      g_messageFont = made;
    }
  }
  // Controls keep the handle they were given: each one that shows an old
  // font is given its new one before the old one goes.
  EnumThreadWindows(GetCurrentThreadId(), SwapFontsIn, (LPARAM)&swaps);
  for (const FontSwap& s : swaps) DeleteObject(s.from);
}
