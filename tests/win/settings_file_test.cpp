// LoadSettings and SaveSettings on real files.
#include <gtest/gtest.h>

#include "app/settings_record.h"
#include "temp_folder.h"
#include "tests/fixtures/settings_every_field.h"

static const wchar_t kFile[] = L"ColorTintvane.bin";
static const wchar_t kTemp[] = L"ColorTintvane.bin.tmp";

class SettingsFileTest : public TempFolderTest {
 protected:
  void SetUp() override {
    TempFolderTest::SetUp();
    memset(&CONFIG, 0, sizeof CONFIG);
    CONFIG.validityMarker = kSettingsMarker;
    CONFIG.Color = 0x123456;
    CONFIG.WinX = -300;
    CONFIG.Autocopy = 1;
    for (int i = 0; i < kCapturedPixelCount; i++) CONFIG.CapturedImgData[i] = i;
  }
  // Loads into a record filled with a sentinel; true when the file was used.
  // found_ tells how the load found the file.
  bool LoadFresh() {
    memset(&CONFIG, 0, sizeof CONFIG);
    CONFIG.Color = 0x0BADF00D;
    found_ = LoadSettings(kSettingsFileName, &CONFIG, kConfigDescriptor);
    return CONFIG.Color != 0x0BADF00D;
  }
  SettingsFileState found_ = SETTINGS_FILE_MISSING;
  std::string Image() {
    std::vector<unsigned char> v = EncodeSettingsFile(&CONFIG, kConfigDescriptor);
    return std::string(v.begin(), v.end());
  }
};

TEST_F(SettingsFileTest, SaveWritesTheImageAndLoadReadsItBack) {
  ConfigRecord saved = CONFIG;
  std::string expected = Image();
  ASSERT_TRUE(SaveSettings(kSettingsFileName, &CONFIG, kConfigDescriptor));
  EXPECT_EQ(ReadWholeFile(kFile), expected);
  EXPECT_FALSE(FileExists(kTemp));
  ASSERT_TRUE(LoadFresh());
  EXPECT_EQ(memcmp(&CONFIG, &saved, sizeof saved), 0);

  // A second save replaces the first.
  CONFIG.Color = 7;
  ASSERT_TRUE(SaveSettings(kSettingsFileName, &CONFIG, kConfigDescriptor));
  ASSERT_TRUE(LoadFresh());
  EXPECT_EQ(CONFIG.Color, 7);
}

// The 32-bit and the 64-bit program share one file format: a file saved by
// the 32-bit program loads here as the record it was saved from, and this
// build saves that record as the same bytes.
TEST_F(SettingsFileTest, EitherBuildReadsAndWritesTheSameFile) {
  ConfigRecord every = {};
  every.validityMarker = kSettingsMarker;
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
  ASSERT_TRUE(SaveSettings(kSettingsFileName, &CONFIG, kConfigDescriptor));
  EXPECT_EQ(ReadWholeFile(kFile), file);
}

// Files that hold no usable settings are ignored. All but the folder were
// read and so may be replaced; a folder is never read.
TEST_F(SettingsFileTest, FilesWithoutUsableSettingsAreIgnored) {
  EXPECT_FALSE(LoadFresh()) << "missing file";
  EXPECT_EQ(found_, SETTINGS_FILE_MISSING);

  std::string image = Image();
  const struct {
    const char* what;
    std::string bytes;
  } files[] = {
      {"seven bytes", "1234567"},
      {"prefix only", std::string(8, '\0')},
      {"truncated", image.substr(0, image.size() - 3)},
  };
  for (const auto& f : files) {
    ASSERT_TRUE(WriteWholeFile(kFile, f.bytes));
    EXPECT_FALSE(LoadFresh()) << f.what;
    EXPECT_EQ(found_, SETTINGS_FILE_READ) << f.what;
  }
  DeleteFileW(kFile);

  ASSERT_TRUE(CreateDirectoryW(kFile, nullptr));
  EXPECT_FALSE(LoadFresh()) << "a folder";
  EXPECT_EQ(found_, SETTINGS_FILE_UNREADABLE);
}

