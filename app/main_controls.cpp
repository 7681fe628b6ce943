#include "app/main_controls.h"

#include "color/channel_views.h"
#include "runtime/event_queue.h"

//-----------------------------------------------------------------------------
// The table
//-----------------------------------------------------------------------------

static constexpr DragCanvasRule kNoDrag = {DRAG_IDLE, false, 0, KEYS_HORIZONTAL, CANVAS_KEYS_NONE};
// The swatch drags nothing; Space or Enter presses it.
static constexpr DragCanvasRule kButtonCanvas = {DRAG_IDLE, false, 0, KEYS_HORIZONTAL, CANVAS_KEYS_BUTTON};

// A control's name in the description and its field: the same word.
#define CONTROL(name) #name, &ColorWidgets::name

// One row per control of the main window, in the order the controls are
// tried. Columns: the control's name (the element's name in the window
// description and the field of ColorWidgets); its drag rule: its role in the
// drag protocol (DRAG_IDLE: no colour canvas; a colour canvas takes the
// events of the protocol), whether a press and moves sample the colour under
// the pointer, how many pixels an arrow key moves the cursor in a drag, how
// the arrow keys move, and what its keys do while no drag runs; then its
// other events, each with its action; a strip's channel; its place in the
// Tab order; what a screen reader calls it, and its role there.
constexpr MainControlRow kMainControls[] = {
    // control                   role          samples step  keys                  keys while idle
    // The picker samples nothing: the focus poll samples the screen.
    {CONTROL(cmdSelector),       {DRAG_PICKING, false,  1,   KEYS_TWO_DIMENSIONAL, CANVAS_KEYS_PICKER},  {},
     -1, 1, "Pick a colour from the screen", ACCESSIBLE_PUSH_BUTTON},
    {CONTROL(imgPaletteAuto),    {DRAG_PALETTE, true,   4,   KEYS_HORIZONTAL,      CANVAS_KEYS_CELLS},   {},
     -1, 12, "Automatic palette", ACCESSIBLE_LIST},
    {CONTROL(imgPaletteCapture), {DRAG_CAPTURE, true,   5,   KEYS_TWO_DIMENSIONAL, CANVAS_KEYS_CELLS},   {},
     -1, 2, "Magnified view", ACCESSIBLE_GRAPHIC},
    {CONTROL(imgPaletteHistory), {DRAG_HISTORY, true,   8,   KEYS_HORIZONTAL,      CANVAS_KEYS_CELLS},   {},
     -1, 13, "History", ACCESSIBLE_LIST},
    {CONTROL(imgPaletteR),       {DRAG_SLIDER,  true,   1,   KEYS_HORIZONTAL,      CANVAS_KEYS_CHANNEL}, {},
     CHANNEL_RED, 3, "Red", ACCESSIBLE_SLIDER},
    {CONTROL(imgPaletteG),       {DRAG_SLIDER,  true,   1,   KEYS_HORIZONTAL,      CANVAS_KEYS_CHANNEL}, {},
     CHANNEL_GREEN, 5, "Green", ACCESSIBLE_SLIDER},
    {CONTROL(imgPaletteB),       {DRAG_SLIDER,  true,   1,   KEYS_HORIZONTAL,      CANVAS_KEYS_CHANNEL}, {},
     CHANNEL_BLUE, 7, "Blue", ACCESSIBLE_SLIDER},
    {CONTROL(txtR),              kNoDrag, {{Changed, ACTION_CHANNEL_TYPED}, {FocusLost, ACTION_CHANNEL_LEFT}},
     -1, 4, "Red value", ACCESSIBLE_DEFAULT},
    {CONTROL(txtG),              kNoDrag, {{Changed, ACTION_CHANNEL_TYPED}, {FocusLost, ACTION_CHANNEL_LEFT}},
     -1, 6, "Green value", ACCESSIBLE_DEFAULT},
    {CONTROL(txtB),              kNoDrag, {{Changed, ACTION_CHANNEL_TYPED}, {FocusLost, ACTION_CHANNEL_LEFT}},
     -1, 8, "Blue value", ACCESSIBLE_DEFAULT},
    {CONTROL(imgPaletteCurrent), kButtonCanvas, {{LeftPressed, ACTION_COLOR_DIALOG}},
     -1, 11, "Current colour", ACCESSIBLE_PUSH_BUTTON},
    // A list and a push button, as the platform's standard objects may not say.
    {CONTROL(lstResults),        kNoDrag, {{Changed, ACTION_ROW_SELECTED}, {LeftDoubleClicked, ACTION_ROW_DOUBLE_CLICKED}},
     -1, 14, "Nearest named colours", ACCESSIBLE_LIST},
    // Its caption stays in its name, so that a person who says what they see reaches it.
    {CONTROL(cmdOptions),        kNoDrag, {{LeftClicked, ACTION_OPTIONS_MENU}},
     -1, 10, "Tintvane.ini options", ACCESSIBLE_PUSH_BUTTON},
    // Controls the program draws on, writes, sizes or hides, which take no events.
    {CONTROL(txtRGB),            kNoDrag, {}, -1, 9, "Colour text", ACCESSIBLE_DEFAULT},
    {CONTROL(FrameParams),       kNoDrag, {}, -1, 0, nullptr, ACCESSIBLE_DEFAULT},
    {CONTROL(frame1),            kNoDrag, {}, -1, 0, nullptr, ACCESSIBLE_DEFAULT},
    {CONTROL(frame1_c1),         kNoDrag, {}, -1, 0, nullptr, ACCESSIBLE_DEFAULT},
    {CONTROL(cmdSelectorImg),    kNoDrag, {}, -1, 0, nullptr, ACCESSIBLE_DEFAULT},
};
#undef CONTROL

