#include "runtime/raster.h"

#include <string.h>

#include <vector>

//-----------------------------------------------------------------------------
// Pixel buffers
//-----------------------------------------------------------------------------

int RasterStride(int width, int bytesPerPixel) {
  return bytesPerPixel == 4 ? width * 4 : (width * 3 + 3) / 4 * 4;
}

bool RasterSizeAcceptable(int width, int height, int bytesPerPixel) {
  if (width < 1 || height < 1) return false;
  int64_t rowBytes = ((int64_t)width * bytesPerPixel + 3) / 4 * 4;
  return rowBytes <= kMaxRasterBytes && rowBytes * height <= kMaxRasterBytes;
}

PixelBuffer BottomUpBuffer(void* memory, int width, int height, int bytesPerPixel) {
  return PixelBuffer{(unsigned char*)memory, width, height, RasterStride(width, bytesPerPixel),
                     bytesPerPixel};
}

// A run of pixels [left, right) on one line, already inside the buffer.
static void FillRun(const PixelBuffer& b, int left, int right, int y, int color) {
  unsigned char* p = PixelAddress(b, left, y);
  unsigned char blue = (unsigned char)BlueOf(color), green = (unsigned char)GreenOf(color),
                red = (unsigned char)RedOf(color);
  for (int x = left; x < right; x++, p += b.bytesPerPixel) {
    p[0] = blue;
    p[1] = green;
    p[2] = red;
  }
}

static int64_t Clamp64(int64_t v, int64_t lo, int64_t hi) { return v < lo ? lo : v > hi ? hi : v; }

//-----------------------------------------------------------------------------
// Boxes and pixels
//-----------------------------------------------------------------------------

void RasterFillAll(const PixelBuffer& b, int color, int alpha) {
  FillRun(b, 0, b.width, 0, color);
  if (b.bytesPerPixel == 4)
    for (int x = 0; x < b.width; x++) PixelAddress(b, x, 0)[3] = (unsigned char)alpha;
  size_t rowBytes = (size_t)b.width * b.bytesPerPixel;
  for (int y = 1; y < b.height; y++) memcpy(PixelAddress(b, 0, y), PixelAddress(b, 0, 0), rowBytes);
}

void RasterFillImageBackground(const PixelBuffer& b, int background) {
  if (background == -1) RasterFillAll(b, 0, 0);
  else RasterFillAll(b, background, 255);
}

void RasterFillBox(const PixelBuffer& b, int x, int y, int width, int height, int color) {
  int64_t left = width < 0 ? (int64_t)x + width : x, top = height < 0 ? (int64_t)y + height : y;
  int64_t right = left + (width < 0 ? -(int64_t)width : width);
  int64_t bottom = top + (height < 0 ? -(int64_t)height : height);
  left = Clamp64(left, 0, b.width);
  right = Clamp64(right, 0, b.width);
  top = Clamp64(top, 0, b.height);
  bottom = Clamp64(bottom, 0, b.height);
  if (left >= right || top >= bottom) return;
  FillRun(b, (int)left, (int)right, (int)top, color);
  size_t runBytes = (size_t)(right - left) * b.bytesPerPixel;
  if (b.bytesPerPixel == 4) {  // alpha bytes stay: no row copies
    for (int64_t row = top + 1; row < bottom; row++) FillRun(b, (int)left, (int)right, (int)row, color);
    return;
  }
  for (int64_t row = top + 1; row < bottom; row++)
    memcpy(PixelAddress(b, (int)left, (int)row), PixelAddress(b, (int)left, (int)top), runBytes);
}

void RasterFillColumns(const PixelBuffer& b, int x, int y, int height, const int* colors, int count) {
  if (count <= 0 || height <= 0) return;
  int left = (int)Clamp64(x, 0, b.width), right = (int)Clamp64((int64_t)x + count, 0, b.width);
  int top = (int)Clamp64(y, 0, b.height), bottom = (int)Clamp64((int64_t)y + height, 0, b.height);
  if (left >= right || top >= bottom) return;
  unsigned char* first = PixelAddress(b, left, top);
  unsigned char* p = first;
  for (int column = left; column < right; column++, p += b.bytesPerPixel) {
    int color = colors[(int64_t)column - x];
    p[0] = (unsigned char)BlueOf(color);
    p[1] = (unsigned char)GreenOf(color);
    p[2] = (unsigned char)RedOf(color);
  }
  size_t runBytes = (size_t)(right - left) * b.bytesPerPixel;
  for (int row = top + 1; row < bottom; row++) {
    unsigned char* t = PixelAddress(b, left, row);
    if (b.bytesPerPixel == 3) {
      memcpy(t, first, runBytes);
      continue;
    }
    for (size_t i = 0; i < runBytes; i += 4) memcpy(t + i, first + i, 3);  // alpha bytes stay
  }
}

