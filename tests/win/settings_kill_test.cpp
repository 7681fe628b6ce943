// Saves killed half-way. settings_saver.exe saves the settings over and over,
// alternating two records; this program kills it with TerminateProcess at a
// random moment, again and again, and after every kill checks that the
// settings file holds, byte for byte, the record of the last save that
// finished or the one under way, that it loads as that record, and that a
// temporary file the kill left behind does not disturb the next save or load.
//   win_settings_kill.exe [--kills=N] [--seed=N] [gtest flags]
// N kills (25 by default); the seed of the random moments is printed so that
// a run can be repeated.
#include <gtest/gtest.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

#include <random>
#include <string>
#include <vector>

#include "killed_save.h"
#include "temp_folder.h"

static int g_kills = 25;
static unsigned g_seed = 0;
static bool g_seedGiven = false;

static const wchar_t kFile[] = L"ColorTintvane.bin";

//-----------------------------------------------------------------------------
// Time and the saver process
//-----------------------------------------------------------------------------

static LONGLONG Ticks() {
  LARGE_INTEGER t;
  QueryPerformanceCounter(&t);
  return t.QuadPart;
}

static double TicksPerMs() {
  LARGE_INTEGER f;
  QueryPerformanceFrequency(&f);
  return f.QuadPart / 1000.0;
}

static std::wstring SaverPath() {
  wchar_t self[MAX_PATH];
  DWORD n = GetModuleFileNameW(nullptr, self, MAX_PATH);
  std::wstring path(self, n);
  return path.substr(0, path.find_last_of(L"\\/") + 1) + kKilledSaveSaverName;
}

// Starts the saver in the current folder, to save until it is killed or
// `saves` times; false when it could not start or ended before it was ready
// to save.
static bool StartSaver(const std::wstring& mapping, const std::wstring& ready, int first,
                       PROCESS_INFORMATION* process, int saves = 0) {
  std::wstring command = L"\"" + SaverPath() + L"\" " + mapping + L" " + ready + L" " +
                         std::to_wstring(first) + (saves ? L" " + std::to_wstring(saves) : L"");
  STARTUPINFOW startup = {sizeof startup};
  if (!CreateProcessW(nullptr, &command[0], nullptr, nullptr, FALSE, CREATE_NO_WINDOW, nullptr,
                      nullptr, &startup, process))
    return false;
  HANDLE readyEvent = OpenEventW(SYNCHRONIZE, FALSE, ready.c_str());
  HANDLE waits[2] = {readyEvent, process->hProcess};
  DWORD woke = WaitForMultipleObjects(2, waits, FALSE, 60000);
  CloseHandle(readyEvent);
  return woke == WAIT_OBJECT_0;
}

static void EndSaver(PROCESS_INFORMATION* process) {
  TerminateProcess(process->hProcess, 1);
  WaitForSingleObject(process->hProcess, 60000);
  CloseHandle(process->hThread);
  CloseHandle(process->hProcess);
}

//-----------------------------------------------------------------------------
// Counting what the kills left
//-----------------------------------------------------------------------------

struct KillCounts {
  int kills = 0;
  int duringSave = 0, oldFile = 0, newFile = 0;  // killed while a save was under way
  int betweenSaves = 0;                          // killed after one save, before the next
  int damaged = 0;
  int tempEmpty = 0, tempPartial = 0, tempComplete = 0, tempOther = 0;
  long saves = 0, failedSaves = 0;
  LONGLONG saveTicks = 0;
  std::vector<LONGLONG> offsets;  // how far into its save each kill during a save came
};

static const char* Describe(const std::string& file, bool exists) {
  if (!exists) return "missing";
  if (file.empty()) return "empty";
  return "neither record";
}

static void PrintCounts(const KillCounts& c, unsigned seed) {
  double meanMs = c.saves ? c.saveTicks / TicksPerMs() / c.saves : 0;
  int fifths[5] = {};
  for (LONGLONG t : c.offsets) {
    int f = meanMs > 0 ? (int)(t / TicksPerMs() / meanMs * 5) : 4;
    fifths[f < 4 ? f : 4]++;
  }
  printf("killed saves: %d kills (seed %u)\n", c.kills, seed);
  printf("  during a save %d: old file %d, new file %d; between saves %d; damaged %d\n",
         c.duringSave, c.oldFile, c.newFile, c.betweenSaves, c.damaged);
  printf("  temporary file left behind: empty %d, part-written %d, complete %d, other %d\n",
         c.tempEmpty, c.tempPartial, c.tempComplete, c.tempOther);
  printf("  kills during a save by how far it had come (fifths of the mean save, %.2f ms;"
         " the last also later): %d %d %d %d %d\n",
         meanMs, fifths[0], fifths[1], fifths[2], fifths[3], fifths[4]);
  printf("  saves by the killed savers %ld, failed %ld\n", c.saves, c.failedSaves);
  fflush(stdout);
}

