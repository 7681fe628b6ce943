#include "runtime/settings.h"

#include <stdio.h>
#include <string.h>
#include <zlib.h>

//-----------------------------------------------------------------------------
// Serialiser
//-----------------------------------------------------------------------------

static const char kArrayElementName[] = "element";

static std::string FieldValueText(const unsigned char* field, FieldType type, int index) {
  char buf[16];
  if (type == FIELD_UINT8) {
    snprintf(buf, sizeof buf, "%u", (unsigned)field[index]);
  } else {
    int32_t v;
    memcpy(&v, field + index * sizeof(int32_t), sizeof v);
    snprintf(buf, sizeof buf, "%ld", (long)v);
  }
  return buf;
}

int InsertRecord(XmlDoc& doc, const void* record, const RecordDescriptor& desc) {
  int root = XmlAddElement(doc, 0, desc.name);
  if (root < 0) return -1;
  const unsigned char* base = (const unsigned char*)record;
  for (int f = 0; f < desc.fieldCount; f++) {
    const FieldDescriptor& fd = desc.fields[f];
    int el = XmlAddElement(doc, root, fd.name);
    if (el < 0) return -1;
    if (fd.count == 1) {
      doc.nodes[el].text = FieldValueText(base + fd.offset, fd.type, 0);
      continue;
    }
    for (int i = 0; i < fd.count; i++) {
      int item = XmlAddElement(doc, el, kArrayElementName);
      if (item < 0) return -1;
      doc.nodes[item].text = FieldValueText(base + fd.offset, fd.type, i);
    }
  }
  return root;
}

int64_t SettingsTextToNumber(const char* p) {
  while (*p == ' ' || *p == '\t' || *p == '\n' || *p == '\r') p++;
  bool negative = false;
  if (*p == '-' || *p == '+') negative = *p++ == '-';
  uint64_t value = 0;  // unsigned so that overflow wraps without undefined behaviour
  if (*p == '$') {
    for (p++;; p++) {
      int d;
      if (*p >= '0' && *p <= '9') d = *p - '0';
      else if (*p >= 'a' && *p <= 'f') d = *p - 'a' + 10;
      else if (*p >= 'A' && *p <= 'F') d = *p - 'A' + 10;
      else break;
      value = value * 16 + (uint64_t)d;
    }
  } else if (*p == '%') {
    for (p++; *p == '0' || *p == '1'; p++) value = value * 2 + (uint64_t)(*p - '0');
  } else {
    for (; *p >= '0' && *p <= '9'; p++) value = value * 10 + (uint64_t)(*p - '0');
  }
  if (negative) value = 0 - value;
  return (int64_t)value;
}

static void StoreFieldValue(unsigned char* field, FieldType type, int index, const std::string& text) {
  int64_t v = SettingsTextToNumber(text.c_str());
  if (type == FIELD_UINT8) {
    field[index] = (uint8_t)(uint64_t)v;
  } else {
    int32_t low = (int32_t)(uint32_t)(uint64_t)v;
    memcpy(field + index * sizeof(int32_t), &low, sizeof low);
  }
}

void ExtractRecord(const XmlDoc& doc, int element, void* record, const RecordDescriptor& desc) {
  memset(record, 0, desc.recordSize);
  if (element <= 0 || element >= (int)doc.nodes.size()) return;
  unsigned char* base = (unsigned char*)record;
  for (int f = 0; f < desc.fieldCount; f++) {
    const FieldDescriptor& fd = desc.fields[f];
    int el = XmlFirstChildNamed(doc, element, fd.name);
    if (el < 0) continue;
    if (fd.count == 1) {
      StoreFieldValue(base + fd.offset, fd.type, 0, doc.nodes[el].text);
      continue;
    }
    int i = 0;
    for (int item = XmlFirstChildNamed(doc, el, kArrayElementName); item >= 0 && i < fd.count;
         item = XmlNextSiblingNamed(doc, item, kArrayElementName), i++)
      StoreFieldValue(base + fd.offset, fd.type, i, doc.nodes[item].text);
  }
}

//-----------------------------------------------------------------------------
// File image
//-----------------------------------------------------------------------------

std::string SettingsText(const void* record, const RecordDescriptor& desc) {
  XmlDoc doc;
  int root = InsertRecord(doc, record, desc);
  if (root < 0) return std::string();
  std::string text(XmlSerializedLength(doc, root), '\0');
  if (text.empty() || XmlSerialize(doc, root, &text[0], text.size()) != text.size())
    return std::string();
  return text;
}

std::vector<unsigned char> EncodeSettingsFile(const void* record, const RecordDescriptor& desc) {
  std::string text = SettingsText(record, desc);
  if (text.empty() || text.size() > (size_t)kMaxSettingsTextLength) return {};
  // The compressed stream must fit in as many bytes as the text itself.
  std::vector<unsigned char> file(8 + text.size());
  uLongf packed = (uLongf)text.size();
  if (compress2(file.data() + 8, &packed, (const Bytef*)text.data(), (uLong)text.size(), 6) != Z_OK)
    return {};
  uint64_t length = text.size();
  for (int i = 0; i < 8; i++) file[i] = (unsigned char)(length >> (8 * i));
  file.resize(8 + packed);
  return file;
}

size_t MaxSettingsFileSize() { return 8 + compressBound(kMaxSettingsTextLength); }

bool DecodeSettingsFile(const unsigned char* data, size_t size, void* record, const RecordDescriptor& desc) {
  if (size < 8 || size > MaxSettingsFileSize()) return false;
  // Only the lower 32 bits of the prefix count, as a signed length.
  uint32_t low = (uint32_t)data[0] | (uint32_t)data[1] << 8 | (uint32_t)data[2] << 16 |
                 (uint32_t)data[3] << 24;
  int32_t length = (int32_t)low;
  if (length <= 0 || length > kMaxSettingsTextLength) return false;
  std::vector<char> text((size_t)length);
  uLongf inflated = (uLongf)length;
  if (uncompress((Bytef*)text.data(), &inflated, data + 8, (uLong)(size - 8)) != Z_OK ||
      inflated != (uLongf)length)
    return false;
  XmlDoc doc;
  // An element of a record takes some 20 bytes of text: room for them all at
  // once, not the tree's copies as it grows, keeps the start-up's memory down.
  doc.nodes.reserve(text.size() / 20 + 1);
  XmlParse(doc, text.data(), text.size());  // a broken text still yields what was built
  ExtractRecord(doc, XmlRootElement(doc), record, desc);
  return true;
}
