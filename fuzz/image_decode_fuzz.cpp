// Arbitrary bytes as an image file in memory.
#include <stddef.h>
#include <stdint.h>

#include "runtime/image_decode.h"
#include "runtime/raster.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  DecodedImage image;
  if (DecodeImageData(data, size, &image)) {
    // A decoded picture is a whole bitmap of a depth the images accept.
    int bytes = image.bitsPerPixel / 8;
    if ((bytes != 3 && bytes != 4) || !RasterSizeAcceptable(image.width, image.height, bytes) ||
        image.pixels.size() != (size_t)RasterStride(image.width, bytes) * image.height)
      __builtin_trap();
    PixelBuffer b = BottomUpBuffer(image.pixels.data(), image.width, image.height, bytes);
    (void)RasterReadPixel(b, image.width - 1, 0);
  }
  return 0;
}
