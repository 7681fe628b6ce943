#include "app/startup_values.h"

#include <gtest/gtest.h>

#include <vector>

// The layout values are logical units: the same at every display scale,
// since the windowing layer scales every length once.
TEST(LayoutValues, NamedValuesInLogicalUnits) {
  std::vector<int> values;
  for (const LayoutValue& v : kLayoutValues) values.push_back(*v.variable);
  // DPIx1..DPIx13, then DPIy1..DPIy12.
  EXPECT_EQ(values, (std::vector<int>{156, 156, 0, -4, 26, 26, 26, 0, 156, 156, 31, 31,
                                      31, 0, 8, 0, 9, 0, 9, 2, 20, 0, 31, 31, 20}));
  EXPECT_STREQ(kLayoutValues[0].name, "DPIx1");
  EXPECT_EQ(kLayoutValues[0].variable, &DPIx1);
  EXPECT_STREQ(kLayoutValues[24].name, "DPIy12");
  EXPECT_EQ(kLayoutValues[24].variable, &DPIy12);
}

TEST(Defaults, FirstStartRecord) {
  ConfigRecord r;
  memset(&r, 0x5A, sizeof r);  // stale bytes everywhere must go
  ApplyDefaultSettings(&r, 77);
  EXPECT_EQ(r.validityMarker, 0x42424242);
  EXPECT_EQ(r.Color, 77 + 77 * 256 + 77 * 65536);
  EXPECT_EQ(r.ColorFormat, 0);
  EXPECT_EQ(r.ColorFormatLCase, 0);
  EXPECT_EQ(r.WinTopmost, 0);
  EXPECT_EQ(r.WinExpanded, 1);
  EXPECT_EQ(r.Autocopy, 0);
  EXPECT_EQ(r.CapturedImg, 0);
  // Logical units, which the windowing layer scales once: (480, 360) pixels at 144.
  EXPECT_EQ(r.WinX, 320);
  EXPECT_EQ(r.WinY, 240);
  for (int c : r.ColorRecent) EXPECT_EQ(c, 0);
  for (int c : r.CapturedImgData) ASSERT_EQ(c, 0);
}