//-----------------------------------------------------------------------------
// The test
//-----------------------------------------------------------------------------

class KilledSaveTest : public TempFolderTest {
 protected:
  // Saves CONFIG as the program's save at close does.
  static SettingsSaveOutcome Save() {
    return SaveSettings(kSettingsFileName, &CONFIG, kConfigDescriptor, {true, kSettingsHolderWaitMs}).outcome;
  }
  // Loads the file into a record filled with a sentinel.
  static ConfigRecord Load() {
    memset(&CONFIG, 0xA5, sizeof CONFIG);
    LoadSettings(kSettingsFileName, &CONFIG, kConfigDescriptor);
    return CONFIG;
  }
};

TEST_F(KilledSaveTest, FileIsAlwaysTheLastSavedRecordOrTheOneBeingSaved) {
  const ConfigRecord records[2] = {KilledSaveRecord(0), KilledSaveRecord(1)};
  const std::string images[2] = {KilledSaveImage(0), KilledSaveImage(1)};
  ASSERT_NE(images[0], images[1]);
  ASSERT_NE(images[0].size(), images[1].size());

  // The kills fall anywhere in the first three saves of each saver: their
  // delay after the saver is ready spreads over three times a save's mean.
  const int kTimedSaves = 20;
  LONGLONG started = Ticks();
  for (int i = 0; i < kTimedSaves; i++) {
    CONFIG = records[i % 2];
    ASSERT_EQ(Save(), SETTINGS_SAVED);
  }
  LONGLONG spread = (Ticks() - started) * 3 / kTimedSaves;
  int onDisk = (kTimedSaves - 1) % 2;

  unsigned seed = g_seedGiven ? g_seed : (unsigned)Ticks();
  std::mt19937 random(seed);
  std::uniform_int_distribution<LONGLONG> delay(0, spread);

  std::wstring suffix = std::to_wstring(GetCurrentProcessId());
  std::wstring mappingName = L"ColorKilledSaveState" + suffix;
  std::wstring readyName = L"ColorKilledSaveReady" + suffix;
  HANDLE mapping = CreateFileMappingW(INVALID_HANDLE_VALUE, nullptr, PAGE_READWRITE, 0,
                                      sizeof(KilledSaveState), mappingName.c_str());
  ASSERT_TRUE(mapping);
  KilledSaveState* state =
      (KilledSaveState*)MapViewOfFile(mapping, FILE_MAP_WRITE, 0, 0, sizeof(KilledSaveState));
  ASSERT_TRUE(state);

  KillCounts counts;
  for (int kill = 1; kill <= g_kills; kill++) {
    memset((void*)state, 0, sizeof *state);
    HANDLE ready = CreateEventW(nullptr, TRUE, FALSE, readyName.c_str());
    ASSERT_TRUE(ready);
    // The saver first writes the record that is not in the file, so every
    // save changes the file.
    int first = 1 - onDisk;
    PROCESS_INFORMATION saver = {};
    bool running = StartSaver(mappingName, readyName, first, &saver);
    CloseHandle(ready);
    if (!running) {
      if (saver.hProcess) EndSaver(&saver);
      FAIL() << "the saver did not start (kill " << kill << ")";
    }
    LONGLONG killAt = Ticks() + delay(random);
    while (Ticks() < killAt) {
    }
    killAt = Ticks();
    EndSaver(&saver);

    // Save n writes record (onDisk + n) % 2; before the first, the file holds onDisk.
    LONG begun = state->savesStarted, done = state->savesDone;
    auto recordOfSave = [onDisk](LONG n) { return (int)((onDisk + n) % 2); };
    counts.kills++;
    counts.saves += done;
    counts.failedSaves += state->savesFailed;
    counts.saveTicks += state->saveTicks;

    bool exists = GetFileAttributesW(kFile) != INVALID_FILE_ATTRIBUTES;
    std::string file = ReadWholeFile(kFile);
    int found = file == images[0] ? 0 : file == images[1] ? 1 : -1;
    if (done == begun) {
      counts.betweenSaves++;
      if (found != recordOfSave(done)) found = -1;
    } else {
      counts.duringSave++;
      counts.offsets.push_back(killAt - state->saveStartedAt);
      if (found >= 0 && found == recordOfSave(begun - 1)) counts.oldFile++;
      else if (found >= 0 && found == recordOfSave(begun)) counts.newFile++;
      else found = -1;
    }
    if (found < 0) {
      counts.damaged++;
      ADD_FAILURE() << "kill " << kill << " (save " << begun << ", " << done
                    << " done): the settings file is " << Describe(file, exists) << " ("
                    << file.size() << " bytes)";
    } else {
      ConfigRecord loaded = Load();
      if (memcmp(&loaded, &records[found], sizeof loaded) != 0) {
        counts.damaged++;
        ADD_FAILURE() << "kill " << kill << ": the settings file does not load as its record";
      }
      onDisk = found;
    }

    // What a temporary file holds, whether this kill or an earlier one left it.
    for (const std::wstring& name : SettingsTemporaryFiles()) {
      std::string temp = ReadWholeFile(name.c_str());
      auto partOf = [&temp](const std::string& image) {
        return temp.size() < image.size() && image.compare(0, temp.size(), temp) == 0;
      };
      if (temp.empty()) counts.tempEmpty++;
      else if (temp == images[0] || temp == images[1]) counts.tempComplete++;
      else if (partOf(images[0]) || partOf(images[1])) counts.tempPartial++;
      else counts.tempOther++;
    }
    if (kill % 25 == 0 && kill < g_kills) {
      printf("  %d kills, %d damaged\n", kill, counts.damaged);
      fflush(stdout);
    }
  }
  UnmapViewOfFile(state);
  CloseHandle(mapping);
  PrintCounts(counts, seed);

  EXPECT_EQ(counts.damaged, 0);
  EXPECT_EQ(counts.failedSaves, 0) << "a save after a kill failed";
  EXPECT_GT(counts.duringSave, 0) << "no kill fell during a save";

  // One more save over whatever the last kill left, and the file loads as it.
  CONFIG = records[1 - onDisk];
  EXPECT_EQ(Save(), SETTINGS_SAVED);
  EXPECT_TRUE(SettingsTemporaryFiles().empty());
  ConfigRecord loaded = Load();
  EXPECT_EQ(memcmp(&loaded, &records[1 - onDisk], sizeof loaded), 0);
}

