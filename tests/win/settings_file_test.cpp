// LoadSettings and SaveSettings on real files.
#include <gtest/gtest.h>

#include <algorithm>

#include "app/settings_record.h"
#include "holder.h"
#include "temp_folder.h"
#include "tests/fixtures/settings_every_field.h"

static const wchar_t kFile[] = L"ColorTintvane.bin";

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
  // Saves CONFIG; error_ tells why a save failed.
  SettingsSaveOutcome Save(bool replaceExisting = true, uint32_t waitMs = kSettingsHolderWaitMs) {
    SettingsSaveResult result = SaveSettings(kSettingsFileName, &CONFIG, kConfigDescriptor, {replaceExisting, waitMs});
    error_ = result.error;
    return result.outcome;
  }
  uint32_t error_ = 0;
  std::string Image() {
    std::vector<unsigned char> v = EncodeSettingsFile(&CONFIG, kConfigDescriptor);
    return std::string(v.begin(), v.end());
  }
};

TEST_F(SettingsFileTest, SaveWritesTheImageAndLoadReadsItBack) {
  ConfigRecord saved = CONFIG;
  std::string expected = Image();
  ASSERT_EQ(Save(), SETTINGS_SAVED);
  EXPECT_EQ(ReadWholeFile(kFile), expected);
  EXPECT_TRUE(SettingsTemporaryFiles().empty());
  ASSERT_TRUE(LoadFresh());
  EXPECT_EQ(memcmp(&CONFIG, &saved, sizeof saved), 0);

  // A second save replaces the first.
  CONFIG.Color = 7;
  ASSERT_EQ(Save(), SETTINGS_SAVED);
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
  ASSERT_EQ(Save(), SETTINGS_SAVED);
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
  EXPECT_EQ(Save(), SETTINGS_SAVE_FAILED);
  CloseHandle(held);
  EXPECT_EQ(ReadWholeFile(kFile), old);
  EXPECT_TRUE(SettingsTemporaryFiles().empty());
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
  ASSERT_TRUE(CreateDirectoryW(SettingsTemporaryName().c_str(), nullptr));
  CONFIG.Color = 99;
  EXPECT_EQ(Save(true, 0), SETTINGS_SAVE_FAILED);
  EXPECT_NE(error_, 0u);
  EXPECT_EQ(ReadWholeFile(kFile), old);

  // The settings name is taken by a folder: nothing replaces it.
  RemoveDirectoryW(SettingsTemporaryName().c_str());
  DeleteFileW(kFile);
  ASSERT_TRUE(CreateDirectoryW(kFile, nullptr));
  EXPECT_EQ(Save(true, 0), SETTINGS_SAVE_FAILED);
  EXPECT_NE(error_, 0u);
  EXPECT_TRUE(GetFileAttributesW(kFile) & FILE_ATTRIBUTE_DIRECTORY);
  EXPECT_TRUE(SettingsTemporaryFiles().empty());
}

