#include "app/shell_rules.h"

#include <gtest/gtest.h>
#include <string.h>

#include <string>
#include <vector>

#include "color/color_value.h"
#include "runtime/event_queue.h"

//-----------------------------------------------------------------------------
// Routing
//-----------------------------------------------------------------------------

static ColorWidgets NumberedControls() {
  ColorWidgets c = {};
  c.wndMain = 1;
  c.cmdSelector = 10, c.imgPaletteAuto = 11, c.imgPaletteCapture = 12, c.imgPaletteHistory = 13;
  c.imgPaletteR = 14, c.imgPaletteG = 15, c.imgPaletteB = 16;
  c.txtR = 17, c.txtG = 18, c.txtB = 19;
  c.imgPaletteCurrent = 20, c.txtRGB = 21, c.lstResults = 22;
  c.FrameParams = 23, c.frame1 = 24, c.frame1_c1 = 25, c.cmdSelectorImg = 26, c.cmdOptions = 27;
  return c;
}

TEST(RouteControlEvent, EachControlTakesItsOwnEventTypesOnly) {
  const ColorWidgets c = NumberedControls();
  const struct {
    int control, type;
    MainAction action;
  } cases[] = {
      {10, LeftPressed, ACTION_CANVAS_DRAG},  {10, PointerMoved, ACTION_CANVAS_DRAG},
      {10, KeyPressed, ACTION_CANVAS_DRAG},   {10, LeftReleased, ACTION_CANVAS_DRAG},
      {10, KeyReleased, ACTION_CANVAS_DRAG},  {10, LeftClicked, ACTION_NONE},
      {10, FocusLost, ACTION_CANVAS_DRAG},    {14, KeyReleased, ACTION_CANVAS_DRAG},
      {10, FocusGained, ACTION_NONE},         {13, CharTyped, ACTION_NONE},
      {11, LeftReleased, ACTION_CANVAS_DRAG}, {12, PointerMoved, ACTION_CANVAS_DRAG},
      {13, KeyPressed, ACTION_CANVAS_DRAG},   {14, LeftPressed, ACTION_CANVAS_DRAG},
      {16, LeftReleased, ACTION_CANVAS_DRAG}, {16, WheelTurned, ACTION_NONE},
      {17, Changed, ACTION_CHANNEL_TYPED},    {18, FocusLost, ACTION_CHANNEL_LEFT},
      {19, Changed, ACTION_CHANNEL_TYPED},    {19, FocusGained, ACTION_NONE},
      {20, LeftPressed, ACTION_COLOR_DIALOG}, {20, LeftReleased, ACTION_NONE},
      {20, PointerMoved, ACTION_NONE},        {21, Changed, ACTION_NONE},
      {22, Changed, ACTION_ROW_SELECTED},     {22, LeftDoubleClicked, ACTION_ROW_DOUBLE_CLICKED},
      {22, LeftClicked, ACTION_NONE},         {27, LeftClicked, ACTION_OPTIONS_MENU},
      {27, Changed, ACTION_NONE},             {23, LeftClicked, ACTION_NONE},
      {26, LeftClicked, ACTION_NONE},         {99, LeftPressed, ACTION_NONE},
  };
  for (const auto& k : cases)
    EXPECT_EQ(RouteControlEvent(c, k.control, k.type).action, k.action) << k.control << " / " << k.type;
}

TEST(RouteControlEvent, MissingControlsMatchNoEvent) {
  ColorWidgets c = {};  // every control 0
  c.txtR = -1;           // or -1, as a failed look-up leaves it
  EXPECT_EQ(RouteControlEvent(c, 0, LeftPressed).action, ACTION_NONE);
  EXPECT_EQ(RouteControlEvent(c, 0, LeftClicked).action, ACTION_NONE);
  EXPECT_EQ(RouteControlEvent(c, -1, Changed).action, ACTION_NONE);
}

