// Decoding PNG and BMP files from memory. Built natively (also with the
// sanitizers) and for Windows, where it runs under Wine.
#include "runtime/image_decode.h"

#include <gtest/gtest.h>

#include "runtime/raster.h"
#include "tests/fixtures/image_files.h"

using fixture::Bytes;

namespace {

PixelBuffer BufferOf(DecodedImage& image) {
  return BottomUpBuffer(image.pixels.data(), image.width, image.height, image.bitsPerPixel / 8);
}

int AlphaAt(DecodedImage& image, int x, int y) { return PixelAddress(BufferOf(image), x, y)[3]; }
int ColorAt(DecodedImage& image, int x, int y) { return RasterReadPixel(BufferOf(image), x, y); }

}  // namespace

TEST(ImageDecode, RgbaPngGivesStraightAlpha) {
  Bytes png = fixture::AlphaPng();
  DecodedImage image;
  ASSERT_TRUE(DecodeImageData(png.data(), png.size(), &image));
  EXPECT_EQ(image.width, 3);
  EXPECT_EQ(image.height, 2);
  EXPECT_EQ(image.bitsPerPixel, 32);
  ASSERT_EQ(image.pixels.size(), 3u * 2 * 4);
  for (int y = 0; y < 2; y++)
    for (int x = 0; x < 3; x++) {
      const unsigned char* p = fixture::kAlphaPixels[y][x];
      EXPECT_EQ(ColorAt(image, x, y), ComposeColor(p[0], p[1], p[2])) << x << ", " << y;
      EXPECT_EQ(AlphaAt(image, x, y), p[3]) << x << ", " << y;
    }
}

