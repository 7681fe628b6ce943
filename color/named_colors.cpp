#include "color/named_colors.h"

#include <math.h>
#include <stdint.h>
#include <stdlib.h>

#include <algorithm>

#include "color/color_value.h"

//-----------------------------------------------------------------------------
// Key-to-name map
//-----------------------------------------------------------------------------

// Chained buckets over parallel arrays, one entry per table row and numbered
// as the rows are, so that iteration, and with it the search's tie order, is
// the table's order. The table's keys are unique (its source checks that as it
// compiles), so every row has its entry. The names stay in the table: the whole
// map is 9 bytes an entry, written at every start.
struct NamedColorMap {
  int16_t bucketHead[kNamedColorBuckets];  // first entry of each chain, -1 when empty
  int16_t next[kNamedColorCount];          // next entry in the same chain, -1 at the end
  int color[kNamedColorCount];             // the key's colour value, for the search
  uint8_t family[kNamedColorCount];        // ColorFamily
  int count;
};
static_assert(kNamedColorCount <= INT16_MAX, "entries are numbered in 16 bits");

static NamedColorMap g_names = {{0}, {0}, {0}, {0}, 0};

static unsigned BucketOf(int color) {
  return (uint32_t)color * 2654435761u >> 23;  // Fibonacci hashing: the top 9 bits
}
static_assert(kNamedColorBuckets == 1 << 9, "BucketOf gives 9 bits");

static int HexDigitValue(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  return -1;
}

int ColorFromKey(const char* key) {
  if (!key) return -1;
  int channels[3];
  for (int i = 0; i < 3; i++) {
    int high = HexDigitValue(key[2 * i]);
    if (high < 0) return -1;
    int low = HexDigitValue(key[2 * i + 1]);
    if (low < 0) return -1;
    channels[i] = high * 16 + low;
  }
  if (key[6] != 0) return -1;
  return ComposeColor(channels[0], channels[1], channels[2]);
}

static int ColorOfRow(int row) {
  int key = NamedColorKey(row);
  return ComposeColor(key >> 16 & 255, key >> 8 & 255, key & 255);
}

int BuildNamedColorMap() {
  for (int16_t& head : g_names.bucketHead) head = -1;
  for (int i = 0; i < kNamedColorCount; i++) {
    int color = ColorOfRow(i);
    unsigned bucket = BucketOf(color);
    g_names.color[i] = color;
    g_names.family[i] = (uint8_t)ColorFamilyOf(color);
    g_names.next[i] = g_names.bucketHead[bucket];
    g_names.bucketHead[bucket] = (int16_t)i;
  }
  g_names.count = kNamedColorCount;
  return g_names.count;
}

int NamedColorMapCount() { return g_names.count; }

// Keys are stored in upper case: a key with a lower-case digit names nothing.
const char* FindColorName(const char* key) {
  int color = ColorFromKey(key);
  if (color < 0 || g_names.count == 0) return nullptr;
  for (int k = 0; k < 6; k++)
    if (key[k] >= 'a' && key[k] <= 'f') return nullptr;
  for (int i = g_names.bucketHead[BucketOf(color)]; i >= 0; i = g_names.next[i])
    if (g_names.color[i] == color) return NamedColorName(i);
  return nullptr;
}

static char FoldAsciiCase(char c) { return c >= 'A' && c <= 'Z' ? (char)(c - 'A' + 'a') : c; }

// Whether `text` spells `name` in any letter case, the name's trailing spaces
// optional: they are in a few stored names ("Bean  ") but nobody types them.
static bool SpellsName(const char* text, int length, const char* name) {
  int k = 0;
  for (; k < length; k++)
    if (!name[k] || FoldAsciiCase(text[k]) != FoldAsciiCase(name[k])) return false;
  for (; name[k]; k++)
    if (name[k] != ' ') return false;
  return true;
}

