// Which parts of the screen hold pixels. The virtual screen is the box
// around the monitors; only what lies on a monitor is a pixel. Beyond its
// edges and in the gaps between monitors of different sizes there is
// nothing to read: Windows leaves a copy of such a place undefined, and Wine
// blackens a copy that reaches there as a whole, the pixels on the monitors
// included. So a copy of a region reads only its parts on the monitors, and
// the rest stays black. No operating system here; runtime/images_win.cpp
// carries the copy out, with the monitors runtime/windowing.h reports.
#pragma once
#include <vector>

// A rectangle on the virtual screen: the primary monitor's top-left corner
// is (0, 0), monitors left of or above it have negative coordinates. In
// pixels here; the window's placement takes it in logical units.
struct ScreenRect {
  int x, y, width, height;
};

// The parts of `region` that lie on the monitors, one for each monitor the
// region reaches, in the monitors' order, each in the region's own
// coordinates ((0, 0) is the region's top-left pixel). None when the region
// lies on no monitor. Monitors that overlap (one shown on two) give parts
// that overlap.
std::vector<ScreenRect> RegionPartsOnMonitors(const ScreenRect& region, const ScreenRect* monitors, int count);

// Whether the pixel (x, y) of a region, in the region's coordinates, lies on
// a monitor: inside one of the region's `parts` (RegionPartsOnMonitors).
bool RegionPixelExists(const std::vector<ScreenRect>& parts, int x, int y);

// Whether the screen pixel (x, y) lies on one of the monitors.
bool PointOnMonitors(int x, int y, const ScreenRect* monitors, int count);
