#include "runtime/image_decode.h"

#include <png.h>
#include <setjmp.h>
#include <stdint.h>
#include <string.h>

#include "runtime/raster.h"

static bool WithinLimits(int64_t width, int64_t height) {
  return width >= 1 && height >= 1 && width <= kMaxDecodedSide && height <= kMaxDecodedSide &&
         width * height <= kMaxDecodedPixels;
}

// Sizes the pixel memory of *out and describes it as a pixel buffer.
static PixelBuffer PrepareOutput(DecodedImage* out, int width, int height, int bitsPerPixel) {
  out->width = width;
  out->height = height;
  out->bitsPerPixel = bitsPerPixel;
  out->pixels.assign((size_t)RasterStride(width, bitsPerPixel / 8) * height, 0);
  return BottomUpBuffer(out->pixels.data(), width, height, bitsPerPixel / 8);
}

//-----------------------------------------------------------------------------
// PNG
//-----------------------------------------------------------------------------

struct PngSource {
  const unsigned char* data;
  size_t size, offset;
};

static void ReadPngBytes(png_structp png, png_bytep into, size_t count) {
  PngSource* source = (PngSource*)png_get_io_ptr(png);
  if (count > source->size - source->offset) png_error(png, "truncated");
  memcpy(into, source->data + source->offset, count);
  source->offset += count;
}

// Every chunk, up to IEND, lies within the data. libpng takes a chunk's
// memory by the length it declares before it reads the chunk, so a few
// bytes declaring a text chunk of 2 GB would make it ask for 2 GB; with the
// whole file in memory a chunk longer than what is left cannot be whole.
static bool PngChunksWithinData(const unsigned char* data, size_t size) {
  size_t at = 8;  // after the signature
  while (size - at >= 12) {
    uint32_t length = (uint32_t)data[at] << 24 | (uint32_t)data[at + 1] << 16 |
                      (uint32_t)data[at + 2] << 8 | data[at + 3];
    if (length > size - at - 12) return false;
    if (memcmp(data + at + 4, "IEND", 4) == 0) return true;
    at += 12 + (size_t)length;
  }
  return false;
}

static void FailPng(png_structp png, png_const_charp) { png_longjmp(png, 1); }
static void IgnorePngWarning(png_structp, png_const_charp) {}

// Everything that changes after setjmp lives behind pointers, so a jump back
// from libpng finds it intact.
static bool DecodePng(PngSource* source, DecodedImage* out, std::vector<png_bytep>* rows) {
  png_structp png = png_create_read_struct(PNG_LIBPNG_VER_STRING, nullptr, FailPng, IgnorePngWarning);
  if (!png) return false;
  png_infop info = png_create_info_struct(png);
  if (!info) {
    png_destroy_read_struct(&png, nullptr, nullptr);
    return false;
  }
  if (setjmp(png_jmpbuf(png))) {
    png_destroy_read_struct(&png, &info, nullptr);
    return false;
  }
  png_set_read_fn(png, source, ReadPngBytes);
  png_set_user_limits(png, kMaxDecodedSide, kMaxDecodedSide);
  png_set_chunk_malloc_max(png, 8 << 20);  // embedded colour profiles and text stay small
  png_read_info(png, info);
  png_uint_32 width = png_get_image_width(png, info), height = png_get_image_height(png, info);
  if (!WithinLimits(width, height)) png_error(png, "too large");

  // Everything becomes 8-bit blue, green, red, with alpha when the file has any.
  png_set_expand(png);
  png_set_strip_16(png);
  png_set_gray_to_rgb(png);
  png_set_bgr(png);
  png_set_interlace_handling(png);
  png_read_update_info(png, info);
  int channels = png_get_channels(png, info);
  if (channels != 3 && channels != 4) png_error(png, "unexpected layout");

  PixelBuffer buffer = PrepareOutput(out, (int)width, (int)height, channels * 8);
  rows->resize(height);
  for (png_uint_32 y = 0; y < height; y++) (*rows)[y] = PixelAddress(buffer, 0, (int)y);
  png_read_image(png, rows->data());
  png_read_end(png, nullptr);
  png_destroy_read_struct(&png, &info, nullptr);
  return true;
}

//-----------------------------------------------------------------------------
// BMP
//-----------------------------------------------------------------------------

