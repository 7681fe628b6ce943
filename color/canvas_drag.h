// The press-drag-release protocol shared by every colour canvas: the picker
// button, the automatic palette, the capture view, the history strip and the
// three channel strips. One drag record serves the whole window, so only one
// drag runs at a time.
//
// No operating system here. HandleCanvasDrag turns one canvas event into a
// record of effects; the Windows side carries them out in this order:
//   1. setColor: SetCurrentColor(SampleCanvas(event), with the name list and
//      the history as asked); or commitPick: CommitPick (the picker's release);
//   2. cursor: show the cross or the arrow;
//   3. moveCursorX/Y: move the system cursor by that many pixels;
//   4. setMouseSpeed: set the system mouse speed (0: leave it).
#pragma once
#include "runtime/event_queue.h"

//-----------------------------------------------------------------------------
// Canvases and their rules
//-----------------------------------------------------------------------------

// The drag state, which is also each canvas's role: the three strips share
// DRAG_SLIDER.
enum DragState { DRAG_IDLE, DRAG_PICKING, DRAG_PALETTE, DRAG_CAPTURE, DRAG_HISTORY, DRAG_SLIDER };

enum DragKeyMode {
  KEYS_HORIZONTAL,        // Left and Down move left, Right and Up move right
  KEYS_TWO_DIMENSIONAL,   // each arrow key moves its own way
};

// How a canvas takes part in the protocol; the program that owns the canvases
// keeps one such rule with each of them.
struct DragCanvasRule {
  DragState role;  // DRAG_IDLE: no colour canvas
  bool samples;    // press and moves take the colour under the pointer
  int step;        // pixels an arrow key moves the cursor
  DragKeyMode keys;
};

// Virtual-key codes of the arrow keys and the Control bit of a modifier mask.
const int kKeyLeft = 37, kKeyUp = 38, kKeyRight = 39, kKeyDown = 40;
const int kModifierControl = 4;
const int kLeftButton = 1;

//-----------------------------------------------------------------------------
// The drag record and its transitions
//-----------------------------------------------------------------------------

struct CanvasDrag {
  DragState state;      // DRAG_IDLE between drags
  int canvas;           // control number of the canvas that started the drag
  bool mouseSlowed;     // precision mode: the system mouse speed is quartered
  int savedMouseSpeed;  // the speed to restore when precision mode ends
};

enum DragCursor { DRAG_CURSOR_KEEP, DRAG_CURSOR_CROSS, DRAG_CURSOR_ARROW };

struct DragEffects {
  bool setColor;         // SetCurrentColor with SampleCanvas of the event's canvas
  bool refreshNameList;  // ... asking for the name list
  bool addToHistory;     // ... and a history entry
  bool commitPick;       // the picker's release: CommitPick instead of setColor
  DragCursor cursor;
  int moveCursorX, moveCursorY;
  int setMouseSpeed;     // the speed to set, 0 for none
};

// Runs one event of a colour canvas through the protocol. `canvas` is the
// control number, `rule` its rule (its role is its drag state), `eventType`
// a CanvasEvent code and `data` the event's input snapshot. `readMouseSpeed` reports the current
// system mouse speed (0 when it cannot); it is called only when Ctrl starts
// precision mode.
//   LeftPressed, only while idle: cross cursor, sample, precision check, start.
//   PointerMoved during this role's drag: sample, precision check.
//   KeyPressed during this role's drag: arrow keys move the cursor by the step.
//   LeftReleased during this role's drag: sample with name list and history
//     (the picker commits instead), arrow cursor, normal speed, idle.
// Any other event, and every event of a role other than the active one, has
// no effect.
DragEffects HandleCanvasDrag(CanvasDrag* drag, int canvas, const DragCanvasRule& rule, int eventType,
                             const CanvasEventData& data, int (*readMouseSpeed)());

// The mouse speed precision mode sets for a saved speed: a quarter, rounded
// halves to even, but never below 1 (a speed of 0 would stop the pointer).
int QuarterMouseSpeed(int savedSpeed);

// The canvas whose drag ends when the main window stops being the foreground
// window: the focus poll posts it a LeftReleased, which commits the drag and
// restores the mouse speed. 0 while idle.
int CanvasToReleaseOnFocusLoss(const CanvasDrag& drag);

//-----------------------------------------------------------------------------
// Sampling
//-----------------------------------------------------------------------------

// Whether SampleCanvas reads the pixel under the pointer: the left button is
// down and the pointer lies on the canvas's output. Otherwise the sample is
// the current colour unchanged.
bool SampleCanvasReadsPixel(const CanvasEventData& data, int outputWidth, int outputHeight);