TEST(RouteControlEvent, TheFirstControlInOrderDecides) {
  // Should two entries hold one number, the picker comes before the swatch.
  ColorWidgets c = NumberedControls();
  c.imgPaletteCurrent = c.cmdSelector;
  EXPECT_EQ(RouteControlEvent(c, c.cmdSelector, LeftPressed).action, ACTION_CANVAS_DRAG);
}

TEST(RouteControlEvent, EachColorCanvasDragsByItsOwnRuleAndNoOtherControlDrags) {
  const ColorWidgets c = NumberedControls();
  const struct {
    int control;
    DragCanvasRule rule;
  } cases[] = {
      {10, {DRAG_PICKING, false, 1, KEYS_TWO_DIMENSIONAL}}, {11, {DRAG_PALETTE, true, 4, KEYS_HORIZONTAL}},
      {12, {DRAG_CAPTURE, true, 5, KEYS_TWO_DIMENSIONAL}},  {13, {DRAG_HISTORY, true, 8, KEYS_HORIZONTAL}},
      {14, {DRAG_SLIDER, true, 1, KEYS_HORIZONTAL}},        {15, {DRAG_SLIDER, true, 1, KEYS_HORIZONTAL}},
      {16, {DRAG_SLIDER, true, 1, KEYS_HORIZONTAL}},        {17, {DRAG_IDLE, false, 0, KEYS_HORIZONTAL}},
      {21, {DRAG_IDLE, false, 0, KEYS_HORIZONTAL}},
      {20, {DRAG_IDLE, false, 0, KEYS_HORIZONTAL}},         {22, {DRAG_IDLE, false, 0, KEYS_HORIZONTAL}},
      {27, {DRAG_IDLE, false, 0, KEYS_HORIZONTAL}},         {99, {DRAG_IDLE, false, 0, KEYS_HORIZONTAL}},
      {0, {DRAG_IDLE, false, 0, KEYS_HORIZONTAL}},
  };
  for (const auto& k : cases) {
    DragCanvasRule rule = RouteControlEvent(c, k.control, LeftPressed).drag;
    EXPECT_EQ(rule.role, k.rule.role) << k.control;
    EXPECT_EQ(rule.samples, k.rule.samples) << k.control;
    EXPECT_EQ(rule.step, k.rule.step) << k.control;
    EXPECT_EQ(rule.keys, k.rule.keys) << k.control;
    // A role's rule is the rule of its controls.
    DragCanvasRule ofRole = DragRuleFor(k.rule.role);
    EXPECT_EQ(ofRole.step, k.rule.step) << k.control;
    EXPECT_EQ(ofRole.samples, k.rule.samples) << k.control;
  }
  // Should two entries hold one number, the first control in order decides here too.
  ColorWidgets shared = c;
  shared.imgPaletteHistory = shared.imgPaletteAuto;
  EXPECT_EQ(RouteControlEvent(shared, shared.imgPaletteAuto, PointerMoved).drag.role, DRAG_PALETTE);
}

