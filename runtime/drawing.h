// Drawing contexts on canvas surfaces and images. One drawing context at a
// time, on the GUI thread: open it on a target with BeginDrawing, draw, close
// it with EndDrawing. Pixels are written straight into the bitmap's memory. Windows
// only (the header does not include windows.h). Colour values and
// ComposeColor, RedOf, GreenOf, BlueOf come from raster.h.
#pragma once
#include "runtime/raster.h"

enum DrawingTargetKind { TARGET_NONE = 0, TARGET_CANVAS, TARGET_IMAGE };

// What a drawing context can be opened on; kind TARGET_NONE is "nothing".
struct DrawingTarget {
  int kind;
  int number;  // canvas control or image number
};

// Nothing when the control is not a canvas, or the number denotes no image
// with pixel memory.
DrawingTarget CanvasTarget(int canvas);
DrawingTarget ImageTarget(int image);

// Opens the drawing context and returns the target's device context (an
// HDC, for the platform's own drawing calls, whose output is in the pixels
// before the next direct access). Null for nothing, or while another drawing
// context is open: contexts do not nest.
void* BeginDrawing(DrawingTarget target);
// Closes it; a canvas shows its surface on screen at once. 0 when none was open.
int EndDrawing();

// The open target's size in pixels; 0 without a drawing context.
int SurfaceWidth();
int SurfaceHeight();

// Without a drawing context these do nothing (and ReadPixel gives 0).
void FillBox(int x, int y, int width, int height, int color);  // negative sizes extend left / up
void DrawLine(int x1, int y1, int x2, int y2, int color);      // both end points included
// `count` columns from (x, y), each `height` pixels tall, column x + i in
// colors[i]: one vertical line per column, drawn in one pass.
void FillColumns(int x, int y, int height, const int* colors, int count);
void WritePixel(int x, int y, int color);  // ignored outside the target
int ReadPixel(int x, int y);                // colour value, 0 outside the target
// Copies a bitmap (an HBITMAP: ImageBitmap, SurfaceImage) with its top-left
// corner at (x, y), ignoring alpha; BlendBitmap mixes a 32-bit bitmap in by
// its straight alpha.
void DrawBitmap(void* bitmap, int x, int y);
void BlendBitmap(void* bitmap, int x, int y);
// Copies a bitmap scaled to width x height without smoothing (every pixel a
// copy of one source pixel, as ScaleImage's raw mode makes them), with its
// top-left corner at (x, y), clipped to the target, ignoring alpha.
void DrawBitmapScaled(void* bitmap, int x, int y, int width, int height);
