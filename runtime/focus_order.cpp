#include "runtime/focus_order.h"

int NextInFocusOrder(const bool* canFocus, int count, int current, bool backward) {
  if (count <= 0) return -1;
  if (current < 0 || current >= count) current = backward ? 0 : count - 1;  // the step lands on the first or last
  int step = backward ? count - 1 : 1;  // -1 modulo count
  for (int i = 1, at = current; i <= count; i++) {
    at = (at + step) % count;
    if (canFocus[at]) return at;
  }
  return -1;
}
