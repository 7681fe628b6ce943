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
//   4. setMouseSpeed: set the system mouse speed (0: leave it);
//   5. key: what a key did on a canvas while no drag ran (a channel step, a
//      cell marker's move, the marked colour taken, a press).
// A pick started from the keyboard also tells when it starts (remember what
// Escape gives back) and whether it ended by Escape (give it back).
#pragma once
#include <stdint.h>

#include "runtime/event_queue.h"
#include "runtime/screen_parts.h"

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

// What keys do on a canvas that has the keyboard focus while no drag runs.
enum CanvasKeyRole {
  CANVAS_KEYS_NONE,
  CANVAS_KEYS_PICKER,   // Space or Enter starts a pick at the pointer
  CANVAS_KEYS_CHANNEL,  // a strip: the arrows step its channel by 1, Page Up
                        // and Page Down by 16, Home and End go to 0 and 255
  CANVAS_KEYS_CELLS,    // the arrows (by the key mode) move a cell marker, Home
                        // and End to the first and last cell, Space or Enter
                        // takes the marked colour
  CANVAS_KEYS_BUTTON,   // Space or Enter acts as a press
};

// How a canvas takes part in the protocol; the program that owns the canvases
// keeps one such rule with each of them.
struct DragCanvasRule {
  DragState role;  // DRAG_IDLE: no colour canvas
  bool samples;    // press and moves take the colour under the pointer
  int step;        // pixels an arrow key moves the cursor during a drag
  DragKeyMode keys;
  CanvasKeyRole idleKeys;  // what keys do while no drag runs
};

// Virtual-key codes and the bits of a modifier mask.
const int kKeyEnter = 13, kKeyEscape = 27, kKeySpace = 32, kKeyPageUp = 33, kKeyPageDown = 34, kKeyEnd = 35,
          kKeyHome = 36;
const int kKeyLeft = 37, kKeyUp = 38, kKeyRight = 39, kKeyDown = 40;
const int kModifierShift = 1, kModifierControl = 4;
const int kLeftButton = 1;

// A pick from the keyboard: the arrows move the pointer this many pixels,
// with Shift the larger step.
const int kKeyboardPickStep = 1, kKeyboardPickShiftStep = 10;

//-----------------------------------------------------------------------------
// Keys on a canvas while no drag runs
//-----------------------------------------------------------------------------

enum CanvasKeyCommandKind {
  KEY_COMMAND_NONE,
  KEY_START_PICK,    // the picker: a pick begins at the pointer
  KEY_CHANNEL_STEP,  // a strip: its channel changes by `amount`, held within 0..255
  KEY_CHANNEL_SET,   // a strip: its channel becomes `amount`
  KEY_MARKER_MOVE,   // the cell marker moves by (dx, dy) cells, held within the cells
  KEY_MARKER_FIRST,  // to the first cell (of its row, in two dimensions)
  KEY_MARKER_LAST,   // to the last cell (of its row)
  KEY_TAKE_MARKED,   // the marked cell's colour is taken, as a click on it would
  KEY_PRESS,         // a button canvas is pressed
};

struct CanvasKeyCommand {
  CanvasKeyCommandKind kind;
  int amount;  // the step or the value of a channel
  int dx, dy;  // a marker's move
};

// What a key pressed on a canvas with this rule does while no drag runs;
// KEY_COMMAND_NONE for keys the canvas does not take. The arrows follow the
// rule's key mode as they do in a drag: in the horizontal mode Up counts as
// Right and Down as Left, so on a strip Up and Page Up raise the channel.
CanvasKeyCommand DecideCanvasKey(const DragCanvasRule& rule, int keyCode);

// The channel a step or set gives, held within 0..255; `channel` is the
// channel's present value. Other commands leave it as it is.
int ChannelAfterKey(int channel, const CanvasKeyCommand& command);

//-----------------------------------------------------------------------------
// Cell markers
//-----------------------------------------------------------------------------

// The cell a canvas's marker stands on: the capture view's cells are the
// captured pixels in columns and rows; the palette's and the history's boxes
// are one row.
struct CellMarker {
  int column, row;
};

// The marker after a move, first or last command, held within `columns` x
// `rows` cells; other commands leave it (held within the cells as well, for
// cells that have become fewer). No cells: (0, 0).
CellMarker MoveCellMarker(CellMarker marker, const CanvasKeyCommand& command, int columns, int rows);

