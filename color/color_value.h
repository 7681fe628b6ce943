// The colour value and its text notations. No operating system here.
#pragma once
#include <string>

#include "runtime/raster.h"  // ComposeColor, RedOf, GreenOf, BlueOf

// A colour value is 0x00BBGGRR: red in bits 0-7, green 8-15, blue 16-23.

enum ColorNotation {
  NOTATION_HTML = 0,  // #RRGGBB
  NOTATION_C = 1,     // 0xBBGGRR
  NOTATION_PB = 2,    // $BBGGRR
  NOTATION_VB = 3,    // &HBBGGRR
  NOTATION_RGB = 4,   // RRR,GGG,BBB
  NOTATION_COUNT = 5
};

// Menu labels of the five notations, indexed by ColorNotation.
extern const char* const kNotationLabels[NOTATION_COUNT];

// The colour in the given notation. The prefix keeps its case; only the
// channel part follows `lowercase` (non-zero: lower case). Any index outside
// 0..3 gives RRR,GGG,BBB.
std::string FormatColor(int color, int notation, int lowercase);

// Reads a typed channel field: empty text is 0, otherwise decimal digits only.
// Returns -1 for anything else (a sign, letters, spaces) and for values above
// 255, so a pasted "-5" or "300" is rejected like an out-of-range number.
int ParseChannelText(const char* text);

// Composes the colour from the three channel field texts. Returns false and
// leaves *color alone when any field is rejected.
bool ComposeTypedColor(const char* red, const char* green, const char* blue, int* color);
