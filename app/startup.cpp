#include "app/startup.h"

#include "app/shell.h"
#include "app/shell_rules.h"
#include "app/startup_values.h"
#include "color/named_colors.h"
#include "dialog/description.h"
#include "runtime/fonts.h"
#include "runtime/images.h"
#include "runtime/menus.h"
#include "runtime/random.h"
#include "runtime/settings.h"
#include "runtime/start.h"
#include "runtime/windows.h"

int FontNormal = 0;
int FontLarge = 0;

static void ReleaseRuntime() {
  ReleaseDialog(-1);
  CloseAllWindows();
  FreeAllMenus();
  ReleaseImage(kAllImages);
  ReleaseAllFonts();
}

static SettingsFileState g_settingsFound = SETTINGS_FILE_MISSING;  // by the load at start-up

void SaveProgramSettings() {
  if (SettingsFileMayBeReplaced(g_settingsFound)) SaveSettings(kSettingsFileName);
}

int RunMainWindow() {
  g_settingsFound = LoadSettings(kSettingsFileName);
  if (CONFIG.CRC != kSettingsMarker)
    ApplyDefaultSettings(&CONFIG, RandomInt(0, 255));
  if (!BuildMainWindow()) return kExitNoMainWindow;
  RunEventLoop();
  return 0;
}

int ProgramMain() {
  StartRuntime();
  FontNormal = LoadFont("Consolas", 9);
  FontLarge = LoadFont("Consolas", 11);
  BuildNamedColorMap();
  int exitCode = RunMainWindow();
  ReleaseRuntime();
  return exitCode;
}