// Another program holds the settings file or the temporary file, as a virus
// scanner, a backup or sync client does at the moment of a save: one that
// lets go within the save's wait lets it land; one that holds on leaves the
// previous file exactly as it was and no temporary file of the save, and the
// next save lands once it has let go.
TEST_F(SettingsFileTest, ASaveWaitsForAHolderThatLetsGoAndLeavesTheOldFileToOneThatDoesNot) {
  const std::string old = Image();
  CONFIG.Color = 0x654321;
  const std::string saved = Image();
  const std::wstring temp = SettingsTemporaryName();
  const struct {
    const char* what;
    const wchar_t* file;
    const wchar_t* sharing;
  } holders[] = {
      {"the settings file, held without delete sharing", kFile, L"read-write"},
      {"the temporary file, held sharing nothing", temp.c_str(), L"none"},
  };
  for (const auto& h : holders) {
    std::wstring file = std::wstring(L"\"") + folder_ + L"\\" + h.file + L"\" " + h.sharing;
    ASSERT_TRUE(WriteWholeFile(kFile, old));
    {
      Holder holder;
      ASSERT_TRUE(holder.Start(L"file " + file + L" 200")) << h.what;
      ASSERT_TRUE(holder.Holding()) << h.what;
      DWORD start = GetTickCount();
      EXPECT_EQ(Save(), SETTINGS_SAVED) << h.what << ": error " << error_;
      EXPECT_GE(GetTickCount() - start, 100u) << h.what << ": the save did not meet the holder";
      EXPECT_TRUE(ReadWholeFile(kFile) == saved) << h.what;
      EXPECT_TRUE(SettingsTemporaryFiles().empty()) << h.what;
    }

    ASSERT_TRUE(WriteWholeFile(kFile, old));
    Holder holder;
    ASSERT_TRUE(holder.Start(L"file " + file + L" -1")) << h.what;
    EXPECT_EQ(Save(), SETTINGS_SAVE_FAILED) << h.what;
    EXPECT_TRUE(error_ == ERROR_SHARING_VIOLATION || error_ == ERROR_ACCESS_DENIED) << h.what << ": error " << error_;
    EXPECT_TRUE(ReadWholeFile(kFile) == old) << h.what;
    // Only the holder's own file, if it holds the temporary name.
    std::vector<std::wstring> left = SettingsTemporaryFiles();
    EXPECT_TRUE(left.empty() || (left.size() == 1 && left[0] == temp)) << h.what;
    holder.LetGo();
    EXPECT_EQ(Save(), SETTINGS_SAVED) << h.what;
    EXPECT_TRUE(ReadWholeFile(kFile) == saved) << h.what;
    EXPECT_TRUE(SettingsTemporaryFiles().empty()) << h.what;
  }
}

// After a start that found no file, a file that appeared since (a sync
// client's first download, a backup put back) is left as it is.
TEST_F(SettingsFileTest, ASaveThatMayNotReplaceLeavesAFileThatAppeared) {
  EXPECT_EQ(Save(false), SETTINGS_SAVED);  // none there yet
  std::string first = Image();
  EXPECT_TRUE(ReadWholeFile(kFile) == first);
  CONFIG.Color = 0x0000FF;
  EXPECT_EQ(Save(false), SETTINGS_SAVE_LEFT);
  EXPECT_TRUE(ReadWholeFile(kFile) == first);
  EXPECT_TRUE(SettingsTemporaryFiles().empty());
  EXPECT_EQ(Save(true), SETTINGS_SAVED);
  EXPECT_TRUE(ReadWholeFile(kFile) == Image());
}

// A folder that cannot be reached (for the program's bare name, its current
// folder on a network or removable drive that went away; here a folder that
// is not there) says nothing about the file: it is unreadable, never
// missing, so it is never replaced.
TEST_F(SettingsFileTest, ASettingsFileInAFolderThatCannotBeReachedIsUnreadableNotMissing) {
  memset(&CONFIG, 0, sizeof CONFIG);
  EXPECT_EQ(LoadSettings("away\\ColorTintvane.bin", &CONFIG, kConfigDescriptor), SETTINGS_FILE_UNREADABLE);
  EXPECT_EQ(LoadSettings("ColorTintvane.bin", &CONFIG, kConfigDescriptor), SETTINGS_FILE_MISSING);
}

