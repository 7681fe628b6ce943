#include "color/canvas_drag.h"

#include <gtest/gtest.h>

#include "app/shell_rules.h"  // each role's rule

// Control numbers of the canvases in these tests.
enum { kSelector = 10, kPalette = 11, kCapture = 12, kHistory = 13, kStripR = 14, kStripG = 15 };

static int g_systemSpeed = 10;
static int g_speedReads = 0;
static int ReadSpeed() {
  g_speedReads++;
  return g_systemSpeed;
}

class CanvasDragTest : public ::testing::Test {
 protected:
  CanvasDrag drag = {};
  void SetUp() override {
    g_systemSpeed = 10;
    g_speedReads = 0;
  }
  DragEffects Send(int canvas, DragState role, int type, int modifiers = 0, int keyCode = 0) {
    CanvasEventData data = {};
    data.buttonMask = type == LeftReleased ? 0 : 1;
    data.modifierMask = modifiers;
    data.keyCode = keyCode;
    return HandleCanvasDrag(&drag, canvas, DragRuleFor(role), type, data, ReadSpeed);
  }
};

static bool NoEffect(const DragEffects& e) {
  return !e.setColor && !e.refreshNameList && !e.addToHistory && !e.commitPick && e.cursor == DRAG_CURSOR_KEEP &&
         e.moveCursorX == 0 && e.moveCursorY == 0 && e.setMouseSpeed == 0;
}

//-----------------------------------------------------------------------------
// Press, move, release
//-----------------------------------------------------------------------------

TEST_F(CanvasDragTest, SamplingCanvasesFollowThePointerAndCommitOnceAtRelease) {
  for (DragState role : {DRAG_PALETTE, DRAG_CAPTURE, DRAG_HISTORY, DRAG_SLIDER}) {
    SCOPED_TRACE(role);
    DragEffects press = Send(kPalette, role, LeftPressed);
    EXPECT_EQ(press.cursor, DRAG_CURSOR_CROSS);
    EXPECT_TRUE(press.setColor);
    EXPECT_FALSE(press.refreshNameList || press.addToHistory || press.commitPick);
    EXPECT_EQ(drag.state, role);

    for (int i = 0; i < 3; i++) {
      DragEffects move = Send(kPalette, role, PointerMoved);
      EXPECT_TRUE(move.setColor);
      EXPECT_FALSE(move.refreshNameList || move.addToHistory);
      EXPECT_EQ(move.cursor, DRAG_CURSOR_KEEP);
    }

    DragEffects release = Send(kPalette, role, LeftReleased);
    EXPECT_TRUE(release.setColor && release.refreshNameList && release.addToHistory);
    EXPECT_FALSE(release.commitPick);
    EXPECT_EQ(release.cursor, DRAG_CURSOR_ARROW);
    EXPECT_EQ(drag.state, DRAG_IDLE);

    // Once idle, the canvas's moves and releases do nothing.
    EXPECT_TRUE(NoEffect(Send(kPalette, role, PointerMoved)));
    EXPECT_TRUE(NoEffect(Send(kPalette, role, LeftReleased)));
  }
}

TEST_F(CanvasDragTest, ThePickerNeverSamplesAndCommitsThePickAtRelease) {
  DragEffects press = Send(kSelector, DRAG_PICKING, LeftPressed);
  EXPECT_EQ(press.cursor, DRAG_CURSOR_CROSS);
  EXPECT_FALSE(press.setColor);
  EXPECT_EQ(drag.state, DRAG_PICKING);
  EXPECT_TRUE(NoEffect(Send(kSelector, DRAG_PICKING, PointerMoved)));
  DragEffects release = Send(kSelector, DRAG_PICKING, LeftReleased);
  EXPECT_TRUE(release.commitPick);
  EXPECT_FALSE(release.setColor || release.refreshNameList || release.addToHistory);
  EXPECT_EQ(release.cursor, DRAG_CURSOR_ARROW);
  EXPECT_EQ(drag.state, DRAG_IDLE);
}

