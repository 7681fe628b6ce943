// The arithmetic of the display scale: lengths between logical units
// (1/96 inch) and device pixels at a scale, and whether the windowing layer
// takes a change of scale that the system announces. No operating system
// here; runtime/windowing_win.cpp keeps the scales and carries these out.
#pragma once

// Pixels per inch at which a logical unit is one pixel.
const int kLogicalPixelsPerInch = 96;

// The factor of a scale of `pixelsPerInch`: pixelsPerInch / 96 as a
// single-precision number (1.5 at 144); 1 for a scale of 0 or less, which a
// failed query reports.
float ScaleFactorOf(int pixelsPerInch);

// v logical units in device pixels at `factor`, rounded to nearest (halves
// up), held within the range of int: a logical value may come from a file.
int LogicalToDevice(int v, float factor);
// Device pixels back to logical units: floor(v / factor + 0.5). At a factor
// of 1 or more a length converted to pixels and back is the length itself,
// so lengths laid out again at each of several scales never drift.
int DeviceToLogical(int v, float factor);

// Whether a window whose scale is `currentPixelsPerInch` takes a change to
// `newPixelsPerInch` that the system announces:
//   - not while a change is being applied (`applying`): the window's own move
//     to the rectangle of a change may carry it across monitors again, and a
//     change taken then would undo the one being applied, and the next would
//     redo it, without end; the window keeps the scale being applied;
//   - not while the window is hidden (`shown` false): it is being built and
//     placed, and takes its monitor's scale itself before it shows;
//   - not a scale it has already, nor one no display has (below 24 or above
//     2400 pixels per inch: a message of nonsense).
bool TakesScaleChange(int currentPixelsPerInch, int newPixelsPerInch, bool applying, bool shown);
