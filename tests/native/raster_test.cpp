// Pixel work on plain buffers. Built natively (also with the sanitizers) and
// for Windows, where it runs under Wine.
#include "runtime/raster.h"

#include <gtest/gtest.h>
#include <limits.h>

#include <vector>

namespace {

const int kWhite = 0xFFFFFF;

// A pixel buffer with its own memory, filled white and opaque.
struct TestBuffer {
  std::vector<unsigned char> memory;
  PixelBuffer b;
  TestBuffer(int width, int height, int bytes) {
    memory.assign((size_t)RasterStride(width, bytes) * height + 16, 0xEE);  // 16 guard bytes
    b = BottomUpBuffer(memory.data(), width, height, bytes);
    RasterFillAll(b, kWhite, 255);
  }
  int At(int x, int y) const { return RasterReadPixel(b, x, y); }
  int Alpha(int x, int y) const { return PixelAddress(b, x, y)[3]; }
  bool GuardIntact() const {
    for (size_t i = memory.size() - 16; i < memory.size(); i++)
      if (memory[i] != 0xEE) return false;
    return true;
  }
};

// Whether exactly the pixels of [left, right) x [top, bottom) have `colour`
// and all others are white.
::testing::AssertionResult OnlyBoxPainted(const TestBuffer& t, int left, int top, int right, int bottom,
                                          int color) {
  for (int y = 0; y < t.b.height; y++)
    for (int x = 0; x < t.b.width; x++) {
      bool inside = x >= left && x < right && y >= top && y < bottom;
      if (t.At(x, y) != (inside ? color : kWhite))
        return ::testing::AssertionFailure() << "pixel (" << x << ", " << y << ") is " << std::hex << t.At(x, y);
    }
  return ::testing::AssertionSuccess();
}

}  // namespace

TEST(Raster, StridesArePaddedForTwentyFourBits) {
  EXPECT_EQ(RasterStride(1, 3), 4);
  EXPECT_EQ(RasterStride(31, 3), 96);
  EXPECT_EQ(RasterStride(152, 3), 456);
  EXPECT_EQ(RasterStride(31, 4), 124);
  EXPECT_FALSE(RasterSizeAcceptable(0, 5, 3));
  EXPECT_FALSE(RasterSizeAcceptable(5, -1, 4));
  EXPECT_FALSE(RasterSizeAcceptable(INT_MAX, INT_MAX, 4));
  EXPECT_TRUE(RasterSizeAcceptable(156, 104, 3));
}

TEST(Raster, BottomUpStorage) {
  TestBuffer t(3, 2, 3);
  RasterWritePixel(t.b, 0, 0, ComposeColor(1, 2, 3));
  // (0, 0) is the top-left pixel: the first pixel of the second stored row
  // (rows of 12 bytes), blue first.
  EXPECT_EQ(t.memory[12], 3);
  EXPECT_EQ(t.memory[13], 2);
  EXPECT_EQ(t.memory[14], 1);
  EXPECT_EQ(RedOf(ComposeColor(1, 2, 3)), 1);
  EXPECT_EQ(GreenOf(ComposeColor(1, 2, 3)), 2);
  EXPECT_EQ(BlueOf(ComposeColor(1, 2, 3)), 3);
}

