#include "app/startup_values.h"

#include <gtest/gtest.h>

#include <vector>

static std::vector<int> LayoutValuesAt(int pixelsPerInch) {
  float f = ScaleFactorFromPixelsPerInch(pixelsPerInch);
  ComputeLayoutValues(f, f);
  std::vector<int> out;
  for (const LayoutValue& v : kLayoutValues) out.push_back(*v.variable);
  return out;
}

TEST(LayoutValues, NamedValuesAtThreeScales) {
  // DPIx1..DPIx13, then DPIy1..DPIy12.
  EXPECT_EQ(LayoutValuesAt(96), (std::vector<int>{156, 156, 0, -4, 26, 26, 26, 0, 156, 156, 31, 31,
                                                  31, 0, 8, 0, 9, 0, 9, 2, 20, 0, 31, 31, 20}));
  EXPECT_EQ(LayoutValuesAt(120), (std::vector<int>{195, 195, 0, -5, 32, 32, 32, 0, 195, 195, 39, 39,
                                                   39, 0, 10, 0, 11, 0, 11, 2, 25, 0, 39, 39, 25}));
  EXPECT_EQ(LayoutValuesAt(144), (std::vector<int>{234, 234, 0, -6, 39, 39, 39, 0, 234, 234, 46, 46,
                                                   46, 0, 12, 0, 14, 0, 14, 3, 30, 0, 46, 46, 30}));
  EXPECT_EQ(DPIx5, 39);
  EXPECT_EQ(DPIy12, 30);
  EXPECT_STREQ(kLayoutValues[0].name, "DPIx1");
  EXPECT_STREQ(kLayoutValues[24].name, "DPIy12");
}

TEST(LayoutValues, ScalesAndRoundsHalvesToEven) {
  EXPECT_EQ(ScaleFactorFromPixelsPerInch(0), 1.0f);
  EXPECT_EQ(ScaleFactorFromPixelsPerInch(120), 1.25f);
  EXPECT_EQ(ScaleFactorFromPixelsPerInch(144), 1.5f);
  EXPECT_EQ(ScaleLayoutValue(26, 1.25f), 32);  // 32.5
  EXPECT_EQ(ScaleLayoutValue(31, 1.5f), 46);   // 46.5
  EXPECT_EQ(ScaleLayoutValue(9, 1.5f), 14);    // 13.5
  EXPECT_EQ(ScaleLayoutValue(-4, 1.25f), -5);  // -5.0
  EXPECT_EQ(ScaleLayoutValue(-2, 1.25f), -2);  // -2.5
}

TEST(Defaults, FirstStartRecord) {
  ConfigRecord r;
  memset(&r, 0x5A, sizeof r);  // stale bytes everywhere must go
  ApplyDefaultSettings(&r, 77, 1.0f, 1.0f);
  EXPECT_EQ(r.CRC, 0x42424242);
  EXPECT_EQ(r.Color, 77 + 77 * 256 + 77 * 65536);
  EXPECT_EQ(r.ColorFormat, 0);
  EXPECT_EQ(r.ColorFormatLCase, 0);
  EXPECT_EQ(r.WinTopmost, 0);
  EXPECT_EQ(r.WinExpanded, 1);
  EXPECT_EQ(r.Autocopy, 0);
  EXPECT_EQ(r.CapturedImg, 0);
  EXPECT_EQ(r.WinX, 320);
  EXPECT_EQ(r.WinY, 240);
  for (int c : r.ColorRecent) EXPECT_EQ(c, 0);
  for (int c : r.CapturedImgData) ASSERT_EQ(c, 0);

  ApplyDefaultSettings(&r, 0, 1.25f, 1.5f);
  EXPECT_EQ(r.WinX, 400);
  EXPECT_EQ(r.WinY, 360);
}
