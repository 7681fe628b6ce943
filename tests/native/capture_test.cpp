#include "color/capture.h"

#include <gtest/gtest.h>

#include <vector>


TEST(CaptureSize, KeepsTheViewsShapeInOddSizesUpTo31By21) {
  const struct {
    int w, h, cw, ch;
  } cases[] = {
      {31, 21, 31, 21},   {156, 104, 31, 21}, {156, 100, 31, 21}, {156, 80, 31, 17},
      {152, 100, 31, 21}, {62, 43, 31, 21},   // 43 x 0.5 = 21.5 rounds away to 22: height-bound
      {20, 10, 31, 17},   // 15.5 rounds to even 16, made odd
      {10, 10, 21, 21},   {1, 1000, 1, 21},   {1000, 1, 31, 1},
      {0, 10, 1, 1},      {10, 0, 1, 1},      {-5, -5, 1, 1},
  };
  for (const auto& k : cases) {
    CaptureDims d = CaptureSize(k.w, k.h);
    EXPECT_EQ(d.width, k.cw) << k.w << 'x' << k.h;
    EXPECT_EQ(d.height, k.ch) << k.w << 'x' << k.h;
  }
}

TEST(CaptureSize, EveryViewGivesAnOddRegionThatFitsTheStoredCapture) {
  for (int w = 1; w <= 400; w++)
    for (int h = 1; h <= 400; h++) {
      CaptureDims d = CaptureSize(w, h);
      ASSERT_TRUE(d.width % 2 == 1 && d.height % 2 == 1) << w << 'x' << h;
      ASSERT_TRUE(d.width <= kCaptureMaxWidth && d.height <= kCaptureMaxHeight) << w << 'x' << h;
      ASSERT_LE(d.width * d.height, kCapturedPixelCount);
    }
}

TEST(StoredCapture, ColumnOrderRoundTripsAndStopsAt651) {
  const int32_t image[2 * 3] = {1, 2, 3,   // row 0
                                4, 5, 6};  // row 1
  int32_t columns[6];
  ASSERT_EQ(CaptureColumnOrder(image, 3, 2, columns, 6), 6);
  const int32_t expected[6] = {1, 4, 2, 5, 3, 6};
  for (int i = 0; i < 6; i++) EXPECT_EQ(columns[i], expected[i]);
  EXPECT_EQ(CaptureColumnOrder(image, 3, 2, columns, 4), 4);
  EXPECT_EQ(CaptureColumnOrder(image, 0, 2, columns, 6), 0);

  int32_t stored[kCapturedPixelCount];  // the settings' CapturedImgData
  for (int i = 0; i < kCapturedPixelCount; i++) stored[i] = -7;
  StoreCapturedPixels(image, 3, 2, stored);
  for (int i = 0; i < 6; i++) EXPECT_EQ(stored[i], expected[i]);
  EXPECT_EQ(stored[6], -7);  // past the region: older contents stay

  int32_t plotted[6];
  PlotStoredCapture(stored, plotted, 3, 2);
  for (int i = 0; i < 6; i++) EXPECT_EQ(plotted[i], image[i]);

  // A region larger than 651 pixels stores and plots only the first 651.
  std::vector<int32_t> big(40 * 20);
  for (size_t i = 0; i < big.size(); i++) big[i] = (int32_t)i;
  StoreCapturedPixels(big.data(), 40, 20, stored);
  EXPECT_EQ(stored[650], big[(650 % 20) * 40 + 650 / 20]);
  std::vector<int32_t> back(40 * 20, 99);
  PlotStoredCapture(stored, back.data(), 40, 20);
  EXPECT_EQ(back[10 * 40 + 32], big[10 * 40 + 32]);  // column 32, row 10: value 650
  EXPECT_EQ(back[11 * 40 + 32], 0);                   // beyond: black
}

TEST(CrosshairPulse, CyclesUpAndDownInStepsOf12) {
  CrosshairPulse pulse = {0, 0};
  std::vector<int> levels;
  for (int i = 0; i < 24; i++) levels.push_back(AdvanceCrosshairPulse(&pulse));
  const std::vector<int> expected = {76, 88, 100, 112, 124, 136, 148, 160, 172, 184, 196, 184,
                                     172, 160, 148, 136, 124, 112, 100, 88, 76, 64, 52, 76};
  EXPECT_EQ(levels, expected);
}