void RasterWritePixel(const PixelBuffer& b, int x, int y, int color) {
  unsigned char* p = PixelAddress(b, x, y);
  p[0] = (unsigned char)BlueOf(color);
  p[1] = (unsigned char)GreenOf(color);
  p[2] = (unsigned char)RedOf(color);
}

int RasterReadPixel(const PixelBuffer& b, int x, int y) {
  const unsigned char* p = PixelAddress(b, x, y);
  return ComposeColor(p[2], p[1], p[0]);
}

//-----------------------------------------------------------------------------
// Lines
//-----------------------------------------------------------------------------

// Pixel i of a line (0 <= i <= major) lies at major offset i and minor offset
// floor((2 * i * minor + major) / (2 * major)): the midpoint rule. Clipping
// picks the range of i inside the buffer on the major axis and walks only
// that range, so the cost is bounded by the buffer, not by the line.
static void WalkLine(const PixelBuffer& b, int x1, int y1, int x2, int y2, int color) {
  int64_t dx = x2 > x1 ? x2 - x1 : x1 - x2, dy = y2 > y1 ? y2 - y1 : y1 - y2;
  int sx = x2 > x1 ? 1 : -1, sy = y2 > y1 ? 1 : -1;
  bool xMajor = dx >= dy;
  int64_t major = xMajor ? dx : dy, minor = xMajor ? dy : dx;
  int majorStart = xMajor ? x1 : y1, minorStart = xMajor ? y1 : x1;
  int majorStep = xMajor ? sx : sy, minorStep = xMajor ? sy : sx;
  int majorLimit = xMajor ? b.width : b.height, minorLimit = xMajor ? b.height : b.width;
  if (major == 0) {  // both ends on one point (after clamping): that pixel alone
    if (x1 >= 0 && x1 < b.width && y1 >= 0 && y1 < b.height) RasterWritePixel(b, x1, y1, color);
    return;
  }

  // Steps whose major coordinate lies in [0, majorLimit).
  int64_t first = majorStep > 0 ? -(int64_t)majorStart : (int64_t)majorStart - (majorLimit - 1);
  int64_t last = majorStep > 0 ? (int64_t)majorLimit - 1 - majorStart : majorStart;
  if (first < 0) first = 0;
  if (last > major) last = major;
  if (first > last) return;

  int64_t numerator = 2 * first * minor + major, denominator = 2 * major;
  int64_t offset = numerator / denominator, remainder = numerator % denominator;
  for (int64_t i = first; i <= last; i++) {
    int64_t m = majorStart + i * majorStep, n = minorStart + offset * minorStep;
    if (n >= 0 && n < minorLimit) {
      if (xMajor) RasterWritePixel(b, (int)m, (int)n, color);
      else RasterWritePixel(b, (int)n, (int)m, color);
    } else if ((minorStep > 0) == (n >= minorLimit)) {
      break;  // past the far edge: the rest of the line is outside too
    }
    remainder += 2 * minor;
    if (remainder >= denominator) {
      remainder -= denominator;
      offset++;
    }
  }
}

void RasterDrawLine(const PixelBuffer& b, int x1, int y1, int x2, int y2, int color) {
  if (y1 == y2) {
    int left = x1 < x2 ? x1 : x2, right = x1 < x2 ? x2 : x1;
    if (y1 < 0 || y1 >= b.height || right < 0 || left >= b.width) return;
    FillRun(b, left < 0 ? 0 : left, right >= b.width ? b.width : right + 1, y1, color);
    return;
  }
  if (x1 == x2) {
    int top = y1 < y2 ? y1 : y2, bottom = y1 < y2 ? y2 : y1;
    if (x1 < 0 || x1 >= b.width || bottom < 0 || top >= b.height) return;
    if (top < 0) top = 0;
    if (bottom >= b.height) bottom = b.height - 1;
    unsigned char* p = PixelAddress(b, x1, top);
    unsigned char blue = (unsigned char)BlueOf(color), green = (unsigned char)GreenOf(color),
                  red = (unsigned char)RedOf(color);
    for (int y = top; y <= bottom; y++, p -= b.stride) {  // y grows downwards, storage rows upwards
      p[0] = blue;
      p[1] = green;
      p[2] = red;
    }
    return;
  }
  const int64_t kLimit = 65000;
  WalkLine(b, (int)Clamp64(x1, -kLimit, kLimit), (int)Clamp64(y1, -kLimit, kLimit),
           (int)Clamp64(x2, -kLimit, kLimit), (int)Clamp64(y2, -kLimit, kLimit), color);
}