TEST(RouteControlEvent, KeysActOnlyWhereTheTableSays) {
  const ColorWidgets c = NumberedControls();
  // Space and Enter press the swatch as the mouse does; no other key does.
  const struct {
    int control, key;
    MainAction action;
  } keys[] = {
      {20, kKeySpace, ACTION_COLOR_DIALOG}, {20, kKeyEnter, ACTION_COLOR_DIALOG}, {20, kKeyLeft, ACTION_NONE},
      {20, 65, ACTION_NONE},                {27, kKeyEnter, ACTION_NONE},          {22, kKeySpace, ACTION_NONE},
      {17, kKeyEnter, ACTION_NONE},         {10, kKeyEnter, ACTION_CANVAS_DRAG},   {13, 65, ACTION_CANVAS_DRAG},
  };
  for (const auto& k : keys)
    EXPECT_EQ(RouteControlEvent(c, k.control, KeyPressed, k.key).action, k.action) << k.control << " key " << k.key;
  EXPECT_EQ(RouteControlEvent(c, 20, KeyReleased, kKeySpace).action, ACTION_NONE);
  // What the keys do on each canvas while idle, and each strip's channel.
  const struct {
    int control;
    CanvasKeyRole keys;
    int channel;
  } roles[] = {
      {10, CANVAS_KEYS_PICKER, -1}, {11, CANVAS_KEYS_CELLS, -1},  {12, CANVAS_KEYS_CELLS, -1},
      {13, CANVAS_KEYS_CELLS, -1},  {14, CANVAS_KEYS_CHANNEL, 0}, {15, CANVAS_KEYS_CHANNEL, 1},
      {16, CANVAS_KEYS_CHANNEL, 2}, {20, CANVAS_KEYS_BUTTON, -1}, {17, CANVAS_KEYS_NONE, -1},
      {99, CANVAS_KEYS_NONE, -1},
  };
  for (const auto& k : roles) {
    ControlRoute route = RouteControlEvent(c, k.control, KeyPressed, kKeyLeft);
    EXPECT_EQ(route.drag.idleKeys, k.keys) << k.control;
    EXPECT_EQ(route.channel, k.channel) << k.control;
  }
  // The capture view's marker moves in two dimensions, the strips' along their row.
  EXPECT_EQ(DecideCanvasKey(RouteControlEvent(c, 12, KeyPressed).drag, kKeyDown).dy, 1);
  EXPECT_EQ(DecideCanvasKey(RouteControlEvent(c, 11, KeyPressed).drag, kKeyDown).dx, -1);
}

TEST(MainTabOrder, FollowsTheWindowAsAPersonReadsIt) {
  const ColorWidgets c = NumberedControls();
  int order[32];
  int count = MainTabOrder(c, order, 32);
  // Picker, capture view, each strip with its field, colour text, options,
  // swatch, palette, history, list.
  const std::vector<int> expected = {10, 12, 14, 17, 15, 18, 16, 19, 21, 27, 20, 11, 13, 22};
  EXPECT_EQ(std::vector<int>(order, order + count), expected);
  // A short buffer gets what fits, and the count of all.
  EXPECT_EQ(MainTabOrder(c, order, 3), 14);
  EXPECT_EQ(std::vector<int>(order, order + 3), std::vector<int>(expected.begin(), expected.begin() + 3));
}

TEST(MainControls, EveryControlAPersonReachesHasANameOfItsOwn) {
  std::vector<std::string> names;
  for (int i = 0; i < kMainControlCount; i++) {
    const MainControlRow& row = kMainControls[i];
    bool reachable = row.tab > 0;
    EXPECT_EQ(row.spoken != nullptr, reachable) << row.name;
    if (!row.spoken) continue;
    for (const std::string& other : names) EXPECT_NE(other, row.spoken) << row.name;
    names.push_back(row.spoken);
    // Every colour canvas and the swatch say what they are: a role of their own.
    bool canvas = row.drag.role != DRAG_IDLE || row.drag.idleKeys == CANVAS_KEYS_BUTTON;
    if (canvas) {
      EXPECT_NE(row.role, ACCESSIBLE_DEFAULT) << row.name;
    }
  }
  const struct {
    const char* control;
    const char* spoken;
    AccessibleRole role;
  } expected[] = {
      {"imgPaletteR", "Red", ACCESSIBLE_SLIDER},
      {"imgPaletteCapture", "Magnified view", ACCESSIBLE_GRAPHIC},
      {"imgPaletteAuto", "Automatic palette", ACCESSIBLE_LIST},
      {"imgPaletteHistory", "History", ACCESSIBLE_LIST},
      {"imgPaletteCurrent", "Current colour", ACCESSIBLE_PUSH_BUTTON},
      {"cmdSelector", "Pick a colour from the screen", ACCESSIBLE_PUSH_BUTTON},
      {"txtRGB", "Colour text", ACCESSIBLE_DEFAULT},
      {"lstResults", "Nearest named colours", ACCESSIBLE_LIST},
      {"cmdOptions", "Tintvane.ini options", ACCESSIBLE_PUSH_BUTTON},
  };
  for (const auto& k : expected) {
    bool found = false;
    for (int i = 0; i < kMainControlCount; i++)
      if (strcmp(kMainControls[i].name, k.control) == 0) {
        found = true;
        EXPECT_STREQ(kMainControls[i].spoken, k.spoken);
        EXPECT_EQ(kMainControls[i].role, k.role) << k.control;
      }
    EXPECT_TRUE(found) << k.control;
  }
}

