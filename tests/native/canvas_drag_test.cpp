#include "color/canvas_drag.h"

#include <gtest/gtest.h>

#include "app/main_controls.h"  // each role's rule

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
         e.moveCursorX == 0 && e.moveCursorY == 0 && e.setMouseSpeed == 0 && !e.keyboardPickStarted &&
         !e.cancelPick && e.key.kind == KEY_COMMAND_NONE;
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
  // Not while idle: there the arrows move the cell marker instead.
  DragEffects idle = Send(kCapture, DRAG_CAPTURE, KeyPressed, 0, kKeyUp);
  EXPECT_EQ(idle.moveCursorX, 0);
  EXPECT_EQ(idle.moveCursorY, 0);
  EXPECT_EQ(idle.key.kind, KEY_MARKER_MOVE);
}

//-----------------------------------------------------------------------------
// A pick from the keyboard
//-----------------------------------------------------------------------------

TEST_F(CanvasDragTest, SpaceOrEnterStartsAPickThatTheArrowsSteerAndEnterCommits) {
  for (int startKey : {kKeySpace, kKeyEnter}) {
    SCOPED_TRACE(startKey);
    DragEffects start = Send(kSelector, DRAG_PICKING, KeyPressed, 0, startKey);
    EXPECT_TRUE(start.keyboardPickStarted);
    EXPECT_EQ(start.cursor, DRAG_CURSOR_CROSS);
    EXPECT_FALSE(start.setColor);  // the focus poll samples the screen
    EXPECT_EQ(drag.state, DRAG_PICKING);
    // The held key repeats: the pick it started goes on.
    EXPECT_TRUE(NoEffect(Send(kSelector, DRAG_PICKING, KeyPressed, 0, startKey)));
    EXPECT_TRUE(NoEffect(Send(kSelector, DRAG_PICKING, KeyPressed, 0, kKeySpace + kKeyEnter - startKey)));
    EXPECT_EQ(drag.state, DRAG_PICKING);
    Send(kSelector, DRAG_PICKING, KeyReleased, 0, startKey);

    const struct {
      int key, modifiers, dx, dy;
    } steps[] = {{kKeyRight, 0, 1, 0},  {kKeyLeft, 0, -1, 0},  {kKeyUp, 0, 0, -1},
                 {kKeyDown, 0, 0, 1},   {kKeyRight, kModifierShift, 10, 0}, {kKeyUp, kModifierShift, 0, -10},
                 {kKeyDown, kModifierShift | kModifierControl, 0, 10}, {65, 0, 0, 0}};
    for (const auto& k : steps) {
      DragEffects e = Send(kSelector, DRAG_PICKING, KeyPressed, k.modifiers, k.key);
      EXPECT_EQ(e.moveCursorX, k.dx) << k.key << " " << k.modifiers;
      EXPECT_EQ(e.moveCursorY, k.dy) << k.key << " " << k.modifiers;
      EXPECT_FALSE(e.commitPick || e.cancelPick);
    }
    // Keys of other canvases do nothing to it.
    EXPECT_TRUE(NoEffect(Send(kCapture, DRAG_CAPTURE, KeyPressed, 0, kKeyEnter)));
    DragEffects commit = Send(kSelector, DRAG_PICKING, KeyPressed, 0, kKeyEnter);
    EXPECT_TRUE(commit.commitPick);
    EXPECT_FALSE(commit.cancelPick || commit.setColor);
    EXPECT_EQ(commit.cursor, DRAG_CURSOR_ARROW);
    EXPECT_EQ(drag.state, DRAG_IDLE);
    EXPECT_FALSE(drag.byKeyboard);
  }
}

TEST_F(CanvasDragTest, AKeyboardPickEndsByEscapeByTheFocusLeavingOrByARelease) {
  const struct {
    int type, key;
    bool commits, cancels;
  } endings[] = {
      {KeyPressed, kKeyEscape, false, true},
      {KeyPressed, kKeySpace, true, false},
      {FocusLost, 0, true, false},
      {LeftReleased, 0, true, false},
  };
  for (const auto& k : endings) {
    SCOPED_TRACE(k.type);
    Send(kSelector, DRAG_PICKING, KeyPressed, 0, kKeyEnter);
    Send(kSelector, DRAG_PICKING, KeyReleased, 0, kKeyEnter);
    EXPECT_TRUE(NoEffect(Send(kSelector, DRAG_PICKING, LeftPressed)));  // a press does not start another
    DragEffects end = Send(kSelector, DRAG_PICKING, k.type, 0, k.key);
    EXPECT_EQ(end.commitPick, k.commits);
    EXPECT_EQ(end.cancelPick, k.cancels);
    EXPECT_EQ(end.cursor, DRAG_CURSOR_ARROW);
    EXPECT_EQ(drag.state, DRAG_IDLE);
    EXPECT_EQ(CanvasToReleaseOnFocusLoss(drag), 0);
  }
  // Started, it is released like any pick when the window leaves the front.
  Send(kSelector, DRAG_PICKING, KeyPressed, 0, kKeySpace);
  EXPECT_EQ(CanvasToReleaseOnFocusLoss(drag), kSelector);
}

