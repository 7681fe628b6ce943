// The main window's control record made the program's, canvas sampling, and
// the one handler of every control event of the main window, which carries
// out what the control table and the drag protocol decide. Windows only (the
// header does not include windows.h); the views the events change have
// headers of their own (channel_controls.h, swatch_controls.h,
// capture_view.h, name_list.h), the arithmetic behind them lives in color/.
#pragma once
#include "app/main_controls.h"
#include "runtime/event_queue.h"

//-----------------------------------------------------------------------------
// The widget set
//-----------------------------------------------------------------------------

// Makes `widgets` the program context's control record, which the views and
// the handlers work on, and hands the refresh functions and the clipboard
// to SetCurrentColor. The redraw caches start empty, so the next refresh of
// each view draws; a drag in progress ends (a slowed mouse gets its speed
// back).
void SetColorWidgets(const ColorWidgets& widgets);

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
