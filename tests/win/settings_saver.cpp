// Saves the settings file in the current folder over and over, alternating
// the two records of killed_save.h, until it is killed, or SAVES times:
//   settings_saver.exe STATE_MAPPING_NAME READY_EVENT_NAME FIRST_RECORD [SAVES]
// It reports its progress in the named shared memory and sets the named
// event once it is about to save for the first time. Each save replaces the
// file and waits for holders as the program's save at close does.
#include <stdlib.h>

#include "killed_save.h"

int wmain(int argc, wchar_t** argv) {
  if (argc != 4 && argc != 5) return 2;
  LONG saves = argc == 5 ? _wtoi(argv[4]) : 0;
  HANDLE mapping = OpenFileMappingW(FILE_MAP_WRITE, FALSE, argv[1]);
  if (!mapping) return 3;
  KilledSaveState* state =
      (KilledSaveState*)MapViewOfFile(mapping, FILE_MAP_WRITE, 0, 0, sizeof(KilledSaveState));
  HANDLE ready = OpenEventW(EVENT_MODIFY_STATE, FALSE, argv[2]);
  if (!state || !ready) return 4;
  int first = _wtoi(argv[3]) ? 1 : 0;
  ConfigRecord records[2] = {KilledSaveRecord(0), KilledSaveRecord(1)};

  SetEvent(ready);
  for (LONG n = 1; !saves || n <= saves; n++) {
    LARGE_INTEGER start, end;
    QueryPerformanceCounter(&start);
    state->saveStartedAt = start.QuadPart;
    MemoryBarrier();
    state->savesStarted = n;
    MemoryBarrier();
    CONFIG = records[(first + n - 1) % 2];
    bool saved =
        SaveSettings(kSettingsFileName, &CONFIG, kConfigDescriptor, {true, kSettingsHolderWaitMs}).outcome == SETTINGS_SAVED;
    QueryPerformanceCounter(&end);
    if (!saved) InterlockedIncrement(&state->savesFailed);
    state->saveTicks += end.QuadPart - start.QuadPart;
    MemoryBarrier();
    state->savesDone = n;
    MemoryBarrier();
  }
  return 0;
}
