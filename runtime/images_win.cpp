// Numbered images as device-independent bitmap sections on Win32.
#include "runtime/win32_internal.h"  // windows.h first

#include <string.h>

#include <map>

#include "runtime/drawing.h"
#include "runtime/image_decode.h"
#include "runtime/images.h"
#include "runtime/screen_parts.h"
#include "runtime/windowing.h"

//-----------------------------------------------------------------------------
// Registry
//-----------------------------------------------------------------------------

struct ImageRecord {
  HBITMAP bitmap;
  PixelBuffer pixels;  // always bottom-up, rows of RasterStride bytes
};

static std::map<int, ImageRecord> g_images;
static int g_nextImageNumber = 1;

static bool ImageNumberTaken(int n) { return g_images.count(n) != 0; }

// Enters a new bitmap under `number`, replacing an image that held it.
// Takes ownership of the bitmap even when it fails.
static int StoreImage(int number, HBITMAP bitmap, const PixelBuffer& pixels) {
  if (number == kAutoNumber) number = FreshNumber(g_nextImageNumber, ImageNumberTaken);
  if (number <= 0) {
    DeleteObject(bitmap);
    return 0;
  }
  ReleaseImage(number);
  g_images[number] = ImageRecord{bitmap, pixels};
  return number;
}

static const ImageRecord* FindImage(int image) {
  auto it = g_images.find(image);
  return it == g_images.end() ? nullptr : &it->second;
}

bool ImagePixelsOf(int image, HBITMAP* bitmap, PixelBuffer* pixels) {
  const ImageRecord* r = FindImage(image);
  if (!r) return false;
  *bitmap = r->bitmap;
  *pixels = r->pixels;
  return true;
}

bool ImageExists(int image) { return FindImage(image) != nullptr; }

void* ImageBitmap(int image) {
  const ImageRecord* r = FindImage(image);
  return r ? r->bitmap : nullptr;
}

int ImageWidth(int image) {
  const ImageRecord* r = FindImage(image);
  return r ? r->pixels.width : 0;
}

int ImageHeight(int image) {
  const ImageRecord* r = FindImage(image);
  return r ? r->pixels.height : 0;
}

int ImageDepth(int image) {
  const ImageRecord* r = FindImage(image);
  return r ? r->pixels.bytesPerPixel * 8 : 0;
}

static void DeleteImageBitmap(HBITMAP bitmap) {
  DetachDrawingFrom(bitmap);  // a bitmap selected for drawing cannot be deleted
  DeleteObject(bitmap);
}

void ReleaseImage(int image) {
  if (image == kAllImages) {
    for (auto& entry : g_images) DeleteImageBitmap(entry.second.bitmap);
    g_images.clear();
    return;
  }
  auto it = g_images.find(image);
  if (it == g_images.end()) return;
  DeleteImageBitmap(it->second.bitmap);
  g_images.erase(it);
}

//-----------------------------------------------------------------------------
// Making images
//-----------------------------------------------------------------------------

int CreatePixelImage(int number, int width, int height, int bitsPerPixel, int background) {
  PixelBuffer pixels;
  HBITMAP bitmap = NewPixelBitmap(width, height, bitsPerPixel == 32 ? 4 : 3, &pixels);
  if (!bitmap) return 0;
  RasterFillImageBackground(pixels, background);
  return StoreImage(number, bitmap, pixels);
}

static size_t PixelBytes(const PixelBuffer& b) { return (size_t)b.stride * b.height; }

int DuplicateImage(int image, int number) {
  const ImageRecord* source = FindImage(image);
  if (!source) return 0;
  PixelBuffer pixels;
  HBITMAP bitmap = NewPixelBitmap(source->pixels.width, source->pixels.height, source->pixels.bytesPerPixel, &pixels);
  if (!bitmap) return 0;
  GdiFlush();
  memcpy(pixels.rows, source->pixels.rows, PixelBytes(pixels));
  return StoreImage(number, bitmap, pixels);
}

