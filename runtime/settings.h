// The settings file format for a record described by a field table: an
// 8-byte little-endian length prefix, then a zlib stream of compact UTF-8 XML
// written from the table. Encoding and decoding need no operating system;
// LoadSettings and SaveSettings add the file access. The program's own record,
// CONFIG, and its table are in app/settings_record.h.
#pragma once
#include <stddef.h>
#include <stdint.h>
#include <string>
#include <vector>

#include "runtime/xml_doc.h"

//-----------------------------------------------------------------------------
// Record descriptor
//-----------------------------------------------------------------------------

enum FieldType { FIELD_INT32, FIELD_UINT8 };

struct FieldDescriptor {
  const char* name;
  FieldType type;
  int count;      // 1 for a single value, otherwise a fixed-length array
  size_t offset;  // where the field lies in the record
};

struct RecordDescriptor {
  const char* name;  // the XML root element's name
  const FieldDescriptor* fields;
  int fieldCount;
  size_t recordSize;  // sizeof the record
};

//-----------------------------------------------------------------------------
// Serialiser
//-----------------------------------------------------------------------------

// Creates the root element and one child per field under the document node.
// Returns the root element's number, or -1.
int InsertRecord(XmlDoc& doc, const void* record, const RecordDescriptor& desc);

// Zeroes the record, then fills it from the children of `element`.
void ExtractRecord(const XmlDoc& doc, int element, void* record, const RecordDescriptor& desc);

// Text to number: leading white space, an optional sign, then "$" hexadecimal,
// "%" binary or decimal digits, accumulated in 64 bits with silent wrap.
int64_t SettingsTextToNumber(const char* text);

//-----------------------------------------------------------------------------
// File image
//-----------------------------------------------------------------------------

// A length prefix above this marks the file as damaged: the largest text the
// program's record can produce is about 21 KB, so this only stops crafted
// files from making the loader allocate or inflate without bound.
const int32_t kMaxSettingsTextLength = 1 << 20;

// The XML text of a record, exactly as saved (before compression).
std::string SettingsText(const void* record, const RecordDescriptor& desc);

// The complete file contents for a record; empty on failure.
std::vector<unsigned char> EncodeSettingsFile(const void* record, const RecordDescriptor& desc);

// Reads a file image into `record`. A damaged image (too short, bad prefix,
// bad stream) leaves the record untouched and returns false; an image whose
// stream inflates fine is extracted (zeroing the record first) and returns true,
// even when its XML is broken or foreign: the caller tests the record's own
// validity marker.
bool DecodeSettingsFile(const unsigned char* data, size_t size, void* record, const RecordDescriptor& desc);

// The largest file DecodeSettingsFile can accept; larger ones are damaged.
size_t MaxSettingsFileSize();

//-----------------------------------------------------------------------------
// Files (Windows)
//-----------------------------------------------------------------------------

// How a load found the settings file.
enum SettingsFileState {
  SETTINGS_FILE_MISSING,     // there is no file by that name
  SETTINGS_FILE_READ,        // read whole, whether or not it held usable settings
  SETTINGS_FILE_UNREADABLE,  // it exists, but could not be opened or read
};

// Reads the named file into the record. The file is opened for reading only,
// letting others read, write and delete it, so the programs that hold files
// for a moment (sync clients, backup tools, virus scanners) rarely block it;
// a holder that shares nothing is waited for about a second. Every failure
// is silent and leaves the record as it was. A file that is not there is
// missing; one whose folder cannot be reached (a network or removable drive
// that is away, a current folder that was removed) is unreadable, not missing.
SettingsFileState LoadSettings(const char* fileName, void* record, const RecordDescriptor& desc);

// How long the load and a save at close wait for a holder that lets go.
const uint32_t kSettingsHolderWaitMs = 1000;

// What a save may do.
struct SettingsSaveRules {
  bool replaceExisting;  // false: a file found under the name is left as it is
  uint32_t waitMs;       // how long failures that a holder letting go ends are tried again
};

enum SettingsSaveOutcome {
  SETTINGS_SAVED,        // the new file is in place
  SETTINGS_SAVE_LEFT,    // a file was there that the rules keep: it is left as it is
  SETTINGS_SAVE_FAILED,  // the file under the name (or its absence) is as it was
};

struct SettingsSaveResult {
  SettingsSaveOutcome outcome;
  uint32_t error;  // the system's error code of a failure, 0 otherwise
};

// Writes the record to the named file: the new file is written completely
// under a temporary name of this process's own beside it and then takes the
// name in one step, so a failure at any point leaves the previous file
// exactly as it was, and two running copies never write the same temporary
// file. Sharing and lock violations and a denied access, the marks of
// another program holding a file for a moment, are tried again for
// rules.waitMs. No temporary file of this save is left behind, and the
// temporary files of saves that were killed half-way are removed first;
// those of saves still running are held open and so kept.
SettingsSaveResult SaveSettings(const char* fileName, const void* record, const RecordDescriptor& desc,
                                const SettingsSaveRules& rules);

// The full path of a file named relative to the current folder, as a
// message shows it; the name itself when it cannot be made.
std::string FullFilePath(const char* fileName);