TEST(Raster, FilledBoxesAreClippedAndNormalised) {
  const struct {
    int x, y, w, h;
    int left, top, right, bottom;  // expected painted area
  } cases[] = {
      {-5, -5, 10, 10, 0, 0, 5, 5},           // hangs over the top-left corner
      {20, 3, -10, 2, 10, 3, 20, 5},          // negative width: columns 10 to 19
      {4, 9, 2, -4, 4, 5, 6, 9},              // negative height: rows 5 to 8
      {35, 15, 100, 100, 35, 15, 40, 20},     // cut at the right and bottom edges
      {-10, -10, 5, 5, 0, 0, 0, 0},           // entirely outside
      {3, 3, 0, 4, 0, 0, 0, 0},               // empty
      {INT_MAX, INT_MAX, INT_MAX, INT_MAX, 0, 0, 0, 0},
      {INT_MIN, INT_MIN, INT_MAX, INT_MAX, 0, 0, 0, 0},  // ends at -1
      {-1000, -1000, 5000, 5000, 0, 0, 40, 20},         // reaching over everything
      {INT_MAX, 0, INT_MIN, 1, 0, 0, 40, 1},
  };
  for (int bytes : {3, 4})
    for (const auto& c : cases) {
      SCOPED_TRACE(testing::Message() << bytes << " bytes, box " << c.x << ", " << c.y << ", " << c.w << ", " << c.h);
      TestBuffer t(40, 20, bytes);
      if (bytes == 4) PixelAddress(t.b, 0, 0)[3] = 7;
      RasterFillBox(t.b, c.x, c.y, c.w, c.h, 0x123456);
      EXPECT_TRUE(OnlyBoxPainted(t, c.left, c.top, c.right, c.bottom, 0x123456));
      if (bytes == 4) {
        EXPECT_EQ(t.Alpha(0, 0), 7);  // drawing leaves alpha alone
        EXPECT_EQ(t.Alpha(39, 19), 255);
      }
      EXPECT_TRUE(t.GuardIntact());
    }
}

TEST(Raster, StraightRunsIncludeBothEnds) {
  const struct {
    int x1, y1, x2, y2;
    int left, top, right, bottom;
  } cases[] = {
      {3, 7, 3, 2, 3, 2, 4, 8},         // the six pixels (3, 2) to (3, 7)
      {3, 2, 3, 7, 3, 2, 4, 8},
      {9, 4, 1, 4, 1, 4, 10, 5},        // right to left
      {5, 5, 5, 5, 5, 5, 6, 6},         // a single point
      {-50, 0, 500, 0, 0, 0, 40, 1},    // clipped at both ends
      {39, -9, 39, 99, 39, 0, 40, 20},
      {40, 0, 40, 10, 0, 0, 0, 0},      // one column right of the buffer
      {0, -1, 30, -1, 0, 0, 0, 0},
      {INT_MIN, 19, INT_MAX, 19, 0, 19, 40, 20},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(testing::Message() << "line " << c.x1 << ", " << c.y1 << " to " << c.x2 << ", " << c.y2);
    TestBuffer t(40, 20, 3);
    RasterDrawLine(t.b, c.x1, c.y1, c.x2, c.y2, 0);
    EXPECT_TRUE(OnlyBoxPainted(t, c.left, c.top, c.right, c.bottom, 0));
  }
}

TEST(Raster, ClippingKeepsThePixelsOfTheWholeLine) {
  // The same line on a buffer large enough to hold it, shifted by 200,
  // is the reference for the clipped one.
  const struct {
    int x1, y1, x2, y2;
  } lines[] = {
      {-150, -20, 220, 90}, {0, 0, 99, 37},   {99, 0, 0, 99},     {-30, 120, 130, -40},
      {50, -199, 51, 299},  {10, 10, 13, 90}, {-199, 60, 299, 61}, {120, 5, 80, 200},
  };
  for (const auto& l : lines) {
    SCOPED_TRACE(testing::Message() << "line " << l.x1 << ", " << l.y1 << " to " << l.x2 << ", " << l.y2);
    TestBuffer clipped(100, 100, 3), whole(500, 500, 3);
    RasterDrawLine(clipped.b, l.x1, l.y1, l.x2, l.y2, 0);
    RasterDrawLine(whole.b, l.x1 + 200, l.y1 + 200, l.x2 + 200, l.y2 + 200, 0);
    for (int y = 0; y < 100; y++)
      for (int x = 0; x < 100; x++) ASSERT_EQ(clipped.At(x, y), whole.At(x + 200, y + 200)) << x << ", " << y;
    // The whole line: both ends, and one pixel per step of the longer axis.
    EXPECT_EQ(whole.At(l.x1 + 200, l.y1 + 200), 0);
    EXPECT_EQ(whole.At(l.x2 + 200, l.y2 + 200), 0);
    int painted = 0;
    for (int y = 0; y < 500; y++)
      for (int x = 0; x < 500; x++) painted += whole.At(x, y) == 0;
    EXPECT_EQ(painted, std::max(abs(l.x2 - l.x1), abs(l.y2 - l.y1)) + 1);
  }
}

