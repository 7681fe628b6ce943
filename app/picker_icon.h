// The picker button's icon, a 31 x 31 RGBA PNG embedded byte for byte from
// resources/picker_icon.png (the build generates its source; the picture
// itself comes from scripts/make_picker_icon.py). No operating system here.
#pragma once
#include <stddef.h>

extern const unsigned char kPickerIcon[];  // followed by a NUL byte
extern const size_t kPickerIconSize;
