// The channel views: three gradient strips, one per channel, each showing
// what the current colour would become if only that channel changed, and
// the three numeric fields beside them. No operating system here: these
// functions say what to draw and write; the Windows side draws it.
#pragma once
#include <string>

enum Channel { CHANNEL_RED, CHANNEL_GREEN, CHANNEL_BLUE, CHANNEL_COUNT };

// A channel's value, 0 to 255, in a colour value (0x00BBGGRR).
inline int ChannelOf(int color, int channel) { return (color >> (8 * channel)) & 0xFF; }

//-----------------------------------------------------------------------------
// Gradient strips
//-----------------------------------------------------------------------------

// row[c][i] is the colour with channel c set to i and the other two kept.
struct GradientRows {
  int row[CHANNEL_COUNT][256];
};

void BuildGradientRows(int color, GradientRows* rows);

// The row index column `column` of a strip `width` pixels wide shows: column 0
// shows 0, the last column 255. t = column / ((width - 1) / 100) as a 32-bit
// float, then t x 2.55 in double precision rounded halves away from zero (so
// column 50 of 101 shows 127: 50 x 2.55 falls just below the half). The one
// column of a 1-pixel strip shows 0. -1 for a column outside the strip.
int GradientIndex(int column, int width);

// The colour of a strip's column: the row entry at GradientIndex; -1 for a
// column outside the strip or a channel that does not exist.
int GradientColumnColor(const GradientRows& rows, int channel, int column, int width);

//-----------------------------------------------------------------------------
// Channel fields
//-----------------------------------------------------------------------------

// What one field (txtR, txtG or txtB) should show for a colour.
struct ChannelFieldView {
  bool rewrite;      // replace the field's text by `text`
  std::string text;  // the channel in decimal, no leading zeros
  int background;    // the channel alone: (R,0,0), (0,G,0) or (0,0,B)
  int textColor;     // white; dark grey on green from 193 up, where white is unreadable
};

// The field is rewritten only when forced or when the number its text reads
// as differs from the channel, so a field being typed in is left alone.
ChannelFieldView ChannelFieldFor(int color, int channel, const char* fieldText, bool force);

// A field's text as a number: leading spaces, an optional sign, then decimal
// digits up to the first other character; no digits is 0.
long ChannelFieldNumber(const char* text);
