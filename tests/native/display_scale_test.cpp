// The display scale's arithmetic and the windowing layer's rule for changes
// of scale.
#include "runtime/display_scale.h"

#include <gtest/gtest.h>

TEST(DisplayScale, LengthsConvertAtTheScaleRoundedToNearest) {
  const struct {
    int pixelsPerInch, logical, device;
  } cases[] = {
      {96, 156, 156},  {120, 156, 195}, {144, 156, 234}, {192, 156, 312},
      {144, 31, 47},   {120, 26, 33},   {120, -4, -5},   {144, -3, -4},  // halves up, also below 0
      {0, 100, 100},                                                      // a failed query: 1
      {144, 2000000000, 2147483647},  {144, -2000000000, -2147483647 - 1},  // held within int
  };
  for (const auto& k : cases) {
    float factor = ScaleFactorOf(k.pixelsPerInch);
    EXPECT_EQ(LogicalToDevice(k.logical, factor), k.device) << k.pixelsPerInch << " " << k.logical;
  }
  EXPECT_FLOAT_EQ(ScaleFactorOf(144), 1.5f);
  EXPECT_FLOAT_EQ(ScaleFactorOf(-5), 1.0f);
  EXPECT_EQ(DeviceToLogical(234, 1.5f), 156);
  EXPECT_EQ(DeviceToLogical(47, 1.5f), 31);  // 31.33
  EXPECT_EQ(DeviceToLogical(-5, 1.25f), -4);
}

// A layout laid out at one scale after another is converted from logical
// units each time: a length there and back is itself at every scale from
// 96 pixels per inch up, so nothing accumulates, however many changes.
TEST(DisplayScale, ALengthConvertedThereAndBackIsItselfFrom96Up) {
  for (int ppi : {96, 100, 110, 120, 125, 144, 150, 168, 192, 240, 288, 480}) {
    float factor = ScaleFactorOf(ppi);
    for (int v = -3000; v <= 3000; v++)
      ASSERT_EQ(DeviceToLogical(LogicalToDevice(v, factor), factor), v) << ppi << " pixels per inch";
  }
}

TEST(DisplayScale, AChangeIsTakenOnceWhileShownAndNotWhileOneIsApplied) {
  const struct {
    int current, next;
    bool applying, shown, takes;
  } cases[] = {
      {96, 144, false, true, true},    {144, 96, false, true, true},  {96, 192, false, true, true},
      {96, 96, false, true, false},    // the scale it has
      {96, 144, true, true, false},    // a change that the window's own move brought back
      {96, 144, false, false, false},  // hidden: being built, it takes its monitor's scale itself
      {96, 0, false, true, false},     {96, 23, false, true, false},  {96, 2401, false, true, false},
      {96, 24, false, true, true},     {96, 2400, false, true, true},
  };
  for (const auto& k : cases)
    EXPECT_EQ(TakesScaleChange(k.current, k.next, k.applying, k.shown), k.takes)
        << k.current << " to " << k.next << (k.applying ? ", applying one" : "") << (k.shown ? "" : ", hidden");
}