TEST(Raster, FarAwayLinesAreLimitedAndCheap) {
  TestBuffer t(100, 100, 3);
  RasterDrawLine(t.b, INT_MIN, INT_MIN, INT_MAX, INT_MAX, 0);  // becomes -65000..65000: the diagonal
  for (int i = 0; i < 100; i++) EXPECT_EQ(t.At(i, i), 0);
  TestBuffer u(100, 100, 3);
  RasterDrawLine(u.b, -65000, 300, 65000, 301, 0);  // passes below the buffer
  EXPECT_TRUE(OnlyBoxPainted(u, 0, 0, 0, 0, 0));
  // Both ends clamp to one point: on a buffer wide enough to reach x = 65000
  // that point's column is inside, and the line is that point alone (here
  // below the buffer), without a division by a length of 0.
  TestBuffer wide(65001, 1, 3);
  RasterDrawLine(wide.b, 70000, 70000, 80000, 90000, 0);
  RasterDrawLine(wide.b, INT_MAX, -70000, 65001, INT_MIN, 0);
  EXPECT_TRUE(OnlyBoxPainted(wide, 0, 0, 0, 0, 0));
}

TEST(Raster, PixelRoundTripsForEveryColor) {
  for (int bytes : {3, 4}) {
    TestBuffer t(2, 2, bytes);
    bool allEqual = true;
    for (int color = 0; color < (1 << 24); color++) {
      RasterWritePixel(t.b, 0, 0, color);
      allEqual &= RasterReadPixel(t.b, 0, 0) == color;
    }
    EXPECT_TRUE(allEqual) << bytes << " bytes";
    RasterWritePixel(t.b, 1, 1, (int)0xFF123456);  // the high byte is ignored
    EXPECT_EQ(t.At(1, 1), 0x123456);
    EXPECT_EQ(t.At(1, 0), kWhite);
    if (bytes == 4) {
      EXPECT_EQ(t.Alpha(0, 0), 255);
    }
  }
}

TEST(Raster, ImageBackgroundsAreOpaqueOrTransparentBlack) {
  TestBuffer t(3, 3, 4);
  RasterFillImageBackground(t.b, -1);
  EXPECT_EQ(t.At(2, 2), 0);
  EXPECT_EQ(t.Alpha(2, 2), 0);
  RasterFillImageBackground(t.b, 0);
  EXPECT_EQ(t.At(1, 2), 0);
  EXPECT_EQ(t.Alpha(1, 2), 255);
  RasterFillImageBackground(t.b, 0x00FF80);
  EXPECT_EQ(t.At(0, 1), 0x00FF80);
}

TEST(Raster, CopiesAreClippedAndIgnoreAlpha) {
  TestBuffer source(4, 3, 4);
  for (int y = 0; y < 3; y++)
    for (int x = 0; x < 4; x++) {
      RasterWritePixel(source.b, x, y, ComposeColor(x, y, 9));
      PixelAddress(source.b, x, y)[3] = 0;  // fully transparent, still copied
    }
  for (int targetBytes : {3, 4}) {
    TestBuffer target(5, 5, targetBytes);
    RasterCopy(target.b, source.b, -1, 3);  // top-left pixel of source lands off the target
    for (int y = 0; y < 5; y++)
      for (int x = 0; x < 5; x++) {
        bool inside = x < 3 && y >= 3;
        EXPECT_EQ(target.At(x, y), inside ? ComposeColor(x + 1, y - 3, 9) : kWhite) << x << ", " << y;
        if (targetBytes == 4) {
          EXPECT_EQ(target.Alpha(x, y), 255);
        }
      }
    RasterCopy(target.b, source.b, INT_MAX, INT_MIN);  // nothing to do
    EXPECT_TRUE(target.GuardIntact());
  }
}

