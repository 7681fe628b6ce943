#include "runtime/display_scale.h"

#include <math.h>

float ScaleFactorOf(int pixelsPerInch) {
  return pixelsPerInch > 0 ? pixelsPerInch / (float)kLogicalPixelsPerInch : 1.0f;
}

// Saturates instead of overflowing.
static int RoundToInt(double v) {
  v = floor(v + 0.5);
  return v >= 2147483647.0 ? 2147483647 : v <= -2147483648.0 ? (-2147483647 - 1) : (int)v;
}

int LogicalToDevice(int v, float factor) { return RoundToInt(v * (double)factor); }
int DeviceToLogical(int v, float factor) { return RoundToInt(v / (double)factor); }

bool TakesScaleChange(int currentPixelsPerInch, int newPixelsPerInch, bool applying, bool shown) {
  if (applying || !shown) return false;
  if (newPixelsPerInch < 24 || newPixelsPerInch > 2400) return false;
  return newPixelsPerInch != currentPixelsPerInch;
}
