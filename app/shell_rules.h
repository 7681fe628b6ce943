// The application shell's decisions as plain data: the main window's
// controls (each one's name in the window description, where its events go,
// how it drags when it is a colour canvas), what the focus poll does for a
// drag, the right-click collapse area, keeping the window reachable, and the
// options menu's items and choices. No operating system here; the shell on
// the runtime carries them out.
#pragma once
#include "app/color_widgets.h"  // the control numbers only
#include "app/settings_record.h"
#include "color/canvas_drag.h"
#include "runtime/accessibility.h"  // the roles only
#include "runtime/screen_parts.h"   // ScreenRect

//-----------------------------------------------------------------------------
// The main window's controls and the routing of their events
//-----------------------------------------------------------------------------

enum MainAction {
  ACTION_NONE,
  ACTION_CANVAS_DRAG,          // the drag protocol (the picker's release commits the pick)
  ACTION_COLOR_DIALOG,         // the system colour dialog on the swatch
  ACTION_CHANNEL_TYPED,        // a channel field's text changed
  ACTION_CHANNEL_LEFT,         // a channel field lost the focus
  ACTION_ROW_SELECTED,         // the name list's selection changed
  ACTION_ROW_DOUBLE_CLICKED,
  ACTION_OPTIONS_MENU,
};

// The events a control takes other than the drag protocol's, each with its action.
struct ControlEventRoute {
  int type;           // a CanvasEvent code
  MainAction action;  // ACTION_NONE: an unused entry
};

// One control of the main window: its name in the window description, which
// is also the name of its field in ColorWidgets; its drag rule (DRAG_IDLE: no
// colour canvas) with what its keys do while no drag runs; the other events
// it takes; a strip's channel; its place in the Tab order; what a screen
// reader calls it and the role it gives it.
struct MainControlRow {
  const char* name;
  int ColorWidgets::*control;
  DragCanvasRule drag;
  ControlEventRoute events[2];
  int channel;           // a strip's channel (CHANNEL_RED..), -1 for none
  int tab;               // 1, 2, ...: the order Tab visits the controls in; 0: never
  const char* spoken;    // the accessible name, in the program's words; null: the platform's
  AccessibleRole role;   // ACCESSIBLE_DEFAULT: the platform's
};

// Every control of ColorWidgets but the window, one row each, in the order
// the controls are tried (app/shell_rules.cpp shows the table).
extern const MainControlRow kMainControls[];
extern const int kMainControlCount;

// What an event does: its action and the control's drag rule, from one row.
struct ControlRoute {
  MainAction action;
  DragCanvasRule drag;  // all zero (DRAG_IDLE) for a control that is no colour canvas
  int channel;          // a strip's channel, -1 for other controls
};

// The route of an event of `type` from `control`. The controls are tried in
// the table's order (picker, palette, capture, history, the three strips, the
// three fields, swatch, list, options button, then the controls that take no
// events) and the first match decides; event types a control does not
// handle, and other controls, give ACTION_NONE. A colour canvas takes the
// events of the drag protocol and of its keys (LeftPressed, PointerMoved,
// KeyPressed, KeyReleased, LeftReleased, FocusLost) as ACTION_CANVAS_DRAG. On
// a button canvas (CANVAS_KEYS_BUTTON), a KeyPressed of a key that presses it
// (`keyCode`, DecideCanvasKey) takes the action of its LeftPressed. The drag
// rule is the matched control's whatever the event type.
ControlRoute RouteControlEvent(const ColorWidgets& controls, int control, int type, int keyCode = 0);

// The controls in the order Tab visits them (the table's `tab` column):
// picker, capture view, each strip with its field, the colour text, options
// button, swatch, palette, history, name list. Writes at most `capacity`
// control numbers; returns how many there are.
int MainTabOrder(const ColorWidgets& controls, int* order, int capacity);

//-----------------------------------------------------------------------------
// What a screen reader is told
//-----------------------------------------------------------------------------

// While a drag, a pick or a key run changes the colour many times a second,
// a screen reader would fall behind reading each value: the value changes
// are told at most once every kValueNoticeIntervalMs then, those that came
// meanwhile later (on a tick of the focus poll), and always once at the end.
// Outside them every change is told at once.
const uint32_t kValueNoticeIntervalMs = 250;

struct ValueNotices {
  uint32_t pending;  // controls whose change is not told yet, a bit per row of kMainControls
  uint32_t lastMs;   // when changes were told last
};

// The moment of a decision.
enum ValueNoticeMoment {
  NOTICE_ON_CHANGE,  // values changed (`changed`) with nothing under way
  NOTICE_LIVE,       // values changed, or a tick came (`changed` 0), during a drag, pick or key run
  NOTICE_GATHER,     // values changed as a drag, pick or key run ends: told with its end
  NOTICE_AT_END,     // a drag, pick or key run has ended: everything pending and `changed` is told
};

// The controls (bits of kMainControls rows) to tell about now, at `nowMs`.
uint32_t ValueNoticesDue(ValueNotices* notices, uint32_t changed, ValueNoticeMoment moment, uint32_t nowMs);

