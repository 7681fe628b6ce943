#include "runtime/win32_internal.h"  // windows.h first

#include <vector>

#include "runtime/fonts.h"
#include "runtime/win_text.h"

static std::vector<HFONT> g_fonts;  // font n is g_fonts[n - 1]

int LoadFont(const char* face, int points) {
  int pixelsPerInch = 96;
  if (ScopedGetDC screen{nullptr}) pixelsPerInch = GetDeviceCaps(screen, LOGPIXELSY);
  if (pixelsPerInch <= 0) pixelsPerInch = 96;
  std::wstring name = Utf8ToWide(face);
  HFONT font = CreateFontW(-MulDiv(points, pixelsPerInch, 72), 0, 0, 0, FW_NORMAL, FALSE, FALSE,
                           FALSE, DEFAULT_CHARSET, OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS,
                           CLEARTYPE_QUALITY, FIXED_PITCH | FF_MODERN, name.c_str());
  if (!font) return 0;
  g_fonts.push_back(font);
  return (int)g_fonts.size();
}

bool FontExists(int font) { return FontHandle(font) != nullptr; }

void* FontHandle(int font) {
  if (font < 1 || font > (int)g_fonts.size()) return nullptr;
  return g_fonts[(size_t)font - 1];
}

static int g_defaultFont = 0;
static HFONT g_messageFont = nullptr;

void ReleaseAllFonts() {
  for (HFONT f : g_fonts) DeleteObject(f);
  g_fonts.clear();
  g_defaultFont = 0;
  if (g_messageFont) DeleteObject(g_messageFont);
  g_messageFont = nullptr;
}

void SetDefaultControlFont(int font) { g_defaultFont = FontExists(font) ? font : 0; }

void* DefaultControlFont() {
  if (g_defaultFont) return FontHandle(g_defaultFont);
  if (!g_messageFont) {
    NONCLIENTMETRICSW metrics = {sizeof metrics};
    if (SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, sizeof metrics, &metrics, 0))
      g_messageFont = CreateFontIndirectW(&metrics.lfMessageFont);
  }
  return g_messageFont ? (void*)g_messageFont : GetStockObject(DEFAULT_GUI_FONT);
}
