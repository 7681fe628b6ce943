#include "app/window_placement.h"

#include <math.h>
#include <stdint.h>

bool InsideInclusive(int x, int y, int left, int top, int width, int height) {
  // In 64 bits: a rectangle may reach past the 32-bit range.
  return x >= left && (int64_t)x <= (int64_t)left + width && y >= top && (int64_t)y <= (int64_t)top + height;
}

// The 40 % rule along one axis for a display that starts at `displayStart`.
static int KeepReachableOn(int position, int size, int displayStart, int displaySize) {
  double low = displayStart - 0.6 * size, high = (double)displayStart + displaySize - 0.4 * size;
  if (position < low) return (int)nearbyint(low);  // the default rounding mode: halves to even
  if (position > high) return (int)nearbyint(high);
  return position;
}

int KeepReachable(int position, int size, int displaySize) {
  return KeepReachableOn(position, size, 0, displaySize);
}

// How far apart two spans are along one axis (0 when they meet), and how much
// they share; in 64 bits, as positions come from the settings file.
static int64_t Gap(int64_t start, int64_t size, int64_t otherStart, int64_t otherSize) {
  if (start + size < otherStart) return otherStart - (start + size);
  if (otherStart + otherSize < start) return start - (otherStart + otherSize);
  return 0;
}
static int64_t Shared(int64_t start, int64_t size, int64_t otherStart, int64_t otherSize) {
  int64_t low = start > otherStart ? start : otherStart;
  int64_t high = start + size < otherStart + otherSize ? start + size : otherStart + otherSize;
  return high > low ? high - low : 0;
}

int NearestDisplay(const ScreenRect& window, const ScreenRect* displays, int count) {
  int nearest = -1;
  int64_t bestOverlap = 0;
  double bestDistance = 0;
  for (int i = 0; i < count; i++) {
    const ScreenRect& d = displays[i];
    int64_t overlap = Shared(window.x, window.width, d.x, d.width) * Shared(window.y, window.height, d.y, d.height);
    double gapX = (double)Gap(window.x, window.width, d.x, d.width);
    double gapY = (double)Gap(window.y, window.height, d.y, d.height);
    double distance = gapX * gapX + gapY * gapY;
    bool better = nearest < 0 || overlap > bestOverlap || (bestOverlap == 0 && overlap == 0 && distance < bestDistance);
    if (better) {
      nearest = i;
      bestOverlap = overlap;
      bestDistance = distance;
    }
  }
  return nearest;
}

void KeepReachableOnDisplays(ScreenRect* window, const ScreenRect* displays, int count,
                             const ScreenRect& reportedPrimary) {
  int nearest = NearestDisplay(*window, displays, count);
  ScreenRect display = nearest >= 0 ? displays[nearest] : reportedPrimary;
  window->x = KeepReachableOn(window->x, window->width, display.x, display.width);
  window->y = KeepReachableOn(window->y, window->height, display.y, display.height);
}