TEST(ImageDecode, PngLayoutsBecomeTwentyFourOrThirtyTwoBits) {
  const Bytes palette = {10, 20, 30, 40, 50, 60};
  const struct {
    const char* name;
    Bytes png;
    int bits;
    int color[2];  // the two pixels of the 2 x 1 picture
    int alpha[2];
  } cases[] = {
      {"rgb", fixture::MakePng(2, 1, 8, 2, {{1, 2, 3, 4, 5, 6}}), 24, {0x030201, 0x060504}, {}},
      {"grey 16 bits", fixture::MakePng(2, 1, 16, 0, {{0xAB, 0xFF, 0x12, 0x00}}), 24, {0xABABAB, 0x121212}, {}},
      {"grey 1 bit", fixture::MakePng(2, 1, 1, 0, {{0x80}}), 24, {0xFFFFFF, 0}, {}},
      {"grey and alpha", fixture::MakePng(2, 1, 8, 4, {{9, 100, 200, 0}}), 32, {0x090909, 0xC8C8C8}, {100, 0}},
      {"palette", fixture::MakePng(2, 1, 8, 3, {{1, 0}}, {{"PLTE", palette}}), 24, {0x3C3228, 0x1E140A}, {}},
      {"palette with transparency",
       fixture::MakePng(2, 1, 4, 3, {{0x10}}, {{"PLTE", palette}, {"tRNS", {77}}}), 32,
       {0x3C3228, 0x1E140A}, {255, 77}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    DecodedImage image;
    ASSERT_TRUE(DecodeImageData(c.png.data(), c.png.size(), &image));
    ASSERT_EQ(image.bitsPerPixel, c.bits);
    for (int x = 0; x < 2; x++) {
      EXPECT_EQ(ColorAt(image, x, 0), c.color[x]);
      if (c.bits == 32) {
        EXPECT_EQ(AlphaAt(image, x, 0), c.alpha[x]);
      }
    }
  }
}

TEST(ImageDecode, BmpFilesOfTheUsualDepths) {
  const Bytes greyRamp = {0, 0, 0, 0, 255, 255, 255, 0};
  const struct {
    const char* name;
    Bytes bmp;
    int bits;
    int color[2][2];  // 2 x 2 pictures, top line first
    int alpha;
  } cases[] = {
      {"24 bits, bottom-up, padded lines",
       fixture::MakeBmp(2, 2, 24, {{1, 2, 3, 4, 5, 6, 0, 0}, {7, 8, 9, 10, 11, 12, 0, 0}}), 24,
       {{0x070809, 0x0A0B0C}, {0x010203, 0x040506}}, 0},
      {"32 bits, top-down, fourth byte unused",
       fixture::MakeBmp(2, -2, 32, {{1, 2, 3, 0, 4, 5, 6, 0}, {7, 8, 9, 0, 10, 11, 12, 0}}), 32,
       {{0x010203, 0x040506}, {0x070809, 0x0A0B0C}}, 255},
      {"1 bit with palette",
       fixture::MakeBmp(2, 2, 1, {{0x40, 0, 0, 0}, {0x80, 0, 0, 0}}, greyRamp), 24,
       {{0xFFFFFF, 0}, {0, 0xFFFFFF}}, 0},
      {"8 bits, index beyond the palette",
       fixture::MakeBmp(2, 2, 8, {{0, 1, 0, 0}, {1, 9, 0, 0}}, greyRamp), 24,
       {{0xFFFFFF, 0}, {0, 0xFFFFFF}}, 0},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    DecodedImage image;
    ASSERT_TRUE(DecodeImageData(c.bmp.data(), c.bmp.size(), &image));
    ASSERT_EQ(image.bitsPerPixel, c.bits);
    for (int y = 0; y < 2; y++)
      for (int x = 0; x < 2; x++) {
        EXPECT_EQ(ColorAt(image, x, y), c.color[y][x]) << x << ", " << y;
        if (c.bits == 32) {
          EXPECT_EQ(AlphaAt(image, x, y), c.alpha);
        }
      }
  }
}

TEST(ImageDecode, TruncatedOrDamagedDataGivesNothing) {
  const Bytes files[] = {
      fixture::AlphaPng(),
      fixture::MakeBmp(2, 2, 24, {{1, 2, 3, 4, 5, 6, 0, 0}, {7, 8, 9, 10, 11, 12, 0, 0}}),
  };
  for (const Bytes& file : files)
    for (size_t size = 0; size < file.size(); size++) {
      DecodedImage image;
      image.width = 99;
      EXPECT_FALSE(DecodeImageData(file.data(), size, &image)) << size << " bytes";
      EXPECT_EQ(image.width, 0);
      EXPECT_TRUE(image.pixels.empty());
    }

  Bytes damaged = fixture::AlphaPng();
  damaged[damaged.size() - 20] ^= 0x55;  // inside the image data: its checksum fails
  DecodedImage image;
  EXPECT_FALSE(DecodeImageData(damaged.data(), damaged.size(), &image));
  const char text[] = "GIF89a not a format of ours";
  EXPECT_FALSE(DecodeImageData(text, sizeof text, &image));
  EXPECT_FALSE(DecodeImageData(nullptr, 100, &image));
}

TEST(ImageDecode, HugeDimensionsAreRefusedBeforeAllocating) {
  const struct {
    uint32_t width, height;
  } sizes[] = {{9000, 1}, {1, 0x7FFFFFFF}, {5000, 5000}, {0, 5}};
  for (const auto& s : sizes) {
    // The header claims the size; the data holds one line at most.
    Bytes png = fixture::MakePng(s.width, s.height, 8, 2, {Bytes(3, 0)});
    DecodedImage image;
    EXPECT_FALSE(DecodeImageData(png.data(), png.size(), &image)) << s.width << " x " << s.height;
    Bytes bmp = fixture::MakeBmp((int32_t)s.width, (int32_t)s.height, 24, {Bytes(4, 0)});
    EXPECT_FALSE(DecodeImageData(bmp.data(), bmp.size(), &image)) << s.width << " x " << s.height;
  }
  Bytes negative = fixture::MakeBmp(-2, 1, 24, {Bytes(8, 0)});
  DecodedImage image;
  EXPECT_FALSE(DecodeImageData(negative.data(), negative.size(), &image));
}
