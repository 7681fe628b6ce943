// The colour widgets on the real controls: the channel fields and strips, the
// current swatch, the history strip, the automatic palette, the screen picker
// with its capture view, the name list, and the one handler of every control
// event of the main window. Windows only (the header does not include
// windows.h); the arithmetic behind them lives in color/, the pure model.
#pragma once
#include "color/canvas_drag.h"
#include "runtime/event_queue.h"

//-----------------------------------------------------------------------------
// The widget set
//-----------------------------------------------------------------------------

// The control numbers of the main window, each field named after its control
// in the window description: those the widgets draw on and read, then the
// shell's own. 0 (or -1) for a control that does not exist: its drawing is
// skipped and it never matches an event. Each control but the window has its
// row in kMainControls (app/main_controls.h), which gives its name, its events
// and its drag rule.
struct ColorWidgets {
  int wndMain;            // owner of the colour dialog
  int cmdSelector;        // picker button (canvas)
  int imgPaletteCapture;  // magnified capture view (canvas)
  int imgPaletteAuto;     // automatic palette (canvas)
  int imgPaletteHistory;  // history strip (canvas)
  int imgPaletteR, imgPaletteG, imgPaletteB;  // channel strips (canvases)
  int txtR, txtG, txtB;   // channel fields (text fields)
  int imgPaletteCurrent;  // current swatch (canvas)
  int txtRGB;             // the colour in the chosen notation (read-only text field)
  int lstResults;         // nearest names (list view)
  // The shell's own controls.
  int FrameParams;        // right-hand panel, the target of right-click collapsing
  int frame1, frame1_c1;  // frames around the picker button and the swatch
  int cmdSelectorImg;     // native button whose face the picker button takes, then hidden
  int cmdOptions;         // opens the options menu
};

// Makes `widgets` the program context's control record, which every
// function below works on, and hands the refresh functions and the clipboard
// to SetCurrentColor. The redraw caches start empty, so the next refresh of
// each view draws; a drag in progress ends (a slowed mouse gets its speed
// back).
void SetColorWidgets(const ColorWidgets& widgets);

//-----------------------------------------------------------------------------
// Channel fields and strips
//-----------------------------------------------------------------------------

// Rewrites a channel field only when its number differs from the channel (or
// forced), without raising a change event; colours the fields; draws the
// three gradient strips column by column. Skipped for the colour drawn last
// unless forced.
void RefreshChannelViews(int color, bool force);
// Its two halves, which always do their work: the fields (rewritten only when
// their number differs, or forced; coloured), then the three strips.
void RefreshChannelFields(int color, bool force);
void DrawChannelStrips(int color);

//-----------------------------------------------------------------------------
// Swatch strips
//-----------------------------------------------------------------------------

// Fills the swatch with the colour and writes it to txtRGB in the chosen
// notation; the only writer of txtRGB. Skipped for the colour drawn last
// unless forced.
void RefreshCurrentSwatch(int color, bool force);

// Draws CONFIG.ColorRecent as 16 boxes across the history strip, newest left.
void DrawHistory();
// Moves the colour to the front of CONFIG.ColorRecent and redraws the strip.
void AddToHistory(int color);

// Counts the image's colours column by column and draws the 33 most frequent
// on `canvas`, grouped by hue and as wide as their share. An image that
// cannot be read, or has no pixels, leaves the canvas as it is.
void BuildAutoPalette(int image, int canvas);

//-----------------------------------------------------------------------------
// Screen picker and capture view
//-----------------------------------------------------------------------------

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

//-----------------------------------------------------------------------------
// Control events
//-----------------------------------------------------------------------------

// The colour under the pointer of a canvas event: the surface pixel of the
// event's canvas while the left button is down over the surface, otherwise
// the current colour.
int SampleCanvas(const WindowEvent& e);

// Handles one control event of the main window, as the event loop takes it,
// by the route its control's row of kMainControls gives (RouteControlEvent,
// one look-up): the drag protocol's events of a colour canvas through
// HandleCanvasDrag with the row's drag rule, whose effects run in order
// (colour or CommitPick, cursor shape, cursor step, mouse speed); a left
// press on the swatch opens the system colour dialog; a typed channel field
// sets the colour and a field left shows its channel again; a row of the name
// list chosen makes its colour current (a double click also adds it to the
// history); the options button shows the options menu. Any other event does
// nothing.
void HandleControlEvent(const WindowEvent& e);

// Ends a drag as the focus poll decided, or a change of scale: a
// LeftReleased posted to the canvas, which commits the drag when the loop
// takes it, and the canvas disabled and enabled again, which ends its
// capture and confinement of the pointer.
struct FocusPollAction;
void EndLostDrag(const FocusPollAction& action);