// A holder that shares nothing for longer than the load waits: the file is
// not loaded, the load gives up after about a second, and a save cannot
// replace the file while it is held.
TEST_F(SettingsFileTest, FileHeldWithoutSharingIsNotLoadedAndTheWaitIsBounded) {
  std::string old = Image();
  ASSERT_TRUE(WriteWholeFile(kFile, old));
  HANDLE held = CreateFileW(kFile, GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
  ASSERT_NE(held, INVALID_HANDLE_VALUE);
  DWORD start = GetTickCount();
  EXPECT_FALSE(LoadFresh());
  DWORD waited = GetTickCount() - start;
  EXPECT_EQ(found_, SETTINGS_FILE_UNREADABLE);
  EXPECT_GE(waited, 900u);
  EXPECT_LT(waited, 5000u);  // bounded; loose, as a loaded machine stretches every sleep
  CONFIG.validityMarker = kSettingsMarker;
  CONFIG.Color = 99;
  EXPECT_FALSE(SaveSettings(kSettingsFileName, &CONFIG, kConfigDescriptor));
  CloseHandle(held);
  EXPECT_EQ(ReadWholeFile(kFile), old);
  EXPECT_FALSE(FileExists(kTemp));
}

static DWORD WINAPI LetGoAfter300Ms(void* handle) {
  Sleep(300);
  CloseHandle((HANDLE)handle);
  return 0;
}

TEST_F(SettingsFileTest, FileHeldWithoutSharingForAMomentIsLoadedOnceLetGo) {
  ConfigRecord saved = CONFIG;
  ASSERT_TRUE(WriteWholeFile(kFile, Image()));
  HANDLE held = CreateFileW(kFile, GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
  ASSERT_NE(held, INVALID_HANDLE_VALUE);
  HANDLE letGo = CreateThread(nullptr, 0, LetGoAfter300Ms, held, 0, nullptr);
  ASSERT_TRUE(LoadFresh());
  EXPECT_EQ(found_, SETTINGS_FILE_READ);
  EXPECT_EQ(memcmp(&CONFIG, &saved, sizeof saved), 0);
  WaitForSingleObject(letGo, 5000);
  CloseHandle(letGo);
}

// Holders that let others read, whatever they do themselves, do not stop the
// load: it asks for reading only and lets others read, write and delete.
TEST_F(SettingsFileTest, FileHeldByOthersThatLetItBeReadIsLoaded) {
  ASSERT_TRUE(WriteWholeFile(kFile, Image()));
  const struct {
    const char* what;
    DWORD access, sharing;
  } holders[] = {
      {"a reader that lets others read only", GENERIC_READ, FILE_SHARE_READ},
      {"a reader that lets others read and write", GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE},
      {"a writer that lets others read", GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ},
      {"a writer that lets others do anything", GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE},
      {"one about to delete it that lets others read", DELETE, FILE_SHARE_READ},
  };
  for (const auto& h : holders) {
    HANDLE held = CreateFileW(kFile, h.access, h.sharing, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(held, INVALID_HANDLE_VALUE) << h.what;
    EXPECT_TRUE(LoadFresh()) << h.what;
    EXPECT_EQ(found_, SETTINGS_FILE_READ) << h.what;
    CloseHandle(held);
  }
}

TEST_F(SettingsFileTest, FailedSaveLeavesThePreviousFileExactlyAsItWas) {
  std::string old = Image();
  ASSERT_TRUE(WriteWholeFile(kFile, old));
  // The temporary name is taken by a folder: the new file cannot be written.
  ASSERT_TRUE(CreateDirectoryW(kTemp, nullptr));
  CONFIG.Color = 99;
  EXPECT_FALSE(SaveSettings(kSettingsFileName, &CONFIG, kConfigDescriptor));
  EXPECT_EQ(ReadWholeFile(kFile), old);

  // The settings name is taken by a folder: nothing replaces it.
  RemoveDirectoryW(kTemp);
  DeleteFileW(kFile);
  ASSERT_TRUE(CreateDirectoryW(kFile, nullptr));
  EXPECT_FALSE(SaveSettings(kSettingsFileName, &CONFIG, kConfigDescriptor));
  EXPECT_TRUE(GetFileAttributesW(kFile) & FILE_ATTRIBUTE_DIRECTORY);
  EXPECT_FALSE(FileExists(kTemp));
}

// A read-only file is read (the load asks for reading only) and replaced by
// a writable one at the next save.
TEST_F(SettingsFileTest, ReadOnlyFileIsLoadedAndReplacedByAWritableOne) {
  ASSERT_TRUE(WriteWholeFile(kFile, Image()));
  ASSERT_TRUE(SetFileAttributesW(kFile, FILE_ATTRIBUTE_READONLY));
  EXPECT_TRUE(LoadFresh());
  EXPECT_EQ(found_, SETTINGS_FILE_READ);

  CONFIG.validityMarker = kSettingsMarker;
  CONFIG.Color = 4321;
  ASSERT_TRUE(SaveSettings(kSettingsFileName, &CONFIG, kConfigDescriptor));
  EXPECT_FALSE(GetFileAttributesW(kFile) & FILE_ATTRIBUTE_READONLY);
  ASSERT_TRUE(LoadFresh());
  EXPECT_EQ(CONFIG.Color, 4321);
}

TEST_F(SettingsFileTest, UnicodeFolderNames) {
  std::wstring sub = L"Farb\u00e4hnlich \u8272";
  ASSERT_TRUE(CreateDirectoryW(sub.c_str(), nullptr));
  ASSERT_TRUE(SetCurrentDirectoryW(sub.c_str()));
  ASSERT_TRUE(SaveSettings(kSettingsFileName, &CONFIG, kConfigDescriptor));
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
  CONFIG.validityMarker = kSettingsMarker;
  CONFIG.Color = 0x123456;
  for (int i = 0; i < kCapturedPixelCount; i++) CONFIG.CapturedImgData[i] = i * 7919;
  ASSERT_TRUE(SaveSettings(kSettingsFileName, &CONFIG, kConfigDescriptor));
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
  EXPECT_FALSE(SaveSettings(kSettingsFileName, &CONFIG, kConfigDescriptor));
  EXPECT_TRUE(ReadWholeFile(kFile) == before) << "the settings file changed";
  EXPECT_FALSE(FileExists(kTemp));
  memset(&CONFIG, 0, sizeof CONFIG);
  LoadSettings(kSettingsFileName, &CONFIG, kConfigDescriptor);
  EXPECT_EQ(CONFIG.Color, 0x123456);

  // With room again the next save goes through.
  DeleteFileW(L"filler");
  CONFIG.Color = 99;
  EXPECT_TRUE(SaveSettings(kSettingsFileName, &CONFIG, kConfigDescriptor));
  memset(&CONFIG, 0, sizeof CONFIG);
  LoadSettings(kSettingsFileName, &CONFIG, kConfigDescriptor);
  EXPECT_EQ(CONFIG.Color, 99);

  DeleteFileW(kFile);
  SetCurrentDirectoryW(old);
}
