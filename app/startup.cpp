#include "app/startup.h"

#include <windows.h>
#include <commctrl.h>

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
#include "runtime/windows.h"

int FontNormal = 0;
int FontLarge = 0;

void ComputeDisplayScale() {
  float scaleX = 1.0f, scaleY = 1.0f;
  HDC screen = GetDC(nullptr);
  if (screen) {
    scaleX = ScaleFactorFromPixelsPerInch(GetDeviceCaps(screen, LOGPIXELSX));
    scaleY = ScaleFactorFromPixelsPerInch(GetDeviceCaps(screen, LOGPIXELSY));
    ReleaseDC(nullptr, screen);
  }
  ComputeLayoutValues(scaleX, scaleY);
}

static void InitRuntime() {
  INITCOMMONCONTROLSEX controls = {sizeof controls, ICC_WIN95_CLASSES | ICC_STANDARD_CLASSES};
  InitCommonControlsEx(&controls);
  InitWindowing();  // the windowing layer's scale between logical units and pixels
  LARGE_INTEGER counter;
  QueryPerformanceCounter(&counter);
  SeedRandom((uint64_t)counter.QuadPart ^ ((uint64_t)GetCurrentProcessId() << 32));
}

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
    ApplyDefaultSettings(&CONFIG, RandomInt(0, 255), DPIScaleX, DPIScaleY);
  if (!BuildMainWindow()) return kExitNoMainWindow;
  RunEventLoop();
  return 0;
}

int ProgramMain() {
  InitRuntime();
  ComputeDisplayScale();
  FontNormal = LoadFont("Consolas", 9);
  FontLarge = LoadFont("Consolas", 11);
  BuildNamedColorMap();
  int exitCode = RunMainWindow();
  ReleaseRuntime();
  return exitCode;
}