// The frame drawn around a marked cell: the cell's rectangle widened by 2
// pixels each way, so the cell's own colour shows whole, and held within the
// surface (a cell as high as the strip keeps its frame's top and bottom lines
// inside itself). Returns false for an empty cell or surface.
bool CellMarkerFrame(int cellX, int cellY, int cellWidth, int cellHeight, int surfaceWidth, int surfaceHeight,
                     int* x, int* y, int* width, int* height);

//-----------------------------------------------------------------------------
// The drag record and its transitions
//-----------------------------------------------------------------------------

struct CanvasDrag {
  DragState state;      // DRAG_IDLE between drags
  int canvas;           // control number of the canvas that started the drag
  bool mouseSlowed;     // precision mode: the system mouse speed is quartered
  int savedMouseSpeed;  // the speed to restore when precision mode ends
  bool byKeyboard;      // a pick started by Space or Enter, ended by keys
  int startKey;         // the key that started it, while it is still held
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
  bool keyboardPickStarted;  // remember the colour, text and clipboard Escape gives back
  bool cancelPick;           // Escape ended a keyboard pick: give them back, commit nothing
  CanvasKeyCommand key;      // a key's command on a canvas while no drag ran
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
//   KeyPressed while idle: the canvas's key command (DecideCanvasKey); on
//     the picker, Space or Enter starts a pick by the keyboard: cross
//     cursor, no sampling (the focus poll samples the screen).
// A pick started by the keyboard takes its keys instead of the drag's: the
// arrows move the pointer 1 pixel (10 with Shift); Space or Enter commits
// it as a release does, once the key that started it has been let go (a
// held key's repeats do not end the pick it started); Escape ends it with
// cancelPick; losing the keyboard focus commits it, as the window losing
// the foreground does. A mouse drag keeps the keys above.
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
// The pointer of a pick from the keyboard
//-----------------------------------------------------------------------------

// Where the keys of a pick have put the pointer. The arrows step from where
// they put it last, not from where the system says it is: a system may still
// report one of the places the keys put it before (a late report), and keys
// that come faster than that would lose their steps. Only a reported place
// the keys never put it (of their last few) means the mouse has moved it;
// the keys then go on from there.
struct KeyPointer {
  bool active;        // a pick from the keyboard is under way
  int x, y;           // where the keys put it last
  int trailX[4], trailY[4];  // where they put it before, the latest first
};

// A pick from the keyboard begins with the pointer at (x, y).
KeyPointer StartKeyPointer(int x, int y);
// Where the pointer stands for the pick, with the system reporting it at
// (reportedX, reportedY).
void KeyPointerPlace(const KeyPointer& pointer, int reportedX, int reportedY, int* x, int* y);
// The pointer after an arrow's step of (dx, dy) from its place, kept on the
// monitors as the system keeps the pointer: a step that would leave them
// stops at the farthest of its places on one (at the screen's edge it goes
// nowhere), so the pick takes the pixel the pointer shows. From a place on
// no monitor the step is taken whole.
KeyPointer StepKeyPointer(const KeyPointer& pointer, int reportedX, int reportedY, int dx, int dy,
                          const ScreenRect* monitors, int monitorCount);

//-----------------------------------------------------------------------------
// Key runs on a strip
//-----------------------------------------------------------------------------

// Steps of a strip's channel by keys, held or typed one after another, are
// colour changes as a drag's moves are; the name list and the history follow
// once, when the keys stop: no key of the run held, and none pressed for
// kKeyRunSettleMs. Anything else done meanwhile (a press, the focus leaving
// the strip) settles the run at once.
struct KeyRun {
  int canvas;          // the strip, 0 when no run is under way
  bool keyHeld;        // a key of the run is down
  uint32_t lastKeyMs;  // when the last step came
};

// Longer than the keyboard's usual delay before a held key repeats, so a
// key held down settles once, after it is let go.
const uint32_t kKeyRunSettleMs = 400;

// A step by a key pressed on `canvas` at `nowMs`: the run goes on, or begins.
void NoteKeyRunStep(KeyRun* run, int canvas, uint32_t nowMs);
// A key let go on `canvas`.
void NoteKeyRunKeyUp(KeyRun* run, int canvas);
// Whether the run is due to settle at `nowMs`.
bool KeyRunSettles(const KeyRun& run, uint32_t nowMs);

//-----------------------------------------------------------------------------
// Sampling
//-----------------------------------------------------------------------------

// Whether SampleCanvas reads the pixel under the pointer: the left button is
// down and the pointer lies on the canvas's output. Otherwise the sample is
// the current colour unchanged.
bool SampleCanvasReadsPixel(const CanvasEventData& data, int outputWidth, int outputHeight);
