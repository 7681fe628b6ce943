// How the settings file is saved at the close or at the session's end, by
// how the start (or the last save) found it: whether it is replaced, how long
// the save waits for programs that hold it, and whether a failure is told.
// No operating system here; SaveProgramSettings (app/settings_save.cpp)
// carries the plan out.
#pragma once
#include <stdint.h>

#include "runtime/settings.h"

// When the program saves its settings.
enum SettingsSaveMoment {
  SAVE_AT_CLOSE,        // the user closed the window, and is there to answer
  SAVE_AT_SESSION_END,  // Windows is logging off or shutting down: nobody can answer
};

// Windows gives a program 5 seconds to handle the session's end
// (WM_ENDSESSION) before it may end it, or lists it as keeping the log-off
// from going on. The save then waits for holders 3 of those seconds,
// leaving the rest for writing the file on a busy disk.
const uint32_t kSessionEndSaveWaitMs = 3000;

struct SettingsSavePlan {
  bool save;               // false: the file is left as it is, and nothing is said
  SettingsSaveRules rules;
  bool askOnFailure;       // a failure is told to the user, who may try again
};

// How the settings are saved at `moment`, after the start (or the last save)
// found the file so. A file that exists but could not be read holds the
// user's settings, which this run never saw: it is left as it is. A file
// that was read (usable or not) is replaced. When there was none, none that
// appeared since (a sync client's first download, a backup put back) is
// replaced either. At close a failure is told, with a chance to try again;
// at the session's end the save waits longer for holders instead, and a
// failure leaves the old file as it was.
SettingsSavePlan PlanSettingsSave(SettingsFileState found, SettingsSaveMoment moment);

// How the file stands for the next save: one that landed made it this run's
// own, to be replaced; anything else changes nothing.
SettingsFileState SettingsFileAfterSave(SettingsFileState found, SettingsSaveOutcome outcome);