TEST(Raster, BlendingUsesStraightAlphaRoundingDown) {
  const struct {
    int alpha, sourceRed, targetRed, expected;
  } cases[] = {
      {128, 255, 0, 128},  // 255 * 128 / 255
      {0, 255, 40, 40},
      {255, 10, 200, 10},
      {1, 255, 0, 1},
      {200, 100, 50, 89},  // (100 * 200 + 50 * 55) / 255 = 89.2
  };
  for (const auto& c : cases) {
    TestBuffer source(1, 1, 4), target(2, 1, 3);
    RasterWritePixel(source.b, 0, 0, ComposeColor(c.sourceRed, 0, 0));
    PixelAddress(source.b, 0, 0)[3] = (unsigned char)c.alpha;
    RasterFillAll(target.b, ComposeColor(c.targetRed, 0, 0), 255);
    RasterBlend(target.b, source.b, 1, 0);
    EXPECT_EQ(target.At(1, 0), ComposeColor(c.expected, 0, 0)) << "alpha " << c.alpha;
    EXPECT_EQ(target.At(0, 0), ComposeColor(c.targetRed, 0, 0));
  }
  // A 24-bit source has no alpha: it is copied.
  TestBuffer opaque(1, 1, 3), target(1, 1, 3);
  RasterWritePixel(opaque.b, 0, 0, 0x010203);
  RasterBlend(target.b, opaque.b, 0, 0);
  EXPECT_EQ(target.At(0, 0), 0x010203);
}

// Column by column in one pass: the pixels one vertical line per column
// gives, clipped alike, on both depths; alpha stays.
TEST(Raster, FilledColumnsAreTheVerticalLinesOfTheirColors) {
  std::vector<int> colors;
  for (int i = 0; i < 40; i++) colors.push_back(ComposeColor(i * 6, 255 - i, i * 3));
  const struct {
    int x, y, height, count;
  } cases[] = {{0, 0, 20, 30}, {-5, -3, 10, 40}, {25, 15, 30, 40}, {3, 2, 1, 1}, {0, 0, 0, 30}, {0, 0, 20, 0},
               {30, 0, 20, 5}, {-40, 0, 20, 40}, {0, 20, 5, 30}};
  for (int bytes : {3, 4})
    for (const auto& c : cases) {
      SCOPED_TRACE(testing::Message() << bytes << " bytes, " << c.x << "," << c.y << " " << c.count << " x "
                                      << c.height);
      TestBuffer lines(30, 20, bytes), filled(30, 20, bytes);
      if (bytes == 4) PixelAddress(filled.b, 3, 2)[3] = 44;
      for (int i = 0; i < c.count && c.height > 0; i++)
        RasterDrawLine(lines.b, c.x + i, c.y, c.x + i, c.y + c.height - 1, colors[(size_t)i]);
      RasterFillColumns(filled.b, c.x, c.y, c.height, colors.data(), c.count);
      for (int y = 0; y < 20; y++)
        for (int x = 0; x < 30; x++) ASSERT_EQ(filled.At(x, y), lines.At(x, y)) << x << ", " << y;
      if (bytes == 4) {
        EXPECT_EQ(filled.Alpha(3, 2), 44);
        EXPECT_EQ(filled.Alpha(4, 3), 255);
      }
      EXPECT_TRUE(filled.GuardIntact());
    }
}

// Source pixel (x, y) has the colour x + 256 y, so a target pixel says
// which source pixel it copies.
static TestBuffer NumberedSource(int width, int height, int bytes) {
  TestBuffer source(width, height, bytes);
  for (int y = 0; y < height; y++)
    for (int x = 0; x < width; x++) RasterWritePixel(source.b, x, y, x + 256 * y);
  return source;
}

