// The current swatch, the history strip and the automatic palette on the
// real canvases.
#include "app/swatch_controls.h"

#include <vector>

#include "app/cell_markers.h"
#include "app/image_pixels.h"
#include "app/main_controls.h"
#include "app/program_context.h"
#include "app/screen_reader.h"
#include "app/settings_record.h"
#include "color/capture.h"
#include "color/color_value.h"
#include "color/swatch_strips.h"
#include "runtime/canvas.h"
#include "runtime/drawing.h"
#include "runtime/images.h"
#include "runtime/windowing.h"

// Fills the boxes over the canvas's full height.
static void DrawBoxes(const SwatchBox* boxes, int count) {
  int height = SurfaceHeight();
  for (int i = 0; i < count; i++) FillBox(boxes[i].x, 0, boxes[i].width, height, boxes[i].color);
}

//-----------------------------------------------------------------------------
// Current swatch
//-----------------------------------------------------------------------------

void RefreshCurrentSwatch(int color, bool force) {
  ProgramContext& g = *GProgram;
  if (!NeedsRedraw(&g.swatchDrawn, color, force)) return;
  const ColorWidgets& w = g.controls;
  if (BeginDrawing(CanvasTarget(w.imgPaletteCurrent))) {
    FillBox(0, 0, SurfaceWidth(), SurfaceHeight(), color);
    EndDrawing();
  }
  SetControlText(w.txtRGB, FormatColor(color, CONFIG.ColorFormat, CONFIG.ColorFormatLCase).c_str());
}

//-----------------------------------------------------------------------------
// History
//-----------------------------------------------------------------------------

// A strip's colours shown anew: its marker and its value follow.
static void ShowStripChanged(int canvas) {
  ShowCellMarker(canvas);
  TellValueChangesNow(MainControlBit(GProgram->controls, canvas));
}

void DrawHistory() {
  int canvas = GProgram->controls.imgPaletteHistory;
  if (!BeginDrawing(CanvasTarget(canvas))) return;
  SwatchBox boxes[kRecentColorCount];
  DrawBoxes(boxes, LayoutHistoryBoxes(CONFIG.ColorRecent, SurfaceWidth(), boxes));
  EndDrawing();
  ShowStripChanged(canvas);
}

void AddToHistory(int color) {
  MoveColorToFront(CONFIG.ColorRecent, color);
  DrawHistory();
}

//-----------------------------------------------------------------------------
// Automatic palette
//-----------------------------------------------------------------------------

std::vector<int32_t> ReadImagePixels(int image, int* width, int* height) {
  std::vector<int32_t> pixels;
  if (!BeginDrawing(ImageTarget(image))) return pixels;
  *width = SurfaceWidth();
  *height = SurfaceHeight();
  pixels.reserve((size_t)*width * *height);
  for (int y = 0; y < *height; y++)
    for (int x = 0; x < *width; x++) pixels.push_back(ReadPixel(x, y));
  EndDrawing();
  return pixels;
}

void BuildAutoPalette(int image, int canvas) {
  int width = 0, height = 0;
  std::vector<int32_t> rows = ReadImagePixels(image, &width, &height);
  std::vector<int32_t> columns(rows.size());  // the counting visits column by column
  int pixelCount = CaptureColumnOrder(rows.data(), width, height, columns.data(), (int)columns.size());

  PaletteEntry entries[kPaletteLimit];
  int count = BuildPaletteEntries(columns.data(), pixelCount, entries);
  if (count == 0 || !BeginDrawing(CanvasTarget(canvas))) return;
  SwatchBox boxes[kPaletteLimit];
  int boxCount = LayoutPaletteBoxes(entries, count, SurfaceWidth(), boxes);
  DrawBoxes(boxes, boxCount);
  EndDrawing();
  ProgramContext& g = *GProgram;
  if (canvas != g.controls.imgPaletteAuto) return;
  // The boxes the palette's marker moves over.
  for (int i = 0; i < boxCount; i++) g.paletteBoxes[i] = boxes[i];
  g.paletteBoxCount = boxCount;
  ShowStripChanged(canvas);
}
