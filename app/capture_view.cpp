// The screen picker and the capture view, through the runtime's screen copy,
// images and drawing.
#include "app/capture_view.h"

#include <vector>

#include "app/current_color.h"
#include "app/image_pixels.h"
#include "app/main_controls.h"
#include "app/name_list.h"
#include "app/program_context.h"
#include "app/screen_reader.h"
#include "app/settings_record.h"
#include "app/swatch_controls.h"
#include "color/capture.h"
#include "color/color_value.h"
#include "runtime/canvas.h"
#include "runtime/drawing.h"
#include "runtime/images.h"
#include "runtime/pointer.h"
#include "runtime/windowing.h"

// The new region becomes the context's raw capture, the last one released.
static void SetRawCapture(int image) {
  ProgramContext& g = *GProgram;
  if (g.rawCapture && g.rawCapture != image) ReleaseImage(g.rawCapture);
  g.rawCapture = image;
  CONFIG.CapturedImg = image;
}

// The region size for the capture view as the control library reports it.
static CaptureDims ViewCaptureSize() {
  int view = GProgram->controls.imgPaletteCapture;
  return CaptureSize(ControlWidth(view), ControlHeight(view));
}

// No crosshair: the grey of a live capture's crosshair otherwise.
const int kNoCrosshair = -1;

// Scales the image without smoothing over the capture view's whole surface,
// in device pixels, so the picture fills the view at every display scale.
// Scaled straight onto the surface, and the crosshair drawn there as the
// blocks its four pixels (next to the centre: above, below, left, right)
// become: the view shows what magnifying a copy with the crosshair on it
// would show, and neither a copy nor a scaled picture is made.
static void ShowMagnified(int image, int crosshairGrey) {
  int view = GProgram->controls.imgPaletteCapture;
  if (!BeginDrawing(CanvasTarget(view))) return;
  int width = SurfaceWidth(), height = SurfaceHeight();
  DrawBitmapScaled(ImageBitmap(image), 0, 0, width, height);
  if (crosshairGrey != kNoCrosshair) {
    int regionWidth = ImageWidth(image), regionHeight = ImageHeight(image);
    const int around[4][2] = {{0, -1}, {0, 1}, {-1, 0}, {1, 0}};
    for (const auto& step : around) {
      int x, columns, y, rows;  // none for a pixel outside the region (a 1-pixel one)
      RasterScaledSpan(regionWidth / 2 + step[0], regionWidth, width, &x, &columns);
      RasterScaledSpan(regionHeight / 2 + step[1], regionHeight, height, &y, &rows);
      if (columns > 0 && rows > 0) FillBox(x, y, columns, rows, crosshairGrey);
    }
  }
  EndDrawing();
  // Its marked cell's colour has changed with it.
  TellValueChangesNow(MainControlBit(GProgram->controls, view));
}

//-----------------------------------------------------------------------------
// Capturing
//-----------------------------------------------------------------------------

// Where the pointer stands for the pick: during a pick from the keyboard
// where the keys put it (unless the mouse moved it since); false when unknown.
static bool PickPointerPosition(int* x, int* y) {
  if (!PointerScreenPosition(x, y)) return false;
  const KeyPointer& keys = GProgram->keyPointer;
  if (keys.active) KeyPointerPlace(keys, *x, *y, x, y);
  return true;
}

void CaptureScreen(bool live) {
  ProgramContext& g = *GProgram;
  int x, y;
  if (!PickPointerPosition(&x, &y)) return;
  CaptureDims size = ViewCaptureSize();
  // The new region replaces the last one; an image of the same size takes it in.
  SetRawCapture(CopyScreenRegion(g.rawCapture ? g.rawCapture : kAutoNumber, x - size.width / 2,
                                 y - size.height / 2, size.width, size.height));
  if (!g.rawCapture || !BeginDrawing(ImageTarget(g.rawCapture))) return;
  int centre = ReadPixel(size.width / 2, size.height / 2);  // the crosshair never covers it
  EndDrawing();
  int grey = kNoCrosshair;
  if (live) {
    int level = AdvanceCrosshairPulse(&g.pulse);
    grey = ComposeColor(level, level, level);
  }
  SetCurrentColor(centre, SET_COLOR_VIEWS_ONLY);
  ShowMagnified(g.rawCapture, grey);
}

//-----------------------------------------------------------------------------
// Committing and restoring
//-----------------------------------------------------------------------------

void CommitPick() {
  ProgramContext& g = *GProgram;
  // Only a region captured now is committed: the last tick's goes first, so
  // a release at which the pointer cannot be read commits nothing.
  SetRawCapture(0);
  CaptureScreen(false);
  if (!g.rawCapture) return;  // nothing was copied: the colour of the last tick stands
  const ColorWidgets& w = g.controls;
  int width = 0, height = 0;
  std::vector<int32_t> pixels = ReadImagePixels(g.rawCapture, &width, &height);
  // CaptureScreen has made the centre current unless it could not draw; only
  // then is it set here, so an automatic copy happens once.
  if (!pixels.empty()) {
    int centre = pixels[(size_t)(height / 2) * width + width / 2];
    if (centre != CONFIG.Color) SetCurrentColor(centre, SET_COLOR_VIEWS_ONLY);
  }
  RefreshNameList(CONFIG.Color, w.lstResults, false, false);
  AddToHistory(CONFIG.Color);
  BuildAutoPalette(g.rawCapture, w.imgPaletteAuto);
  if (!pixels.empty()) StoreCapturedPixels(pixels.data(), width, height, CONFIG.CapturedImgData);
  SetRawCapture(0);
}

void RestoreCapture() {
  SetRawCapture(0);
  CaptureDims size = ViewCaptureSize();
  int image = CreatePixelImage(kAutoNumber, size.width, size.height, 32, 0);
  if (!image) return;
  std::vector<int32_t> pixels((size_t)size.width * size.height);
  PlotStoredCapture(CONFIG.CapturedImgData, pixels.data(), size.width, size.height);
  if (BeginDrawing(ImageTarget(image))) {
    for (int y = 0; y < size.height; y++)
      for (int x = 0; x < size.width; x++) WritePixel(x, y, pixels[(size_t)y * size.width + x]);
    EndDrawing();
  }
  BuildAutoPalette(image, GProgram->controls.imgPaletteAuto);
  ShowMagnified(image, kNoCrosshair);
  ReleaseImage(image);
}
