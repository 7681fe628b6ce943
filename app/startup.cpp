#include "app/startup.h"

#include "app/program_context.h"
#include "app/settings_record.h"
#include "app/shell.h"
#include "app/startup_values.h"
#include "color/named_colors.h"
#include "dialog/description.h"
#include "runtime/fonts.h"
#include "runtime/images.h"
#include "runtime/menus.h"
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
