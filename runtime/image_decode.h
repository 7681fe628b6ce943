// Decoding of image files held in memory: PNG (through libpng) and BMP,
// recognised by their content. No operating system here; the numbered
// images turn the result into a bitmap.
#pragma once
#include <stddef.h>

#include <vector>

// Decoded pixels in the layout of a bottom-up device-independent bitmap
// (see PixelBuffer): 24 bits for pictures without transparency, 32 bits
// with straight (not premultiplied) alpha otherwise.
struct DecodedImage {
  int width = 0, height = 0;
  int bitsPerPixel = 0;  // 24 or 32
  std::vector<unsigned char> pixels;
};

// Pictures larger than this on either side, or with more pixels in all, are
// refused before any pixel memory is taken.
const int kMaxDecodedSide = 8192;
const int kMaxDecodedPixels = 16 << 20;

// Decodes `size` bytes at `data`. False, with *out emptied, when the data is
// not a complete picture in a recognised format or exceeds the limits.
bool DecodeImageData(const void* data, size_t size, DecodedImage* out);
