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
