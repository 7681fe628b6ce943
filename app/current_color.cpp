#include "app/current_color.h"

#include <string>

#include "app/program_context.h"
#include "app/settings_record.h"
#include "color/auto_copy.h"
#include "color/color_value.h"

static std::string CurrentColorText() {
  return FormatColor(CONFIG.Color, CONFIG.ColorFormat, CONFIG.ColorFormatLCase);
}

static void CopyAs(ColorCopyKind kind, const std::string& text, bool retry) {
  ProgramContext& g = *GProgram;
  if (kind == COPY_NONE || !g.views.copyToClipboard) return;
  bool landed = g.views.copyToClipboard(text.c_str(), kind == COPY_LIVE, ColorCopyWaitMs(kind, retry));
  g.lastCopy = LastColorCopy{kind, text, !landed};
  g.copiesMade++;
}

// With automatic copying on: what DecideColorCopy says for this moment.
static void CopyAutomatically(ColorCopyMoment moment) {
  if (!CONFIG.Autocopy) return;
  std::string text = CurrentColorText();
  CopyAs(DecideColorCopy(moment, text, GProgram->lastCopy), text, false);
}

void CopyColorText() { CopyAs(COPY_ORDINARY, CurrentColorText(), false); }

void CopyAtDragEnd() { CopyAutomatically(COPY_ON_DRAG_END); }

void RetryColorCopy() {
  const LastColorCopy& last = GProgram->lastCopy;
  ColorCopyKind kind = DecideCopyRetry(last);
  if (kind != COPY_NONE) CopyAs(kind, std::string(last.text), true);  // a copy: CopyAs replaces `last`
}

bool ColorChangesLive() {
  const ProgramContext& g = *GProgram;
  return g.drag.state != DRAG_IDLE || g.keyRun.canvas != 0;
}

void SetCurrentColor(int color, int options) {
  ProgramContext& g = *GProgram;
  CONFIG.Color = color;
  bool live = ColorChangesLive();
  if (!(options & SET_COLOR_NO_COPY)) CopyAutomatically(live ? COPY_ON_LIVE_CHANGE : COPY_ON_CHANGE);
  const ColorViews& views = g.views;
  if (views.refreshCurrentSwatch) views.refreshCurrentSwatch(CONFIG.Color, false);
  if (views.refreshChannelViews) views.refreshChannelViews(CONFIG.Color, false);
  if ((options & SET_COLOR_REFRESH_NAME_LIST) && views.refreshNameList) views.refreshNameList(CONFIG.Color, false);
  if ((options & SET_COLOR_ADD_TO_HISTORY) && views.addToHistory) views.addToHistory(CONFIG.Color);
  if (views.announceColor) views.announceColor(live);
}