//-----------------------------------------------------------------------------
// Bitmap copies
//-----------------------------------------------------------------------------

// The part of `source` placed at (x, y) that lies inside `target`: source
// origin (sx, sy), target origin (tx, ty), size w x h. False when none.
struct Overlap {
  int sx, sy, tx, ty, w, h;
};

static bool FindOverlap(const PixelBuffer& target, const PixelBuffer& source, int x, int y, Overlap* o) {
  int64_t sx = x < 0 ? -(int64_t)x : 0, sy = y < 0 ? -(int64_t)y : 0;
  int64_t tx = (int64_t)x + sx, ty = (int64_t)y + sy;
  int64_t w = source.width - sx, h = source.height - sy;
  if (tx + w > target.width) w = target.width - tx;
  if (ty + h > target.height) h = target.height - ty;
  if (w <= 0 || h <= 0) return false;
  *o = Overlap{(int)sx, (int)sy, (int)tx, (int)ty, (int)w, (int)h};
  return true;
}

void RasterCopy(const PixelBuffer& target, const PixelBuffer& source, int x, int y) {
  Overlap o;
  if (!FindOverlap(target, source, x, y, &o)) return;
  for (int row = 0; row < o.h; row++) {
    const unsigned char* s = PixelAddress(source, o.sx, o.sy + row);
    unsigned char* t = PixelAddress(target, o.tx, o.ty + row);
    if (source.bytesPerPixel == 3 && target.bytesPerPixel == 3) {
      memcpy(t, s, (size_t)o.w * 3);
      continue;
    }
    for (int i = 0; i < o.w; i++, s += source.bytesPerPixel, t += target.bytesPerPixel) {
      t[0] = s[0];
      t[1] = s[1];
      t[2] = s[2];
    }
  }
}

void RasterBlend(const PixelBuffer& target, const PixelBuffer& source, int x, int y) {
  if (source.bytesPerPixel != 4) {
    RasterCopy(target, source, x, y);
    return;
  }
  Overlap o;
  if (!FindOverlap(target, source, x, y, &o)) return;
  for (int row = 0; row < o.h; row++) {
    const unsigned char* s = PixelAddress(source, o.sx, o.sy + row);
    unsigned char* t = PixelAddress(target, o.tx, o.ty + row);
    for (int i = 0; i < o.w; i++, s += 4, t += target.bytesPerPixel) {
      int a = s[3];
      for (int c = 0; c < 3; c++) t[c] = (unsigned char)((s[c] * a + t[c] * (255 - a)) / 255);
    }
  }
}

//-----------------------------------------------------------------------------
// Scaling
//-----------------------------------------------------------------------------

// The source index whose pixel covers the centre of target index i.
static int NearestSource(int i, int targetSize, int sourceSize) {
  return (int)(((2 * (int64_t)i + 1) * sourceSize) / (2 * (int64_t)targetSize));
}

// Division rounding up, for any sign of `a` (b > 0).
static int64_t CeilDiv(int64_t a, int64_t b) { return a >= 0 ? (a + b - 1) / b : -(-a / b); }

// Target index t shows source index i when 2 T i <= (2 t + 1) S < 2 T (i + 1),
// for sizes S and T: from t >= (2 T i - S) / 2 S up to below (2 T (i + 1) - S) / 2 S.
void RasterScaledSpan(int i, int sourceSize, int targetSize, int* first, int* count) {
  *first = 0;
  *count = 0;
  if (i < 0 || i >= sourceSize || targetSize <= 0) return;
  int64_t s = sourceSize, t = targetSize;
  int64_t begin = Clamp64(CeilDiv(2 * t * i - s, 2 * s), 0, t);  // below 2^63 for sizes up to INT_MAX
  int64_t end = Clamp64(CeilDiv(2 * t * (i + 1) - s, 2 * s), 0, t);
  *first = (int)begin;
  *count = (int)(end > begin ? end - begin : 0);
}

