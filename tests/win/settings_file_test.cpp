// LoadSettings and SaveSettings on real files.
#include <gtest/gtest.h>

#include "runtime/settings.h"
#include "temp_folder.h"
#include "tests/fixtures/settings_every_field.h"

static const wchar_t kFile[] = L"ColorTintvane.bin";
static const wchar_t kTemp[] = L"ColorTintvane.bin.tmp";

class SettingsFileTest : public TempFolderTest {
 protected:
  void SetUp() override {
    TempFolderTest::SetUp();
    memset(&CONFIG, 0, sizeof CONFIG);
    CONFIG.CRC = kSettingsMarker;
    CONFIG.Color = 0x123456;
    CONFIG.WinX = -300;
    CONFIG.Autocopy = 1;
    for (int i = 0; i < kCapturedPixelCount; i++) CONFIG.CapturedImgData[i] = i;
  }
  // Loads into a record filled with a sentinel; true when the file was used.
  bool LoadFresh() {
    memset(&CONFIG, 0, sizeof CONFIG);
    CONFIG.Color = 0x0BADF00D;
    LoadSettings(kSettingsFileName);
    return CONFIG.Color != 0x0BADF00D;
  }
  std::string Image() {
    std::vector<unsigned char> v = EncodeSettingsFile(CONFIG);
    return std::string(v.begin(), v.end());
  }
};

TEST_F(SettingsFileTest, SaveWritesTheImageAndLoadReadsItBack) {
  ConfigRecord saved = CONFIG;
  std::string expected = Image();
  ASSERT_TRUE(SaveSettings(kSettingsFileName));
  EXPECT_EQ(ReadWholeFile(kFile), expected);
  EXPECT_FALSE(FileExists(kTemp));
  ASSERT_TRUE(LoadFresh());
  EXPECT_EQ(memcmp(&CONFIG, &saved, sizeof saved), 0);

  // A second save replaces the first.
  CONFIG.Color = 7;
  ASSERT_TRUE(SaveSettings(kSettingsFileName));
  ASSERT_TRUE(LoadFresh());
  EXPECT_EQ(CONFIG.Color, 7);
}

// The 32-bit and the 64-bit program share one file format: a file saved by
// the 32-bit program loads here as the record it was saved from, and this
// build saves that record as the same bytes.
TEST_F(SettingsFileTest, EitherBuildReadsAndWritesTheSameFile) {
  ConfigRecord every = {};
  every.CRC = kSettingsMarker;
  every.Color = 0x00C0FFEE;
  every.ColorFormat = 4;
  every.ColorFormatLCase = 1;
  every.CapturedImg = 7;
  every.WinX = -2147483647 - 1;
  every.WinY = 2147483647;
  every.WinTopmost = 1;
  every.WinExpanded = 255;
  every.Autocopy = 1;
  for (int i = 0; i < kRecentColorCount; i++) every.ColorRecent[i] = (i * 0x111111) ^ (i & 1 ? -1 : 0);
  for (int i = 0; i < kCapturedPixelCount; i++) every.CapturedImgData[i] = i * 25801;
  std::string file((const char*)kSettingsEveryField, kSettingsEveryFieldSize);

  ASSERT_TRUE(WriteWholeFile(kFile, file));
  ASSERT_TRUE(LoadFresh());
  EXPECT_EQ(memcmp(&CONFIG, &every, sizeof every), 0);
  CONFIG = every;
  ASSERT_TRUE(SaveSettings(kSettingsFileName));
  EXPECT_EQ(ReadWholeFile(kFile), file);
}

