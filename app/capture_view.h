// The screen picker and the capture view on the real canvases. Windows only
// (the header does not include windows.h); the region's size, the stored
// capture and the crosshair's pulse live in color/capture.h.
#pragma once

// Copies the CaptureSize region centred on the pointer's hot spot (the raw
// capture, CONFIG.CapturedImg), makes its centre pixel the current colour
// (swatch, text and channel views; no name list, no history) and shows it
// magnified over the whole capture view surface. Live, a pulsing grey
// crosshair marks the four pixels around the centre in the view.
void CaptureScreen(bool live);

// The release of a pick: the final capture without crosshair, then the name
// list, the history, the automatic palette and the stored capture
// (CONFIG.CapturedImgData in column order). The drag protocol sets the arrow
// cursor, restores the mouse speed and ends the drag.
void CommitPick();

// Start-up: shows the stored capture in the capture view and rebuilds the
// automatic palette from it; the current colour stays.
void RestoreCapture();