TEST_F(CanvasDragTest, PressesAndOtherCanvasesAreIgnoredWhileADragRuns) {
  Send(kPalette, DRAG_PALETTE, LeftPressed);
  for (int type : {LeftPressed, PointerMoved, KeyPressed, LeftReleased}) {
    EXPECT_TRUE(NoEffect(Send(kHistory, DRAG_HISTORY, type, kModifierControl, kKeyLeft))) << type;
    EXPECT_TRUE(NoEffect(Send(kSelector, DRAG_PICKING, type, 0, kKeyLeft))) << type;
  }
  // A second press on the same canvas (a double click) is ignored too.
  EXPECT_TRUE(NoEffect(Send(kPalette, DRAG_PALETTE, LeftPressed, kModifierControl)));
  EXPECT_EQ(g_speedReads, 0);
  EXPECT_EQ(drag.state, DRAG_PALETTE);
  EXPECT_TRUE(Send(kPalette, DRAG_PALETTE, LeftReleased).addToHistory);
  EXPECT_EQ(drag.state, DRAG_IDLE);
  // Events that are not part of the protocol never change anything.
  for (int type : {LeftClicked, LeftDoubleClicked, RightPressed, WheelTurned, FocusLost})
    EXPECT_TRUE(NoEffect(Send(kPalette, DRAG_PALETTE, type, kModifierControl))) << type;
  EXPECT_TRUE(NoEffect(Send(kPalette, DRAG_IDLE, LeftPressed)));
  EXPECT_EQ(drag.state, DRAG_IDLE);
}

TEST_F(CanvasDragTest, TheThreeStripsShareOneDragState) {
  Send(kStripR, DRAG_SLIDER, LeftPressed);
  EXPECT_TRUE(NoEffect(Send(kStripG, DRAG_SLIDER, LeftPressed)));
  EXPECT_TRUE(Send(kStripG, DRAG_SLIDER, PointerMoved).setColor);
  EXPECT_EQ(CanvasToReleaseOnFocusLoss(drag), kStripR);
}

TEST_F(CanvasDragTest, EveryDragIsReleasedWhenTheWindowLosesTheForeground) {
  EXPECT_EQ(CanvasToReleaseOnFocusLoss(drag), 0);
  const struct {
    int canvas;
    DragState role;
  } cases[] = {{kSelector, DRAG_PICKING}, {kPalette, DRAG_PALETTE}, {kCapture, DRAG_CAPTURE},
               {kHistory, DRAG_HISTORY}, {kStripG, DRAG_SLIDER}};
  for (const auto& k : cases) {
    Send(k.canvas, k.role, LeftPressed);
    EXPECT_EQ(CanvasToReleaseOnFocusLoss(drag), k.canvas);
    Send(k.canvas, k.role, LeftReleased);
    EXPECT_EQ(CanvasToReleaseOnFocusLoss(drag), 0);
  }
}

//-----------------------------------------------------------------------------
// Arrow keys
//-----------------------------------------------------------------------------

TEST_F(CanvasDragTest, ArrowKeysMoveTheCursorByEachCanvassStep) {
  const struct {
    DragState role;
    int key, dx, dy;
  } cases[] = {
      {DRAG_HISTORY, kKeyUp, 8, 0},     {DRAG_HISTORY, kKeyDown, -8, 0},  {DRAG_HISTORY, kKeyLeft, -8, 0},
      {DRAG_PALETTE, kKeyRight, 4, 0},  {DRAG_PALETTE, kKeyDown, -4, 0},  {DRAG_SLIDER, kKeyUp, 1, 0},
      {DRAG_SLIDER, kKeyLeft, -1, 0},   {DRAG_CAPTURE, kKeyUp, 0, -5},    {DRAG_CAPTURE, kKeyDown, 0, 5},
      {DRAG_CAPTURE, kKeyLeft, -5, 0},  {DRAG_CAPTURE, kKeyRight, 5, 0},  {DRAG_PICKING, kKeyUp, 0, -1},
      {DRAG_PICKING, kKeyRight, 1, 0},  {DRAG_CAPTURE, 65, 0, 0},         {DRAG_SLIDER, 13, 0, 0},
  };
  for (const auto& k : cases) {
    Send(kCapture, k.role, LeftPressed);
    DragEffects e = Send(kCapture, k.role, KeyPressed, 0, k.key);
    EXPECT_EQ(e.moveCursorX, k.dx) << k.role << " key " << k.key;
    EXPECT_EQ(e.moveCursorY, k.dy) << k.role << " key " << k.key;
    EXPECT_FALSE(e.setColor);  // the cursor move itself brings the sampling move
    Send(kCapture, k.role, LeftReleased);
  }
  // Not while idle.
  EXPECT_TRUE(NoEffect(Send(kCapture, DRAG_CAPTURE, KeyPressed, 0, kKeyUp)));
}

//-----------------------------------------------------------------------------
// Precision mode
//-----------------------------------------------------------------------------

