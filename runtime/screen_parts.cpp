#include "runtime/screen_parts.h"

#include <algorithm>

static bool Inside(const ScreenRect& r, int x, int y) {
  return x >= r.x && y >= r.y && x - r.x < r.width && y - r.y < r.height;
}

std::vector<ScreenRect> RegionPartsOnMonitors(const ScreenRect& region, const ScreenRect* monitors, int count) {
  std::vector<ScreenRect> parts;
  for (int i = 0; i < count; i++) {
    const ScreenRect& m = monitors[i];
    // In 64 bits, so that no edge overflows.
    long long left = std::max<long long>(region.x, m.x), top = std::max<long long>(region.y, m.y);
    long long right = std::min<long long>((long long)region.x + region.width, (long long)m.x + m.width);
    long long bottom = std::min<long long>((long long)region.y + region.height, (long long)m.y + m.height);
    if (left < right && top < bottom)
      parts.push_back(ScreenRect{(int)(left - region.x), (int)(top - region.y), (int)(right - left), (int)(bottom - top)});
  }
  return parts;
}

bool RegionPixelExists(const std::vector<ScreenRect>& parts, int x, int y) {
  for (const ScreenRect& part : parts)
    if (Inside(part, x, y)) return true;
  return false;
}

bool PointOnMonitors(int x, int y, const ScreenRect* monitors, int count) {
  for (int i = 0; i < count; i++)
    if (Inside(monitors[i], x, y)) return true;
  return false;
}
