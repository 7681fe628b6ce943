// Pixel work on plain pixel buffers: boxes, lines, single pixels, bitmap
// copies with and without alpha, scaling. No operating system here; the
// drawing contexts, images and canvas surfaces hand their pixel memory to
// these functions.
#pragma once
#include <stdint.h>

//-----------------------------------------------------------------------------
// Colour values
//-----------------------------------------------------------------------------

// 0x00BBGGRR: red in bits 0-7, green 8-15, blue 16-23. Drawing ignores the
// high byte, so all drawing is opaque.
inline int ComposeColor(int red, int green, int blue) { return red + green * 256 + blue * 65536; }
inline int RedOf(int color) { return color & 0xFF; }
inline int GreenOf(int color) { return (color >> 8) & 0xFF; }
inline int BlueOf(int color) { return (color >> 16) & 0xFF; }

//-----------------------------------------------------------------------------
// Pixel buffers
//-----------------------------------------------------------------------------

// A 24-bit or 32-bit pixel buffer as device-independent bitmaps store it:
// pixels as blue, green, red bytes (and alpha with 4 bytes per pixel). `rows`
// points at the storage row of the bottom line (y = height - 1) and `stride`
// is the step from one storage row to the next, so pixel (x, y), with y
// growing downwards, lies at rows + (height - 1 - y) * stride + x * bytes.
// Bottom-up buffers have a positive stride; a top-down buffer is described
// by pointing `rows` at its last line with a negative stride.
struct PixelBuffer {
  unsigned char* rows;
  int width, height;
  int stride;
  int bytesPerPixel;  // 3 or 4
};

// Bytes per stored row: 24-bit rows are padded to a multiple of 4 bytes.
int RasterStride(int width, int bytesPerPixel);

// Whether a buffer of this size is one this runtime makes: both sides at
// least 1, and no more than kMaxRasterBytes of pixel memory.
const int64_t kMaxRasterBytes = 256 << 20;
bool RasterSizeAcceptable(int width, int height, int bytesPerPixel);

// A bottom-up buffer over `memory` (RasterStride(width) * height bytes).
PixelBuffer BottomUpBuffer(void* memory, int width, int height, int bytesPerPixel);

inline unsigned char* PixelAddress(const PixelBuffer& b, int x, int y) {
  return b.rows + (intptr_t)(b.height - 1 - y) * b.stride + (intptr_t)x * b.bytesPerPixel;
}

//-----------------------------------------------------------------------------
// Drawing
//-----------------------------------------------------------------------------

// Sets every pixel to the colour and, in a 32-bit buffer, the alpha byte.
void RasterFillAll(const PixelBuffer& b, int color, int alpha);
// The start of a new image: every pixel the background colour, opaque; the
// background -1 gives transparent black.
void RasterFillImageBackground(const PixelBuffer& b, int background);

// Fills the box, clipped to the buffer. A negative width or height extends
// the box to the left or upwards from (x, y). Alpha bytes stay as they are.
void RasterFillBox(const PixelBuffer& b, int x, int y, int width, int height, int color);

// Fills `count` columns from x, each from y down `height` pixels, column
// x + i in colors[i]: the pixels of one vertical line per column, in one
// pass. Clipped to the buffer; alpha bytes stay as they are.
void RasterFillColumns(const PixelBuffer& b, int x, int y, int height, const int* colors, int count);

// Draws the straight line from (x1, y1) to (x2, y2), both end points
// included, with the integer midpoint method. Only the pixels inside the
// buffer are set, and they are the very pixels of the whole line.
void RasterDrawLine(const PixelBuffer& b, int x1, int y1, int x2, int y2, int color);

// One pixel; the caller keeps 0 <= x < width and 0 <= y < height.
void RasterWritePixel(const PixelBuffer& b, int x, int y, int color);
int RasterReadPixel(const PixelBuffer& b, int x, int y);  // never the alpha

// Copies the source's colour bytes with its top-left corner at (x, y),
// clipped to the target; target alpha bytes stay as they are.
void RasterCopy(const PixelBuffer& target, const PixelBuffer& source, int x, int y);

// Like RasterCopy, but a 32-bit source is mixed in by its straight alpha:
// per channel (source * a + target * (255 - a)) / 255, rounding down.
void RasterBlend(const PixelBuffer& target, const PixelBuffer& source, int x, int y);

// Scales the whole source onto the whole target of the same depth. Raw:
// every target pixel is a copy of exactly one source pixel (alpha included).
// Smooth: bilinear, over all channels.
void RasterScaleRaw(const PixelBuffer& target, const PixelBuffer& source);
void RasterScaleSmooth(const PixelBuffer& target, const PixelBuffer& source);

// The run of target indexes that raw scaling from `sourceSize` to
// `targetSize` fills from source index i: *count indexes from *first (none
// for an index outside the source).
void RasterScaledSpan(int i, int sourceSize, int targetSize, int* first, int* count);

// Raw scaling of the whole source's colour bytes onto the box at (x, y) of
// width x height in the target, clipped to the target: the colours
// RasterScaleRaw gives a buffer of the box's size. The depths may differ;
// target alpha bytes stay as they are.
void RasterScaleRawTo(const PixelBuffer& target, const PixelBuffer& source, int x, int y, int width, int height);
