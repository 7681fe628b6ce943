// Redraw on demand: each colour view remembers the colour it last drew and
// skips a request for the same colour unless forced.
#pragma once

struct RedrawCache {
  int color;
  bool drawn;  // false until the first drawing, so the first request always draws
};

// True when the view must draw `color`; remembers it as drawn.
inline bool NeedsRedraw(RedrawCache* cache, int color, bool force) {
  if (cache->drawn && cache->color == color && !force) return false;
  cache->color = color;
  cache->drawn = true;
  return true;
}