TEST_F(CanvasDragTest, AMouseDragKeepsItsKeys) {
  for (DragState role : {DRAG_PICKING, DRAG_CAPTURE, DRAG_SLIDER}) {
    SCOPED_TRACE(role);
    Send(kSelector, role, LeftPressed);
    for (int key : {kKeyEscape, kKeySpace, kKeyEnter, kKeyHome, kKeyPageUp})
      EXPECT_TRUE(NoEffect(Send(kSelector, role, KeyPressed, 0, key))) << key;
    EXPECT_TRUE(NoEffect(Send(kSelector, role, FocusLost)));
    EXPECT_TRUE(NoEffect(Send(kSelector, role, KeyReleased, 0, kKeyLeft)));
    // Shift does not lengthen a drag's step.
    EXPECT_EQ(Send(kSelector, role, KeyPressed, kModifierShift, kKeyRight).moveCursorX, DragRuleFor(role).step);
    EXPECT_EQ(drag.state, role);
    Send(kSelector, role, LeftReleased);
  }
}

//-----------------------------------------------------------------------------
// Keys while no drag runs
//-----------------------------------------------------------------------------

TEST(DecideCanvasKey, EachRoleTakesItsOwnKeys) {
  const DragCanvasRule strip = DragRuleFor(DRAG_SLIDER), history = DragRuleFor(DRAG_HISTORY),
                       capture = DragRuleFor(DRAG_CAPTURE), picker = DragRuleFor(DRAG_PICKING);
  const DragCanvasRule button = {DRAG_IDLE, false, 0, KEYS_HORIZONTAL, CANVAS_KEYS_BUTTON};
  const DragCanvasRule none = {DRAG_IDLE, false, 0, KEYS_HORIZONTAL, CANVAS_KEYS_NONE};
  const struct {
    const DragCanvasRule* rule;
    int key;
    CanvasKeyCommandKind kind;
    int amount, dx, dy;
  } cases[] = {
      {&strip, kKeyLeft, KEY_CHANNEL_STEP, -1, 0, 0},    {&strip, kKeyDown, KEY_CHANNEL_STEP, -1, 0, 0},
      {&strip, kKeyRight, KEY_CHANNEL_STEP, 1, 0, 0},    {&strip, kKeyUp, KEY_CHANNEL_STEP, 1, 0, 0},
      {&strip, kKeyPageUp, KEY_CHANNEL_STEP, 16, 0, 0},  {&strip, kKeyPageDown, KEY_CHANNEL_STEP, -16, 0, 0},
      {&strip, kKeyHome, KEY_CHANNEL_SET, 0, 0, 0},      {&strip, kKeyEnd, KEY_CHANNEL_SET, 255, 0, 0},
      {&strip, kKeyEnter, KEY_COMMAND_NONE, 0, 0, 0},    {&strip, kKeySpace, KEY_COMMAND_NONE, 0, 0, 0},
      {&history, kKeyRight, KEY_MARKER_MOVE, 0, 1, 0},   {&history, kKeyUp, KEY_MARKER_MOVE, 0, 1, 0},
      {&history, kKeyDown, KEY_MARKER_MOVE, 0, -1, 0},   {&history, kKeyHome, KEY_MARKER_FIRST, 0, 0, 0},
      {&history, kKeyEnd, KEY_MARKER_LAST, 0, 0, 0},     {&history, kKeyEnter, KEY_TAKE_MARKED, 0, 0, 0},
      {&history, kKeySpace, KEY_TAKE_MARKED, 0, 0, 0},   {&history, kKeyPageUp, KEY_COMMAND_NONE, 0, 0, 0},
      {&capture, kKeyUp, KEY_MARKER_MOVE, 0, 0, -1},     {&capture, kKeyDown, KEY_MARKER_MOVE, 0, 0, 1},
      {&capture, kKeyLeft, KEY_MARKER_MOVE, 0, -1, 0},   {&capture, kKeyEscape, KEY_COMMAND_NONE, 0, 0, 0},
      {&picker, kKeySpace, KEY_START_PICK, 0, 0, 0},     {&picker, kKeyEnter, KEY_START_PICK, 0, 0, 0},
      {&picker, kKeyLeft, KEY_COMMAND_NONE, 0, 0, 0},    {&picker, kKeyEscape, KEY_COMMAND_NONE, 0, 0, 0},
      {&button, kKeySpace, KEY_PRESS, 0, 0, 0},          {&button, kKeyEnter, KEY_PRESS, 0, 0, 0},
      {&button, kKeyDown, KEY_COMMAND_NONE, 0, 0, 0},    {&none, kKeyEnter, KEY_COMMAND_NONE, 0, 0, 0},
      {&none, kKeyLeft, KEY_COMMAND_NONE, 0, 0, 0},
  };
  for (const auto& k : cases) {
    CanvasKeyCommand c = DecideCanvasKey(*k.rule, k.key);
    EXPECT_EQ(c.kind, k.kind) << k.rule->idleKeys << " key " << k.key;
    EXPECT_EQ(c.amount, k.amount) << k.rule->idleKeys << " key " << k.key;
    EXPECT_EQ(c.dx, k.dx) << k.rule->idleKeys << " key " << k.key;
    EXPECT_EQ(c.dy, k.dy) << k.rule->idleKeys << " key " << k.key;
  }
}

