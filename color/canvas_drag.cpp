#include "color/canvas_drag.h"

#include <math.h>
#include <stdlib.h>

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

// The direction of an arrow key in a key mode; (0, 0) for other keys.
static void ArrowDirection(int keyCode, DragKeyMode mode, int* dx, int* dy) {
  bool twoDimensional = mode == KEYS_TWO_DIMENSIONAL;
  *dx = *dy = 0;
  if (keyCode == kKeyLeft || (keyCode == kKeyDown && !twoDimensional)) *dx = -1;
  else if (keyCode == kKeyRight || (keyCode == kKeyUp && !twoDimensional)) *dx = 1;
  else if (keyCode == kKeyUp) *dy = -1;
  else if (keyCode == kKeyDown) *dy = 1;
}

static void StepCursor(int keyCode, DragKeyMode mode, int step, DragEffects* effects) {
  int dx, dy;
  ArrowDirection(keyCode, mode, &dx, &dy);
  effects->moveCursorX = dx * step;
  effects->moveCursorY = dy * step;
}

static bool IsArrow(int keyCode) { return keyCode >= kKeyLeft && keyCode <= kKeyDown; }
static bool IsSpaceOrEnter(int keyCode) { return keyCode == kKeySpace || keyCode == kKeyEnter; }

// Ends a drag: arrow cursor, normal speed, idle.
static void EndDrag(CanvasDrag* drag, DragEffects* effects) {
  effects->cursor = DRAG_CURSOR_ARROW;
  RestoreMouseSpeed(drag, effects);
  drag->state = DRAG_IDLE;
  drag->canvas = 0;
  drag->byKeyboard = false;
  drag->startKey = 0;
}

// The keys of a pick started from the keyboard, and its loss of the focus.
static void KeyboardPickEvent(CanvasDrag* drag, int eventType, const CanvasEventData& data, DragEffects* effects) {
  int key = data.keyCode;
  if (eventType == KeyReleased) {
    if (key == drag->startKey) drag->startKey = 0;
  } else if (eventType == FocusLost) {
    effects->commitPick = true;
    EndDrag(drag, effects);
  } else if (eventType == KeyPressed) {
    if (IsArrow(key)) {
      bool shift = (data.modifierMask & kModifierShift) != 0;
      StepCursor(key, KEYS_TWO_DIMENSIONAL, shift ? kKeyboardPickShiftStep : kKeyboardPickStep, effects);
    } else if (IsSpaceOrEnter(key) && drag->startKey == 0) {
      effects->commitPick = true;
      EndDrag(drag, effects);
    } else if (key == kKeyEscape) {
      effects->cancelPick = true;
      EndDrag(drag, effects);
    }
  }
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
  if (drag->state == DRAG_IDLE) {
    if (eventType != KeyPressed) return effects;
    effects.key = DecideCanvasKey(rule, data.keyCode);
    if (effects.key.kind == KEY_START_PICK) {
      effects.cursor = DRAG_CURSOR_CROSS;
      effects.keyboardPickStarted = true;
      drag->state = role;
      drag->canvas = canvas;
      drag->byKeyboard = true;
      drag->startKey = data.keyCode;
    }
    return effects;
  }
  if (drag->state != role) return effects;
  if (drag->byKeyboard && eventType != LeftReleased && eventType != PointerMoved) {
    if (canvas == drag->canvas) KeyboardPickEvent(drag, eventType, data, &effects);
    return effects;
  }

  switch (eventType) {
    case PointerMoved:
      effects.setColor = rule.samples;
      CheckPrecision(drag, data, readMouseSpeed, &effects);
      break;
    case KeyPressed:
      StepCursor(data.keyCode, rule.keys, rule.step, &effects);
      break;
    case LeftReleased:
      // The button is up in the release event, so the sample is the colour of
      // the last press or move: the release commits it.
      effects.setColor = rule.samples;
      effects.refreshNameList = effects.addToHistory = rule.samples;
      effects.commitPick = role == DRAG_PICKING;
      EndDrag(drag, &effects);
      break;
    default:
      break;
  }
  return effects;
}