const int kMainControlCount = (int)(sizeof kMainControls / sizeof kMainControls[0]);

// The table and the control record agree: a row for every control of the
// record but the window, none twice.
static constexpr bool EachControlHasOneRow() {
  for (const MainControlRow& row : kMainControls)
    for (const MainControlRow& other : kMainControls)
      if (&row != &other && row.control == other.control) return false;
  return sizeof kMainControls / sizeof kMainControls[0] == sizeof(ColorWidgets) / sizeof(int) - 1;
}
static_assert(EachControlHasOneRow(), "one row of kMainControls for each control of ColorWidgets but wndMain");
static_assert(sizeof kMainControls / sizeof kMainControls[0] <= 32, "a row's bit (MainControlBit) fits 32 bits");

// The Tab order's places are 1, 2, ... N, each held by one row.
static constexpr bool TabPlacesAreOneToN() {
  int count = 0;
  for (const MainControlRow& row : kMainControls) count += row.tab > 0;
  for (int place = 1; place <= count; place++) {
    int holders = 0;
    for (const MainControlRow& row : kMainControls) holders += row.tab == place;
    if (holders != 1) return false;
  }
  return true;
}
static_assert(TabPlacesAreOneToN(), "the tab column numbers the controls 1, 2, ... without gaps");

// DragRuleFor reads the first row of a role: every role has one, and the
// rows of one role agree.
static constexpr bool RolesHaveOneRule() {
  for (int role = DRAG_PICKING; role <= DRAG_SLIDER; role++) {
    const DragCanvasRule* first = nullptr;
    for (const MainControlRow& row : kMainControls) {
      if (row.drag.role != role) continue;
      if (!first) first = &row.drag;
      else if (row.drag.samples != first->samples || row.drag.step != first->step || row.drag.keys != first->keys ||
               row.drag.idleKeys != first->idleKeys)
        return false;
    }
    if (!first) return false;
  }
  return true;
}
static_assert(RolesHaveOneRule(), "one rule per drag role, each role on a control");

//-----------------------------------------------------------------------------
// Routing
//-----------------------------------------------------------------------------

static bool IsDragEvent(int type) {
  return type == LeftPressed || type == PointerMoved || type == KeyPressed || type == KeyReleased ||
         type == LeftReleased || type == FocusLost;
}

// The row of the first control in order that holds the number; null for none.
static const MainControlRow* RowOf(const ColorWidgets& controls, int control) {
  if (control <= 0) return nullptr;
  for (const MainControlRow& row : kMainControls)
    if (controls.*row.control == control) return &row;
  return nullptr;
}

ControlRoute RouteControlEvent(const ColorWidgets& controls, int control, int type, int keyCode) {
  const MainControlRow* row = RowOf(controls, control);
  if (!row) return {ACTION_NONE, kNoDrag, -1};
  if (row->drag.role != DRAG_IDLE && IsDragEvent(type)) return {ACTION_CANVAS_DRAG, row->drag, row->channel};
  // A key that presses a button canvas does what a press with the mouse does.
  if (type == KeyPressed && DecideCanvasKey(row->drag, keyCode).kind == KEY_PRESS) type = LeftPressed;
  for (const ControlEventRoute& route : row->events)
    if (route.action != ACTION_NONE && route.type == type) return {route.action, row->drag, row->channel};
  return {ACTION_NONE, row->drag, row->channel};
}

int MainTabOrder(const ColorWidgets& controls, int* order, int capacity) {
  int count = 0;
  for (int place = 1;; place++) {
    const MainControlRow* holder = nullptr;
    for (const MainControlRow& row : kMainControls)
      if (row.tab == place) holder = &row;
    if (!holder) return count;
    if (count < capacity) order[count] = controls.*holder->control;
    count++;
  }
}

uint32_t MainControlBit(const ColorWidgets& controls, int control) {
  if (control <= 0) return 0;
  for (int i = 0; i < kMainControlCount; i++)
    if (controls.*kMainControls[i].control == control) return 1u << i;
  return 0;
}

DragCanvasRule DragRuleFor(DragState role) {
  if (role == DRAG_IDLE) return kNoDrag;
  for (const MainControlRow& row : kMainControls)
    if (row.drag.role == role) return row.drag;
  return kNoDrag;
}