TEST_F(CanvasDragTest, IdleKeysChangeNoDragState) {
  DragEffects step = Send(kStripR, DRAG_SLIDER, KeyPressed, 0, kKeyPageUp);
  EXPECT_EQ(step.key.kind, KEY_CHANNEL_STEP);
  EXPECT_FALSE(step.setColor || step.keyboardPickStarted);
  EXPECT_EQ(step.cursor, DRAG_CURSOR_KEEP);
  EXPECT_EQ(drag.state, DRAG_IDLE);
  // Nor do their releases, moves or focus changes.
  for (int type : {KeyReleased, PointerMoved, FocusLost, LeftReleased})
    EXPECT_TRUE(NoEffect(Send(kHistory, DRAG_HISTORY, type, 0, kKeyEnter))) << type;
  // While a drag runs, a key on another canvas gives no command either.
  Send(kPalette, DRAG_PALETTE, LeftPressed);
  EXPECT_TRUE(NoEffect(Send(kStripR, DRAG_SLIDER, KeyPressed, 0, kKeyHome)));
}

TEST(ChannelAfterKey, StepsAndSetsHeldWithinTheChannel) {
  const struct {
    int channel;
    CanvasKeyCommandKind kind;
    int amount, after;
  } cases[] = {
      {26, KEY_CHANNEL_STEP, 1, 27},    {0, KEY_CHANNEL_STEP, -1, 0},     {255, KEY_CHANNEL_STEP, 1, 255},
      {250, KEY_CHANNEL_STEP, 16, 255}, {10, KEY_CHANNEL_STEP, -16, 0},   {100, KEY_CHANNEL_STEP, -16, 84},
      {100, KEY_CHANNEL_SET, 0, 0},     {100, KEY_CHANNEL_SET, 255, 255}, {100, KEY_MARKER_MOVE, 5, 100},
  };
  for (const auto& k : cases)
    EXPECT_EQ(ChannelAfterKey(k.channel, CanvasKeyCommand{k.kind, k.amount, 0, 0}), k.after)
        << k.channel << " " << k.kind << " " << k.amount;
}

//-----------------------------------------------------------------------------
// Cell markers
//-----------------------------------------------------------------------------

