// The program's settings record CONFIG, and the field table that gives its
// file form. No operating system here; runtime/settings.h encodes, decodes,
// loads and saves any record described by such a table.
#pragma once
#include <stdint.h>

#include "color/capture.h"        // kCapturedPixelCount
#include "color/swatch_strips.h"  // kRecentColorCount
#include "runtime/settings.h"

const int32_t kSettingsMarker = 0x42424242;  // CONFIG.validityMarker of an initialised record
const char* const kSettingsFileName = "ColorTintvane.bin";

struct ConfigRecord {
  int32_t validityMarker;  // kSettingsMarker once initialised; stored as "CRC"
  int32_t Color;
  int32_t ColorFormat;
  uint8_t ColorFormatLCase;
  int32_t CapturedImg;
  int32_t WinX;
  int32_t WinY;
  uint8_t WinTopmost;
  uint8_t WinExpanded;
  uint8_t Autocopy;
  int32_t ColorRecent[kRecentColorCount];
  int32_t CapturedImgData[kCapturedPixelCount];
};

// The one settings record, read and changed directly by the whole program;
// all zero at process start.
extern ConfigRecord CONFIG;

// CONFIG's fields in file order, under their stored names.
extern const RecordDescriptor kConfigDescriptor;
