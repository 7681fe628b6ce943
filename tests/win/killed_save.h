// What the killed-save driver and the saver it kills share: the two records
// the saver alternates, and the state the saver keeps in shared memory so
// that the driver can tell, once the saver is dead, which save it killed.
#pragma once
#include <windows.h>
#include <string.h>

#include <string>
#include <vector>

#include "app/settings_record.h"

//-----------------------------------------------------------------------------
// The two records
//-----------------------------------------------------------------------------

// Two records that differ in every field (and in their compressed length),
// so that a file holding a mix of both, or a part of one, matches neither.
inline ConfigRecord KilledSaveRecord(int which) {
  ConfigRecord r;
  memset(&r, 0, sizeof r);
  r.validityMarker = kSettingsMarker;
  uint32_t seed = which ? 0x9E3779B9u : 0x85EBCA6Bu;
  auto next = [&seed]() {
    seed ^= seed << 13, seed ^= seed >> 17, seed ^= seed << 5;
    return seed;
  };
  r.Color = (int32_t)(next() & 0xFFFFFF);
  r.ColorFormat = which ? 4 : 1;
  r.ColorFormatLCase = (uint8_t)which;
  r.CapturedImg = which ? 2 : 1;
  r.WinX = which ? -1200 : 300;
  r.WinY = which ? 40 : 700;
  r.WinTopmost = (uint8_t)which;
  r.WinExpanded = (uint8_t)!which;
  r.Autocopy = (uint8_t)which;
  for (int i = 0; i < kRecentColorCount; i++) r.ColorRecent[i] = (int32_t)(next() & 0xFFFFFF);
  // A real capture: neighbouring pixels alike, so the stream compresses as a real one does.
  int pixels = which ? kCapturedPixelCount : 600;
  for (int i = 0; i < pixels; i++) r.CapturedImgData[i] = (int32_t)(next() & 0x0F0F0F) + 0x302010;
  return r;
}

// The settings file of record `which`, as a save writes it.
inline std::string KilledSaveImage(int which) {
  ConfigRecord record = KilledSaveRecord(which);
  std::vector<unsigned char> image = EncodeSettingsFile(&record, kConfigDescriptor);
  return std::string(image.begin(), image.end());
}

//-----------------------------------------------------------------------------
// Shared state
//-----------------------------------------------------------------------------

// Written by the saver only. Save n (from 1) writes record (first + n - 1) % 2;
// savesStarted is set before a save begins and savesDone after it returned,
// so savesDone == savesStarted means no save was under way.
struct KilledSaveState {
  volatile LONG savesStarted;
  volatile LONG savesDone;
  volatile LONG savesFailed;  // SaveSettings returned false
  volatile LONGLONG saveStartedAt;  // QueryPerformanceCounter at the start of the last save
  volatile LONGLONG saveTicks;      // time spent in the saves done
};

const wchar_t kKilledSaveSaverName[] = L"settings_saver.exe";