TEST(MoveCellMarker, MovesWithinTheCellsAndNeverLeavesThem) {
  const struct {
    CellMarker from;
    CanvasKeyCommand command;
    int columns, rows;
    CellMarker to;
  } cases[] = {
      {{15, 10}, {KEY_MARKER_MOVE, 0, 1, 0}, 31, 21, {16, 10}},
      {{15, 10}, {KEY_MARKER_MOVE, 0, 0, -1}, 31, 21, {15, 9}},
      {{30, 0}, {KEY_MARKER_MOVE, 0, 1, -1}, 31, 21, {30, 0}},    // at the corner it stays
      {{0, 20}, {KEY_MARKER_MOVE, 0, -1, 1}, 31, 21, {0, 20}},
      {{7, 3}, {KEY_MARKER_FIRST, 0, 0, 0}, 31, 21, {0, 3}},      // along its row
      {{7, 3}, {KEY_MARKER_LAST, 0, 0, 0}, 31, 21, {30, 3}},
      {{5, 0}, {KEY_MARKER_LAST, 0, 0, 0}, 16, 1, {15, 0}},
      {{20, 0}, {KEY_TAKE_MARKED, 0, 0, 0}, 3, 1, {2, 0}},        // fewer cells than before
      {{2147483647, 0}, {KEY_MARKER_MOVE, 0, 1, 0}, 16, 1, {15, 0}},
      {{-5, -5}, {KEY_COMMAND_NONE, 0, 0, 0}, 16, 1, {0, 0}},
      {{4, 4}, {KEY_MARKER_MOVE, 0, 1, 0}, 0, 1, {0, 0}},         // no cells
  };
  for (const auto& k : cases) {
    CellMarker m = MoveCellMarker(k.from, k.command, k.columns, k.rows);
    EXPECT_EQ(m.column, k.to.column) << k.from.column << "," << k.from.row << " kind " << k.command.kind;
    EXPECT_EQ(m.row, k.to.row) << k.from.column << "," << k.from.row << " kind " << k.command.kind;
  }
}

TEST(CellMarkerFrame, FramesTheCellFromOutsideWithinTheSurface) {
  const struct {
    int cx, cy, cw, ch, sw, sh;
    bool framed;
    int x, y, w, h;
  } cases[] = {
      {20, 10, 5, 5, 152, 100, true, 18, 8, 9, 9},      // a capture cell: two pixels all round
      {0, 0, 5, 5, 152, 100, true, 0, 0, 7, 7},         // at the corner, cut to the surface
      {30, 0, 10, 20, 160, 20, true, 28, 0, 14, 20},    // a history box as high as the strip
      {150, 95, 5, 5, 152, 100, true, 148, 93, 4, 7},
      {0, 0, 0, 5, 152, 100, false, 0, 0, 0, 0},
      {200, 10, 5, 5, 152, 100, false, 0, 0, 0, 0},     // wholly outside
  };
  for (const auto& k : cases) {
    int x = 0, y = 0, w = 0, h = 0;
    EXPECT_EQ(CellMarkerFrame(k.cx, k.cy, k.cw, k.ch, k.sw, k.sh, &x, &y, &w, &h), k.framed) << k.cx << "," << k.cy;
    if (!k.framed) continue;
    EXPECT_EQ(x, k.x) << k.cx << "," << k.cy;
    EXPECT_EQ(y, k.y) << k.cx << "," << k.cy;
    EXPECT_EQ(w, k.w) << k.cx << "," << k.cy;
    EXPECT_EQ(h, k.h) << k.cx << "," << k.cy;
  }
}

//-----------------------------------------------------------------------------
// The pointer of a pick from the keyboard
//-----------------------------------------------------------------------------

// One monitor wider than every step below.
static const ScreenRect kWideScreen[] = {{-10000, -10000, 20000, 20000}};

TEST(KeyPointer, StepsFromWhereTheKeysPutItUnlessTheMouseMovedIt) {
  KeyPointer p = StartKeyPointer(100, 50);
  // Three steps right faster than the system reports them: it still says
  // 100, then 101; each step goes on from the keys' own place.
  p = StepKeyPointer(p, 100, 50, 1, 0, kWideScreen, 1);
  p = StepKeyPointer(p, 100, 50, 1, 0, kWideScreen, 1);
  p = StepKeyPointer(p, 101, 50, 1, 0, kWideScreen, 1);
  EXPECT_EQ(p.x, 103);
  EXPECT_EQ(p.y, 50);
  int x, y;
  KeyPointerPlace(p, 102, 50, &x, &y);  // a late report: the pick samples at 103
  EXPECT_EQ(x, 103);
  KeyPointerPlace(p, 103, 50, &x, &y);
  EXPECT_EQ(x, 103);
  // The mouse took it elsewhere: the place is the mouse's, and the next step goes from there.
  KeyPointerPlace(p, 300, 200, &x, &y);
  EXPECT_EQ(x, 300);
  EXPECT_EQ(y, 200);
  p = StepKeyPointer(p, 300, 200, 0, 10, kWideScreen, 1);
  EXPECT_EQ(p.x, 300);
  EXPECT_EQ(p.y, 210);
  // Places older than the last four are no longer the keys'.
  for (int i = 0; i < 5; i++) p = StepKeyPointer(p, p.x, p.y, 1, 0, kWideScreen, 1);
  KeyPointerPlace(p, 300, 210, &x, &y);
  EXPECT_EQ(x, 300);
  KeyPointerPlace(p, 301, 210, &x, &y);
  EXPECT_EQ(x, 305);
}

