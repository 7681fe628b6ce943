#include "app/settings_record.h"

ConfigRecord CONFIG;

#define CONFIG_FIELD(stored, field, type, count) {stored, type, count, offsetof(ConfigRecord, field)}
static const FieldDescriptor kConfigFields[] = {
    CONFIG_FIELD("CRC", validityMarker, FIELD_INT32, 1),
    CONFIG_FIELD("Color", Color, FIELD_INT32, 1),
    CONFIG_FIELD("ColorFormat", ColorFormat, FIELD_INT32, 1),
    CONFIG_FIELD("ColorFormatLCase", ColorFormatLCase, FIELD_UINT8, 1),
    CONFIG_FIELD("CapturedImg", CapturedImg, FIELD_INT32, 1),
    CONFIG_FIELD("WinX", WinX, FIELD_INT32, 1),
    CONFIG_FIELD("WinY", WinY, FIELD_INT32, 1),
    CONFIG_FIELD("WinTopmost", WinTopmost, FIELD_UINT8, 1),
    CONFIG_FIELD("WinExpanded", WinExpanded, FIELD_UINT8, 1),
    CONFIG_FIELD("Autocopy", Autocopy, FIELD_UINT8, 1),
    CONFIG_FIELD("ColorRecent", ColorRecent, FIELD_INT32, kRecentColorCount),
    CONFIG_FIELD("CapturedImgData", CapturedImgData, FIELD_INT32, kCapturedPixelCount),
};
#undef CONFIG_FIELD

const RecordDescriptor kConfigDescriptor = {
    "CONFIG", kConfigFields, (int)(sizeof(kConfigFields) / sizeof(kConfigFields[0])), sizeof(ConfigRecord)};
