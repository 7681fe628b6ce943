// When a screen reader is told that the values the controls show have
// changed. While a drag, a pick or a key run changes the colour many times a
// second, a screen reader would fall behind reading each value: the value
// changes are told at most once every kValueNoticeIntervalMs then, those that
// came meanwhile later (on a tick of the focus poll), and always once at the
// end. Outside them every change is told at once. No operating system here;
// app/screen_reader.cpp tells the controls this returns.
#pragma once
#include <stdint.h>

const uint32_t kValueNoticeIntervalMs = 250;

struct ValueNotices {
  uint32_t pending;  // controls whose change is not told yet, a bit per row of kMainControls
  uint32_t lastMs;   // when changes were told last
};

// The moment of a decision.
enum ValueNoticeMoment {
  NOTICE_ON_CHANGE,  // values changed (`changed`) with nothing under way
  NOTICE_LIVE,       // values changed, or a tick came (`changed` 0), during a drag, pick or key run
  NOTICE_GATHER,     // values changed as a drag, pick or key run ends: told with its end
  NOTICE_AT_END,     // a drag, pick or key run has ended: everything pending and `changed` is told
};

// The controls (bits of kMainControls rows) to tell about now, at `nowMs`.
uint32_t ValueNoticesDue(ValueNotices* notices, uint32_t changed, ValueNoticeMoment moment, uint32_t nowMs);
