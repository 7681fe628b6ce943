#include "color/channel_views.h"

#include <math.h>

#include "color/color_value.h"

//-----------------------------------------------------------------------------
// Gradient strips
//-----------------------------------------------------------------------------

void BuildGradientRows(int color, GradientRows* rows) {
  int r = RedOf(color), g = GreenOf(color), b = BlueOf(color);
  for (int i = 0; i < 256; i++) {
    rows->row[CHANNEL_RED][i] = ComposeColor(i, g, b);
    rows->row[CHANNEL_GREEN][i] = ComposeColor(r, i, b);
    rows->row[CHANNEL_BLUE][i] = ComposeColor(r, g, i);
  }
}

int GradientIndex(int column, int width) {
  if (column < 0 || column >= width) return -1;
  if (width == 1) return 0;  // the scale below would be 0
  double scale = (width - 1) / 100.0;
  float t = (float)(column / scale);
  double index = round((double)t * 2.55);  // halves away from zero
  if (index < 0) return 0;
  if (index > 255) return 255;
  return (int)index;
}

int GradientColumnColor(const GradientRows& rows, int channel, int column, int width) {
  int index = GradientIndex(column, width);
  if (index < 0 || channel < 0 || channel >= CHANNEL_COUNT) return -1;
  return rows.row[channel][index];
}

//-----------------------------------------------------------------------------
// Channel fields
//-----------------------------------------------------------------------------

long ChannelFieldNumber(const char* text) {
  if (!text) return 0;
  const char* p = text;
  while (*p == ' ' || *p == '\t') p++;
  bool negative = *p == '-';
  if (*p == '-' || *p == '+') p++;
  long value = 0;
  for (; *p >= '0' && *p <= '9'; p++)
    if (value < 100000000) value = value * 10 + (*p - '0');  // anything this large differs from a channel anyway
  return negative ? -value : value;
}

ChannelFieldView ChannelFieldFor(int color, int channel, const char* fieldText, bool force) {
  const int kWhite = ComposeColor(255, 255, 255), kDarkGrey = ComposeColor(64, 64, 64);
  ChannelFieldView view;
  int value;
  switch (channel) {
    case CHANNEL_RED: value = RedOf(color); view.background = ComposeColor(value, 0, 0); break;
    case CHANNEL_GREEN: value = GreenOf(color); view.background = ComposeColor(0, value, 0); break;
    default: value = BlueOf(color); view.background = ComposeColor(0, 0, value); break;
  }
  view.textColor = channel == CHANNEL_GREEN && value >= 193 ? kDarkGrey : kWhite;
  view.text = std::to_string(value);
  view.rewrite = force || ChannelFieldNumber(fieldText) != value;
  return view;
}