int ScaleImage(int image, int width, int height, int mode) {
  auto it = g_images.find(image);
  if (it == g_images.end()) return 0;
  ImageRecord& r = it->second;
  if (width == r.pixels.width && height == r.pixels.height) return 1;
  PixelBuffer pixels;
  HBITMAP bitmap = NewPixelBitmap(width, height, r.pixels.bytesPerPixel, &pixels);
  if (!bitmap) return 0;
  GdiFlush();
  if (mode == SCALE_RAW) RasterScaleRaw(pixels, r.pixels);
  else RasterScaleSmooth(pixels, r.pixels);
  DeleteImageBitmap(r.bitmap);
  r.bitmap = bitmap;
  r.pixels = pixels;
  return 1;
}

int DecodeImage(int number, const void* data, size_t size) {
  DecodedImage decoded;
  if (!DecodeImageData(data, size, &decoded)) return 0;
  PixelBuffer pixels;
  HBITMAP bitmap = NewPixelBitmap(decoded.width, decoded.height, decoded.bitsPerPixel / 8, &pixels);
  if (!bitmap) return 0;
  memcpy(pixels.rows, decoded.pixels.data(), PixelBytes(pixels));  // the same layout
  return StoreImage(number, bitmap, pixels);
}

// Reads the region's parts that lie on a monitor, each where it lies in the
// region; the rest of the target stays as it is. The screen's device context
// counts in virtual-screen pixels with the primary monitor's top-left corner
// at (0, 0), as the pointer and the monitors' rectangles do, on every
// monitor; one made by CreateDCW("DISPLAY") may count from the virtual
// screen's top-left corner instead, off by the origin once a monitor lies
// left of or above the primary.
static bool CopyFromDisplay(HDC target, const ScreenRect& region, const std::vector<ScreenRect>& parts) {
  ScopedGetDC screen(nullptr);
  if (!screen) return false;
  for (const ScreenRect& p : parts)
    if (!BitBlt(target, p.x, p.y, p.width, p.height, screen, region.x + p.x, region.y + p.y, SRCCOPY)) return false;
  return true;
}

// An image that is already 32 bits and of this size takes the copy itself,
// made black first as a new one starts: the picker copies a region of the
// same size many times a second.
int CopyScreenRegion(int number, int left, int top, int width, int height, std::vector<ScreenRect>* onMonitors) {
  const ImageRecord* kept = FindImage(number);
  int image = 0;
  if (kept && kept->pixels.width == width && kept->pixels.height == height && kept->pixels.bytesPerPixel == 4) {
    GdiFlush();
    RasterFillImageBackground(kept->pixels, 0);
    image = number;
  } else {
    image = CreatePixelImage(number, width, height, 32, 0);
  }
  if (!image) return 0;
  ScreenRect region = {left, top, width, height};
  std::vector<ScreenRect> monitors = MonitorRects(&region);
  std::vector<ScreenRect> parts = RegionPartsOnMonitors(region, monitors.data(), (int)monitors.size());
  HDC dc = (HDC)BeginDrawing(ImageTarget(image));
  bool copied = dc && CopyFromDisplay(dc, region, parts);
  if (dc) EndDrawing();
  if (copied) {
    if (onMonitors) *onMonitors = parts;
    return image;
  }
  ReleaseImage(image);
  return 0;
}

int CopyControlImage(int number, int control) {
  HWND hwnd = (HWND)ControlHandle(control);
  RECT r;
  if (!hwnd || !GetWindowRect(hwnd, &r)) return 0;
  int image = CreatePixelImage(number, r.right - r.left, r.bottom - r.top, 24, 0);
  if (!image) return 0;
  HDC dc = (HDC)BeginDrawing(ImageTarget(image));
  if (dc) {
    SendMessageW(hwnd, WM_PRINT, (WPARAM)dc, PRF_ERASEBKGND | PRF_CLIENT | PRF_NONCLIENT | PRF_CHILDREN);
    EndDrawing();
    return image;
  }
  ReleaseImage(image);
  return 0;
}
