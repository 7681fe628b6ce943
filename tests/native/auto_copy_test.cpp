#include "color/auto_copy.h"

#include <gtest/gtest.h>

TEST(DecideColorCopy, LiveChangesCopyOnlyNewTextMarkedAndTheEndLeavesAnOrdinaryCopy) {
  const LastColorCopy none = {COPY_NONE, ""};
  const LastColorCopy live = {COPY_LIVE, "#102030"};
  const LastColorCopy ordinary = {COPY_ORDINARY, "#102030"};
  const struct {
    ColorCopyMoment moment;
    const char* text;
    LastColorCopy last;
    ColorCopyKind expected;
  } cases[] = {
      // Outside drags every change copies, as it always did.
      {COPY_ON_CHANGE, "#102030", none, COPY_ORDINARY},
      {COPY_ON_CHANGE, "#102030", ordinary, COPY_ORDINARY},
      {COPY_ON_CHANGE, "#102030", live, COPY_ORDINARY},  // a drag's release that samples
      // During a drag or pick: only a text not copied last, marked.
      {COPY_ON_LIVE_CHANGE, "#102030", none, COPY_LIVE},
      {COPY_ON_LIVE_CHANGE, "#102030", live, COPY_NONE},  // a still picture, tick after tick
      {COPY_ON_LIVE_CHANGE, "#102031", live, COPY_LIVE},
      {COPY_ON_LIVE_CHANGE, "#102030", ordinary, COPY_NONE},  // already there
      {COPY_ON_LIVE_CHANGE, "", none, COPY_LIVE},  // nothing copied yet, whatever the text
      // The end: a live copy gives way to an ordinary one, nothing else copies.
      {COPY_ON_DRAG_END, "#102030", live, COPY_ORDINARY},
      {COPY_ON_DRAG_END, "#405060", live, COPY_ORDINARY},
      {COPY_ON_DRAG_END, "#102030", ordinary, COPY_NONE},
      {COPY_ON_DRAG_END, "#102030", none, COPY_NONE},
  };
  for (const auto& k : cases)
    EXPECT_EQ(DecideColorCopy(k.moment, k.text, k.last), k.expected)
        << "moment " << k.moment << ", text " << k.text << ", last " << k.last.kind << " " << k.last.text;
}

// A copy that found the clipboard held is made again, as it was, on the next
// ticks; a newer copy (DecideColorCopy counts a pending one as made) takes
// its place. Only the copy the user keeps waits long: the live copies and
// the retries run on the GUI thread up to 60 times a second.
TEST(DecideCopyRetry, APendingCopyIsMadeAgainAsItWasAndBriefly) {
  const struct {
    LastColorCopy last;
    ColorCopyKind retried;
  } cases[] = {
      {{COPY_NONE, "", false}, COPY_NONE},
      {{COPY_ORDINARY, "#102030", false}, COPY_NONE},
      {{COPY_LIVE, "#102030", false}, COPY_NONE},
      {{COPY_ORDINARY, "#102030", true}, COPY_ORDINARY},
      {{COPY_LIVE, "#102030", true}, COPY_LIVE},
  };
  for (const auto& k : cases) EXPECT_EQ(DecideCopyRetry(k.last), k.retried) << k.last.kind << " " << k.last.pending;

  const LastColorCopy pendingLive = {COPY_LIVE, "#102030", true};
  EXPECT_EQ(DecideColorCopy(COPY_ON_LIVE_CHANGE, "#102030", pendingLive), COPY_NONE);  // the retry brings it
  EXPECT_EQ(DecideColorCopy(COPY_ON_DRAG_END, "#102030", pendingLive), COPY_ORDINARY);
  const LastColorCopy pendingOrdinary = {COPY_ORDINARY, "#102030", true};
  EXPECT_EQ(DecideColorCopy(COPY_ON_DRAG_END, "#102030", pendingOrdinary), COPY_NONE);  // the retry brings it

  EXPECT_GE(ColorCopyWaitMs(COPY_ORDINARY, false), 30);  // a clipboard manager reading the last copy
  EXPECT_LE(ColorCopyWaitMs(COPY_ORDINARY, false), 100);
  EXPECT_LE(ColorCopyWaitMs(COPY_LIVE, false), 5);
  EXPECT_LE(ColorCopyWaitMs(COPY_ORDINARY, true), 5);
  EXPECT_LE(ColorCopyWaitMs(COPY_LIVE, true), 5);
}
