#include "color/current_color.h"

#include <string>

#include "color/auto_copy.h"
#include "color/color_value.h"
#include "color/color_widgets.h"
#include "runtime/clipboard.h"
#include "runtime/settings.h"

static ColorViews g_views;
static LastColorCopy g_lastCopy;  // the last copy that reached the clipboard

void SetColorViews(const ColorViews& views) { g_views = views; }

static std::string CurrentColorText() {
  return FormatColor(CONFIG.Color, CONFIG.ColorFormat, CONFIG.ColorFormatLCase);
}

static void CopyAs(ColorCopyKind kind, const std::string& text) {
  if (kind == COPY_NONE) return;
  if (PutClipboardText(text.c_str(), kind == COPY_LIVE)) g_lastCopy = LastColorCopy{kind, text};
}

// With automatic copying on: what DecideColorCopy says for this moment.
static void CopyAutomatically(ColorCopyMoment moment) {
  if (!CONFIG.Autocopy) return;
  std::string text = CurrentColorText();
  CopyAs(DecideColorCopy(moment, text, g_lastCopy), text);
}

void CopyColorText() { CopyAs(COPY_ORDINARY, CurrentColorText()); }

void CopyAtDragEnd() { CopyAutomatically(COPY_ON_DRAG_END); }

void SetCurrentColor(int color, bool refreshNameList, bool addToHistory) {
  CONFIG.Color = color;
  CopyAutomatically(CurrentColorDrag().state != DRAG_IDLE ? COPY_ON_LIVE_CHANGE : COPY_ON_CHANGE);
  if (g_views.refreshCurrentSwatch) g_views.refreshCurrentSwatch(CONFIG.Color, false);
  if (g_views.refreshChannelViews) g_views.refreshChannelViews(CONFIG.Color, false);
  if (refreshNameList && g_views.refreshNameList) g_views.refreshNameList(CONFIG.Color, false);
  if (addToHistory && g_views.addToHistory) g_views.addToHistory(CONFIG.Color);
}