//-----------------------------------------------------------------------------
// What a screen reader is told
//-----------------------------------------------------------------------------

TEST(ValueNoticesDue, LiveChangesAreToldAFewTimesASecondAndAlwaysAtTheEnd) {
  ValueNotices n = {};
  // Nothing under way: each change at once.
  EXPECT_EQ(ValueNoticesDue(&n, 0x3, NOTICE_ON_CHANGE, 1000), 0x3u);
  EXPECT_EQ(ValueNoticesDue(&n, 0x1, NOTICE_ON_CHANGE, 1001), 0x1u);
  EXPECT_EQ(ValueNoticesDue(&n, 0, NOTICE_ON_CHANGE, 1002), 0u);
  // A pick: a change on every 16 ms tick for two seconds, told at most
  // once per interval, the ones between them gathered.
  int told = 0;
  uint32_t last = 0;
  for (uint32_t t = 2000; t < 4000; t += 16) {
    uint32_t due = ValueNoticesDue(&n, t % 32 ? 0x4 : 0x8, NOTICE_LIVE, t);
    if (!due) continue;
    if (told) {
      EXPECT_GE(t - last, kValueNoticeIntervalMs);
    }
    EXPECT_EQ(due, told ? 0xCu : 0x4u);
    told++;
    last = t;
  }
  EXPECT_GE(told, 7);
  EXPECT_LE(told, 9);
  // The end tells what waits at once, however soon, and what changed on the
  // way there with it.
  EXPECT_EQ(ValueNoticesDue(&n, 0x20, NOTICE_GATHER, last + 1), 0u);
  EXPECT_EQ(ValueNoticesDue(&n, 0x1, NOTICE_AT_END, last + 1), 0x2Du);
  EXPECT_EQ(ValueNoticesDue(&n, 0, NOTICE_AT_END, last + 2), 0u);
  // A tick without a change tells what waits, once its interval is over.
  uint32_t end = last + 1;
  EXPECT_EQ(ValueNoticesDue(&n, 0x10, NOTICE_LIVE, end + 10), 0u);
  EXPECT_EQ(ValueNoticesDue(&n, 0, NOTICE_LIVE, end + kValueNoticeIntervalMs - 1), 0u);
  EXPECT_EQ(ValueNoticesDue(&n, 0, NOTICE_LIVE, end + kValueNoticeIntervalMs), 0x10u);
  // Across the tick count's wrap.
  ValueNotices w = {0, 0xFFFFFFF0u};
  EXPECT_EQ(ValueNoticesDue(&w, 0x1, NOTICE_LIVE, 0x20), 0u);
  EXPECT_EQ(ValueNoticesDue(&w, 0, NOTICE_LIVE, 0xFFFFFFF0u + kValueNoticeIntervalMs), 0x1u);
}

TEST(MainControlBit, OneBitPerRow) {
  const ColorWidgets c = NumberedControls();
  uint32_t all = 0;
  for (int control = 10; control <= 27; control++) {
    uint32_t bit = MainControlBit(c, control);
    EXPECT_EQ(bit & (bit - 1), 0u) << control;
    EXPECT_NE(bit, 0u) << control;
    EXPECT_EQ(all & bit, 0u) << control;
    all |= bit;
  }
  EXPECT_EQ(MainControlBit(c, 99), 0u);
  EXPECT_EQ(MainControlBit(c, 0), 0u);
  EXPECT_EQ(MainControlBit(c, -1), 0u);
}