static uint32_t U16At(const unsigned char* p) { return p[0] | (uint32_t)p[1] << 8; }
static uint32_t U32At(const unsigned char* p) { return U16At(p) | U16At(p + 2) << 16; }

// Uncompressed bitmaps of 1, 4, 8, 24 and 32 bits with an information header
// of 40 bytes or more; 32-bit ones also as bit fields in the usual order.
static bool DecodeBmp(const unsigned char* data, size_t size, DecodedImage* out) {
  const size_t kFileHeader = 14;
  if (size < kFileHeader + 40) return false;
  uint32_t pixelOffset = U32At(data + 10), headerSize = U32At(data + 14);
  if (headerSize < 40 || headerSize > size - kFileHeader) return false;
  int64_t width = (int32_t)U32At(data + 18), rawHeight = (int32_t)U32At(data + 22);
  int64_t height = rawHeight < 0 ? -rawHeight : rawHeight;
  uint32_t bits = U16At(data + 28), compression = U32At(data + 30), paletteUsed = U32At(data + 46);
  if (!WithinLimits(width, height)) return false;
  if (bits != 1 && bits != 4 && bits != 8 && bits != 24 && bits != 32) return false;
  const uint32_t kRgb = 0, kBitFields = 3;
  if (compression == kBitFields) {
    if (bits != 32 || size < 66 || U32At(data + 54) != 0xFF0000 || U32At(data + 58) != 0xFF00 ||
        U32At(data + 62) != 0xFF)
      return false;
  } else if (compression != kRgb) {
    return false;
  }

  const unsigned char* palette = data + kFileHeader + headerSize;
  uint32_t paletteSize = 0;
  if (bits <= 8) {
    paletteSize = paletteUsed ? paletteUsed : 1u << bits;
    if (paletteSize > 1u << bits || (size - kFileHeader - headerSize) / 4 < paletteSize) return false;
  }
  int64_t sourceStride = (width * bits + 31) / 32 * 4;
  if (pixelOffset > size || (int64_t)(size - pixelOffset) / sourceStride < height) return false;

  PixelBuffer buffer = PrepareOutput(out, (int)width, (int)height, bits == 32 ? 32 : 24);
  bool anyAlpha = false;
  for (int y = 0; y < height; y++) {
    const unsigned char* row = data + pixelOffset + (rawHeight < 0 ? y : height - 1 - y) * sourceStride;
    for (int x = 0; x < width; x++) {
      const unsigned char* bgr;
      if (bits <= 8) {
        uint32_t perByte = 8 / bits, shift = 8 - bits * (x % perByte + 1);
        uint32_t index = (row[x / perByte] >> shift) & ((1u << bits) - 1);
        static const unsigned char kBlack[3] = {0, 0, 0};
        bgr = index < paletteSize ? palette + 4 * index : kBlack;
      } else {
        bgr = row + x * (bits / 8);
      }
      unsigned char* p = PixelAddress(buffer, x, y);
      memcpy(p, bgr, 3);
      if (bits == 32) {
        p[3] = bgr[3];
        anyAlpha |= bgr[3] != 0;
      }
    }
  }
  // Most 32-bit bitmaps leave the fourth byte 0: that means opaque, not invisible.
  if (bits == 32 && !anyAlpha)
    for (int y = 0; y < height; y++)
      for (int x = 0; x < width; x++) PixelAddress(buffer, x, y)[3] = 255;
  return true;
}

//-----------------------------------------------------------------------------
// Recognition
//-----------------------------------------------------------------------------

bool DecodeImageData(const void* data, size_t size, DecodedImage* out) {
  static const unsigned char kPngSignature[8] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
  const unsigned char* bytes = (const unsigned char*)data;
  *out = DecodedImage();
  bool decoded = false;
  if (bytes && size >= 8 && memcmp(bytes, kPngSignature, 8) == 0) {
    PngSource source = {bytes, size, 0};
    std::vector<png_bytep> rows;
    decoded = PngChunksWithinData(bytes, size) && DecodePng(&source, out, &rows);
  } else if (bytes && size >= 2 && bytes[0] == 'B' && bytes[1] == 'M') {
    decoded = DecodeBmp(bytes, size, out);
  }
  if (!decoded) *out = DecodedImage();
  return decoded;
}
