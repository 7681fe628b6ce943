// The swatch strips: the history of the 16 most recent colours and the
// automatic palette of a captured region's most frequent colours. No
// operating system here: these functions keep the history and lay out the
// boxes; the Windows side fills them.
#pragma once
#include <stdint.h>


// One box of a strip: fill (x, 0) .. (x + width, strip height) with `color`.
struct SwatchBox {
  int x;
  int width;
  int color;
};

//-----------------------------------------------------------------------------
// History
//-----------------------------------------------------------------------------

const int kRecentColorCount = 16;  // the colours the history keeps

// Moves the colour to index 0, shifting the newer entries down one place; a
// colour not in the list pushes out the oldest (index 15).
void MoveColorToFront(int32_t recent[kRecentColorCount], int color);

// The 16 boxes of a strip `stripWidth` wide, newest at the left. The first
// stripWidth mod 16 boxes are one pixel wider, so the boxes fill the strip
// exactly. Returns 16, or 0 for a strip without width.
int LayoutHistoryBoxes(const int32_t recent[kRecentColorCount], int stripWidth,
                       SwatchBox boxes[kRecentColorCount]);

//-----------------------------------------------------------------------------
// Automatic palette
//-----------------------------------------------------------------------------

const int kPaletteLimit = 33;  // colours kept
const int kPaletteMinBoxWidth = 8;

// 0.3 R + 0.59 G + 0.11 B, rounded halves to even.
int ColorLuma(int color);

// Hue groups, in the order the strip shows them.
enum PaletteGroup { GROUP_RED, GROUP_GREEN, GROUP_BLUE, GROUP_REMAINING, GROUP_GREY };

// Red, green or blue: that channel strictly largest, luma 33..222. Grey: all
// channels equal, or red = green above blue with luma up to 31 or from 224.
// Remaining: the rest (very dark or very light tints, two equal largest
// channels in mid luma).
PaletteGroup PaletteGroupOf(int color);

struct PaletteEntry {
  int32_t count;  // pixels of this colour
  int32_t width;  // box width, set by LayoutPaletteBoxes
  uint8_t luma;
  int color;
};

// Counts the colours of `pixelCount` pixels given in column order (column 0
// top to bottom, then column 1, ...), keeps the 33 most frequent (among equal
// counts, the first seen), and orders them for the strip: groups red, green,
// blue, remaining, grey; within red, green and blue by that channel, within
// grey by luma, largest first; remaining in count order. Only the 24 colour
// bits count. Returns the number of entries written to `entries`.
int BuildPaletteEntries(const int32_t* pixels, int pixelCount, PaletteEntry entries[kPaletteLimit]);

// Lays the entries side by side from x = 0: each box is 8 pixels plus its
// share of the pixels of the strip's remaining width (the strip less 8 per
// entry, counting at most 32 entries), rounded halves to even and stored in
// the entry. With 33 entries the last box reaches past the strip; boxes are
// clipped to it, and a strip too narrow for 8 pixels a colour gives no box a
// negative width. When rounding leaves the boxes short of the right edge,
// the last box grows to it, so the strip is always covered. Returns the
// number of boxes; 0 when there is nothing to draw (no entries, no counts, no
// width), and the strip is then left as it is.
int LayoutPaletteBoxes(PaletteEntry* entries, int entryCount, int stripWidth, SwatchBox boxes[kPaletteLimit]);
