#include "app/value_notices.h"

#include <gtest/gtest.h>

TEST(ValueNoticesDue, LiveChangesAreToldAFewTimesASecondAndAlwaysAtTheEnd) {
  ValueNotices n = {};
  // Nothing under way: each change at once.
  EXPECT_EQ(ValueNoticesDue(&n, 0x3, NOTICE_ON_CHANGE, 1000), 0x3u);
  EXPECT_EQ(ValueNoticesDue(&n, 0x1, NOTICE_ON_CHANGE, 1001), 0x1u);
  EXPECT_EQ(ValueNoticesDue(&n, 0, NOTICE_ON_CHANGE, 1002), 0u);
  // A pick: a change on every 16 ms tick for two seconds, told at most
  // once per interval, the ones between them gathered.
  int told = 0;
  uint32_t last = 0;
  for (uint32_t t = 2000; t < 4000; t += 16) {
    uint32_t due = ValueNoticesDue(&n, t % 32 ? 0x4 : 0x8, NOTICE_LIVE, t);
    if (!due) continue;
    if (told) {
      EXPECT_GE(t - last, kValueNoticeIntervalMs);
    }
    EXPECT_EQ(due, told ? 0xCu : 0x4u);
    told++;
    last = t;
  }
  EXPECT_GE(told, 7);
  EXPECT_LE(told, 9);
  // The end tells what waits at once, however soon, and what changed on the
  // way there with it.
  EXPECT_EQ(ValueNoticesDue(&n, 0x20, NOTICE_GATHER, last + 1), 0u);
  EXPECT_EQ(ValueNoticesDue(&n, 0x1, NOTICE_AT_END, last + 1), 0x2Du);
  EXPECT_EQ(ValueNoticesDue(&n, 0, NOTICE_AT_END, last + 2), 0u);
  // A tick without a change tells what waits, once its interval is over.
  uint32_t end = last + 1;
  EXPECT_EQ(ValueNoticesDue(&n, 0x10, NOTICE_LIVE, end + 10), 0u);
  EXPECT_EQ(ValueNoticesDue(&n, 0, NOTICE_LIVE, end + kValueNoticeIntervalMs - 1), 0u);
  EXPECT_EQ(ValueNoticesDue(&n, 0, NOTICE_LIVE, end + kValueNoticeIntervalMs), 0x10u);
  // Across the tick count's wrap.
  ValueNotices w = {0, 0xFFFFFFF0u};
  EXPECT_EQ(ValueNoticesDue(&w, 0x1, NOTICE_LIVE, 0x20), 0u);
  EXPECT_EQ(ValueNoticesDue(&w, 0, NOTICE_LIVE, 0xFFFFFFF0u + kValueNoticeIntervalMs), 0x1u);
}
