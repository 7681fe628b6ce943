#include "app/focus_poll.h"

#include <gtest/gtest.h>

TEST(DecideFocusPoll, EveryDragEndsWhenTheWindowLeavesTheFront) {
  const struct {
    DragState state;
    bool inFront;
    bool captureLive;
    int releaseCanvas;
    bool cycle;
  } cases[] = {
      {DRAG_IDLE, true, false, 0, false},        {DRAG_IDLE, false, false, 0, false},
      {DRAG_PICKING, true, true, 0, false},      {DRAG_PICKING, false, false, 7, true},
      {DRAG_PALETTE, true, false, 0, false},     {DRAG_PALETTE, false, false, 7, true},
      {DRAG_CAPTURE, false, false, 7, true},     {DRAG_HISTORY, false, false, 7, true},
      {DRAG_SLIDER, true, false, 0, false},      {DRAG_SLIDER, false, false, 7, true},
  };
  for (const auto& k : cases) {
    CanvasDrag drag = {k.state, k.state == DRAG_IDLE ? 0 : 7, false, 0};
    FocusPollAction a = DecideFocusPoll(drag, k.inFront);
    EXPECT_EQ(a.captureLive, k.captureLive) << k.state << " " << k.inFront;
    EXPECT_EQ(a.releaseCanvas, k.releaseCanvas) << k.state << " " << k.inFront;
    EXPECT_EQ(a.cycleCanvas, k.cycle) << k.state << " " << k.inFront;
  }
}

TEST(DecideDragAtScaleChange, EveryDragEndsAsOneThatLostItsRelease) {
  for (DragState state : {DRAG_IDLE, DRAG_PICKING, DRAG_PALETTE, DRAG_CAPTURE, DRAG_HISTORY, DRAG_SLIDER}) {
    CanvasDrag drag = {state, state == DRAG_IDLE ? 0 : 7, state == DRAG_SLIDER, 10};
    FocusPollAction a = DecideDragAtScaleChange(drag);
    EXPECT_FALSE(a.captureLive) << state;  // a pick under way ends, in front or not
    EXPECT_EQ(a.releaseCanvas, state == DRAG_IDLE ? 0 : 7) << state;
    EXPECT_EQ(a.cycleCanvas, state != DRAG_IDLE) << state;
  }
}
