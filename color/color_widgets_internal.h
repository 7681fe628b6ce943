// Shared by the files of the colour widgets on the runtime's controls.
#pragma once
#include <stdint.h>

#include <vector>

#include "color/redraw_cache.h"

// The redraw caches, which a new widget set empties.

extern RedrawCache g_swatchDrawn;    // RefreshCurrentSwatch
extern RedrawCache g_channelsDrawn;  // RefreshChannelViews
extern RedrawCache g_nameListDrawn;  // RefreshNameList

// An image's pixels row by row, top row first; empty when it cannot be read.
std::vector<int32_t> ReadImagePixels(int image, int* width, int* height);
