#include "app/settings_record.h"

#include <gtest/gtest.h>
#include <string.h>
#include <zlib.h>

//-----------------------------------------------------------------------------
// Fixtures
//-----------------------------------------------------------------------------

static ConfigRecord ZeroRecordWithMarker() {
  ConfigRecord r;
  memset(&r, 0, sizeof r);
  r.validityMarker = kSettingsMarker;
  return r;
}

static ConfigRecord SampleRecord() {
  ConfigRecord r = ZeroRecordWithMarker();
  r.Color = 0x3C2B1A;
  r.ColorFormat = 3;
  r.ColorFormatLCase = 1;
  r.CapturedImg = 7;
  r.WinX = -1200;
  r.WinY = 2147483647;
  r.WinTopmost = 255;
  r.WinExpanded = 1;
  r.Autocopy = 1;
  for (int i = 0; i < kRecentColorCount; i++) r.ColorRecent[i] = i * 0x010203;
  for (int i = 0; i < kCapturedPixelCount; i++) r.CapturedImgData[i] = (i * 2654435761u) & 0xFFFFFF;
  r.CapturedImgData[650] = (int32_t)0x80000000;
  return r;
}

// A file image: the length prefix (low and high halves) and a level-6 stream.
static std::vector<unsigned char> FileImage(const std::string& text, int64_t prefix) {
  uLongf packedSize = compressBound((uLong)text.size());
  std::vector<unsigned char> file(8 + packedSize);
  EXPECT_EQ(compress2(file.data() + 8, &packedSize, (const Bytef*)text.data(), (uLong)text.size(), 6),
            Z_OK);
  file.resize(8 + packedSize);
  for (int i = 0; i < 8; i++) file[i] = (unsigned char)((uint64_t)prefix >> (8 * i));
  return file;
}
static std::vector<unsigned char> FileImage(const std::string& text) {
  return FileImage(text, (int64_t)text.size());
}

// The text of a record with the given fields, in order, inside <CONFIG>.
static std::string Config(const std::string& fields) { return "<CONFIG>" + fields + "</CONFIG>"; }
static const std::string kMarkerField = "<CRC>1111638594</CRC>";

static bool Decode(const std::vector<unsigned char>& file, ConfigRecord* r) {
  return DecodeSettingsFile(file.data(), file.size(), r, kConfigDescriptor);
}

//-----------------------------------------------------------------------------
// Writing
//-----------------------------------------------------------------------------

TEST(SettingsText, AllZeroRecordWithMarkerIsExactly13654Bytes) {
  const ConfigRecord zero = ZeroRecordWithMarker();
  std::string text = SettingsText(&zero, kConfigDescriptor);
  EXPECT_EQ(text.size(), 13654u);
  EXPECT_EQ(text.rfind("<CONFIG><CRC>1111638594</CRC><Color>0</Color><ColorFormat>0</ColorFormat>"
                       "<ColorFormatLCase>0</ColorFormatLCase><CapturedImg>0</CapturedImg>"
                       "<WinX>0</WinX><WinY>0</WinY><WinTopmost>0</WinTopmost>"
                       "<WinExpanded>0</WinExpanded><Autocopy>0</Autocopy>"
                       "<ColorRecent><element>0</element>",
                       0),
            0u);
  const std::string tail = "<element>0</element></CapturedImgData></CONFIG>";
  EXPECT_EQ(text.compare(text.size() - tail.size(), tail.size(), tail), 0);
}

TEST(SettingsText, WritesSignedAndByteFieldsInDecimal) {
  const ConfigRecord sample = SampleRecord();
  std::string text = SettingsText(&sample, kConfigDescriptor);
  EXPECT_EQ(text.rfind("<CONFIG><CRC>1111638594</CRC><Color>3943194</Color><ColorFormat>3</ColorFormat>"
                       "<ColorFormatLCase>1</ColorFormatLCase><CapturedImg>7</CapturedImg>"
                       "<WinX>-1200</WinX><WinY>2147483647</WinY><WinTopmost>255</WinTopmost>"
                       "<WinExpanded>1</WinExpanded><Autocopy>1</Autocopy>"
                       "<ColorRecent><element>0</element><element>66051</element>",
                       0),
            0u);
  EXPECT_NE(text.find("<element>-2147483648</element></CapturedImgData></CONFIG>"), std::string::npos);
  EXPECT_EQ(text.find_first_of(" \t\r\n"), std::string::npos);
}

