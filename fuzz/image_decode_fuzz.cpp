// Arbitrary bytes as an image file in memory.
//
// Every PNG chunk ends in a CRC that nearly every mutation breaks, and the
// decoder refuses a critical chunk with a bad one before it looks inside; so
// a PNG input is decoded twice: as it is (the refusals), and with the CRC of
// every chunk made right, so that mutations reach the header, the palette,
// the transparency and the pixel data. The shipped decoder checks every CRC;
// only this harness repairs them.
#include <stddef.h>
#include <stdint.h>
#include <string.h>
#include <zlib.h>

#include <vector>

#include "runtime/image_decode.h"
#include "runtime/raster.h"

static uint32_t BigEndian32(const uint8_t* p) {
  return (uint32_t)p[0] << 24 | (uint32_t)p[1] << 16 | (uint32_t)p[2] << 8 | p[3];
}

// Rewrites the CRC of every whole chunk after the signature; true when any changed.
static bool RepairChunkCrcs(std::vector<uint8_t>* png) {
  bool changed = false;
  size_t at = 8;
  uint8_t* bytes = png->data();
  while (png->size() - at >= 12) {
    uint32_t length = BigEndian32(bytes + at);
    if (length > png->size() - at - 12) break;
    uint32_t crc = (uint32_t)crc32(0, bytes + at + 4, length + 4);
    uint8_t* stored = bytes + at + 8 + length;
    uint8_t right[4] = {(uint8_t)(crc >> 24), (uint8_t)(crc >> 16), (uint8_t)(crc >> 8), (uint8_t)crc};
    if (memcmp(stored, right, 4) != 0) {
      memcpy(stored, right, 4);
      changed = true;
    }
    at += 12 + (size_t)length;
  }
  return changed;
}

// A decoded picture is a whole bitmap of a depth the images accept.
static void Decode(const uint8_t* data, size_t size) {
  DecodedImage image;
  if (!DecodeImageData(data, size, &image)) {
    if (image.width || image.height || !image.pixels.empty()) __builtin_trap();
    return;
  }
  int bytes = image.bitsPerPixel / 8;
  if ((bytes != 3 && bytes != 4) || !RasterSizeAcceptable(image.width, image.height, bytes) ||
      image.pixels.size() != (size_t)RasterStride(image.width, bytes) * image.height)
    __builtin_trap();
  PixelBuffer b = BottomUpBuffer(image.pixels.data(), image.width, image.height, bytes);
  (void)RasterReadPixel(b, image.width - 1, 0);
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  Decode(data, size);
  static const uint8_t kPngSignature[8] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
  if (size > 8 && memcmp(data, kPngSignature, 8) == 0) {
    std::vector<uint8_t> repaired(data, data + size);
    if (RepairChunkCrcs(&repaired)) Decode(repaired.data(), repaired.size());
  }
  return 0;
}
