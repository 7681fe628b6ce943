// The save of the settings at the close and at the session's end, with the
// one message the program shows when the user's settings would be lost.
// Windows only (the header does not include windows.h).
#pragma once
#include "app/settings_save_plan.h"

// Saves CONFIG to the settings file as PlanSettingsSave says for `moment`.
// A save at close that fails shows why, naming the file, and tries again for
// as long as the user asks; otherwise the file is left as it was.
void SaveProgramSettings(SettingsSaveMoment moment);
