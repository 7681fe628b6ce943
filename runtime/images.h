// Images by number: pixel bitmaps of 24 or 32 bits (device-independent
// bitmap sections) that can be created, decoded from memory, scaled,
// duplicated, filled from the screen, drawn on (ImageTarget in drawing.h)
// and released. Windows only (the header does not include windows.h).
#pragma once
#include <stddef.h>

#include <vector>

#include "runtime/screen_parts.h"
#include "runtime/windowing.h"  // kAutoNumber

const int kAllImages = -1;  // for ReleaseImage

enum ScaleMode { SCALE_SMOOTH = 0, SCALE_RAW = 1 };

// A new image as `number` (kAutoNumber for a fresh one; an image already
// holding the number is replaced). 32 bits per pixel gives a 32-bit image,
// any other value a 24-bit one. Every pixel is the background colour; in a
// 32-bit image alpha is 255, and the background -1 gives transparent black.
// Returns the number, or 0 (sizes below 1 x 1 or too large).
int CreatePixelImage(int number, int width, int height, int bitsPerPixel = 24, int background = 0);
bool ImageExists(int image);
void* ImageBitmap(int image);  // the HBITMAP, or null
int ImageWidth(int image);     // 0 for no image
int ImageHeight(int image);
int ImageDepth(int image);     // 24 or 32; 0 for no image

// Replaces the image by a scaled copy. SCALE_RAW repeats or drops whole
// pixels (every pixel a copy of exactly one source pixel); SCALE_SMOOTH
// interpolates. Returns 1 (also for the same size), or 0 with the image
// unchanged.
int ScaleImage(int image, int width, int height, int mode);

// A copy of the image's pixels as `number` (or kAutoNumber); 0 on failure.
int DuplicateImage(int image, int number);

// Decodes a PNG or BMP file held in memory into image `number` (or
// kAutoNumber); 0 when the data is not a picture this runtime reads.
int DecodeImage(int number, const void* data, size_t size);

// Copies the screen rectangle at (left, top), in screen pixels, into a new
// 32-bit image `number` (or kAutoNumber); an image of that number that is
// already 32 bits and of this size is reused, black first like a new one.
// Only the parts on a monitor are read: what lies beyond the screen's edges
// or in a gap between monitors stays black. `onMonitors`, when given,
// receives those parts in the region's coordinates (RegionPixelExists tells
// whether a pixel of the image was read). Every copy of the screen comes
// here. Returns the number, or 0 (and the number then holds no image).
int CopyScreenRegion(int number, int left, int top, int width, int height,
                     std::vector<ScreenRect>* onMonitors = nullptr);

// A new 24-bit image `number` (or kAutoNumber) of the control's whole window
// rectangle, holding the control as it paints itself, whatever lies over it
// on the screen. Returns the number, or 0.
int CopyControlImage(int number, int control);

void ReleaseImage(int image);  // kAllImages releases every image
