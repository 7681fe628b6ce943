#include "color/canvas_drag.h"

#include <math.h>

//-----------------------------------------------------------------------------
// Precision mode
//-----------------------------------------------------------------------------

int QuarterMouseSpeed(int savedSpeed) {
  int quarter = (int)nearbyint(savedSpeed * 0.25);  // default rounding: halves to even
  return quarter < 1 ? 1 : quarter;
}

static void RestoreMouseSpeed(CanvasDrag* drag, DragEffects* effects) {
  if (!drag->mouseSlowed) return;
  effects->setMouseSpeed = drag->savedMouseSpeed;
  drag->mouseSlowed = false;
}

// Slows the pointer while Ctrl is held during a drag and restores it once Ctrl
// is let go. A speed that cannot be read is never replaced, so it never needs
// restoring.
static void CheckPrecision(CanvasDrag* drag, const CanvasEventData& data, int (*readMouseSpeed)(),
                           DragEffects* effects) {
  bool control = (data.modifierMask & kModifierControl) != 0;
  if (control && !drag->mouseSlowed) {
    int speed = readMouseSpeed ? readMouseSpeed() : 0;
    if (speed < 1) return;
    drag->savedMouseSpeed = speed;
    drag->mouseSlowed = true;
    effects->setMouseSpeed = QuarterMouseSpeed(speed);
  } else if (!control) {
    RestoreMouseSpeed(drag, effects);
  }
}

//-----------------------------------------------------------------------------
// Transitions
//-----------------------------------------------------------------------------

static void StepCursor(int keyCode, const DragCanvasRule& rule, DragEffects* effects) {
  bool twoDimensional = rule.keys == KEYS_TWO_DIMENSIONAL;
  int dx = 0, dy = 0;
  if (keyCode == kKeyLeft || (keyCode == kKeyDown && !twoDimensional)) dx = -1;
  else if (keyCode == kKeyRight || (keyCode == kKeyUp && !twoDimensional)) dx = 1;
  else if (keyCode == kKeyUp) dy = -1;
  else if (keyCode == kKeyDown) dy = 1;
  effects->moveCursorX = dx * rule.step;
  effects->moveCursorY = dy * rule.step;
}

DragEffects HandleCanvasDrag(CanvasDrag* drag, int canvas, const DragCanvasRule& rule, int eventType,
                             const CanvasEventData& data, int (*readMouseSpeed)()) {
  DragEffects effects = {};
  DragState role = rule.role;
  if (role == DRAG_IDLE) return effects;

  if (eventType == LeftPressed) {
    if (drag->state != DRAG_IDLE) return effects;  // another drag is running
    effects.cursor = DRAG_CURSOR_CROSS;
    effects.setColor = rule.samples;
    CheckPrecision(drag, data, readMouseSpeed, &effects);
    drag->state = role;
    drag->canvas = canvas;
    return effects;
  }
  if (drag->state != role) return effects;

  switch (eventType) {
    case PointerMoved:
      effects.setColor = rule.samples;
      CheckPrecision(drag, data, readMouseSpeed, &effects);
      break;
    case KeyPressed:
      StepCursor(data.keyCode, rule, &effects);
      break;
    case LeftReleased:
      // The button is up in the release event, so the sample is the colour of
      // the last press or move: the release commits it.
      effects.setColor = rule.samples;
      effects.refreshNameList = effects.addToHistory = rule.samples;
      effects.commitPick = role == DRAG_PICKING;
      effects.cursor = DRAG_CURSOR_ARROW;
      RestoreMouseSpeed(drag, &effects);
      drag->state = DRAG_IDLE;
      drag->canvas = 0;
      break;
    default:
      break;
  }
  return effects;
}

// Every drag, the strips' included, ends when the window loses the
// foreground: a strip's release can be lost like any other, and a lost one
// would leave every colour canvas ignoring presses and the mouse slowed.
int CanvasToReleaseOnFocusLoss(const CanvasDrag& drag) {
  return drag.state == DRAG_IDLE ? 0 : drag.canvas;
}

//-----------------------------------------------------------------------------
// Sampling
//-----------------------------------------------------------------------------

bool SampleCanvasReadsPixel(const CanvasEventData& data, int outputWidth, int outputHeight) {
  return (data.buttonMask & kLeftButton) != 0 && data.pointerX >= 0 && data.pointerX < outputWidth &&
         data.pointerY >= 0 && data.pointerY < outputHeight;
}
