// The settings file reader, fed two ways from one source:
//  - settings_fuzz: the input is the XML text. The harness compresses it and
//    writes the length prefix as a save does, so every input gets past the
//    stream's checksum and reaches the parser and the field extraction.
//  - settings_file_fuzz (built with SETTINGS_FUZZ_FILE_BYTES): the input is
//    the whole file, for the length prefix and the stream checks.
// Either way, a record that was read must save and load again as itself.
#include <stddef.h>
#include <stdint.h>
#include <string.h>
#include <zlib.h>

#include <vector>

#include "app/settings_record.h"

//-----------------------------------------------------------------------------
// Records
//-----------------------------------------------------------------------------

static size_t FieldSize(const FieldDescriptor& field) {
  return (field.type == FIELD_UINT8 ? 1 : sizeof(int32_t)) * (size_t)field.count;
}

// Field by field, as the descriptor lays the record out.
static bool SameRecord(const ConfigRecord& a, const ConfigRecord& b) {
  for (int f = 0; f < kConfigDescriptor.fieldCount; f++) {
    const FieldDescriptor& field = kConfigDescriptor.fields[f];
    if (memcmp((const char*)&a + field.offset, (const char*)&b + field.offset, FieldSize(field)) != 0)
      return false;
  }
  return true;
}

// Whether this record went through CheckSavedAndLoadedAgain lately. Saving
// and loading depend on the record alone, and many inputs read as a record
// met before (a broken tag drops the same fields every time), so a record
// seen among the last few thousand is not saved again: the check costs far
// more than the reading.
// A record that was read has its padding zeroed too, so its bytes can be
// hashed whole, eight at a time.
static bool CheckedLately(const ConfigRecord& record) {
  uint64_t hash = 14695981039346656037ull;
  const unsigned char* bytes = (const unsigned char*)&record;
  for (size_t at = 0; at < sizeof record; at += 8) {
    uint64_t word = 0;
    memcpy(&word, bytes + at, sizeof record - at < 8 ? sizeof record - at : 8);
    hash = (hash ^ word) * 1099511628211ull;
    hash ^= hash >> 29;
  }
  static uint64_t recent[4096];
  uint64_t& slot = recent[hash % 4096];
  if (slot == hash) return true;
  slot = hash;
  return false;
}

// Saving a record and loading the file again gives the same record.
static void CheckSavedAndLoadedAgain(const ConfigRecord& record) {
  if (CheckedLately(record)) return;
  std::vector<unsigned char> image = EncodeSettingsFile(&record, kConfigDescriptor);
  if (image.empty()) __builtin_trap();  // every record can be saved
  ConfigRecord again;
  memset(&again, 0x5A, sizeof again);
  if (!DecodeSettingsFile(image.data(), image.size(), &again, kConfigDescriptor) || !SameRecord(record, again))
    __builtin_trap();
}

//-----------------------------------------------------------------------------
// Inputs
//-----------------------------------------------------------------------------

#ifndef SETTINGS_FUZZ_FILE_BYTES
// The file a save would write for this text: the length prefix, then the
// text compressed at level 6.
static std::vector<unsigned char> FileOfText(const uint8_t* text, size_t size) {
  uLongf packed = compressBound((uLong)size);
  std::vector<unsigned char> file(8 + packed);
  if (compress2(file.data() + 8, &packed, text, (uLong)size, 6) != Z_OK) __builtin_trap();
  file.resize(8 + packed);
  for (int i = 0; i < 8; i++) file[i] = (unsigned char)((uint64_t)size >> (8 * i));
  return file;
}
#endif

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  ConfigRecord record;
  memset(&record, 0xA5, sizeof record);
#ifdef SETTINGS_FUZZ_FILE_BYTES
  if (!DecodeSettingsFile(data, size, &record, kConfigDescriptor)) return 0;
#else
  if (size == 0 || size > (size_t)kMaxSettingsTextLength) return 0;
  std::vector<unsigned char> file = FileOfText(data, size);
  // A sound stream of the length its prefix gives is always read.
  if (!DecodeSettingsFile(file.data(), file.size(), &record, kConfigDescriptor)) __builtin_trap();
#endif
  CheckSavedAndLoadedAgain(record);
  return 0;
}
