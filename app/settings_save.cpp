// The save of the settings at the close and at the session's end, through
// the runtime's settings file and its one message.
#include "app/settings_save.h"

#include <string>

#include "app/program_context.h"
#include "app/settings_record.h"
#include "runtime/messages.h"
#include "runtime/settings.h"

// The message of a save at close that failed, in the program's own words.
static std::string SaveFailureText(uint32_t error) {
  return "Color Tintvane could not save its settings to the file\n\n" + FullFilePath(kSettingsFileName) + "\n\n" +
         SystemErrorText(error) +
         "\n\nChoose Retry to try again, or Cancel to close without saving; the file then stays as it was.";
}

void SaveProgramSettings(SettingsSaveMoment moment) {
  ProgramContext& g = *GProgram;
  SettingsSavePlan plan = PlanSettingsSave(g.settingsFound, moment);
  if (!plan.save) return;
  for (;;) {
    SettingsSaveResult result = SaveSettings(kSettingsFileName, &CONFIG, kConfigDescriptor, plan.rules);
    g.settingsFound = SettingsFileAfterSave(g.settingsFound, result.outcome);
    if (result.outcome != SETTINGS_SAVE_FAILED || !plan.askOnFailure) return;
    if (!AskRetryOrCancel("Color Tintvane", SaveFailureText(result.error).c_str())) return;
  }
}
