// Display scale factors, the named layout values the window description
// refers to, and the settings defaults. No operating system here.
#pragma once
#include "runtime/settings.h"

// Pixels per inch / 96; 1.0 when the screen cannot be asked.
extern float DPIScaleX, DPIScaleY;

// The 25 named layout values, each a variable of its own so that the dialog
// engine can read it by reference.
extern int DPIx1, DPIx2, DPIx3, DPIx4, DPIx5, DPIx6, DPIx7, DPIx8, DPIx9, DPIx10, DPIx11,
    DPIx12, DPIx13;
extern int DPIy1, DPIy2, DPIy3, DPIy4, DPIy5, DPIy6, DPIy7, DPIy8, DPIy9, DPIy10, DPIy11, DPIy12;

struct LayoutValue {
  const char* name;
  char axis;  // 'x' scales by DPIScaleX, 'y' by DPIScaleY
  int base;   // the value at 96 pixels per inch
  int* variable;
};
const int kLayoutValueCount = 25;
extern const LayoutValue kLayoutValues[kLayoutValueCount];

// The scale factor for a pixels-per-inch reading; 0 keeps 1.0.
float ScaleFactorFromPixelsPerInch(int pixelsPerInch);

// round(base x factor): the single-precision product, taken to double and
// rounded to the nearest integer, halves to even.
int ScaleLayoutValue(int base, float factor);

// Sets DPIScaleX/Y and all 25 layout values.
void ComputeLayoutValues(float scaleX, float scaleY);

// The record of a first start: every byte 0, then the marker, a grey of
// `grey` in all three channels, the HTML notation, expanded, and the window at
// (320, 240) scaled.
void ApplyDefaultSettings(ConfigRecord* record, int grey, float scaleX, float scaleY);
