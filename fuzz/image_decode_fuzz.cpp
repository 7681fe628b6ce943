// Arbitrary bytes as an image file in memory.
//
// Every PNG chunk ends in a CRC that nearly every mutation breaks, and the
// decoder refuses a critical chunk with a bad one before it looks inside;
// likewise the zlib stream of the pixel data (the IDAT chunks together)
// ends in an Adler-32 of the raw rows that any change to the rows breaks.
// So a PNG input is decoded twice: as it is (the refusals), and with the
// stream's Adler-32 and the CRC of every chunk made right, so that
// mutations reach the header, the palette, the transparency and the pixel
// data. The shipped decoder checks both; only this harness repairs them.
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

// Rewrites the Adler-32 that ends the zlib stream of the IDAT chunks to
// match the rows the stream inflates to; true when it changed. Nothing
// changes when the stream itself is broken, ends without room for its
// check value, or inflates to more than the largest picture decoded.
static bool RepairPixelDataAdler(std::vector<uint8_t>* png) {
  std::vector<size_t> where;  // the file offset of every byte of the stream
  size_t at = 8;
  while (png->size() - at >= 12) {
    uint32_t length = BigEndian32(png->data() + at);
    if (length > png->size() - at - 12) break;
    if (memcmp(png->data() + at + 4, "IDAT", 4) == 0)
      for (size_t i = 0; i < length; i++) where.push_back(at + 8 + i);
    at += 12 + (size_t)length;
  }
  if (where.size() < 2 + 4) return false;
  std::vector<uint8_t> stream(where.size());
  for (size_t i = 0; i < where.size(); i++) stream[i] = (*png)[where[i]];
  z_stream z = {};
  if (inflateInit2(&z, -15) != Z_OK) return false;  // raw deflate: the two header bytes are skipped
  z.next_in = stream.data() + 2;
  z.avail_in = (uInt)(stream.size() - 2);
  static uint8_t rows[1 << 16];
  uLong adler = adler32(0, nullptr, 0), total = 0;
  int status = Z_OK;
  while (status == Z_OK && total <= 65u << 20) {
    z.next_out = rows;
    z.avail_out = sizeof rows;
    status = inflate(&z, Z_NO_FLUSH);
    uInt made = (uInt)(sizeof rows - z.avail_out);
    adler = adler32(adler, rows, made);
    total += made;
    if (status == Z_BUF_ERROR && made) status = Z_OK;
  }
  size_t end = 2 + (size_t)z.total_in;
  inflateEnd(&z);
  if (status != Z_STREAM_END || end + 4 > stream.size()) return false;
  uint8_t right[4] = {(uint8_t)(adler >> 24), (uint8_t)(adler >> 16), (uint8_t)(adler >> 8), (uint8_t)adler};
  bool changed = false;
  for (int i = 0; i < 4; i++) {
    uint8_t& stored = (*png)[where[end + (size_t)i]];
    changed = changed || stored != right[i];
    stored = right[i];
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
    bool adlerChanged = RepairPixelDataAdler(&repaired);
    if (RepairChunkCrcs(&repaired) || adlerChanged) Decode(repaired.data(), repaired.size());
  }
  return 0;
}
