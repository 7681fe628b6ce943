#include "runtime/focus_order.h"

#include <gtest/gtest.h>

TEST(NextInFocusOrder, StepsOverControlsThatCannotTakeTheFocusAndWraps) {
  const bool can[5] = {true, false, true, true, false};
  const struct {
    int current;
    bool backward;
    int next;
  } cases[] = {
      {-1, false, 0}, {-1, true, 3},  // from none of them: the first, or the last
      {0, false, 2},  {2, false, 3},  {3, false, 0},   // the hidden one skipped, wrapping at the end
      {0, true, 3},   {3, true, 2},   {2, true, 0},
      {1, false, 2},  {4, false, 0},  {4, true, 3},    // from one that can no longer take it
      {7, false, 0},  {7, true, 3},                    // an index past the order counts as none
  };
  for (const auto& k : cases)
    EXPECT_EQ(NextInFocusOrder(can, 5, k.current, k.backward), k.next) << k.current << (k.backward ? " back" : "");
  const bool one[3] = {false, true, false};
  EXPECT_EQ(NextInFocusOrder(one, 3, 1, false), 1);  // the only one keeps it
  const bool none[2] = {false, false};
  EXPECT_EQ(NextInFocusOrder(none, 2, 0, false), -1);
  EXPECT_EQ(NextInFocusOrder(none, 0, -1, false), -1);
}
