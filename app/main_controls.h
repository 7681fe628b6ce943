// The main window's controls: their numbers in one record, their facts in one
// table, and the routing of their events. The table gives each control's name
// in the window description, where its events go, how it drags when it is a
// colour canvas and what its keys do, its place in the Tab order, and what a
// screen reader calls it. No operating system here; the control event handler
// (HandleControlEvent, app/color_widgets.cpp) carries out the route.
#pragma once
#include <stdint.h>

#include "color/canvas_drag.h"
#include "runtime/accessibility.h"  // the roles only

//-----------------------------------------------------------------------------
// The control record and the table
//-----------------------------------------------------------------------------

// The control numbers of the main window, each field named after its control
// in the window description: those the widgets draw on and read, then the
// shell's own. 0 (or -1) for a control that does not exist: its drawing is
// skipped and it never matches an event. Each control but the window has its
// row in kMainControls below, which gives its name, its events and its drag
// rule.
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

enum MainAction {
  ACTION_NONE,
  ACTION_CANVAS_DRAG,          // the drag protocol (the picker's release commits the pick)
  ACTION_COLOR_DIALOG,         // the system colour dialog on the swatch
  ACTION_CHANNEL_TYPED,        // a channel field's text changed
  ACTION_CHANNEL_LEFT,         // a channel field lost the focus
  ACTION_ROW_SELECTED,         // the name list's selection changed
  ACTION_ROW_DOUBLE_CLICKED,
  ACTION_OPTIONS_MENU,
};

// The events a control takes other than the drag protocol's, each with its action.
struct ControlEventRoute {
  int type;           // a CanvasEvent code
  MainAction action;  // ACTION_NONE: an unused entry
};

// One control of the main window: its name in the window description, which
// is also the name of its field in ColorWidgets; its drag rule (DRAG_IDLE: no
// colour canvas) with what its keys do while no drag runs; the other events
// it takes; a strip's channel; its place in the Tab order; what a screen
// reader calls it and the role it gives it.
struct MainControlRow {
  const char* name;
  int ColorWidgets::*control;
  DragCanvasRule drag;
  ControlEventRoute events[2];
  int channel;           // a strip's channel (CHANNEL_RED..), -1 for none
  int tab;               // 1, 2, ...: the order Tab visits the controls in; 0: never
  const char* spoken;    // the accessible name, in the program's words; null: the platform's
  AccessibleRole role;   // ACCESSIBLE_DEFAULT: the platform's
};

// Every control of ColorWidgets but the window, one row each, in the order
// the controls are tried (app/main_controls.cpp shows the table).
extern const MainControlRow kMainControls[];
extern const int kMainControlCount;

//-----------------------------------------------------------------------------
// Routing
//-----------------------------------------------------------------------------

// What an event does: its action and the control's drag rule, from one row.
struct ControlRoute {
  MainAction action;
  DragCanvasRule drag;  // all zero (DRAG_IDLE) for a control that is no colour canvas
  int channel;          // a strip's channel, -1 for other controls
};

// The route of an event of `type` from `control`. The controls are tried in
// the table's order (picker, palette, capture, history, the three strips, the
// three fields, swatch, list, options button, then the controls that take no
// events) and the first match decides; event types a control does not
// handle, and other controls, give ACTION_NONE. A colour canvas takes the
// events of the drag protocol and of its keys (LeftPressed, PointerMoved,
// KeyPressed, KeyReleased, LeftReleased, FocusLost) as ACTION_CANVAS_DRAG. On
// a button canvas (CANVAS_KEYS_BUTTON), a KeyPressed of a key that presses it
// (`keyCode`, DecideCanvasKey) takes the action of its LeftPressed. The drag
// rule is the matched control's whatever the event type.
ControlRoute RouteControlEvent(const ColorWidgets& controls, int control, int type, int keyCode = 0);

// The controls in the order Tab visits them (the table's `tab` column):
// picker, capture view, each strip with its field, the colour text, options
// button, swatch, palette, history, name list. Writes at most `capacity`
// control numbers; returns how many there are.
int MainTabOrder(const ColorWidgets& controls, int* order, int capacity);

// The bit of the row of kMainControls that holds `control`; 0 for none.
uint32_t MainControlBit(const ColorWidgets& controls, int control);

// The drag rule of a role, as the controls with that role share it (the
// three strips share DRAG_SLIDER's). All zero for DRAG_IDLE.
DragCanvasRule DragRuleFor(DragState role);