//-----------------------------------------------------------------------------
// Focus poll
//-----------------------------------------------------------------------------

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

//-----------------------------------------------------------------------------
// Placement
//-----------------------------------------------------------------------------

TEST(InsideInclusive, TheEdgesBelongToTheRectangle) {
  // (10, 20) 30 x 40: x 10..40, y 20..60, all four edges included.
  EXPECT_TRUE(InsideInclusive(10, 20, 10, 20, 30, 40));
  EXPECT_TRUE(InsideInclusive(40, 60, 10, 20, 30, 40));
  EXPECT_FALSE(InsideInclusive(9, 30, 10, 20, 30, 40));
  EXPECT_FALSE(InsideInclusive(41, 30, 10, 20, 30, 40));
  EXPECT_FALSE(InsideInclusive(20, 61, 10, 20, 30, 40));
  EXPECT_FALSE(InsideInclusive(-1, -1, 0, 0, 30, 40));  // a pointer outside the client area
  EXPECT_TRUE(InsideInclusive(2147483647, 0, 2147483600, 0, 1000, 10));
}

TEST(KeepReachable, PullsBackOnlyPastTheLimits) {
  const struct {
    int position, size, display, expected;
  } cases[] = {
      {-5000, 480, 1280, -288},       // -0.6 x 480
      {-288, 480, 1280, -288},        // on the limit: stays
      {-289, 480, 1280, -288},
      {-5000, 487, 1280, -292},       // -292.2 rounds to -292
      {-5000, 489, 1280, -293},       // -293.4
      {100000, 480, 1280, 1088},      // 1280 - 0.4 x 480
      {1088, 480, 1280, 1088},
      {1089, 480, 1280, 1088},
      {100000, 487, 1280, 1085},      // 1085.2
      {320, 480, 1280, 320},
      {-2147483647 - 1, 480, 1280, -288},
      {2147483647, 480, 1280, 1088},
      {50, 480, 0, -192},             // no display: 0 - 0.4 x 480
  };
  for (const auto& k : cases)
    EXPECT_EQ(KeepReachable(k.position, k.size, k.display), k.expected) << k.position << " " << k.size;
}

// Monitors as a person may have them: a 1280 x 1024 primary, one right of
// it, one left (negative x) and one above (negative y); logical units.
static const ScreenRect kPrimary = {0, 0, 1280, 1024}, kRight = {1280, 0, 1280, 1024},
                        kLeft = {-1024, 0, 1024, 768}, kAbove = {0, -720, 1280, 720};

TEST(KeepReachableOnDisplays, KeepsTheWindowOnTheNearestDisplay) {
  const ScreenRect four[] = {kPrimary, kRight, kLeft, kAbove};
  const ScreenRect primaryOnly[] = {kPrimary};
  const ScreenRect withoutRight[] = {kPrimary, kLeft, kAbove};
  const struct {
    const char* what;
    const ScreenRect* displays;
    int count;
    int x, y;          // stored; the window is 500 x 300
    int nearest;       // the display the rule keeps it on
    int keptX, keptY;  // where it opens
  } cases[] = {
      {"on the primary", four, 4, 320, 240, 0, 320, 240},
      {"on the right-hand display", four, 4, 1600, 300, 1, 1600, 300},
      {"on the left-hand display, negative x", four, 4, -900, 100, 2, -900, 100},
      {"on the display above, negative y", four, 4, 200, -600, 3, 200, -600},
      {"across two displays: the one it overlaps most", four, 4, 1100, 100, 1, 1100, 100},
      {"60 % off the right-hand display's far edge stays", four, 4, 2360, 0, 1, 2360, 0},
      {"past the right-hand display's far edge", four, 4, 2400, 0, 1, 2360, 0},
      {"below the left-hand display, which is shorter", four, 4, -900, 900, 2, -900, 648},
      {"far above: onto the display above", four, 4, 100, -5000, 3, 100, -900},
      {"far left: onto the left-hand display", four, 4, -5000, 100, 2, -1324, 100},
      {"the right-hand display gone: onto the primary", withoutRight, 3, 1600, 300, 0, 1080, 300},
      {"the left-hand display gone: onto the primary", primaryOnly, 1, -900, 100, 0, -300, 100},
      {"the display above gone: onto the primary", primaryOnly, 1, 200, -600, 0, 200, -180},
      {"the extremes", four, 4, -2147483647 - 1, 2147483647, 2, -1324, 648},
      {"the extremes, the primary alone", primaryOnly, 1, 2147483647, -2147483647 - 1, 0, 1080, -180},
      {"no display enumerated: the reported primary", nullptr, 0, 320, 240, -1, 320, 240},
      {"no display enumerated, far off: onto the reported primary", nullptr, 0, -5000, 5000, -1, -300, 904},
  };
  for (const auto& k : cases) {
    SCOPED_TRACE(k.what);
    ScreenRect window = {k.x, k.y, 500, 300};
    EXPECT_EQ(NearestDisplay(window, k.displays, k.count), k.nearest);
    KeepReachableOnDisplays(&window, k.displays, k.count, kPrimary);
    EXPECT_EQ(window.x, k.keptX);
    EXPECT_EQ(window.y, k.keptY);
    EXPECT_EQ(window.width, 500);
    EXPECT_EQ(window.height, 300);
  }
}