TEST(SettingsFile, PrefixAndLevel6StreamRoundTrip) {
  ConfigRecord in = SampleRecord();
  std::vector<unsigned char> file = EncodeSettingsFile(&in, kConfigDescriptor);
  ASSERT_GT(file.size(), 10u);
  std::string text = SettingsText(&in, kConfigDescriptor);
  uint64_t prefix = 0;
  for (int i = 7; i >= 0; i--) prefix = prefix << 8 | file[i];
  EXPECT_EQ(prefix, text.size());
  EXPECT_EQ(file[8], 0x78);
  EXPECT_EQ(file[9], 0x9C);
  EXPECT_LT(file.size(), 8 + text.size());

  ConfigRecord out;
  memset(&out, 0xEE, sizeof out);
  ASSERT_TRUE(Decode(file, &out));
  EXPECT_EQ(memcmp(&in, &out, sizeof in), 0);
}

//-----------------------------------------------------------------------------
// Reading: damaged files leave the record alone
//-----------------------------------------------------------------------------

TEST(SettingsFile, DamagedImagesAreIgnoredEntirely) {
  const ConfigRecord sample = SampleRecord();
  const std::string good = SettingsText(&sample, kConfigDescriptor);
  std::vector<unsigned char> valid = FileImage(good);

  std::vector<unsigned char> flipped = valid;
  flipped[flipped.size() / 2] ^= 0x55;
  std::vector<unsigned char> truncated(valid.begin(), valid.end() - 5);
  std::vector<unsigned char> prefixOnly(valid.begin(), valid.begin() + 8);
  std::vector<unsigned char> oversized(MaxSettingsFileSize() + 1, 0);
  std::copy(valid.begin(), valid.end(), oversized.begin());

  const struct {
    const char* what;
    std::vector<unsigned char> file;
  } cases[] = {
      {"empty file", {}},
      {"seven bytes", std::vector<unsigned char>(7, 0)},
      {"prefix and nothing else", prefixOnly},
      {"prefix 0", FileImage(good, 0)},
      {"negative prefix", FileImage(good, -5)},
      {"low half 0xFFFFFFFF", FileImage(good, 0xFFFFFFFFll)},
      {"prefix one more than the text", FileImage(good, (int64_t)good.size() + 1)},
      {"prefix one less than the text", FileImage(good, (int64_t)good.size() - 1)},
      {"prefix far beyond any record", FileImage(good, 0x7FFFFFFF)},
      {"prefix just over the bound", FileImage(good, kMaxSettingsTextLength + 1)},
      {"damaged stream", flipped},
      {"truncated stream", truncated},
      {"not a zlib stream", {13, 0, 0, 0, 0, 0, 0, 0, 'h', 'e', 'l', 'l', 'o', '!', '!', '!', '!', '!', '!', '!', '!'}},
      {"file larger than any record's", oversized},
  };
  for (const auto& k : cases) {
    ConfigRecord r = SampleRecord();
    r.Color = 424242;
    EXPECT_FALSE(Decode(k.file, &r)) << k.what;
    EXPECT_EQ(r.Color, 424242) << k.what;
  }
}

TEST(SettingsFile, OnlyTheLowHalfOfThePrefixCounts) {
  const std::string text = Config(kMarkerField + "<Color>5</Color>");
  ConfigRecord r;
  ASSERT_TRUE(Decode(FileImage(text, (int64_t)text.size() | (int64_t)0x1234 << 32), &r));
  EXPECT_EQ(r.validityMarker, kSettingsMarker);
  EXPECT_EQ(r.Color, 5);
}

//-----------------------------------------------------------------------------
// Reading: what a readable text yields
//-----------------------------------------------------------------------------

static ConfigRecord Load(const std::string& text) {
  ConfigRecord r = SampleRecord();  // nothing of this may survive a load
  EXPECT_TRUE(Decode(FileImage(text), &r));
  return r;
}

TEST(SettingsFile, MarkerSpellings) {
  const struct {
    const char* crc;
    bool marker;
  } cases[] = {
      {"1111638594", true},  {"$42424242", true},   {"$42424242 ", true}, {"   1111638594", true},
      {"\n\t\r 1111638594", true}, {"+1111638594", true}, {"1111638594xyz", true},
      {"1111638593", false}, {"%1000010010000100100001001000010", true}, {"", false},
      {"0x42424242", false}, {"-1111638594", false},
  };
  for (const auto& k : cases) {
    ConfigRecord r = Load(Config(std::string("<CRC>") + k.crc + "</CRC><Color>9</Color>"));
    EXPECT_EQ(r.validityMarker == kSettingsMarker, k.marker) << k.crc;
    EXPECT_EQ(r.Color, 9);
  }
}

