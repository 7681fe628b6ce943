// The screen region the picker copies and the capture kept in the settings.
// No operating system here: the size rule, the column order of the stored
// pixels and the crosshair pulse; the Windows side copies the screen.
#pragma once
#include <stdint.h>

//-----------------------------------------------------------------------------
// Region size
//-----------------------------------------------------------------------------

const int kCaptureMaxWidth = 31, kCaptureMaxHeight = 21;
// The pixels a stored capture keeps: the largest region, 651.
const int kCapturedPixelCount = kCaptureMaxWidth * kCaptureMaxHeight;

struct CaptureDims {
  int width, height;
};

// The region for a view of the given size: odd in both directions, so it has
// a centre pixel (width / 2, height / 2), at most 31 x 21, and as near the
// view's aspect ratio as whole odd sizes allow. A view without a size gives
// the single pixel under the pointer, 1 x 1.
CaptureDims CaptureSize(int viewWidth, int viewHeight);

//-----------------------------------------------------------------------------
// Stored capture
//-----------------------------------------------------------------------------

// Copies an image's pixels (row by row, `width` x `height`) in column order
// (column 0 top to bottom, then column 1, ...) into `out`, stopping after
// `capacity` values. Returns the number written.
int CaptureColumnOrder(const int32_t* rowMajor, int width, int height, int32_t* out, int capacity);

// Keeps a committed region in `stored` (the settings' CapturedImgData) in
// column order, at most 651 values; the values past the region keep their
// older contents.
void StoreCapturedPixels(const int32_t* rowMajor, int width, int height, int32_t stored[kCapturedPixelCount]);

// The stored capture as an image of the given size: black, then the values
// of `stored` plotted in column order, at most 651 of them.
void PlotStoredCapture(const int32_t stored[kCapturedPixelCount], int32_t* rowMajor, int width, int height);

//-----------------------------------------------------------------------------
// Crosshair pulse
//-----------------------------------------------------------------------------

// The grey of the four pixels around the centre of a live capture, stepping
// once a tick: 76, 88, ..., 196, 184, ..., 64, 52, 76, ...
struct CrosshairPulse {
  int level, step;  // both 0 at start-up
};

// Advances the pulse and returns the new level.
int AdvanceCrosshairPulse(CrosshairPulse* pulse);
