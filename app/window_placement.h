// Where the main window may stand on the displays: its stored position kept
// reachable on the display nearest it, and whether a point lies in a
// rectangle (the right-click collapse area). No operating system here; the
// main window and the event loop carry it out.
#pragma once
#include "runtime/screen_parts.h"  // ScreenRect

// Whether (x, y) lies in the rectangle, its edges included.
bool InsideInclusive(int x, int y, int left, int top, int width, int height);

// A window position along one axis pulled back so that at least 40 % of the
// window's `size` lies within 0 .. `displaySize`: below -0.6 x size it
// becomes round(-0.6 x size), above displaySize - 0.4 x size it becomes
// round(displaySize - 0.4 x size) (halves to even); a position on a limit
// stays.
int KeepReachable(int position, int size, int displaySize);

// The display nearest the rectangle: the one it overlaps most, or when it
// overlaps none, the one at the least distance from it; the first of equals
// (display 0, the primary, comes first). -1 when there is no display.
int NearestDisplay(const ScreenRect& window, const ScreenRect* displays, int count);

// The window's stored position kept reachable on the display nearest its
// rectangle: at least 40 % of its width and height on that display, by
// KeepReachable along each axis. A window on any display stays where it
// is; one whose display is gone comes onto the nearest remaining one.
// When the enumeration found no display (some remote and virtual sessions),
// the primary monitor the system reports stands in.
void KeepReachableOnDisplays(ScreenRect* window, const ScreenRect* displays, int count,
                             const ScreenRect& reportedPrimary);