int NamedColorFromName(const char* text, int length) {
  if (!text || length <= 0) return -1;
  for (int row = 0; row < kNamedColorCount; row++)
    if (SpellsName(text, length, NamedColorName(row))) return ColorOfRow(row);
  return -1;
}

//-----------------------------------------------------------------------------
// Nearest-name search
//-----------------------------------------------------------------------------

ColorFamily ColorFamilyOf(int color) {
  int r = RedOf(color), g = GreenOf(color), b = BlueOf(color);
  if (r > g && r > b) return FAMILY_RED;
  if (g > r && g > b) return FAMILY_GREEN;
  if (b > r && b > g) return FAMILY_BLUE;
  if (r == g && g == b) return FAMILY_GREY;
  return FAMILY_NONE;
}

int RankNamedColors(int color, NameCandidate* out, int capacity) {
  int count = g_names.count;
  if (!out || capacity <= 0 || count == 0) return 0;
  int r = RedOf(color), g = GreenOf(color), b = BlueOf(color);
  ColorFamily family = ColorFamilyOf(color);

  // Every distance is a whole number or a half, so twice it (0..1530) is an
  // exact integer: a counting sort orders all entries in linear time and keeps
  // table order among equal distances.
  const int kMaxDoubled = 2 * 765;
  uint16_t doubled[kNamedColorCount];
  int bucketStart[kMaxDoubled + 2] = {0};
  for (int i = 0; i < count; i++) {
    int entry = g_names.color[i];
    int raw = abs(r - RedOf(entry)) + abs(g - GreenOf(entry)) + abs(b - BlueOf(entry));
    bool sameFamily = family != FAMILY_NONE && g_names.family[i] == (uint8_t)family;
    doubled[i] = (uint16_t)(sameFamily ? raw : raw * 2);
    bucketStart[doubled[i] + 1]++;
  }
  for (int d = 1; d <= kMaxDoubled + 1; d++) bucketStart[d] += bucketStart[d - 1];
  int order[kNamedColorCount];
  for (int i = 0; i < count; i++) order[bucketStart[doubled[i]]++] = i;

  int written = std::min(capacity, count);
  for (int k = 0; k < written; k++) {
    int i = order[k];
    out[k].name = NamedColorName(i);
    out[k].distance = (float)doubled[i] * 0.5f;
    out[k].color = g_names.color[i];
  }
  return written;
}

std::string FormatNameDistance(float distance) {
  return std::to_string((long)nearbyint((double)distance));  // default rounding: halves to even
}

//-----------------------------------------------------------------------------
// Name list rows
//-----------------------------------------------------------------------------

std::vector<NameListRow> NameListRows(int color, int notation, int lowercase) {
  NameCandidate nearest[kNearestNameCount];
  int found = RankNamedColors(color, nearest, kNearestNameCount);
  std::vector<NameListRow> rows;
  rows.reserve(found + 1);
  rows.push_back({color, "{source color}", FormatColor(color, notation, lowercase), ""});
  for (int k = 0; k < found; k++)
    rows.push_back({nearest[k].color, nearest[k].name, FormatColor(nearest[k].color, notation, lowercase),
                    FormatNameDistance(nearest[k].distance)});
  return rows;
}

std::string SpokenColor(int color, int notation, int lowercase) {
  std::string text = FormatColor(color, notation, lowercase);
  NameCandidate nearest;
  if (RankNamedColors(color, &nearest, 1) == 1) text += std::string(", ") + nearest.name;
  return text;
}

// A list narrower than 32 would give the name column a negative width, which
// the list view reads as "fit to contents"; such columns get 0 instead.
void NameListColumnWidths(int listWidth, int widths[3]) {
  const double shares[3] = {0.5, 0.33, 0.15};
  const double less[3] = {16, 0, 0};
  for (int i = 0; i < 3; i++) widths[i] = std::max(0, (int)nearbyint(listWidth * shares[i] - less[i]));
}
