// The named layout values the window description refers to, and the
// settings defaults. No operating system here.
#pragma once
#include "app/settings_record.h"

// The 25 named layout values, in logical units like every length of the
// window description: the windowing layer scales them to pixels, once. Each
// is a variable of its own so that the dialog engine can read it by reference.
extern int DPIx1, DPIx2, DPIx3, DPIx4, DPIx5, DPIx6, DPIx7, DPIx8, DPIx9, DPIx10, DPIx11,
    DPIx12, DPIx13;
extern int DPIy1, DPIy2, DPIy3, DPIy4, DPIy5, DPIy6, DPIy7, DPIy8, DPIy9, DPIy10, DPIy11, DPIy12;

struct LayoutValue {
  const char* name;
  int* variable;
};
const int kLayoutValueCount = 25;
extern const LayoutValue kLayoutValues[kLayoutValueCount];

// The record of a first start: every byte 0, then the marker, a grey of
// `grey` in all three channels, the HTML notation, expanded, and the window at
// (320, 240) logical units.
void ApplyDefaultSettings(ConfigRecord* record, int grey);