//-----------------------------------------------------------------------------
// Keys on a canvas while no drag runs
//-----------------------------------------------------------------------------

// The keys each role takes other than the arrows, in one table. Columns: the
// role, the key, the command, its amount.
static const struct {
  CanvasKeyRole role;
  int key;
  CanvasKeyCommandKind kind;
  int amount;
} kIdleKeys[] = {
    {CANVAS_KEYS_PICKER,  kKeySpace,    KEY_START_PICK,   0},
    {CANVAS_KEYS_PICKER,  kKeyEnter,    KEY_START_PICK,   0},
    {CANVAS_KEYS_CHANNEL, kKeyPageUp,   KEY_CHANNEL_STEP, 16},
    {CANVAS_KEYS_CHANNEL, kKeyPageDown, KEY_CHANNEL_STEP, -16},
    {CANVAS_KEYS_CHANNEL, kKeyHome,     KEY_CHANNEL_SET,  0},
    {CANVAS_KEYS_CHANNEL, kKeyEnd,      KEY_CHANNEL_SET,  255},
    {CANVAS_KEYS_CELLS,   kKeyHome,     KEY_MARKER_FIRST, 0},
    {CANVAS_KEYS_CELLS,   kKeyEnd,      KEY_MARKER_LAST,  0},
    {CANVAS_KEYS_CELLS,   kKeySpace,    KEY_TAKE_MARKED,  0},
    {CANVAS_KEYS_CELLS,   kKeyEnter,    KEY_TAKE_MARKED,  0},
    {CANVAS_KEYS_BUTTON,  kKeySpace,    KEY_PRESS,        0},
    {CANVAS_KEYS_BUTTON,  kKeyEnter,    KEY_PRESS,        0},
};

CanvasKeyCommand DecideCanvasKey(const DragCanvasRule& rule, int keyCode) {
  CanvasKeyCommand command = {};
  if (IsArrow(keyCode)) {
    int dx, dy;
    ArrowDirection(keyCode, rule.keys, &dx, &dy);
    if (rule.idleKeys == CANVAS_KEYS_CHANNEL) {
      command.kind = KEY_CHANNEL_STEP;
      command.amount = dx;  // the horizontal mode: every arrow is a step left or right
    } else if (rule.idleKeys == CANVAS_KEYS_CELLS) {
      command.kind = KEY_MARKER_MOVE;
      command.dx = dx;
      command.dy = dy;
    }
    return command;
  }
  for (const auto& k : kIdleKeys)
    if (k.role == rule.idleKeys && k.key == keyCode) {
      command.kind = k.kind;
      command.amount = k.amount;
    }
  return command;
}

int ChannelAfterKey(int channel, const CanvasKeyCommand& command) {
  int value = channel;
  if (command.kind == KEY_CHANNEL_STEP) value = channel + command.amount;
  else if (command.kind == KEY_CHANNEL_SET) value = command.amount;
  return value < 0 ? 0 : value > 255 ? 255 : value;
}

//-----------------------------------------------------------------------------
// Cell markers
//-----------------------------------------------------------------------------

// In 64 bits: a marker may come from anywhere, a move adds to it.
static int Within(int64_t value, int count) { return value < 0 ? 0 : value >= count ? count - 1 : (int)value; }

CellMarker MoveCellMarker(CellMarker marker, const CanvasKeyCommand& command, int columns, int rows) {
  if (columns < 1 || rows < 1) return CellMarker{0, 0};
  int64_t column = marker.column, row = marker.row;
  if (command.kind == KEY_MARKER_MOVE) {
    column += command.dx;
    row += command.dy;
  } else if (command.kind == KEY_MARKER_FIRST) {
    column = 0;
  } else if (command.kind == KEY_MARKER_LAST) {
    column = columns - 1;
  }
  return CellMarker{Within(column, columns), Within(row, rows)};
}