TEST(KeepReachableOnDisplays, OnePrimaryGivesTheRuleOfOneDisplay) {
  // Whatever the stored position, a single display at (0, 0) gives what
  // KeepReachable gives along each axis.
  const ScreenRect primary[] = {kPrimary};
  for (int x : {-2147483647 - 1, -5000, -289, -288, 0, 1088, 1089, 100000, 2147483647})
    for (int size : {480, 487, 489}) {
      ScreenRect window = {x, x, size, size};
      KeepReachableOnDisplays(&window, primary, 1, ScreenRect{0, 0, 0, 0});
      EXPECT_EQ(window.x, KeepReachable(x, size, 1280)) << x << " " << size;
      EXPECT_EQ(window.y, KeepReachable(x, size, 1024)) << x << " " << size;
    }
}

TEST(NearestDisplay, TiesGoToTheFirstAndDistanceCountsBothAxes) {
  // Between the primary and the right-hand display, overlapping both equally.
  const ScreenRect two[] = {kPrimary, kRight};
  EXPECT_EQ(NearestDisplay(ScreenRect{1030, 0, 500, 300}, two, 2), 0);
  const ScreenRect reversed[] = {kRight, kPrimary};
  EXPECT_EQ(NearestDisplay(ScreenRect{1030, 0, 500, 300}, reversed, 2), 0);
  // Off every display, below both: the one it lies under, then the one nearer.
  EXPECT_EQ(NearestDisplay(ScreenRect{1290, 1100, 10, 10}, two, 2), 1);
  EXPECT_EQ(NearestDisplay(ScreenRect{1260, 1100, 10, 10}, two, 2), 0);
  // The distance counts both axes: nearer the first along x alone, nearer
  // the second all told (10 and 100 apart against 60 and 0).
  const ScreenRect apart[] = {{0, 0, 100, 100}, {180, 150, 100, 100}};
  EXPECT_EQ(NearestDisplay(ScreenRect{110, 200, 10, 10}, apart, 2), 1);
  EXPECT_EQ(NearestDisplay(ScreenRect{105, 90, 10, 10}, apart, 2), 0);
}

//-----------------------------------------------------------------------------
// Settings file
//-----------------------------------------------------------------------------