TEST_F(CanvasDragTest, CtrlQuartersTheSpeedWhileHeldAndReleaseRestoresIt) {
  DragEffects press = Send(kStripR, DRAG_SLIDER, LeftPressed, kModifierControl);
  EXPECT_EQ(press.setMouseSpeed, 2);  // 10 x 0.25 = 2.5, halves to even
  EXPECT_TRUE(drag.mouseSlowed);
  EXPECT_EQ(Send(kStripR, DRAG_SLIDER, PointerMoved, kModifierControl).setMouseSpeed, 0);  // already slow
  EXPECT_EQ(g_speedReads, 1);

  // Letting go of Ctrl restores the speed at the next move; taking it again slows anew.
  EXPECT_EQ(Send(kStripR, DRAG_SLIDER, KeyPressed, 0, kKeyLeft).setMouseSpeed, 0);  // keys do not check
  EXPECT_EQ(Send(kStripR, DRAG_SLIDER, PointerMoved).setMouseSpeed, 10);
  EXPECT_FALSE(drag.mouseSlowed);
  g_systemSpeed = 14;
  EXPECT_EQ(Send(kStripR, DRAG_SLIDER, PointerMoved, kModifierControl | 1).setMouseSpeed, 4);  // 3.5 to 4

  DragEffects release = Send(kStripR, DRAG_SLIDER, LeftReleased, kModifierControl);
  EXPECT_EQ(release.setMouseSpeed, 14);
  EXPECT_FALSE(drag.mouseSlowed);
  EXPECT_EQ(Send(kStripR, DRAG_SLIDER, LeftPressed).setMouseSpeed, 0);
  EXPECT_EQ(Send(kStripR, DRAG_SLIDER, LeftReleased).setMouseSpeed, 0);  // nothing to restore
}

TEST_F(CanvasDragTest, ThePickerRestoresTheSpeedWhenItCommits) {
  EXPECT_EQ(Send(kSelector, DRAG_PICKING, LeftPressed).setMouseSpeed, 0);
  EXPECT_EQ(Send(kSelector, DRAG_PICKING, PointerMoved, kModifierControl).setMouseSpeed, 2);
  DragEffects release = Send(kSelector, DRAG_PICKING, LeftReleased, kModifierControl);
  EXPECT_TRUE(release.commitPick);
  EXPECT_EQ(release.setMouseSpeed, 10);
}

TEST_F(CanvasDragTest, AnUnreadableSpeedIsNeverReplaced) {
  g_systemSpeed = 0;
  EXPECT_EQ(Send(kPalette, DRAG_PALETTE, LeftPressed, kModifierControl).setMouseSpeed, 0);
  EXPECT_FALSE(drag.mouseSlowed);
  EXPECT_EQ(Send(kPalette, DRAG_PALETTE, LeftReleased).setMouseSpeed, 0);
  CanvasEventData data = {};
  data.modifierMask = kModifierControl;
  EXPECT_EQ(HandleCanvasDrag(&drag, kPalette, DragRuleFor(DRAG_PALETTE), LeftPressed, data, nullptr).setMouseSpeed, 0);
}

TEST(PrecisionSpeed, AQuarterRoundedHalvesToEvenButAtLeastOne) {
  const struct {
    int saved, slowed;
  } cases[] = {{1, 1}, {2, 1}, {3, 1}, {4, 1}, {6, 2}, {10, 2}, {11, 3}, {14, 4}, {18, 4}, {20, 5}, {0, 1}};
  for (const auto& k : cases) EXPECT_EQ(QuarterMouseSpeed(k.saved), k.slowed) << k.saved;
}

//-----------------------------------------------------------------------------
// Sampling
//-----------------------------------------------------------------------------

TEST(SampleCanvas, ReadsThePixelOnlyWithTheLeftButtonDownOverTheOutput) {
  const struct {
    int x, y, buttons;
    bool reads;
  } cases[] = {
      {0, 0, 1, true},    {99, 19, 1, true},  {50, 10, 3, true},
      {100, 10, 1, false}, {50, 20, 1, false}, {-1, 10, 1, false}, {50, -1, 1, false},
      {50, 10, 0, false}, {50, 10, 2, false},
  };
  for (const auto& k : cases) {
    CanvasEventData data = {};
    data.pointerX = k.x, data.pointerY = k.y, data.buttonMask = k.buttons;
    EXPECT_EQ(SampleCanvasReadsPixel(data, 100, 20), k.reads) << k.x << ',' << k.y << " buttons " << k.buttons;
  }
}
