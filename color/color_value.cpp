#include "color/color_value.h"

const char* const kNotationLabels[NOTATION_COUNT] = {
    "HTML/CSS hex\t(#RRGGBB)", "C hex\t(0xBBGGRR)", "PB hex\t($BBGGRR)",
    "VB hex\t(&&HBBGGRR)", "RGB int\t(RRR,GGG,BBB)",
};

static void AppendHex2(std::string& out, int v, bool lowercase) {
  const char* digits = lowercase ? "0123456789abcdef" : "0123456789ABCDEF";
  out += digits[(v >> 4) & 15];
  out += digits[v & 15];
}

static void AppendDec3(std::string& out, int v) {
  out += char('0' + v / 100);
  out += char('0' + v / 10 % 10);
  out += char('0' + v % 10);
}

std::string FormatColor(int color, int notation, int lowercase) {
  int r = RedOf(color), g = GreenOf(color), b = BlueOf(color);
  bool lower = lowercase != 0;
  std::string out;
  out.reserve(12);
  switch (notation) {
    case NOTATION_HTML:
      out = "#";
      AppendHex2(out, r, lower);
      AppendHex2(out, g, lower);
      AppendHex2(out, b, lower);
      return out;
    case NOTATION_C: out = "0x"; break;
    case NOTATION_PB: out = "$"; break;
    case NOTATION_VB: out = "&H"; break;
    default:
      AppendDec3(out, r);
      out += ',';
      AppendDec3(out, g);
      out += ',';
      AppendDec3(out, b);
      return out;
  }
  // The hexadecimal notations 1 to 3 spell the integer 0x00BBGGRR: blue first.
  AppendHex2(out, b, lower);
  AppendHex2(out, g, lower);
  AppendHex2(out, r, lower);
  return out;
}

int ParseChannelText(const char* text) {
  int value = 0;
  for (const char* p = text; *p; p++) {
    if (*p < '0' || *p > '9') return -1;
    value = value * 10 + (*p - '0');
    if (value > 255) return -1;
  }
  return value;
}

bool ComposeTypedColor(const char* red, const char* green, const char* blue, int* color) {
  int r = ParseChannelText(red), g = ParseChannelText(green), b = ParseChannelText(blue);
  if (r < 0 || g < 0 || b < 0) return false;
  *color = ComposeColor(r, g, b);
  return true;
}