TEST(PlanSettingsSave, ByHowTheFileWasFoundAndWhetherSomeoneCanAnswer) {
  const struct {
    SettingsFileState found;
    SettingsSaveMoment moment;
    bool save, replace;
    uint32_t waitMs;
    bool ask;
  } cases[] = {
      // Read, usable or not: replaced; damaged files are replaced as before.
      {SETTINGS_FILE_READ, SAVE_AT_CLOSE, true, true, kSettingsHolderWaitMs, true},
      {SETTINGS_FILE_READ, SAVE_AT_SESSION_END, true, true, kSessionEndSaveWaitMs, false},
      // None at start: saved, but one that appeared since is left.
      {SETTINGS_FILE_MISSING, SAVE_AT_CLOSE, true, false, kSettingsHolderWaitMs, true},
      {SETTINGS_FILE_MISSING, SAVE_AT_SESSION_END, true, false, kSessionEndSaveWaitMs, false},
      // There but unreadable: the user's settings, never seen by this run.
      {SETTINGS_FILE_UNREADABLE, SAVE_AT_CLOSE, false, false, 0, false},
      {SETTINGS_FILE_UNREADABLE, SAVE_AT_SESSION_END, false, false, 0, false},
  };
  for (const auto& k : cases) {
    SettingsSavePlan plan = PlanSettingsSave(k.found, k.moment);
    EXPECT_EQ(plan.save, k.save) << k.found << " " << k.moment;
    if (!plan.save) continue;
    EXPECT_EQ(plan.rules.replaceExisting, k.replace) << k.found << " " << k.moment;
    EXPECT_EQ(plan.rules.waitMs, k.waitMs) << k.found << " " << k.moment;
    EXPECT_EQ(plan.askOnFailure, k.ask) << k.found << " " << k.moment;
  }
  // The session's end leaves time to spare of the 5 seconds Windows gives it.
  EXPECT_LE(kSessionEndSaveWaitMs, 3500u);
}

// A save that landed makes the file this run's own: the close after a save
// at the session's end replaces it, though the start found none.
TEST(SettingsFileAfterSave, OnlyALandedSaveMakesTheFileReplaceable) {
  const struct {
    SettingsFileState found;
    SettingsSaveOutcome outcome;
    SettingsFileState after;
  } cases[] = {
      {SETTINGS_FILE_MISSING, SETTINGS_SAVED, SETTINGS_FILE_READ},
      {SETTINGS_FILE_MISSING, SETTINGS_SAVE_LEFT, SETTINGS_FILE_MISSING},
      {SETTINGS_FILE_MISSING, SETTINGS_SAVE_FAILED, SETTINGS_FILE_MISSING},
      {SETTINGS_FILE_READ, SETTINGS_SAVED, SETTINGS_FILE_READ},
      {SETTINGS_FILE_READ, SETTINGS_SAVE_FAILED, SETTINGS_FILE_READ},
  };
  for (const auto& k : cases) {
    EXPECT_EQ(SettingsFileAfterSave(k.found, k.outcome), k.after) << k.found << " " << k.outcome;
    SettingsSavePlan next = PlanSettingsSave(SettingsFileAfterSave(k.found, k.outcome), SAVE_AT_CLOSE);
    EXPECT_EQ(next.rules.replaceExisting, k.after == SETTINGS_FILE_READ);
  }
}

//-----------------------------------------------------------------------------
// Options menu
//-----------------------------------------------------------------------------

TEST(OptionsMenu, ItemsInDisplayOrderWithTheirIdsAndTexts) {
  std::vector<std::string> shown;
  for (int i = 0; i < kOptionsMenuEntryCount; i++) {
    const OptionEntry& e = kOptionsMenuEntries[i];
    switch (e.kind) {
      case ENTRY_ITEM: shown.push_back(std::to_string(e.id) + " " + e.text); break;
      case ENTRY_SEPARATOR: shown.push_back("-"); break;
      case ENTRY_SUBMENU: shown.push_back(std::string("> ") + e.text); break;
      case ENTRY_SUBMENU_END: shown.push_back("<"); break;
    }
  }
  const std::vector<std::string> expected = {
      "7 Stay on top",  "6 Copy automatically", "14 Use lowercase", "-", "> Color format",
      "9 HTML/CSS hex\t(#RRGGBB)", "10 C hex\t(0xBBGGRR)", "11 PB hex\t($BBGGRR)", "12 VB hex\t(&&HBBGGRR)", "-",
      "13 RGB int\t(RRR,GGG,BBB)", "<", "-", "15 Program homepage"};
  EXPECT_EQ(shown, expected);
  EXPECT_EQ(kOptionsMenuNumber, 5);
  EXPECT_EQ(strncmp(kProgramHomepage, "https://", 8), 0);
}

