// The channel fields and gradient strips on the real controls.
#include "app/channel_controls.h"

#include <vector>

#include "app/program_context.h"
#include "color/channel_views.h"
#include "runtime/canvas.h"
#include "runtime/drawing.h"
#include "runtime/windowing.h"

// Each column a vertical line in the colour of its row index, all columns in
// one pass.
static void DrawGradientStrip(int canvas, const GradientRows& rows, int channel) {
  if (!BeginDrawing(CanvasTarget(canvas))) return;
  int width = SurfaceWidth(), height = SurfaceHeight();
  std::vector<int> columns((size_t)width);
  for (int x = 0; x < width; x++) columns[(size_t)x] = GradientColumnColor(rows, channel, x, width);
  FillColumns(0, 0, height, columns.data(), width);
  EndDrawing();
}

void RefreshChannelFields(int color, bool force) {
  const ColorWidgets& w = GProgram->controls;
  const int fields[CHANNEL_COUNT] = {w.txtR, w.txtG, w.txtB};
  for (int c = 0; c < CHANNEL_COUNT; c++) {
    if (!ControlExists(fields[c])) continue;
    ChannelFieldView view = ChannelFieldFor(color, c, ControlText(fields[c]).c_str(), force);
    if (view.rewrite) SetControlText(fields[c], view.text.c_str());  // raises no change event
    SetControlColors(fields[c], view.background, view.textColor);
  }
}

void DrawChannelStrips(int color) {
  const ColorWidgets& w = GProgram->controls;
  const int strips[CHANNEL_COUNT] = {w.imgPaletteR, w.imgPaletteG, w.imgPaletteB};
  GradientRows rows;
  BuildGradientRows(color, &rows);
  for (int c = 0; c < CHANNEL_COUNT; c++) DrawGradientStrip(strips[c], rows, c);
}

void RefreshChannelViews(int color, bool force) {
  if (!NeedsRedraw(&GProgram->channelsDrawn, color, force)) return;
  RefreshChannelFields(color, force);
  DrawChannelStrips(color);
}