// A temporary file left behind by a kill, whatever it holds, is removed by
// the next save and never read by a load: one of a process that is gone,
// and one of a process that had this one's number.
TEST_F(KilledSaveTest, LeftoverTemporaryFileDisturbsNeitherLoadNorSave) {
  const ConfigRecord records[2] = {KilledSaveRecord(0), KilledSaveRecord(1)};
  std::vector<unsigned char> image = EncodeSettingsFile(&records[1], kConfigDescriptor);
  const std::string leftovers[] = {
      std::string(),
      std::string(image.begin(), image.begin() + image.size() / 2),
      std::string(image.begin(), image.end()),
      std::string(100000, 'x'),
  };
  for (const std::wstring& name : {SettingsTemporaryName(4000000), SettingsTemporaryName()}) {
    for (const std::string& leftover : leftovers) {
      for (bool readOnly : {false, true}) {
        std::string what = std::string(name.begin(), name.end()) + ": " + std::to_string(leftover.size()) +
                           " bytes left" + (readOnly ? ", read-only" : "");
        CONFIG = records[0];
        ASSERT_EQ(Save(), SETTINGS_SAVED);
        ASSERT_TRUE(WriteWholeFile(name.c_str(), leftover));
        if (readOnly) {
          ASSERT_TRUE(SetFileAttributesW(name.c_str(), FILE_ATTRIBUTE_READONLY));
        }
        ConfigRecord loaded = Load();
        EXPECT_EQ(memcmp(&loaded, &records[0], sizeof loaded), 0) << what;

        CONFIG = records[1];
        EXPECT_EQ(Save(), SETTINGS_SAVED) << what;
        EXPECT_EQ(ReadWholeFile(kFile), std::string(image.begin(), image.end())) << what;
        EXPECT_TRUE(SettingsTemporaryFiles().empty()) << what;
      }
    }
  }
}

