// Drawing contexts and direct bitmap access on Win32.
#include "runtime/win32_internal.h"  // windows.h first

#include <stdlib.h>

#include "runtime/drawing.h"

//-----------------------------------------------------------------------------
// Bitmaps
//-----------------------------------------------------------------------------

// The description of an uncompressed bottom-up bitmap.
static BITMAPINFO BottomUpBitmapInfo(int width, int height, int bytesPerPixel) {
  BITMAPINFO info = {};
  info.bmiHeader.biSize = sizeof info.bmiHeader;
  info.bmiHeader.biWidth = width;
  info.bmiHeader.biHeight = height;  // positive: bottom-up
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = (WORD)(bytesPerPixel * 8);
  info.bmiHeader.biCompression = BI_RGB;
  return info;
}

HBITMAP NewPixelBitmap(int width, int height, int bytesPerPixel, PixelBuffer* pixels) {
  if (!RasterSizeAcceptable(width, height, bytesPerPixel)) return nullptr;
  BITMAPINFO info = BottomUpBitmapInfo(width, height, bytesPerPixel);
  void* memory = nullptr;
  HBITMAP bitmap = CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &memory, nullptr, 0);
  if (bitmap && !memory) {
    DeleteObject(bitmap);
    bitmap = nullptr;
  }
  if (bitmap) *pixels = BottomUpBuffer(memory, width, height, bytesPerPixel);
  return bitmap;
}

bool BitmapPixels(HBITMAP bitmap, PixelBuffer* pixels, std::vector<unsigned char>* storage) {
  if (!bitmap) return false;
  GdiFlush();  // pending platform drawing reaches the memory first
  DIBSECTION section;
  if (GetObjectW(bitmap, sizeof section, &section) == (int)sizeof section && section.dsBm.bmBits &&
      (section.dsBm.bmBitsPixel == 24 || section.dsBm.bmBitsPixel == 32) &&
      section.dsBmih.biCompression == BI_RGB) {
    const BITMAP& bm = section.dsBm;
    *pixels = BottomUpBuffer(bm.bmBits, bm.bmWidth, bm.bmHeight, bm.bmBitsPixel / 8);
    pixels->stride = bm.bmWidthBytes;
    if (section.dsBmih.biHeight < 0) {  // top-down: start at the last line, step backwards
      pixels->rows = (unsigned char*)bm.bmBits + (intptr_t)(bm.bmHeight - 1) * bm.bmWidthBytes;
      pixels->stride = -bm.bmWidthBytes;
    }
    return true;
  }
  // Any other bitmap: a 24-bit copy.
  BITMAP bm;
  if (!GetObjectW(bitmap, sizeof bm, &bm) || !RasterSizeAcceptable(bm.bmWidth, bm.bmHeight, 3)) return false;
  storage->assign((size_t)RasterStride(bm.bmWidth, 3) * bm.bmHeight, 0);
  BITMAPINFO info = BottomUpBitmapInfo(bm.bmWidth, bm.bmHeight, 3);
  ScopedGetDC screen(nullptr);
  if (GetDIBits(screen, bitmap, 0, (UINT)bm.bmHeight, storage->data(), &info, DIB_RGB_COLORS) != bm.bmHeight)
    return false;
  *pixels = BottomUpBuffer(storage->data(), bm.bmWidth, bm.bmHeight, 3);
  return true;
}

//-----------------------------------------------------------------------------
// Drawing context
//-----------------------------------------------------------------------------

struct DrawingContext {
  bool open;
  DrawingTarget target;
  HBITMAP bitmap;
  HDC dc;
  HGDIOBJ displacedBitmap;  // image targets: what the shared device context held before
  PixelBuffer pixels;
  DWORD savedBatchLimit;
};

static DrawingContext g_context;

// Image targets share one memory device context, made on first use and
// kept: making and deleting one costs more than most drawings on an
// image. Its settings are saved when a drawing opens and put back when it
// closes, so what one drawing changes does not reach the next.
static HDC g_imageDc;
static int g_imageDcState;

DrawingTarget CanvasTarget(int canvas) {
  HBITMAP bitmap;
  HDC dc;
  PixelBuffer pixels;
  if (!CanvasSurfaceOf(canvas, &bitmap, &dc, &pixels)) return DrawingTarget{TARGET_NONE, 0};
  return DrawingTarget{TARGET_CANVAS, canvas};
}