TEST(Raster, RawScalingMakesWholeBlocks) {
  for (int bytes : {3, 4}) {
    TestBuffer source = NumberedSource(31, 21, bytes);
    if (bytes == 4) PixelAddress(source.b, 30, 20)[3] = 77;
    TestBuffer target(155, 105, bytes);
    RasterScaleRaw(target.b, source.b);
    for (int y = 0; y < 105; y++)
      for (int x = 0; x < 155; x++) ASSERT_EQ(target.At(x, y), x / 5 + 256 * (y / 5)) << x << ", " << y;
    if (bytes == 4) {
      EXPECT_EQ(target.Alpha(154, 104), 77);
    }
  }
}

TEST(Raster, RawScalingToAnySizeCopiesOneNearSourcePixel) {
  const struct {
    int sw, sh, tw, th;
  } cases[] = {{31, 21, 152, 100}, {31, 21, 7, 5}, {5, 3, 1, 1}, {1, 1, 9, 4}};
  for (const auto& c : cases) {
    TestBuffer source = NumberedSource(c.sw, c.sh, 3), target(c.tw, c.th, 3);
    RasterScaleRaw(target.b, source.b);
    for (int y = 0; y < c.th; y++)
      for (int x = 0; x < c.tw; x++) {
        int sx = target.At(x, y) % 256, sy = target.At(x, y) / 256;
        // The source pixel under the target pixel's centre.
        EXPECT_EQ(sx, (int)((x + 0.5) * c.sw / c.tw));
        EXPECT_EQ(sy, (int)((y + 0.5) * c.sh / c.th));
      }
    EXPECT_TRUE(target.GuardIntact());
  }
}

// Into a box of the target: the colours of scaling into a buffer of the box's
// size, placed at the box and cut at the target's edges; the rest of the
// target stays, and so does every alpha byte of the target.
TEST(Raster, RawScalingIntoABoxIsTheScaledPictureCutAtTheEdges) {
  const struct {
    int x, y;
  } boxes[] = {{0, 0}, {-7, -3}, {100, 50}, {-200, 0}};
  for (int sourceBytes : {3, 4})
    for (int targetBytes : {3, 4})
      for (const auto& box : boxes) {
        SCOPED_TRACE(testing::Message() << sourceBytes << " onto " << targetBytes << " at " << box.x << "," << box.y);
        TestBuffer source = NumberedSource(31, 21, sourceBytes);
        if (sourceBytes == 4) PixelAddress(source.b, 0, 0)[3] = 77;  // not carried over
        TestBuffer scaled(152, 100, sourceBytes), target(152, 100, targetBytes);
        RasterScaleRaw(scaled.b, source.b);
        RasterFillAll(target.b, 0x123456, 9);
        if (targetBytes == 4)
          for (int y = 0; y < 100; y++) PixelAddress(target.b, 0, y)[3] = (unsigned char)y;
        RasterScaleRawTo(target.b, source.b, box.x, box.y, 152, 100);
        for (int y = 0; y < 100; y++)
          for (int x = 0; x < 152; x++) {
            int sx = x - box.x, sy = y - box.y;
            bool inside = sx >= 0 && sx < 152 && sy >= 0 && sy < 100;
            ASSERT_EQ(target.At(x, y), inside ? scaled.At(sx, sy) : 0x123456) << x << ", " << y;
            if (targetBytes == 4) {
              ASSERT_EQ(target.Alpha(x, y), x == 0 ? y : 9) << x << ", " << y;
            }
          }
        EXPECT_TRUE(target.GuardIntact());
      }
}

TEST(Raster, RawScalingIntoAnEmptyBoxDrawsNothing) {
  TestBuffer source = NumberedSource(3, 3, 3), target(4, 4, 3);
  RasterScaleRawTo(target.b, source.b, 0, 0, 0, 4);
  RasterScaleRawTo(target.b, source.b, 0, 0, 4, -2);
  RasterScaleRawTo(target.b, source.b, 4, 0, 4, 4);
  RasterScaleRawTo(target.b, source.b, INT_MAX, INT_MIN, INT_MAX, INT_MAX);
  EXPECT_TRUE(OnlyBoxPainted(target, 0, 0, 0, 0, 0));
  EXPECT_TRUE(target.GuardIntact());
}

