#include "app/focus_poll.h"

FocusPollAction DecideFocusPoll(const CanvasDrag& drag, bool windowInFront) {
  FocusPollAction action = {};
  if (drag.state == DRAG_IDLE) return action;
  if (windowInFront) {
    action.captureLive = drag.state == DRAG_PICKING;
    return action;
  }
  action.releaseCanvas = CanvasToReleaseOnFocusLoss(drag);
  action.cycleCanvas = action.releaseCanvas != 0;
  return action;
}

FocusPollAction DecideDragAtScaleChange(const CanvasDrag& drag) { return DecideFocusPoll(drag, false); }