TEST_F(SettingsFileTest, UnreadableFilesAreIgnored) {
  EXPECT_FALSE(LoadFresh()) << "missing file";

  ASSERT_TRUE(WriteWholeFile(kFile, "1234567"));
  EXPECT_FALSE(LoadFresh()) << "seven bytes";
  ASSERT_TRUE(WriteWholeFile(kFile, std::string(8, '\0')));
  EXPECT_FALSE(LoadFresh()) << "prefix only";
  std::string image = Image();
  ASSERT_TRUE(WriteWholeFile(kFile, image.substr(0, image.size() - 3)));
  EXPECT_FALSE(LoadFresh()) << "truncated";
  DeleteFileW(kFile);

  ASSERT_TRUE(CreateDirectoryW(kFile, nullptr));
  EXPECT_FALSE(LoadFresh()) << "a folder";
}

TEST_F(SettingsFileTest, FileHeldOpenByAnotherIsNeitherLoadedNorReplaced) {
  std::string old = Image();
  ASSERT_TRUE(WriteWholeFile(kFile, old));
  HANDLE held = CreateFileW(kFile, GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
  ASSERT_NE(held, INVALID_HANDLE_VALUE);
  EXPECT_FALSE(LoadFresh());
  CONFIG.CRC = kSettingsMarker;
  CONFIG.Color = 99;
  EXPECT_FALSE(SaveSettings(kSettingsFileName));
  CloseHandle(held);
  EXPECT_EQ(ReadWholeFile(kFile), old);
  EXPECT_FALSE(FileExists(kTemp));
}

// The load opens the file for reading and writing with no sharing. Another
// handle that lets others read but not write refuses the writing; one that
// lets others read and write refuses the no sharing. Either way the file is
// as if missing, also where a read-only attribute does not stop a writer.
TEST_F(SettingsFileTest, FileThatCannotBeOpenedForReadingAndWritingAloneIsNotLoaded) {
  ASSERT_TRUE(WriteWholeFile(kFile, Image()));
  const struct {
    const char* what;
    DWORD sharing;
  } holders[] = {
      {"held by a reader that lets others read only", FILE_SHARE_READ},
      {"held by a reader that lets others read and write", FILE_SHARE_READ | FILE_SHARE_WRITE},
  };
  for (const auto& h : holders) {
    HANDLE held = CreateFileW(kFile, GENERIC_READ, h.sharing, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(held, INVALID_HANDLE_VALUE) << h.what;
    EXPECT_FALSE(LoadFresh()) << h.what;
    CloseHandle(held);
  }
  EXPECT_TRUE(LoadFresh()) << "no longer held";
}

TEST_F(SettingsFileTest, FailedSaveLeavesThePreviousFileExactlyAsItWas) {
  std::string old = Image();
  ASSERT_TRUE(WriteWholeFile(kFile, old));
  // The temporary name is taken by a folder: the new file cannot be written.
  ASSERT_TRUE(CreateDirectoryW(kTemp, nullptr));
  CONFIG.Color = 99;
  EXPECT_FALSE(SaveSettings(kSettingsFileName));
  EXPECT_EQ(ReadWholeFile(kFile), old);

  // The settings name is taken by a folder: nothing replaces it.
  RemoveDirectoryW(kTemp);
  DeleteFileW(kFile);
  ASSERT_TRUE(CreateDirectoryW(kFile, nullptr));
  EXPECT_FALSE(SaveSettings(kSettingsFileName));
  EXPECT_TRUE(GetFileAttributesW(kFile) & FILE_ATTRIBUTE_DIRECTORY);
  EXPECT_FALSE(FileExists(kTemp));
}

// What this shows everywhere: saving replaces a read-only file by a writable
// one. Whether the read-only file itself loads depends on the platform:
// Windows refuses it the read-write open, so it is not loaded; Wine running
// as root grants the open, and it loads. The test above shows the refusal of
// an open for reading and writing in a way that holds everywhere.
TEST_F(SettingsFileTest, ReadOnlyFileIsReplacedByAWritableOne) {
  ASSERT_TRUE(WriteWholeFile(kFile, Image()));
  ASSERT_TRUE(SetFileAttributesW(kFile, FILE_ATTRIBUTE_READONLY));
  HANDLE probe = CreateFileW(kFile, GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, 0, nullptr);
  bool openable = probe != INVALID_HANDLE_VALUE;
  if (openable) CloseHandle(probe);
  EXPECT_EQ(LoadFresh(), openable);

  CONFIG.CRC = kSettingsMarker;
  CONFIG.Color = 4321;
  ASSERT_TRUE(SaveSettings(kSettingsFileName));
  EXPECT_FALSE(GetFileAttributesW(kFile) & FILE_ATTRIBUTE_READONLY);
  ASSERT_TRUE(LoadFresh());
  EXPECT_EQ(CONFIG.Color, 4321);
}

TEST_F(SettingsFileTest, UnicodeFolderNames) {
  std::wstring sub = L"Farb\u00e4hnlich \u8272";
  ASSERT_TRUE(CreateDirectoryW(sub.c_str(), nullptr));
  ASSERT_TRUE(SetCurrentDirectoryW(sub.c_str()));
  ASSERT_TRUE(SaveSettings(kSettingsFileName));
  EXPECT_TRUE(LoadFresh());
  SetCurrentDirectoryW(L"..");
}

// A full disk. The folder named by TINTVANE_FULL_DISK lies on a small file
// system of its own (tests/win/on_full_disk.py mounts one for this test);
// without it the test is skipped.
TEST(SettingsFileFullDisk, FullDiskLeavesThePreviousFileExactlyAsItWas) {
  wchar_t folder[MAX_PATH];
  if (!GetEnvironmentVariableW(L"TINTVANE_FULL_DISK", folder, MAX_PATH))
    GTEST_SKIP() << "no small file system to fill (run through tests/win/on_full_disk.py)";
  wchar_t old[MAX_PATH];
  GetCurrentDirectoryW(MAX_PATH, old);
  ASSERT_TRUE(SetCurrentDirectoryW(folder));

  memset(&CONFIG, 0, sizeof CONFIG);
  CONFIG.CRC = kSettingsMarker;
  CONFIG.Color = 0x123456;
  for (int i = 0; i < kCapturedPixelCount; i++) CONFIG.CapturedImgData[i] = i * 7919;
  ASSERT_TRUE(SaveSettings(kSettingsFileName));
  std::string before = ReadWholeFile(kFile);
  ASSERT_FALSE(before.empty());

  // Fill the file system up to the last byte.
  HANDLE filler = CreateFileW(L"filler", GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
  ASSERT_NE(filler, INVALID_HANDLE_VALUE);
  static char block[65536];
  DWORD lastError = 0;
  for (DWORD size : {65536u, 4096u, 1u}) {
    DWORD wrote = 0;
    while (WriteFile(filler, block, size, &wrote, nullptr) && wrote == size) {
    }
    lastError = GetLastError();
  }
  CloseHandle(filler);
  EXPECT_EQ(lastError, (DWORD)ERROR_DISK_FULL);
  ASSERT_FALSE(WriteWholeFile(L"probe", "x")) << "the file system is not full";
  DeleteFileW(L"probe");

  CONFIG.Color = 99;
  CONFIG.CapturedImgData[0] = 12345;
  EXPECT_FALSE(SaveSettings(kSettingsFileName));
  EXPECT_TRUE(ReadWholeFile(kFile) == before) << "the settings file changed";
  EXPECT_FALSE(FileExists(kTemp));
  memset(&CONFIG, 0, sizeof CONFIG);
  LoadSettings(kSettingsFileName);
  EXPECT_EQ(CONFIG.Color, 0x123456);

  // With room again the next save goes through.
  DeleteFileW(L"filler");
  CONFIG.Color = 99;
  EXPECT_TRUE(SaveSettings(kSettingsFileName));
  memset(&CONFIG, 0, sizeof CONFIG);
  LoadSettings(kSettingsFileName);
  EXPECT_EQ(CONFIG.Color, 99);

  DeleteFileW(kFile);
  SetCurrentDirectoryW(old);
}