// The span of a source index is exactly where raw scaling puts that pixel.
TEST(Raster, ScaledSpansAreTheBlocksOfRawScaling) {
  const struct {
    int source, target;
  } cases[] = {{31, 152}, {21, 100}, {31, 156}, {31, 7}, {5, 1}, {1, 9}, {21, 21}, {3, 1000}};
  for (const auto& c : cases) {
    TestBuffer source = NumberedSource(c.source, 1, 3), target(c.target, 1, 3);
    RasterScaleRaw(target.b, source.b);
    for (int i = -1; i <= c.source; i++) {
      int first = -7, count = -7;
      RasterScaledSpan(i, c.source, c.target, &first, &count);
      int expectedFirst = 0, expectedCount = 0;
      for (int t = 0; t < c.target; t++)
        if (target.At(t, 0) == i) {
          if (expectedCount == 0) expectedFirst = t;
          expectedCount++;
        }
      EXPECT_EQ(count, expectedCount) << c.source << " onto " << c.target << ", index " << i;
      if (expectedCount) {
        EXPECT_EQ(first, expectedFirst) << c.source << " onto " << c.target << ", index " << i;
      }
    }
  }
  int first, count;
  RasterScaledSpan(INT_MAX - 1, INT_MAX, INT_MAX, &first, &count);  // no overflow at the largest sizes
  EXPECT_EQ(first, INT_MAX - 1);
  EXPECT_EQ(count, 1);
}

// Widths whose product times 65536 passes 2^63: 2^23 source pixels onto 2^24.
// Each target pixel shows the source pixel under its centre, here in runs of
// 4096 equal pixels, so away from the runs' ends no neighbour mixes in.
TEST(Raster, SmoothScalingOfVeryWideImagesKeepsThePositions) {
  const int sourceWidth = 1 << 23, targetWidth = 1 << 24;
  TestBuffer source(sourceWidth, 1, 3), target(targetWidth, 1, 3);
  auto run = [](int k) { return ComposeColor((k >> 12) & 0xFF, k >> 20, 77); };
  for (int k = 0; k < sourceWidth; k++) RasterWritePixel(source.b, k, 0, run(k));
  RasterScaleSmooth(target.b, source.b);
  int checked = 0;
  for (int x = 0; x < targetWidth; x += 4099) {
    int k = x / 2;  // the source pixel under the centre: x / 2 - 1/4, give or take one
    if (k % 4096 < 2 || k % 4096 > 4093) continue;
    ASSERT_EQ(target.At(x, 0), run(k)) << x;
    checked++;
  }
  EXPECT_GT(checked, 4000);
  EXPECT_EQ(target.At(targetWidth - 1, 0), run(sourceWidth - 1));
  EXPECT_TRUE(target.GuardIntact());
}

TEST(Raster, SmoothScalingBlendsNeighbours) {
  TestBuffer source(2, 1, 4), target(4, 1, 4);
  RasterWritePixel(source.b, 0, 0, 0);
  RasterWritePixel(source.b, 1, 0, ComposeColor(200, 200, 200));
  PixelAddress(source.b, 0, 0)[3] = 0;
  RasterScaleSmooth(target.b, source.b);
  EXPECT_EQ(target.At(0, 0), 0);  // the ends keep the end pixels
  EXPECT_EQ(target.At(3, 0), ComposeColor(200, 200, 200));
  EXPECT_EQ(target.At(1, 0), ComposeColor(50, 50, 50));  // a quarter of the way
  EXPECT_EQ(target.Alpha(1, 0), 64);                      // alpha blends too
  EXPECT_EQ(target.At(2, 0), ComposeColor(150, 150, 150));
}