// The bit of the row of kMainControls that holds `control`; 0 for none.
uint32_t MainControlBit(const ColorWidgets& controls, int control);

// The drag rule of a role, as the controls with that role share it (the
// three strips share DRAG_SLIDER's). All zero for DRAG_IDLE.
DragCanvasRule DragRuleFor(DragState role);

//-----------------------------------------------------------------------------
// Focus poll
//-----------------------------------------------------------------------------

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

//-----------------------------------------------------------------------------
// Window placement
//-----------------------------------------------------------------------------

// Whether (x, y) lies in the rectangle, its edges included.
bool InsideInclusive(int x, int y, int left, int top, int width, int height);

// A window position along one axis pulled back so that at least 40 % of the
// window's `size` lies within 0 .. `displaySize`: below -0.6 x size it
// becomes round(-0.6 x size), above displaySize - 0.4 x size it becomes
// round(displaySize - 0.4 x size) (halves to even); a position on a limit
// stays.
int KeepReachable(int position, int size, int displaySize);

// The display nearest the rectangle: the one it overlaps most, or when it
// overlaps none, the one at the least distance from it; the first of equals
// (display 0, the primary, comes first). -1 when there is no display.
int NearestDisplay(const ScreenRect& window, const ScreenRect* displays, int count);

// The window's stored position kept reachable on the display nearest its
// rectangle: at least 40 % of its width and height on that display, by
// KeepReachable along each axis. A window on any display stays where it
// is; one whose display is gone comes onto the nearest remaining one.
// When the enumeration found no display (some remote and virtual sessions),
// the primary monitor the system reports stands in.
void KeepReachableOnDisplays(ScreenRect* window, const ScreenRect* displays, int count,
                             const ScreenRect& reportedPrimary);

//-----------------------------------------------------------------------------
// Settings file
//-----------------------------------------------------------------------------

// When the program saves its settings.
enum SettingsSaveMoment {
  SAVE_AT_CLOSE,        // the user closed the window, and is there to answer
  SAVE_AT_SESSION_END,  // Windows is logging off or shutting down: nobody can answer
};

// Windows gives a program 5 seconds to handle the session's end
// (WM_ENDSESSION) before it may end it, or lists it as keeping the log-off
// from going on. The save then waits for holders 3 of those seconds,
// leaving the rest for writing the file on a busy disk.
const uint32_t kSessionEndSaveWaitMs = 3000;

struct SettingsSavePlan {
  bool save;               // false: the file is left as it is, and nothing is said
  SettingsSaveRules rules;
  bool askOnFailure;       // a failure is told to the user, who may try again
};

// How the settings are saved at `moment`, after the start (or the last save)
// found the file so. A file that exists but could not be read holds the
// user's settings, which this run never saw: it is left as it is. A file
// that was read (usable or not) is replaced. When there was none, none that
// appeared since (a sync client's first download, a backup put back) is
// replaced either. At close a failure is told, with a chance to try again;
// at the session's end the save waits longer for holders instead, and a
// failure leaves the old file as it was.
SettingsSavePlan PlanSettingsSave(SettingsFileState found, SettingsSaveMoment moment);

// How the file stands for the next save: one that landed made it this run's
// own, to be replaced; anything else changes nothing.
SettingsFileState SettingsFileAfterSave(SettingsFileState found, SettingsSaveOutcome outcome);

//-----------------------------------------------------------------------------
// Options menu
//-----------------------------------------------------------------------------

// Item ids of the options menu.
enum OptionId {
  OPTION_AUTOCOPY = 6,
  OPTION_STAY_ON_TOP = 7,
  OPTION_NOTATION_FIRST = 9,  // 9..13: the five notations in order
  OPTION_NOTATION_LAST = 13,
  OPTION_LOWERCASE = 14,
  OPTION_HOMEPAGE = 15,
};

const int kOptionsMenuNumber = 5;
extern const char* const kProgramHomepage;

enum OptionEntryKind { ENTRY_ITEM, ENTRY_SEPARATOR, ENTRY_SUBMENU, ENTRY_SUBMENU_END };

struct OptionEntry {
  OptionEntryKind kind;
  int id;            // items only
  const char* text;  // items and the sub-menu
};

// The menu in display order; the sub-menu's items lie between ENTRY_SUBMENU
// and ENTRY_SUBMENU_END.
extern const OptionEntry kOptionsMenuEntries[];
extern const int kOptionsMenuEntryCount;

// Whether the item shows a check mark for these settings.
bool OptionChecked(const ConfigRecord& config, int id);

struct OptionEffects {
  bool applyStayOnTop;  // make the window follow config.WinTopmost
  bool refreshViews;    // show the name list and the colour text in the new notation
  bool openHomepage;
};

// Applies a chosen id to the settings and says what else must happen. Ids
// below 5 or above 16, the unused 5, 8 and 16, and the notation already
// chosen change nothing.
OptionEffects ApplyOptionChoice(ConfigRecord* config, int id);