DrawingTarget ImageTarget(int image) {
  HBITMAP bitmap;
  PixelBuffer pixels;
  if (!ImagePixelsOf(image, &bitmap, &pixels)) return DrawingTarget{TARGET_NONE, 0};
  return DrawingTarget{TARGET_IMAGE, image};
}

void* BeginDrawing(DrawingTarget target) {
  if (g_context.open) return nullptr;
  DrawingContext c = {};
  c.target = target;
  if (target.kind == TARGET_CANVAS) {
    // A canvas keeps its surface selected in its own device context.
    if (!CanvasSurfaceOf(target.number, &c.bitmap, &c.dc, &c.pixels)) return nullptr;
  } else if (target.kind == TARGET_IMAGE) {
    if (!ImagePixelsOf(target.number, &c.bitmap, &c.pixels)) return nullptr;
    if (!g_imageDc) g_imageDc = CreateCompatibleDC(nullptr);
    if (!g_imageDc) return nullptr;
    c.dc = g_imageDc;
    g_imageDcState = SaveDC(c.dc);
    if (!g_imageDcState) return nullptr;
    c.displacedBitmap = SelectObject(c.dc, c.bitmap);
    if (!c.displacedBitmap) {
      RestoreDC(c.dc, g_imageDcState);
      return nullptr;
    }
  } else {
    return nullptr;
  }
  // Every platform drawing call is carried out at once, so its output is in
  // the pixel memory before the next direct access.
  c.savedBatchLimit = GdiSetBatchLimit(1);
  c.open = true;
  g_context = c;
  return c.dc;
}

int EndDrawing() {
  if (!g_context.open) return 0;
  DrawingContext c = g_context;
  g_context = DrawingContext{};
  GdiFlush();
  GdiSetBatchLimit(c.savedBatchLimit);
  if (c.target.kind == TARGET_IMAGE) {
    SelectObject(c.dc, c.displacedBitmap);
    RestoreDC(c.dc, g_imageDcState);
  } else {
    ShowCanvasSurfaceNow(c.target.number);
  }
  return 1;
}

void DetachDrawingFrom(HBITMAP bitmap) {
  if (g_context.open && g_context.bitmap == bitmap) EndDrawing();
}

int SurfaceWidth() { return g_context.open ? g_context.pixels.width : 0; }
int SurfaceHeight() { return g_context.open ? g_context.pixels.height : 0; }

//-----------------------------------------------------------------------------
// Drawing operations
//-----------------------------------------------------------------------------

static bool InsideTarget(int x, int y) {
  return g_context.open && x >= 0 && y >= 0 && x < g_context.pixels.width && y < g_context.pixels.height;
}

void FillBox(int x, int y, int width, int height, int color) {
  if (g_context.open) RasterFillBox(g_context.pixels, x, y, width, height, color);
}

void DrawLine(int x1, int y1, int x2, int y2, int color) {
  if (g_context.open) RasterDrawLine(g_context.pixels, x1, y1, x2, y2, color);
}

void FillColumns(int x, int y, int height, const int* colors, int count) {
  if (g_context.open) RasterFillColumns(g_context.pixels, x, y, height, colors, count);
}

void WritePixel(int x, int y, int color) {
  if (InsideTarget(x, y)) RasterWritePixel(g_context.pixels, x, y, color);
}

int ReadPixel(int x, int y) { return InsideTarget(x, y) ? RasterReadPixel(g_context.pixels, x, y) : 0; }

void DrawBitmap(void* bitmap, int x, int y) {
  PixelBuffer source;
  std::vector<unsigned char> storage;
  if (g_context.open && BitmapPixels((HBITMAP)bitmap, &source, &storage))
    RasterCopy(g_context.pixels, source, x, y);
}

void BlendBitmap(void* bitmap, int x, int y) {
  PixelBuffer source;
  std::vector<unsigned char> storage;
  if (g_context.open && BitmapPixels((HBITMAP)bitmap, &source, &storage))
    RasterBlend(g_context.pixels, source, x, y);
}

void DrawBitmapScaled(void* bitmap, int x, int y, int width, int height) {
  PixelBuffer source;
  std::vector<unsigned char> storage;
  if (g_context.open && BitmapPixels((HBITMAP)bitmap, &source, &storage))
    RasterScaleRawTo(g_context.pixels, source, x, y, width, height);
}
