// The canvas: an owner-drawn child control that shows an off-screen 24-bit
// surface and turns mouse, keyboard, focus and size messages into canvas
// events (CanvasEvent in event_queue.h) with a snapshot of the input state.
// The program draws into the surface through a drawing context
// (CanvasTarget in drawing.h). Windows only (the header does not include
// windows.h).
#pragma once
#include <stdint.h>

#include "runtime/windowing.h"

// Creation flags, OR-ed.
enum CanvasFlags {
  Canvas_Border = 1,     // sunken client edge; the surface is 4 pixels narrower and lower
  Canvas_ClipMouse = 2,  // the pointer stays inside while a button is held on the canvas
  Canvas_Keyboard = 4,   // tab stop; a press gives it the focus; key events. Its focus shows as
                         // the system's focus rectangle around it, a pixel off its edge (while
                         // the window shows focus marks), unless Canvas_DrawFocus draws it inside
  Canvas_DrawFocus = 8,  // a dotted focus rectangle 2 pixels inside the edge, on screen only
  Canvas_Container = 32, // may hold child controls, whose notifications it passes on as events
};

// Attribute numbers for ReadCanvasAttribute and WriteCanvasAttribute.
enum CanvasAttribute {
  SurfaceImage = 1,   // read: the surface bitmap; write: copy this bitmap onto the surface at (0, 0)
  PointerX = 2,       // event data of the event being handled (0 outside this canvas's events)
  PointerY = 3,
  ButtonMask = 4,
  KeyCode = 5,
  ModifierMask = 6,
  CursorShape = 7,    // cursor table index 0..11, or -1 while a custom cursor is set
  WheelSteps = 8,
  TypedChar = 9,
  MouseClip = 10,     // 1 while this canvas confines the pointer; write 1 to confine and capture, 0 to free
  CustomCursor = 11,  // a cursor handle of the program's own
};

// Cursor table indexes for CursorShape.
enum CanvasCursor {
  CURSOR_ARROW, CURSOR_CROSS, CURSOR_IBEAM, CURSOR_HAND, CURSOR_WAIT, CURSOR_NOT_ALLOWED,
  CURSOR_MOVE, CURSOR_LEFT_RIGHT, CURSOR_UP_DOWN, CURSOR_DIAGONAL_DOWN_RIGHT,
  CURSOR_DIAGONAL_UP_RIGHT, CURSOR_HIDDEN,
  CURSOR_COUNT
};

// Creates a canvas as control `number` (kAutoNumber for a fresh one) of the
// top-level window `window`, at (x, y) with outer size w x h, all in logical
// units, with CanvasFlags. Returns the control number, or 0.
int CreateCanvas(int number, int window, int x, int y, int w, int h, int flags);
// The same inside another child window (a container; `parent` is its
// HWND). Its events go to the top-level window that holds the parent.
int CreateCanvasIn(int number, void* parent, int x, int y, int w, int h, int flags);
bool IsCanvas(int control);

// Attributes by number; a control that is not a canvas, or a number outside
// the table, reads 0 and ignores writes. Handles travel as integers.
intptr_t ReadCanvasAttribute(int canvas, int attribute);
void WriteCanvasAttribute(int canvas, int attribute, intptr_t value);

// The surface's size in pixels, and the colour value of one of its pixels,
// read without opening a drawing context (which would show the surface
// again). False, or -1, for a control that is not a canvas or a pixel
// outside the surface.
bool CanvasSurfaceSize(int canvas, int* width, int* height);
int CanvasSurfacePixel(int canvas, int x, int y);

// The background colour (-1: none, white is used). Setting it refills the
// whole surface, erasing the picture, and repaints.
void SetCanvasBackground(int canvas, int color);
int CanvasBackground(int canvas);  // -1 also for an unknown canvas

// Gives the canvas the keyboard focus; only canvases with Canvas_Keyboard take it.
bool FocusCanvas(int canvas);

// A cell marker: a frame of two lines, dark outside and light inside (the
// system's highlight colours in high contrast), drawn on screen over the
// surface's rectangle at (x, y), width x height, never into the surface. It
// shows while the canvas has the keyboard focus, the window shows focus
// marks, and the keyboard has been used on the canvas since a mouse button
// was last pressed there. A width or height of 0 takes it away.
void SetCanvasMarker(int canvas, int x, int y, int width, int height);

// A handler that runs for every event of the canvas at once, from within the
// canvas's message handling, with that event as the current one (so the
// event-data attributes answer); the event is queued as well. Null unbinds.
void BindCanvasHandler(int canvas, void (*handler)(int canvas, int event));