// Raw scaling onto the box (x, y, width, height), clipped to the target;
// `pixelBytes` of each pixel are copied: all of them (same depths), or the
// three colour bytes.
static void ScaleRawOntoBox(const PixelBuffer& target, const PixelBuffer& source, int x, int y, int width,
                            int height, size_t pixelBytes) {
  if (width <= 0 || height <= 0) return;
  int left = (int)Clamp64(x, 0, target.width), right = (int)Clamp64((int64_t)x + width, 0, target.width);
  int top = (int)Clamp64(y, 0, target.height), bottom = (int)Clamp64((int64_t)y + height, 0, target.height);
  if (left >= right || top >= bottom) return;
  int targetBytes = target.bytesPerPixel, sourceBytes = source.bytesPerPixel;
  std::vector<int> columnOffsets((size_t)(right - left));
  for (int tx = left; tx < right; tx++)
    columnOffsets[(size_t)(tx - left)] = NearestSource((int)((int64_t)tx - x), width, source.width) * sourceBytes;
  size_t runBytes = (size_t)(right - left) * targetBytes;
  int previousSourceRow = -1;
  for (int ty = top; ty < bottom; ty++) {
    int sourceRow = NearestSource((int)((int64_t)ty - y), height, source.height);
    unsigned char* t = PixelAddress(target, left, ty);
    // A magnified line repeats the one above (when whole pixels are copied:
    // otherwise the line above holds its own alpha bytes).
    if (sourceRow == previousSourceRow && pixelBytes == (size_t)targetBytes) {
      memcpy(t, PixelAddress(target, left, ty - 1), runBytes);
      continue;
    }
    previousSourceRow = sourceRow;
    const unsigned char* s = PixelAddress(source, 0, sourceRow);
    const int* offset = columnOffsets.data();
    if (pixelBytes == 4) {
      for (int i = 0; i < right - left; i++, t += 4) memcpy(t, s + offset[i], 4);
    } else {
      for (int i = 0; i < right - left; i++, t += targetBytes) memcpy(t, s + offset[i], 3);
    }
  }
}

void RasterScaleRaw(const PixelBuffer& target, const PixelBuffer& source) {
  ScaleRawOntoBox(target, source, 0, 0, target.width, target.height, (size_t)target.bytesPerPixel);
}

void RasterScaleRawTo(const PixelBuffer& target, const PixelBuffer& source, int x, int y, int width, int height) {
  ScaleRawOntoBox(target, source, x, y, width, height, 3);
}

// Source position of target index i's centre in 16.16 fixed point, kept
// inside [0, sourceSize - 1]: (2i + 1) * sourceSize * 65536 / (2 * targetSize)
// - 32768. The whole part and the fraction are divided apart, so no product
// exceeds 2^63 - 1 for any sizes up to INT_MAX: (2i + 1) * sourceSize stays
// below 2^63, and the remainder times 65536 below 2^48.
static int64_t SourcePosition(int i, int targetSize, int sourceSize) {
  int64_t numerator = (2 * (int64_t)i + 1) * sourceSize, denominator = 2 * (int64_t)targetSize;
  int64_t p = numerator / denominator * 65536 + numerator % denominator * 65536 / denominator - 32768;
  return Clamp64(p, 0, (int64_t)(sourceSize - 1) * 65536);
}

void RasterScaleSmooth(const PixelBuffer& target, const PixelBuffer& source) {
  int bytes = target.bytesPerPixel;
  for (int y = 0; y < target.height; y++) {
    int64_t py = SourcePosition(y, target.height, source.height);
    int y0 = (int)(py >> 16), y1 = y0 + 1 < source.height ? y0 + 1 : y0;
    int64_t fy = py & 0xFFFF;
    unsigned char* t = PixelAddress(target, 0, y);
    for (int x = 0; x < target.width; x++, t += bytes) {
      int64_t px = SourcePosition(x, target.width, source.width);
      int x0 = (int)(px >> 16), x1 = x0 + 1 < source.width ? x0 + 1 : x0;
      int64_t fx = px & 0xFFFF;
      const unsigned char *a = PixelAddress(source, x0, y0), *b = PixelAddress(source, x1, y0);
      const unsigned char *c = PixelAddress(source, x0, y1), *d = PixelAddress(source, x1, y1);
      for (int k = 0; k < bytes; k++) {
        int64_t top = a[k] * (65536 - fx) + b[k] * fx, bottom = c[k] * (65536 - fx) + d[k] * fx;
        t[k] = (unsigned char)((top * (65536 - fy) + bottom * fy + ((int64_t)1 << 31)) >> 32);
      }
    }
  }
}
