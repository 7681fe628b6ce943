// Where Tab moves the keyboard focus in a window that names its order of
// controls itself, rather than leaving it to where the controls lie in the
// window's tree. No operating system here.
#pragma once

// The index Tab (or Shift+Tab, `backward`) moves to from index `current` of
// an order of `count` controls; -1 for `current` when the focus is on none
// of them (Tab then goes to the first, Shift+Tab to the last). Controls that
// cannot take the focus now (`canFocus[i]` false: hidden, disabled, gone) are
// passed over, and the order wraps around at its ends. -1 when none can.
int NextInFocusOrder(const bool* canFocus, int count, int current, bool backward);