TEST(SettingsFile, TextToNumber) {
  const struct {
    const char* text;
    int64_t value;
  } cases[] = {
      {"0", 0},          {"", 0},          {"abc", 0},       {"-", 0},
      {"42", 42},        {"-1", -1},       {"+7", 7},        {"  \t12 34", 12},
      {"$ff", 255},      {"$FF", 255},     {"-$10", -16},    {"$", 0},
      {"%101", 5},       {"%102", 2},      {"%", 0},         {"12abc", 12},
      {"18446744073709551617", 1},          // 2^64 + 1 wraps to 1
      {"-9223372036854775808", INT64_MIN},
      {"$FFFFFFFFFFFFFFFFF", -1},           // 68 bits of ones wrap to all ones
  };
  for (const auto& k : cases) EXPECT_EQ(SettingsTextToNumber(k.text), k.value) << k.text;
}

TEST(SettingsFile, FieldsStoreTheirLowBits) {
  ConfigRecord r = Load(Config(kMarkerField +
                               "<Color>-1</Color><WinTopmost>257</WinTopmost>"
                               "<WinX>4294967297</WinX><ColorFormatLCase>-1</ColorFormatLCase>"));
  EXPECT_EQ((uint32_t)r.Color, 0xFFFFFFFFu);
  EXPECT_EQ(r.WinTopmost, 1);
  EXPECT_EQ(r.WinX, 1);
  EXPECT_EQ(r.ColorFormatLCase, 255);
}

TEST(SettingsFile, MissingDuplicateAndForeignElements) {
  // No Autocopy, Color twice (first wins), a stray comment and an unknown field;
  // the root may have any name.
  ConfigRecord r = Load(
      "<Settings>" + kMarkerField +
      "<Color>11</Color><Color>22</Color><!-- note --><Unknown>5</Unknown>"
      "<WinExpanded>1</WinExpanded><color>33</color></Settings>");
  EXPECT_EQ(r.validityMarker, kSettingsMarker);
  EXPECT_EQ(r.Color, 11);
  EXPECT_EQ(r.WinExpanded, 1);
  EXPECT_EQ(r.Autocopy, 0);
  EXPECT_EQ(r.ColorFormatLCase, 0);
  EXPECT_EQ(r.WinX, 0);
  EXPECT_EQ(r.CapturedImgData[0], 0);
}

TEST(SettingsFile, ArrayElementsFillInOrder) {
  std::string twenty, three = "<ColorRecent><element>1</element><other>99</other>"
                                "<element>2</element>text<element>3</element></ColorRecent>";
  for (int i = 0; i < 20; i++) twenty += "<element>" + std::to_string(100 + i) + "</element>";
  ConfigRecord r = Load(Config(kMarkerField + "<ColorRecent>" + twenty + "</ColorRecent>"));
  for (int i = 0; i < 16; i++) EXPECT_EQ(r.ColorRecent[i], 100 + i);
  EXPECT_EQ(r.CapturedImgData[0], 0);

  r = Load(Config(kMarkerField + three));
  EXPECT_EQ(r.ColorRecent[0], 1);
  EXPECT_EQ(r.ColorRecent[1], 2);
  EXPECT_EQ(r.ColorRecent[2], 3);
  for (int i = 3; i < 16; i++) EXPECT_EQ(r.ColorRecent[i], 0);
}

TEST(SettingsFile, PrettyPrintedTextWithDeclarationLoadsLikeCompact) {
  ConfigRecord in = SampleRecord();
  std::string compact = SettingsText(&in, kConfigDescriptor), pretty = "<?xml version=\"1.0\" encoding=\"ISO-8859-1\"?>\n";
  int depth = 0;
  for (size_t i = 0; i < compact.size(); i++) {
    if (compact[i] == '<' && compact[i + 1] == '/') depth--;
    if (compact[i] == '<' && (i == 0 || compact[i - 1] == '>')) {
      pretty += "\r\n" + std::string((size_t)depth * 2, ' ');
    }
    if (compact[i] == '<' && compact[i + 1] != '/') depth++;
    pretty += compact[i];
  }
  ConfigRecord out;
  ASSERT_TRUE(Decode(FileImage(pretty), &out));
  EXPECT_EQ(memcmp(&in, &out, sizeof in), 0);
}

TEST(SettingsFile, BrokenXmlKeepsWhatWasParsedBeforeTheError) {
  ConfigRecord r = Load(Config(kMarkerField + "<Color>12</Color><WinX>3</WinX><WinY>4<"));
  EXPECT_EQ(r.validityMarker, kSettingsMarker);
  EXPECT_EQ(r.Color, 12);
  EXPECT_EQ(r.WinX, 3);

  // No root element at all: everything zero, so the marker test fails.
  r = Load("this is not XML");
  EXPECT_EQ(r.validityMarker, 0);
  EXPECT_EQ(r.Color, 0);
  EXPECT_EQ(r.ColorRecent[5], 0);
}
