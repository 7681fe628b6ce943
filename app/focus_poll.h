// What the focus poll does for a drag on each of its ticks, and what a change
// of the window's scale does to one: the rescue of a drag that lost its
// release, as data. No operating system here; the event loop and the main
// window carry it out (EndLostDrag, app/color_widgets.h).
#pragma once
#include "color/canvas_drag.h"

struct FocusPollAction {
  bool captureLive;    // picking with the window in front: a live capture of the screen
  int releaseCanvas;   // post a LeftReleased for this canvas (0: none)
  bool cycleCanvas;    // then disable and re-enable it, ending its capture and confinement
};

// What a tick of the focus poll does. A drag whose window is no longer in
// front may never see its button's release: the poll posts one, and ends the
// canvas's hold on the pointer, which the release may never come to end.
// Every drag kind gets that rescue, the sliders included, so a precision
// drag on a strip cannot leave the mouse slowed while the user works
// elsewhere, and a pick cannot leave the picker holding the mouse, which
// would swallow the next click on the window.
FocusPollAction DecideFocusPoll(const CanvasDrag& drag, bool windowInFront);

// What a change of the window's scale does to a drag under way: it ends as
// one that lost its release does (a posted release commits it; the canvas's
// hold on the pointer ends), in front or not. The window is laid out again
// at the new scale, and the canvas moves away from the rectangle that
// confines the pointer and from the pixels the drag was sampling. Nothing
// while idle; never a live capture.
FocusPollAction DecideDragAtScaleChange(const CanvasDrag& drag);
