#include "app/value_notices.h"

uint32_t ValueNoticesDue(ValueNotices* notices, uint32_t changed, ValueNoticeMoment moment, uint32_t nowMs) {
  notices->pending |= changed;
  if (!notices->pending || moment == NOTICE_GATHER) return 0;
  // Unsigned: the tick count wraps around after 49 days.
  if (moment == NOTICE_LIVE && nowMs - notices->lastMs < kValueNoticeIntervalMs) return 0;
  uint32_t due = notices->pending;
  notices->pending = 0;
  notices->lastMs = nowMs;
  return due;
}
