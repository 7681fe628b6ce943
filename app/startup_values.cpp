#include "app/startup_values.h"

#include <string.h>

#include "color/color_value.h"

int DPIx1 = 156;  // width of imgPaletteCapture
int DPIx2 = 156;  // width of FrameActive
int DPIx3 = 0;    // spacing of vboxActive
int DPIx4 = -4;   // spacing of vboxRGB
int DPIx5 = 26;   // width of txtR
int DPIx6 = 26;   // width of txtG
int DPIx7 = 26;   // width of txtB
int DPIx8 = 0;    // spacing of vbox3
int DPIx9 = 156;  // width of right
int DPIx10 = 156;  // width of FrameParams
int DPIx11 = 31;   // width of imgPaletteCurrent
int DPIx12 = 31;   // width of cmdSelector
int DPIx13 = 31;   // width of cmdSelectorImg
int DPIy1 = 0;    // margin of singlebox1_c1
int DPIy2 = 8;    // height of imgPaletteR
int DPIy3 = 0;    // margin of singlebox1_c1_c1
int DPIy4 = 9;    // height of imgPaletteG
int DPIy5 = 0;    // margin of singlebox1_c2
int DPIy6 = 9;    // height of imgPaletteB
int DPIy7 = 2;    // height of empty1
int DPIy8 = 20;   // height of imgPaletteAuto
int DPIy9 = 0;    // margin of singlebox3
int DPIy10 = 31;  // height of cmdSelector
int DPIy11 = 31;  // height of cmdSelectorImg
int DPIy12 = 20;  // height of imgPaletteHistory

const LayoutValue kLayoutValues[kLayoutValueCount] = {
    {"DPIx1", &DPIx1},   {"DPIx2", &DPIx2},   {"DPIx3", &DPIx3},   {"DPIx4", &DPIx4},   {"DPIx5", &DPIx5},
    {"DPIx6", &DPIx6},   {"DPIx7", &DPIx7},   {"DPIx8", &DPIx8},   {"DPIx9", &DPIx9},   {"DPIx10", &DPIx10},
    {"DPIx11", &DPIx11}, {"DPIx12", &DPIx12}, {"DPIx13", &DPIx13}, {"DPIy1", &DPIy1},   {"DPIy2", &DPIy2},
    {"DPIy3", &DPIy3},   {"DPIy4", &DPIy4},   {"DPIy5", &DPIy5},   {"DPIy6", &DPIy6},   {"DPIy7", &DPIy7},
    {"DPIy8", &DPIy8},   {"DPIy9", &DPIy9},   {"DPIy10", &DPIy10}, {"DPIy11", &DPIy11}, {"DPIy12", &DPIy12},
};

void ApplyDefaultSettings(ConfigRecord* record, int grey) {
  memset(record, 0, sizeof *record);
  record->validityMarker = kSettingsMarker;
  record->Autocopy = 0;
  record->Color = ComposeColor(grey, grey, grey);
  record->ColorFormat = NOTATION_HTML;
  record->ColorFormatLCase = 0;
  record->WinTopmost = 0;
  record->WinExpanded = 1;
  record->WinX = 320;  // logical units, as every stored position
  record->WinY = 240;
}
