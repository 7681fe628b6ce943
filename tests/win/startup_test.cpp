// Display scale, fonts and the settings decision of RunMainWindow, in process.
#include <gtest/gtest.h>
#include <stdlib.h>

#include "app/startup.h"
#include "app/startup_values.h"
#include "runtime/fonts.h"
#include "runtime/settings.h"
#include "temp_folder.h"

// Run at several display scales: with TINTVANE_EXPECT_PPI set, the screen
// must report that many pixels per inch, so a scale change that did not take
// effect does not pass as the 96 case.
TEST(Startup, DisplayScaleFollowsTheScreen) {
  HDC screen = GetDC(nullptr);
  int ppi = GetDeviceCaps(screen, LOGPIXELSX);
  ReleaseDC(nullptr, screen);
  if (const char* expected = getenv("TINTVANE_EXPECT_PPI")) ASSERT_EQ(ppi, atoi(expected));
  ComputeDisplayScale();
  EXPECT_FLOAT_EQ(DPIScaleX, ppi / 96.0f);
  // The capture view's width (156 at 96) and the history strip's height (20).
  const struct {
    int ppi, width, height;
  } scales[] = {{96, 156, 20}, {120, 195, 25}, {144, 234, 30}};
  bool known = false;
  for (const auto& k : scales)
    if (k.ppi == ppi) {
      known = true;
      EXPECT_EQ(DPIx1, k.width);
      EXPECT_EQ(DPIy12, k.height);
    }
  EXPECT_TRUE(known) << ppi << " pixels per inch";
}

TEST(Startup, MissingFontFaceStillGivesAFont) {
  int normal = LoadFont("Consolas", 9);
  EXPECT_TRUE(FontExists(normal));
  EXPECT_FALSE(FontExists(0));
  EXPECT_FALSE(FontExists(normal + 1000));
  ReleaseAllFonts();
  EXPECT_FALSE(FontExists(normal));
}

class RunMainWindowTest : public TempFolderTest {};

TEST_F(RunMainWindowTest, FirstStartSavesTheDefaults) {
  ComputeLayoutValues(1.0f, 1.0f);
  memset(&CONFIG, 0, sizeof CONFIG);
  RunMainWindow();
  memset(&CONFIG, 0, sizeof CONFIG);
  LoadSettings(kSettingsFileName);
  EXPECT_EQ(CONFIG.CRC, kSettingsMarker);
  int c = CONFIG.Color;
  EXPECT_TRUE((c & 0xFF) == ((c >> 8) & 0xFF) && (c & 0xFF) == (c >> 16)) << c;
  EXPECT_EQ(CONFIG.WinX, 320);
  EXPECT_EQ(CONFIG.WinY, 240);
  EXPECT_EQ(CONFIG.WinExpanded, 1);
}

TEST_F(RunMainWindowTest, ValidFileIsKeptAndForeignOneReplaced) {
  memset(&CONFIG, 0, sizeof CONFIG);
  CONFIG.CRC = kSettingsMarker;
  CONFIG.Color = 0x010203;
  CONFIG.ColorFormat = 4;
  CONFIG.WinX = -50;
  CONFIG.ColorRecent[15] = 0xABCDEF;
  ConfigRecord saved = CONFIG;
  ASSERT_TRUE(SaveSettings(kSettingsFileName));
  memset(&CONFIG, 0, sizeof CONFIG);
  RunMainWindow();
  EXPECT_EQ(memcmp(&CONFIG, &saved, sizeof saved), 0);

  CONFIG.CRC = kSettingsMarker - 1;
  ASSERT_TRUE(SaveSettings(kSettingsFileName));
  memset(&CONFIG, 0, sizeof CONFIG);
  RunMainWindow();
  EXPECT_EQ(CONFIG.CRC, kSettingsMarker);
  EXPECT_EQ(CONFIG.ColorFormat, 0);
  EXPECT_EQ(CONFIG.ColorRecent[15], 0);
}
