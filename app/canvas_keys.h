// The colour canvases' keys beyond the drag protocol: a strip's channel
// steps, the cell markers' moves and the marked colour taken, and a pick
// from the keyboard with its Escape. On the runtime's controls, carrying out
// what the drag protocol and the control table decide. Windows only (the
// header does not include windows.h).
#pragma once
#include "color/canvas_drag.h"

// Carries out a key's command on a canvas while no drag ran: a strip's
// channel steps (a colour change as a click on the strip gives, live until
// the keys stop), a cell marker moves, the marked colour is taken as a click
// on its cell would take it, with the name list and a history entry.
void CarryOutCanvasKey(int canvas, int channel, const CanvasKeyCommand& command);
// A key let go on a canvas: a strip's key run may settle once it is quiet.
void NoteCanvasKeyUp(int canvas);
// Settles a strip's key run now (anything else is done meanwhile), or on a
// tick of the focus poll once it is due: the name list and the history follow
// the colour the keys left, and an automatic copy is left as after a drag.
void SettleKeyRun();
void SettleKeyRunWhenDue();

// A pick from the keyboard begins: the colour, and the clipboard's text when
// automatic copying is on, are kept for Escape. Escape gives them back: the
// colour (copied nowhere), the capture view as it was, and the clipboard's
// text where the pick's copies replaced it.
void RememberBeforePick();
void GiveBackPick();
// An arrow's step of the pointer during a pick from the keyboard, from where
// the keys put it last; and the end of such a pick.
void StepPointerByKeys(int dx, int dy);
void EndKeyboardPick();

// Gives every control of the window the name and role kMainControls gives
// it, and the colour canvases and the swatch their values; sets the window's
// Tab order and the cell markers' first places (the capture view's centre,
// the palette's and the history's first box). Called once the controls exist
// and show their first pictures.
void SetUpKeysAndAccessibility();
