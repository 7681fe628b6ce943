#include "app/startup.h"

#include <string>

#include "app/program_context.h"
#include "app/settings_record.h"
#include "app/shell.h"
#include "app/shell_rules.h"
#include "app/startup_values.h"
#include "color/named_colors.h"
#include "dialog/description.h"
#include "runtime/fonts.h"
#include "runtime/images.h"
#include "runtime/menus.h"
#include "runtime/messages.h"
#include "runtime/random.h"
#include "runtime/start.h"
#include "runtime/startup_timing.h"
#include "runtime/windowing.h"

static void ReleaseRuntime() {
  ReleaseDialog(-1);
  CloseAllWindows();
  FreeAllMenus();
  ReleaseImage(kAllImages);
  ReleaseAllFonts();
}

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

int RunMainWindow() {
  GProgram->settingsFound = LoadSettings(kSettingsFileName, &CONFIG, kConfigDescriptor);
  if (CONFIG.validityMarker != kSettingsMarker)
    ApplyDefaultSettings(&CONFIG, RandomInt(0, 255));
  MarkStartupStep(STEP_SETTINGS_LOAD);
  if (!BuildMainWindow()) return kExitNoMainWindow;
  RunEventLoop();
  return 0;
}

int ProgramMain() {
  ProgramContext& g = *GProgram;
  StartRuntime();
  MarkStartupStep(STEP_RUNTIME);
  g.FontNormal = LoadFont("Consolas", 9);
  g.FontLarge = LoadFont("Consolas", 11);
  MarkStartupStep(STEP_FONTS);
  BuildNamedColorMap();
  MarkStartupStep(STEP_NAMED_COLORS);
  int exitCode = RunMainWindow();
  ReleaseRuntime();
  return exitCode;
}
