#include "app/main_controls.h"

#include <gtest/gtest.h>
#include <string.h>

#include <string>
#include <vector>

#include "runtime/event_queue.h"

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