// The temporary files of saves killed half-way are removed by the next save;
// that of a save still under way in another copy of the program, which holds
// it open, stays; files of other names stay too.
TEST_F(SettingsFileTest, ASaveRemovesWhatKilledSavesLeftButNotTheFileOfASaveUnderWay) {
  const std::wstring killed[] = {SettingsTemporaryName(4000000), SettingsTemporaryName(12), SettingsTemporaryName()};
  for (const std::wstring& name : killed) ASSERT_TRUE(WriteWholeFile(name.c_str(), "half a save"));
  ASSERT_TRUE(SetFileAttributesW(killed[0].c_str(), FILE_ATTRIBUTE_READONLY));
  const wchar_t* others[] = {L"ColorTintvane.bin.tmp", L"ColorTintvane.bin.12a.tmp", L"Other.bin.12.tmp",
                             L"ColorTintvane.bin.12.tmp.bak"};
  for (const wchar_t* name : others) ASSERT_TRUE(WriteWholeFile(name, "not a save's"));
  const std::wstring running = SettingsTemporaryName(4000004);
  Holder underWay;
  ASSERT_TRUE(underWay.Start(L"file \"" + folder_ + L"\\" + running + L"\" none -1"));

  EXPECT_EQ(Save(), SETTINGS_SAVED);
  EXPECT_EQ(SettingsTemporaryFiles(), std::vector<std::wstring>{running});
  for (const wchar_t* name : others) EXPECT_TRUE(FileExists(name)) << name;
  underWay.LetGo();
  EXPECT_EQ(Save(), SETTINGS_SAVED);
  EXPECT_TRUE(SettingsTemporaryFiles().empty());
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
  ASSERT_EQ(Save(), SETTINGS_SAVED);
  EXPECT_FALSE(GetFileAttributesW(kFile) & FILE_ATTRIBUTE_READONLY);
  ASSERT_TRUE(LoadFresh());
  EXPECT_EQ(CONFIG.Color, 4321);
}

// A file named with its folder, here one whose name is not ASCII, lands in
// that folder, wherever the current one is.
TEST_F(SettingsFileTest, UnicodeFolderNames) {
  std::wstring sub = L"Farb\u00e4hnlich \u8272";
  ASSERT_TRUE(CreateDirectoryW(sub.c_str(), nullptr));
  std::string name = "Farb\xC3\xA4hnlich \xE8\x89\xB2\\ColorTintvane.bin";
  ASSERT_EQ(SaveSettings(name.c_str(), &CONFIG, kConfigDescriptor, {true, 0}).outcome, SETTINGS_SAVED);
  EXPECT_FALSE(FileExists(kFile));
  EXPECT_TRUE(SettingsTemporaryFiles(sub).empty());
  ASSERT_TRUE(SetCurrentDirectoryW(sub.c_str()));
  EXPECT_TRUE(LoadFresh());
  ASSERT_EQ(Save(), SETTINGS_SAVED);  // and by the bare name from inside
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
  ASSERT_EQ(SaveSettings(kSettingsFileName, &CONFIG, kConfigDescriptor, {true, 0}).outcome, SETTINGS_SAVED);
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
  SettingsSaveResult full = SaveSettings(kSettingsFileName, &CONFIG, kConfigDescriptor, {true, kSettingsHolderWaitMs});
  EXPECT_EQ(full.outcome, SETTINGS_SAVE_FAILED);
  EXPECT_EQ(full.error, (uint32_t)ERROR_DISK_FULL);
  EXPECT_TRUE(ReadWholeFile(kFile) == before) << "the settings file changed";
  EXPECT_TRUE(SettingsTemporaryFiles().empty());
  memset(&CONFIG, 0, sizeof CONFIG);
  LoadSettings(kSettingsFileName, &CONFIG, kConfigDescriptor);
  EXPECT_EQ(CONFIG.Color, 0x123456);

  // With room again the next save goes through.
  DeleteFileW(L"filler");
  CONFIG.Color = 99;
  EXPECT_EQ(SaveSettings(kSettingsFileName, &CONFIG, kConfigDescriptor, {true, 0}).outcome, SETTINGS_SAVED);
  memset(&CONFIG, 0, sizeof CONFIG);
  LoadSettings(kSettingsFileName, &CONFIG, kConfigDescriptor);
  EXPECT_EQ(CONFIG.Color, 99);

  DeleteFileW(kFile);
  SetCurrentDirectoryW(old);
}
