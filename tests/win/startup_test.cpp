// Display scale and fonts, in process. What RunMainWindow makes of the
// settings file is seen from outside, in tests/e2e.
#include <windows.h>

#include <gtest/gtest.h>
#include <stdlib.h>

#include "app/startup_values.h"
#include "runtime/fonts.h"
#include "runtime/windowing.h"

// Run at several display scales: with TINTVANE_EXPECT_PPI set, the screen
// must report that many pixels per inch, so a scale change that did not take
// effect does not pass as the 96 case. The windowing layer scales every
// length once; the layout values stay logical units at every scale.
TEST(Startup, DisplayScaleFollowsTheScreen) {
  HDC screen = GetDC(nullptr);
  int ppi = GetDeviceCaps(screen, LOGPIXELSX);
  ReleaseDC(nullptr, screen);
  if (const char* expected = getenv("TINTVANE_EXPECT_PPI")) {
    ASSERT_EQ(ppi, atoi(expected));
  }
  InitWindowing();
  EXPECT_FLOAT_EQ(WindowingScaleX(), ppi / 96.0f);
  EXPECT_EQ(DPIx1, 156);
  EXPECT_EQ(DPIy12, 20);
  // The capture view's width (156) and the history strip's height (20) in pixels.
  const struct {
    int ppi, width, height;
  } scales[] = {{96, 156, 20}, {120, 195, 25}, {144, 234, 30}, {192, 312, 40}};
  bool known = false;
  for (const auto& k : scales)
    if (k.ppi == ppi) {
      known = true;
      EXPECT_EQ(LogicalToDeviceX(DPIx1), k.width);
      EXPECT_EQ(LogicalToDeviceY(DPIy12), k.height);
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
