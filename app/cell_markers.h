// The cell markers of the capture view, the automatic palette and the
// history: the cell the keys stand on in each, drawn around its cell on
// screen. On the runtime's canvases; windows only (the header does not
// include windows.h).
#pragma once
#include "color/canvas_drag.h"

// The marker of a canvas that has cells (capture view, palette, history);
// null for others.
CellMarker* MarkerOf(int canvas);

// The marked cell's colour, as a click in its middle takes it; -1 for none.
int MarkedColor(int canvas);

// Draws the canvas's cell marker where it stands, for the cells the canvas
// shows now (capture view, palette or history; others have none).
void ShowCellMarker(int canvas);

// Moves the canvas's marker by a key's command (KEY_MARKER_MOVE, _FIRST,
// _LAST) within the cells it shows now, and draws it there. False when the
// canvas has no marker or the marker stays where it was.
bool StepCellMarker(int canvas, const CanvasKeyCommand& command);

// The markers' first places: the capture view's centre (the picked pixel),
// the palette's and the history's first box; each drawn there.
void PlaceCellMarkers();
