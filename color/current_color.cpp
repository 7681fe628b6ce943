#include "color/current_color.h"

#include "color/color_value.h"
#include "runtime/clipboard.h"
#include "runtime/settings.h"

static ColorViews g_views;

void SetColorViews(const ColorViews& views) { g_views = views; }

void CopyColorText() {
  ClearClipboard();
  PutClipboardText(FormatColor(CONFIG.Color, CONFIG.ColorFormat, CONFIG.ColorFormatLCase).c_str());
}

void SetCurrentColor(int color, bool refreshNameList, bool addToHistory) {
  CONFIG.Color = color;
  if (CONFIG.Autocopy) CopyColorText();
  if (g_views.refreshCurrentSwatch) g_views.refreshCurrentSwatch(CONFIG.Color, false);
  if (g_views.refreshChannelViews) g_views.refreshChannelViews(CONFIG.Color, false);
  if (refreshNameList && g_views.refreshNameList) g_views.refreshNameList(CONFIG.Color, false);
  if (addToHistory && g_views.addToHistory) g_views.addToHistory(CONFIG.Color);
}
