// Named colours: the built-in table, the key-to-name map built from it once at
// start-up, and the search for the names nearest to a colour. No operating
// system here; the list view that shows the rows is filled on the Windows side.
#pragma once
#include <string>
#include <vector>

//-----------------------------------------------------------------------------
// Table
//-----------------------------------------------------------------------------

const int kNamedColorCount = 1566;
const int kNearestNameCount = 33;  // name rows under the source row

// Row `row` of the table, 0 <= row < kNamedColorCount, in ascending key
// order (named_colors_table.cpp). A key is six upper-case hexadecimal digits
// in web order, red, green, blue; NamedColorKey gives the number they spell
// (0x000080 for "000080").
int NamedColorKey(int row);
const char* NamedColorName(int row);

// The colour value of the named colour called `text` (`length` bytes, no
// terminator needed), or -1. Letters match in any case (ASCII only); spaces
// match exactly, except that a name's trailing spaces may be left out, so
// "bean", "Bean " and "BEAN  " all name "Bean  ". Reads the table itself, so
// it answers before the map is built.
int NamedColorFromName(const char* text, int length);

//-----------------------------------------------------------------------------
// Key-to-name map
//-----------------------------------------------------------------------------

const int kNamedColorBuckets = 512;

// Fills the map from the table, replacing whatever it held: one entry per row,
// in table order, which is the order the search scores them in. Returns the
// number of entries in the map.
int BuildNamedColorMap();

int NamedColorMapCount();

// The name stored under a key ("000080", upper-case digits only), or nullptr.
const char* FindColorName(const char* key);

// The colour value of six hexadecimal digits in web order, or -1.
int ColorFromKey(const char* key);

//-----------------------------------------------------------------------------
// Nearest-name search
//-----------------------------------------------------------------------------

// Families for the distance bonus. A colour whose two largest channels are
// equal but not all three belongs to none.
enum ColorFamily { FAMILY_NONE, FAMILY_RED, FAMILY_GREEN, FAMILY_BLUE, FAMILY_GREY };

ColorFamily ColorFamilyOf(int color);

// One scored map entry.
struct NameCandidate {
  const char* name;
  float distance;  // sum of absolute channel differences, halved within a family
  int color;       // the colour value of the entry's key
};

// Scores every map entry against `color` and writes the `capacity` nearest
// to `out`, nearest first; equal distances keep key order. Returns the number
// written: min(capacity, map entries), 0 before the map is built.
int RankNamedColors(int color, NameCandidate* out, int capacity);

// A distance as the list shows it: rounded to the nearest integer, halves to
// even (12.5 shows "12", 13.5 shows "14").
std::string FormatNameDistance(float distance);

//-----------------------------------------------------------------------------
// Name list rows
//-----------------------------------------------------------------------------

// One row of the name list: three column texts and the colour the row stands
// for (its icon colour and item data).
struct NameListRow {
  int color;
  std::string name;  // column "Name"
  std::string code;  // column "Color": FormatColor in the chosen notation
  std::string diff;  // column "Diff": empty on the source row
};

// The source row ("{source color}") followed by the 33 nearest names.
std::vector<NameListRow> NameListRows(int color, int notation, int lowercase);

// A colour as a screen reader says it: its text in the notation, then the
// nearest name, "#1E90FF, Dodger Blue"; the text alone before the map is
// built.
std::string SpokenColor(int color, int notation, int lowercase);

// Widths of the columns "Name", "Color" and "Diff" for a list `listWidth`
// wide: half less 16, a third (0.33) and 0.15 of it, rounded halves to even.
void NameListColumnWidths(int listWidth, int widths[3]);
