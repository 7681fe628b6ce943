#include "color/auto_copy.h"

ColorCopyKind DecideColorCopy(ColorCopyMoment moment, const std::string& text, const LastColorCopy& last) {
  switch (moment) {
    case COPY_ON_CHANGE: return COPY_ORDINARY;
    case COPY_ON_LIVE_CHANGE: return last.kind != COPY_NONE && last.text == text ? COPY_NONE : COPY_LIVE;
    case COPY_ON_DRAG_END: return last.kind == COPY_LIVE ? COPY_ORDINARY : COPY_NONE;
  }
  return COPY_NONE;
}

ColorCopyKind DecideCopyRetry(const LastColorCopy& last) { return last.pending ? last.kind : COPY_NONE; }

int ColorCopyWaitMs(ColorCopyKind kind, bool retry) { return kind == COPY_ORDINARY && !retry ? 50 : 3; }