// Two copies of the program saving into one folder at once, many times over
// (two savers, each with a temporary file of its own): every save lands,
// the file is always whole, one of the two records, and no temporary file
// is left.
TEST_F(KilledSaveTest, TwoCopiesSavingAtOnceEachLandEverySaveAndLeaveNoTemporaryFile) {
  const std::string images[2] = {KilledSaveImage(0), KilledSaveImage(1)};
  const int kSaves = 300;
  std::wstring suffix = std::to_wstring(GetCurrentProcessId());
  HANDLE mappings[2] = {};
  KilledSaveState* states[2] = {};
  PROCESS_INFORMATION savers[2] = {};
  for (int i = 0; i < 2; i++) {
    std::wstring mapping = L"ColorTwoSaversState" + suffix + L"-" + std::to_wstring(i);
    std::wstring ready = L"ColorTwoSaversReady" + suffix + L"-" + std::to_wstring(i);
    mappings[i] = CreateFileMappingW(INVALID_HANDLE_VALUE, nullptr, PAGE_READWRITE, 0, sizeof(KilledSaveState),
                                     mapping.c_str());
    ASSERT_TRUE(mappings[i]);
    states[i] = (KilledSaveState*)MapViewOfFile(mappings[i], FILE_MAP_WRITE, 0, 0, sizeof(KilledSaveState));
    ASSERT_TRUE(states[i]);
    memset((void*)states[i], 0, sizeof *states[i]);
    HANDLE readyEvent = CreateEventW(nullptr, TRUE, FALSE, ready.c_str());
    ASSERT_TRUE(readyEvent);
    bool started = StartSaver(mapping, ready, i, &savers[i], kSaves);
    CloseHandle(readyEvent);
    ASSERT_TRUE(started) << "saver " << i;
  }
  // Meanwhile the file is always one of the two, whole. It is read as a
  // reader that lets others replace it does, so as not to hold up a save.
  int checks = 0, damaged = 0;
  HANDLE processes[2] = {savers[0].hProcess, savers[1].hProcess};
  while (WaitForMultipleObjects(2, processes, TRUE, 0) == WAIT_TIMEOUT) {
    HANDLE f = CreateFileW(kFile, GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                           OPEN_EXISTING, 0, nullptr);
    if (f != INVALID_HANDLE_VALUE) {
      std::string file(200000, '\0');
      DWORD got = 0;
      ReadFile(f, &file[0], (DWORD)file.size(), &got, nullptr);
      CloseHandle(f);
      file.resize(got);
      checks++;
      if (file != images[0] && file != images[1]) damaged++;
    }
    Sleep(5);
  }
  for (int i = 0; i < 2; i++) {
    DWORD code = 99;
    GetExitCodeProcess(savers[i].hProcess, &code);
    EXPECT_EQ(code, 0u) << "saver " << i;
    EXPECT_EQ(states[i]->savesDone, kSaves) << "saver " << i;
    EXPECT_EQ(states[i]->savesFailed, 0) << "saver " << i << ": saves that did not land";
    CloseHandle(savers[i].hThread);
    CloseHandle(savers[i].hProcess);
    UnmapViewOfFile(states[i]);
    CloseHandle(mappings[i]);
  }
  printf("two savers: %d saves each, the file read %d times while they ran\n", kSaves, checks);
  EXPECT_EQ(damaged, 0) << "times the file was neither record";
  std::string file = ReadWholeFile(kFile);
  EXPECT_TRUE(file == images[0] || file == images[1]);
  EXPECT_TRUE(SettingsTemporaryFiles().empty());
}

int main(int argc, char** argv) {
  testing::InitGoogleTest(&argc, argv);
  for (int i = 1; i < argc; i++) {
    if (strncmp(argv[i], "--kills=", 8) == 0) {
      g_kills = atoi(argv[i] + 8);
    } else if (strncmp(argv[i], "--seed=", 7) == 0) {
      g_seed = (unsigned)strtoul(argv[i] + 7, nullptr, 10);
      g_seedGiven = true;
    }
  }
  return RUN_ALL_TESTS();
}
