#include "color/capture.h"

#include <math.h>
#include <string.h>

//-----------------------------------------------------------------------------
// Region size
//-----------------------------------------------------------------------------

static int MakeOdd(int n) { return n % 2 == 0 ? n + 1 : n; }

CaptureDims CaptureSize(int viewWidth, int viewHeight) {
  if (viewWidth <= 0 || viewHeight <= 0) return {1, 1};
  if (viewWidth == kCaptureMaxWidth && viewHeight == kCaptureMaxHeight) return {kCaptureMaxWidth, kCaptureMaxHeight};
  double s = (double)kCaptureMaxWidth / viewWidth;
  if (round(viewHeight * s) > kCaptureMaxHeight) s = (double)kCaptureMaxHeight / viewHeight;  // halves away from zero
  // Default rounding, halves to even; an even result grows by one.
  return {MakeOdd((int)nearbyint(viewWidth * s)), MakeOdd((int)nearbyint(viewHeight * s))};
}

//-----------------------------------------------------------------------------
// Stored capture
//-----------------------------------------------------------------------------

int CaptureColumnOrder(const int32_t* rowMajor, int width, int height, int32_t* out, int capacity) {
  if (!rowMajor || !out || width <= 0 || height <= 0) return 0;
  int written = 0;
  for (int x = 0; x < width; x++)
    for (int y = 0; y < height; y++) {
      if (written == capacity) return written;
      out[written++] = rowMajor[(int64_t)y * width + x];
    }
  return written;
}

void StoreCapturedPixels(const int32_t* rowMajor, int width, int height, int32_t stored[kCapturedPixelCount]) {
  CaptureColumnOrder(rowMajor, width, height, stored, kCapturedPixelCount);
}

void PlotStoredCapture(const int32_t stored[kCapturedPixelCount], int32_t* rowMajor, int width, int height) {
  if (!rowMajor || width <= 0 || height <= 0) return;
  memset(rowMajor, 0, sizeof(int32_t) * (size_t)width * (size_t)height);
  int plotted = 0;
  for (int x = 0; x < width; x++)
    for (int y = 0; y < height; y++) {
      if (plotted == kCapturedPixelCount) return;
      rowMajor[(int64_t)y * width + x] = stored[plotted++];
    }
}

//-----------------------------------------------------------------------------
// Crosshair pulse
//-----------------------------------------------------------------------------

int AdvanceCrosshairPulse(CrosshairPulse* pulse) {
  if (pulse->level < 64) {
    pulse->step = 12;
    pulse->level = 76;
  } else if (pulse->level < 193) {
    pulse->level += pulse->step;
  } else {
    pulse->step = -12;
    pulse->level -= 12;
  }
  return pulse->level;
}