TEST(OptionsMenu, CheckMarksFollowTheSettings) {
  ConfigRecord c = {};
  for (int id = 0; id < 20; id++) EXPECT_EQ(OptionChecked(c, id), id == 9) << id;  // the defaults: HTML only
  c.WinTopmost = 1, c.Autocopy = 2, c.ColorFormatLCase = 1, c.ColorFormat = 4;
  for (int id = 0; id < 20; id++) EXPECT_EQ(OptionChecked(c, id), id == 7 || id == 6 || id == 14 || id == 13) << id;
  c.ColorFormat = 99;  // a notation the menu does not have: none checked
  for (int id = 9; id <= 13; id++) EXPECT_FALSE(OptionChecked(c, id)) << id;
}

// The four settings the menu shows: notation, lowercase, stay on top, copy.
struct MenuSettings {
  int format, lowercase, topmost, autocopy;
  bool operator==(const MenuSettings& o) const {
    return format == o.format && lowercase == o.lowercase && topmost == o.topmost && autocopy == o.autocopy;
  }
};

TEST(OptionsMenu, ChoicesChangeTheSettingsAndSayWhatElseToDo) {
  const struct {
    int id;
    MenuSettings before, after;
    bool topmost, refresh, homepage;
  } cases[] = {
      {6, {0, 0, 0, 0}, {0, 0, 0, 1}, false, false, false},
      {6, {0, 0, 0, 5}, {0, 0, 0, 0}, false, false, false},
      {7, {0, 0, 0, 0}, {0, 0, 1, 0}, true, false, false},
      {7, {0, 0, 9, 0}, {0, 0, 0, 0}, true, false, false},
      {14, {2, 7, 0, 0}, {2, 0, 0, 0}, false, true, false},
      {14, {2, 0, 0, 0}, {2, 1, 0, 0}, false, true, false},
      {10, {0, 0, 0, 0}, {1, 0, 0, 0}, false, true, false},
      {13, {99, 0, 0, 0}, {4, 0, 0, 0}, false, true, false},
      {9, {0, 1, 0, 0}, {0, 1, 0, 0}, false, false, false},  // the notation already chosen
      {15, {0, 0, 0, 0}, {0, 0, 0, 0}, false, false, true},
      {5, {3, 1, 1, 1}, {3, 1, 1, 1}, false, false, false},
      {8, {3, 1, 1, 1}, {3, 1, 1, 1}, false, false, false},
      {16, {3, 1, 1, 1}, {3, 1, 1, 1}, false, false, false},
      {4, {3, 1, 1, 1}, {3, 1, 1, 1}, false, false, false},
      {17, {3, 1, 1, 1}, {3, 1, 1, 1}, false, false, false},
      {-9, {3, 1, 1, 1}, {3, 1, 1, 1}, false, false, false},
  };
  for (const auto& k : cases) {
    ConfigRecord c = {};
    c.ColorFormat = k.before.format;
    c.ColorFormatLCase = (uint8_t)k.before.lowercase;
    c.WinTopmost = (uint8_t)k.before.topmost;
    c.Autocopy = (uint8_t)k.before.autocopy;
    OptionEffects e = ApplyOptionChoice(&c, k.id);
    MenuSettings after = {c.ColorFormat, c.ColorFormatLCase, c.WinTopmost, c.Autocopy};
    EXPECT_TRUE(after == k.after) << k.id;
    EXPECT_EQ(e.applyStayOnTop, k.topmost) << k.id;
    EXPECT_EQ(e.refreshViews, k.refresh) << k.id;
    EXPECT_EQ(e.openHomepage, k.homepage) << k.id;
  }
}