bool CellMarkerFrame(int cellX, int cellY, int cellWidth, int cellHeight, int surfaceWidth, int surfaceHeight,
                     int* x, int* y, int* width, int* height) {
  if (cellWidth < 1 || cellHeight < 1 || surfaceWidth < 1 || surfaceHeight < 1) return false;
  int left = cellX - 2, top = cellY - 2, right = cellX + cellWidth + 2, bottom = cellY + cellHeight + 2;
  if (left < 0) left = 0;
  if (top < 0) top = 0;
  if (right > surfaceWidth) right = surfaceWidth;
  if (bottom > surfaceHeight) bottom = surfaceHeight;
  if (right <= left || bottom <= top) return false;
  *x = left;
  *y = top;
  *width = right - left;
  *height = bottom - top;
  return true;
}

//-----------------------------------------------------------------------------
// The pointer of a pick from the keyboard
//-----------------------------------------------------------------------------

KeyPointer StartKeyPointer(int x, int y) {
  KeyPointer pointer = {true, x, y, {x, x, x, x}, {y, y, y, y}};
  return pointer;
}

void KeyPointerPlace(const KeyPointer& pointer, int reportedX, int reportedY, int* x, int* y) {
  bool ours = reportedX == pointer.x && reportedY == pointer.y;
  for (int i = 0; i < 4; i++) ours = ours || (reportedX == pointer.trailX[i] && reportedY == pointer.trailY[i]);
  *x = ours ? pointer.x : reportedX;
  *y = ours ? pointer.y : reportedY;
}

// Where a step of (dx, dy) from (x, y) ends on the monitors: the farthest of
// its places, pixel by pixel, that lies on one, or (x, y) itself when none
// does. From a place on no monitor the whole step.
static void StepOnMonitors(int x, int y, int dx, int dy, const ScreenRect* monitors, int count, int* toX, int* toY) {
  *toX = x + dx;
  *toY = y + dy;
  if (!PointOnMonitors(x, y, monitors, count)) return;
  int length = abs(dx) > abs(dy) ? abs(dx) : abs(dy);
  for (int n = length; n > 0; n--) {
    *toX = x + dx * n / length;
    *toY = y + dy * n / length;
    if (PointOnMonitors(*toX, *toY, monitors, count)) return;
  }
  *toX = x;
  *toY = y;
}

KeyPointer StepKeyPointer(const KeyPointer& pointer, int reportedX, int reportedY, int dx, int dy,
                          const ScreenRect* monitors, int monitorCount) {
  int x, y;
  KeyPointerPlace(pointer, reportedX, reportedY, &x, &y);
  KeyPointer next = pointer;
  for (int i = 3; i > 0; i--) {
    next.trailX[i] = pointer.trailX[i - 1];
    next.trailY[i] = pointer.trailY[i - 1];
  }
  next.trailX[0] = x;
  next.trailY[0] = y;
  StepOnMonitors(x, y, dx, dy, monitors, monitorCount, &next.x, &next.y);
  return next;
}

//-----------------------------------------------------------------------------
// Key runs on a strip
//-----------------------------------------------------------------------------

void NoteKeyRunStep(KeyRun* run, int canvas, uint32_t nowMs) {
  run->canvas = canvas;
  run->keyHeld = true;
  run->lastKeyMs = nowMs;
}

void NoteKeyRunKeyUp(KeyRun* run, int canvas) {
  if (run->canvas == canvas) run->keyHeld = false;
}

bool KeyRunSettles(const KeyRun& run, uint32_t nowMs) {
  // Unsigned: the tick count wraps around after 49 days.
  return run.canvas != 0 && !run.keyHeld && nowMs - run.lastKeyMs >= kKeyRunSettleMs;
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
