#include "app/startup_values.h"

#include <math.h>
#include <string.h>

#include "color/color_value.h"

float DPIScaleX = 1.0f, DPIScaleY = 1.0f;

int DPIx1, DPIx2, DPIx3, DPIx4, DPIx5, DPIx6, DPIx7, DPIx8, DPIx9, DPIx10, DPIx11, DPIx12, DPIx13;
int DPIy1, DPIy2, DPIy3, DPIy4, DPIy5, DPIy6, DPIy7, DPIy8, DPIy9, DPIy10, DPIy11, DPIy12;

const LayoutValue kLayoutValues[kLayoutValueCount] = {
    {"DPIx1", 'x', 156, &DPIx1},  // width of imgPaletteCapture
    {"DPIx2", 'x', 156, &DPIx2},  // width of FrameActive
    {"DPIx3", 'x', 0, &DPIx3},    // spacing of vboxActive
    {"DPIx4", 'x', -4, &DPIx4},   // spacing of vboxRGB
    {"DPIx5", 'x', 26, &DPIx5},   // width of txtR
    {"DPIx6", 'x', 26, &DPIx6},   // width of txtG
    {"DPIx7", 'x', 26, &DPIx7},   // width of txtB
    {"DPIx8", 'x', 0, &DPIx8},    // spacing of vbox3
    {"DPIx9", 'x', 156, &DPIx9},  // width of right
    {"DPIx10", 'x', 156, &DPIx10},  // width of FrameParams
    {"DPIx11", 'x', 31, &DPIx11},   // width of imgPaletteCurrent
    {"DPIx12", 'x', 31, &DPIx12},   // width of cmdSelector
    {"DPIx13", 'x', 31, &DPIx13},   // width of cmdSelectorImg
    {"DPIy1", 'y', 0, &DPIy1},    // margin of singlebox1_c1
    {"DPIy2", 'y', 8, &DPIy2},    // height of imgPaletteR
    {"DPIy3", 'y', 0, &DPIy3},    // margin of singlebox1_c1_c1
    {"DPIy4", 'y', 9, &DPIy4},    // height of imgPaletteG
    {"DPIy5", 'y', 0, &DPIy5},    // margin of singlebox1_c2
    {"DPIy6", 'y', 9, &DPIy6},    // height of imgPaletteB
    {"DPIy7", 'y', 2, &DPIy7},    // height of empty1
    {"DPIy8", 'y', 20, &DPIy8},   // height of imgPaletteAuto
    {"DPIy9", 'y', 0, &DPIy9},    // margin of singlebox3
    {"DPIy10", 'y', 31, &DPIy10},  // height of cmdSelector
    {"DPIy11", 'y', 31, &DPIy11},  // height of cmdSelectorImg
    {"DPIy12", 'y', 20, &DPIy12},  // height of imgPaletteHistory
};

float ScaleFactorFromPixelsPerInch(int pixelsPerInch) {
  if (pixelsPerInch == 0) return 1.0f;
  return (float)((long double)pixelsPerInch / 96.0L);
}

int ScaleLayoutValue(int base, float factor) {
  float product = factor * (float)base;
  return (int)nearbyint((double)product);  // the default rounding mode: halves to even
}

void ComputeLayoutValues(float scaleX, float scaleY) {
  DPIScaleX = scaleX;
  DPIScaleY = scaleY;
  for (const LayoutValue& v : kLayoutValues)
    *v.variable = ScaleLayoutValue(v.base, v.axis == 'x' ? scaleX : scaleY);
}

void ApplyDefaultSettings(ConfigRecord* record, int grey, float scaleX, float scaleY) {
  memset(record, 0, sizeof *record);
  record->CRC = kSettingsMarker;
  record->Autocopy = 0;
  record->Color = ComposeColor(grey, grey, grey);
  record->ColorFormat = NOTATION_HTML;
  record->ColorFormatLCase = 0;
  record->WinTopmost = 0;
  record->WinExpanded = 1;
  record->WinX = ScaleLayoutValue(320, scaleX);
  record->WinY = ScaleLayoutValue(240, scaleY);
}