// The arrows keep the pointer on the monitors, as the system keeps it: a
// pick never samples a place the pointer cannot show. The primary, a
// shorter monitor to its left (a gap below it) and one above the primary.
TEST(KeyPointer, StepsStopAtTheEdgesOfTheMonitors) {
  const ScreenRect monitors[] = {{0, 0, 1280, 1024}, {-1024, 0, 1024, 768}, {0, -720, 1280, 720}};
  const struct {
    const char* what;
    int x, y, dx, dy, toX, toY;
  } cases[] = {
      {"inside", 600, 500, 1, 0, 601, 500},
      {"onto the monitor on the left", 0, 500, -1, 0, -1, 500},
      {"onto the monitor above", 1279, 0, 0, -10, 1279, -10},
      {"right edge of the virtual screen", 1279, 500, 1, 0, 1279, 500},
      {"ten, stopped at the right edge", 1275, 500, 10, 0, 1279, 500},
      {"bottom edge", 600, 1023, 0, 1, 600, 1023},
      {"ten, stopped at the bottom edge", 600, 1020, 0, 10, 600, 1023},
      {"left edge of the virtual screen", -1024, 100, -10, 0, -1024, 100},
      {"top edge of the virtual screen", 100, -720, 0, -1, 100, -720},
      {"into the gap below the left monitor", 0, 900, -1, 0, 0, 900},
      {"ten, stopped short of the gap", -3, 760, 0, 10, -3, 767},
      {"into the gap above the left monitor", -5, 3, 0, -10, -5, 0},
      {"beside the monitor above, no monitor", 1279, -5, 1, 0, 1279, -5},
      {"from the gap: whole", -500, 900, 0, -10, -500, 890},
  };
  for (const auto& k : cases) {
    KeyPointer p = StepKeyPointer(StartKeyPointer(k.x, k.y), k.x, k.y, k.dx, k.dy, monitors, 3);
    EXPECT_EQ(p.x, k.toX) << k.what;
    EXPECT_EQ(p.y, k.toY) << k.what;
  }
  // At the edge the step goes nowhere, and the system's report of the edge
  // is the keys' place: the next step goes on from there.
  KeyPointer p = StartKeyPointer(1279, 500);
  p = StepKeyPointer(p, 1279, 500, 1, 0, monitors, 3);
  p = StepKeyPointer(p, 1279, 500, -1, 0, monitors, 3);
  EXPECT_EQ(p.x, 1278);
}

//-----------------------------------------------------------------------------
// Key runs on a strip
//-----------------------------------------------------------------------------

TEST(KeyRun, SettlesOnceTheKeysAreUpAndQuiet) {
  KeyRun run = {};
  EXPECT_FALSE(KeyRunSettles(run, 100000));  // no run
  NoteKeyRunStep(&run, kStripR, 1000);
  EXPECT_FALSE(KeyRunSettles(run, 5000));  // the key is still held: its repeats are on their way
  NoteKeyRunKeyUp(&run, kStripG);          // another strip's key
  EXPECT_FALSE(KeyRunSettles(run, 5000));
  NoteKeyRunKeyUp(&run, kStripR);
  EXPECT_FALSE(KeyRunSettles(run, 1000 + kKeyRunSettleMs - 1));
  EXPECT_TRUE(KeyRunSettles(run, 1000 + kKeyRunSettleMs));
  // A key pressed again goes on with the run, from its own moment.
  NoteKeyRunStep(&run, kStripR, 1300);
  NoteKeyRunKeyUp(&run, kStripR);
  EXPECT_FALSE(KeyRunSettles(run, 1000 + kKeyRunSettleMs));
  EXPECT_TRUE(KeyRunSettles(run, 1300 + kKeyRunSettleMs));
  // Across the tick count's wrap.
  NoteKeyRunStep(&run, kStripR, 0xFFFFFF00u);
  NoteKeyRunKeyUp(&run, kStripR);
  EXPECT_FALSE(KeyRunSettles(run, 0x10));
  EXPECT_TRUE(KeyRunSettles(run, 0xFFFFFF00u + kKeyRunSettleMs));
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
