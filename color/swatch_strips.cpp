#include "color/swatch_strips.h"

#include <math.h>

#include <algorithm>
#include <vector>

#include "color/color_value.h"

//-----------------------------------------------------------------------------
// History
//-----------------------------------------------------------------------------

void MoveColorToFront(int32_t recent[kRecentColorCount], int color) {
  int k = 0;
  while (k < kRecentColorCount - 1 && recent[k] != color) k++;  // not found: k is the last entry, which drops out
  for (; k > 0; k--) recent[k] = recent[k - 1];
  recent[0] = color;
}

int LayoutHistoryBoxes(const int32_t recent[kRecentColorCount], int stripWidth,
                       SwatchBox boxes[kRecentColorCount]) {
  if (stripWidth <= 0) return 0;
  int base = stripWidth / kRecentColorCount, extra = stripWidth % kRecentColorCount;
  int x = 0;
  for (int i = 0; i < kRecentColorCount; i++) {
    int width = base + (i < extra ? 1 : 0);
    boxes[i] = {x, width, recent[i]};
    x += width;
  }
  return kRecentColorCount;
}

//-----------------------------------------------------------------------------
// Automatic palette
//-----------------------------------------------------------------------------

int ColorLuma(int color) {
  double luma = 0.3 * RedOf(color) + 0.59 * GreenOf(color) + 0.11 * BlueOf(color);
  return std::min(255, (int)nearbyint(luma));  // default rounding: halves to even
}

PaletteGroup PaletteGroupOf(int color) {
  int r = RedOf(color), g = GreenOf(color), b = BlueOf(color);
  int luma = ColorLuma(color);
  bool midLuma = luma >= 33 && luma <= 222;
  if (r > g && r > b && midLuma) return GROUP_RED;
  if (g > r && g > b && midLuma) return GROUP_GREEN;
  if (b > r && b > g && midLuma) return GROUP_BLUE;
  // Red = green counts as grey only near black or white, and never when blue
  // is the largest channel: (0, 0, 200) has luma 22 but is plainly blue.
  if (r == g && (g == b || (b < g && (luma <= 31 || luma >= 224)))) return GROUP_GREY;
  return GROUP_REMAINING;
}

// The key an entry is ordered by within its group, largest first; the
// remaining group has none and keeps the count order.
static int GroupSortKey(PaletteGroup group, const PaletteEntry& entry) {
  switch (group) {
    case GROUP_RED: return RedOf(entry.color);
    case GROUP_GREEN: return GreenOf(entry.color);
    case GROUP_BLUE: return BlueOf(entry.color);
    case GROUP_GREY: return entry.luma;
    default: return 0;
  }
}

int BuildPaletteEntries(const int32_t* pixels, int pixelCount, PaletteEntry entries[kPaletteLimit]) {
  if (!pixels || pixelCount <= 0) return 0;

  // Count by sorting (colour, first position) pairs: equal colours become
  // neighbours and the first position of each survives for the tie order.
  std::vector<std::pair<int, int>> seen(pixelCount);
  for (int i = 0; i < pixelCount; i++) seen[i] = {pixels[i] & 0xFFFFFF, i};
  std::sort(seen.begin(), seen.end());
  struct Counted {
    int color, count, first;
  };
  std::vector<Counted> counted;
  for (int i = 0; i < pixelCount; i++) {
    if (i > 0 && seen[i].first == seen[i - 1].first) counted.back().count++;
    else counted.push_back({seen[i].first, 1, seen[i].second});
  }
  std::sort(counted.begin(), counted.end(), [](const Counted& a, const Counted& b) {
    return a.count != b.count ? a.count > b.count : a.first < b.first;
  });
  int kept = std::min((int)counted.size(), kPaletteLimit);

  // Groups in strip order; a stable sort by (group, key descending) keeps the
  // count order among equal keys and within the remaining group.
  struct Grouped {
    PaletteGroup group;
    int key;
    PaletteEntry entry;
  };
  std::vector<Grouped> grouped;
  for (int i = 0; i < kept; i++) {
    PaletteEntry entry = {counted[i].count, 0, (uint8_t)ColorLuma(counted[i].color), counted[i].color};
    PaletteGroup group = PaletteGroupOf(entry.color);
    grouped.push_back({group, GroupSortKey(group, entry), entry});
  }
  std::stable_sort(grouped.begin(), grouped.end(), [](const Grouped& a, const Grouped& b) {
    return a.group != b.group ? a.group < b.group : a.key > b.key;
  });
  for (int i = 0; i < kept; i++) entries[i] = grouped[i].entry;
  return kept;
}

int LayoutPaletteBoxes(PaletteEntry* entries, int entryCount, int stripWidth, SwatchBox boxes[kPaletteLimit]) {
  if (!entries || entryCount <= 0 || stripWidth <= 0) return 0;
  entryCount = std::min(entryCount, kPaletteLimit);
  int64_t total = 0;
  for (int i = 0; i < entryCount; i++) total += std::max(0, (int)entries[i].count);
  if (total == 0) return 0;

  int available = stripWidth - kPaletteMinBoxWidth * std::min(entryCount, kPaletteLimit - 1);
  int64_t x = 0;
  for (int i = 0; i < entryCount; i++) {
    float share = (float)(std::max(0, (int)entries[i].count) / (total / 100.0));  // percent of the pixels
    int width = (int)nearbyint(share / 100.0 * available + kPaletteMinBoxWidth);
    entries[i].width = std::max(0, width);
    int left = (int)std::min<int64_t>(x, stripWidth);
    boxes[i] = {left, std::min(entries[i].width, stripWidth - left), entries[i].color};
    x += entries[i].width;
  }
  // Rounding can leave the boxes short of the right edge; the last box takes
  // the rest, so no column keeps a colour of an earlier palette.
  SwatchBox& last = boxes[entryCount - 1];
  if (last.x + last.width < stripWidth) last.width = stripWidth - last.x;
  return entryCount;
}
