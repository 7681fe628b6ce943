// The cell markers of the capture view, the automatic palette and the
// history, on the runtime's canvases.
#include "app/cell_markers.h"

#include "app/main_controls.h"
#include "app/program_context.h"
#include "app/settings_record.h"
#include "color/capture.h"
#include "color/swatch_strips.h"
#include "runtime/canvas.h"
#include "runtime/raster.h"
#include "runtime/windowing.h"

CellMarker* MarkerOf(int canvas) {
  ProgramContext& g = *GProgram;
  const ColorWidgets& c = g.controls;
  if (canvas <= 0) return nullptr;
  if (canvas == c.imgPaletteCapture) return &g.captureMarker;
  if (canvas == c.imgPaletteAuto) return &g.paletteMarker;
  if (canvas == c.imgPaletteHistory) return &g.historyMarker;
  return nullptr;
}

// A cell's rectangle in surface pixels.
struct CellRect {
  int x, y, width, height;
};

// The cells the canvas shows now, in columns and rows, and the rectangle of
// one of them; false when it has none. The capture view's cells are the
// captured pixels, magnified over its surface; the palette's its boxes; the
// history's its 16 boxes.
static bool CellsOf(int canvas, int* columns, int* rows, CellMarker cell, CellRect* rect) {
  const ProgramContext& g = *GProgram;
  const ColorWidgets& c = g.controls;
  int width, height;
  if (!MarkerOf(canvas) || !CanvasSurfaceSize(canvas, &width, &height)) return false;
  *rows = 1;
  if (canvas == c.imgPaletteCapture) {
    CaptureDims size = CaptureSize(ControlWidth(canvas), ControlHeight(canvas));
    *columns = size.width;
    *rows = size.height;
    if (cell.column >= size.width || cell.row >= size.height) return false;
    RasterScaledSpan(cell.column, size.width, width, &rect->x, &rect->width);
    RasterScaledSpan(cell.row, size.height, height, &rect->y, &rect->height);
    return rect->width > 0 && rect->height > 0;
  }
  SwatchBox history[kRecentColorCount];
  const SwatchBox* boxes = history;
  if (canvas == c.imgPaletteHistory) {
    *columns = LayoutHistoryBoxes(CONFIG.ColorRecent, width, history);
  } else {
    // The palette's boxes that show: with 33 colours the last may lie past the strip.
    boxes = g.paletteBoxes;
    *columns = 0;
    while (*columns < g.paletteBoxCount && g.paletteBoxes[*columns].x < width) ++*columns;
  }
  if (cell.column >= *columns) return false;
  *rect = CellRect{boxes[cell.column].x, 0, boxes[cell.column].width, height};
  // A box may reach past the strip (the palette's 33rd): its visible part.
  if (rect->x + rect->width > width) rect->width = width - rect->x;
  return rect->width > 0;
}

int MarkedColor(int canvas) {
  const CellMarker* marker = MarkerOf(canvas);
  int columns, rows;
  CellRect cell;
  if (!marker || !CellsOf(canvas, &columns, &rows, *marker, &cell)) return -1;
  return CanvasSurfacePixel(canvas, cell.x + cell.width / 2, cell.y + cell.height / 2);
}

void ShowCellMarker(int canvas) {
  CellMarker* marker = MarkerOf(canvas);
  if (!marker) return;
  int columns = 0, rows = 0, width = 0, height = 0, x = 0, y = 0, w = 0, h = 0;
  CellRect cell;
  CellsOf(canvas, &columns, &rows, CellMarker{0, 0}, &cell);
  *marker = MoveCellMarker(*marker, CanvasKeyCommand{}, columns, rows);  // held within fewer cells
  bool framed = CellsOf(canvas, &columns, &rows, *marker, &cell) && CanvasSurfaceSize(canvas, &width, &height) &&
                CellMarkerFrame(cell.x, cell.y, cell.width, cell.height, width, height, &x, &y, &w, &h);
  if (framed) SetCanvasMarker(canvas, x, y, w, h);
  else SetCanvasMarker(canvas, 0, 0, 0, 0);
}

bool StepCellMarker(int canvas, const CanvasKeyCommand& command) {
  CellMarker* marker = MarkerOf(canvas);
  if (!marker) return false;
  int columns = 0, rows = 0;
  CellRect cell;
  CellsOf(canvas, &columns, &rows, CellMarker{0, 0}, &cell);
  CellMarker moved = MoveCellMarker(*marker, command, columns, rows);
  if (moved.column == marker->column && moved.row == marker->row) return false;
  *marker = moved;
  ShowCellMarker(canvas);
  return true;
}

void PlaceCellMarkers() {
  ProgramContext& g = *GProgram;
  const ColorWidgets& c = g.controls;
  CaptureDims size = CaptureSize(ControlWidth(c.imgPaletteCapture), ControlHeight(c.imgPaletteCapture));
  g.captureMarker = CellMarker{size.width / 2, size.height / 2};  // the picked pixel
  g.paletteMarker = g.historyMarker = CellMarker{0, 0};
  for (int canvas : {c.imgPaletteCapture, c.imgPaletteAuto, c.imgPaletteHistory}) ShowCellMarker(canvas);
}
