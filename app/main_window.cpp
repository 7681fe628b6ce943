// The main window: built once from its description, placed, shown and
// refreshed; its collapsed and expanded heights; the picker button's face.
#include "app/shell.h"

#include <stdio.h>

#include <vector>

#include "app/canvas_keys.h"
#include "app/capture_view.h"
#include "app/channel_controls.h"
#include "app/color_widgets.h"
#include "app/focus_poll.h"
#include "app/main_controls.h"
#include "app/main_description.h"
#include "app/name_list.h"
#include "app/picker_icon.h"
#include "app/program_context.h"
#include "app/settings_record.h"
#include "app/swatch_controls.h"
#include "app/window_placement.h"
#include "dialog/description.h"
#include "runtime/canvas.h"
#include "runtime/drawing.h"
#include "runtime/fonts.h"
#include "runtime/images.h"
#include "runtime/random.h"
#include "runtime/startup_timing.h"
#include "runtime/windowing.h"
#include "runtime/xml_doc.h"

const int kBuildNumber = 7;  // the last part of the version, 1.0.0.7, shown in the title

//-----------------------------------------------------------------------------
// Height
//-----------------------------------------------------------------------------

void SetExpanded(int expanded, int fullHeight) {
  ProgramContext& g = *GProgram;
  if (fullHeight != 0) g.expandedHeight = fullHeight;
  CONFIG.WinExpanded = expanded ? 1 : 0;
  int height = expanded ? g.expandedHeight : ControlY(g.controls.lstResults);
  ResizeWindowTo(g.controls.wndMain, kIgnore, kIgnore, kIgnore, height);
}

//-----------------------------------------------------------------------------
// Construction
//-----------------------------------------------------------------------------

// Opens wndMain from the description and looks up its controls by their
// names in kMainControls; false, with the controls -1, when the window
// cannot be opened.
static bool OpenMainWindow() {
  ProgramContext& g = *GProgram;
  ColorWidgets& controls = g.controls;
  RegisterLayoutValues();
  int dialog = NewDialog(-1);
  g.mainDialog = dialog;
  XmlDoc doc;
  bool parsed = XmlParse(doc, kMainWindowDescription, kMainWindowDescriptionLength);
  MarkStartupStep(STEP_DESCRIPTION_PARSE);
  if (FontExists(g.FontNormal)) SetDefaultControlFont(g.FontNormal);
  // The colour text, the options button and the list show the large font.
  // They are created with it, so that the one layout of the open already
  // fits them: the window is what setting the fonts afterwards and refitting
  // would make it, without placing every control a second time.
  if (FontExists(g.FontLarge)) {
    for (const char* name : {"txtRGB", "cmdOptions", "lstResults"}) SetDialogControlFont(dialog, name, g.FontLarge);
  }
  for (int i = 0; i < kMainControlCount; i++) controls.*kMainControls[i].control = -1;
  controls.wndMain = -1;
  // Opened where it was left, so that placing it there moves nothing.
  if (dialog && parsed && OpenDescribedWindow(dialog, doc, "wndMain", CONFIG.WinX, CONFIG.WinY)) {
    controls.wndMain = DialogWindowOf(dialog);
    for (int i = 0; i < kMainControlCount; i++)
      controls.*kMainControls[i].control = DialogControlByName(dialog, kMainControls[i].name);
  }
  MarkStartupStep(STEP_LAYOUT);
  return controls.wndMain != -1;
}

// Keeps at least 40 % of the window on the display nearest its stored
// rectangle, and the corrected position; a window left on a display that is
// gone comes onto the nearest one. Takes the count ExamineDisplays found.
static void KeepWindowReachable(int displayCount) {
  int window = GProgram->controls.wndMain;
  std::vector<ScreenRect> displays;
  for (int i = 0; i < displayCount; i++) {
    // In logical units, like the window: the corners converted, so adjoining displays still meet.
    int left = ScreenToLogicalX(DisplayX(i)), top = ScreenToLogicalY(DisplayY(i));
    displays.push_back(ScreenRect{left, top, ScreenToLogicalX(DisplayX(i) + DisplayWidth(i)) - left,
                                  ScreenToLogicalY(DisplayY(i) + DisplayHeight(i)) - top});
  }
  ScreenRect reportedPrimary = {0, 0, ScreenToLogicalX(PrimaryMonitorWidth()), ScreenToLogicalY(PrimaryMonitorHeight())};
  ScreenRect kept = {CONFIG.WinX, CONFIG.WinY, WindowOuterWidth(window), WindowOuterHeight(window)};
  KeepReachableOnDisplays(&kept, displays.data(), (int)displays.size(), reportedPrimary);
  if (kept.x != CONFIG.WinX) {
    CONFIG.WinX = kept.x;
    ResizeWindowTo(window, kept.x, kIgnore, kIgnore, kIgnore);
  }
  if (kept.y != CONFIG.WinY) {
    CONFIG.WinY = kept.y;
    ResizeWindowTo(window, kIgnore, kept.y, kIgnore, kIgnore);
  }
}

// Every view drawn: the capture view and the automatic palette from the
// stored capture, the name list (filled for the current colour, or only
// sized, its rows, selection and scroll kept), the history, the swatch and
// the channels.
static void DrawEveryView(bool fillNameList) {
  int list = GProgram->controls.lstResults;
  RestoreCapture();
  MarkStartupStep(STEP_CAPTURE_RESTORE);
  if (fillNameList) RefreshNameList(CONFIG.Color, list, true, true);
  else SizeNameList(list);
  MarkStartupStep(STEP_LIST_FILL);
  DrawHistory();
  RefreshCurrentSwatch(CONFIG.Color, true);
  RefreshChannelViews(CONFIG.Color, true);
}

// The window's scale changed: it moved to a monitor of another scale, or
// its monitor's scale changed. Everything sized from the scale is made again
// by the code that made it at start, so that the window is what a start at
// the new scale shows: the fonts, the layout and the height, the list's
// columns and icons, every canvas's picture, the picker button's face. The
// colour, the history, the capture, the list's rows, selection and scroll
// and the focus stay; a drag under way ends as one that lost its release.
static void OnScaleChanged(int window) {
  ProgramContext& g = *GProgram;
  FocusPollAction ending = DecideDragAtScaleChange(g.drag);
  int focused = FocusedControl();
  EndLostDrag(ending);
  if (focused && focused == ending.releaseCanvas && FocusedControl() != focused) FocusCanvas(focused);
  RemakeFontsAtScale();
  RelayoutDialog(g.mainDialog);
  SetExpanded(CONFIG.WinExpanded, WindowInnerHeight(window));
  DrawEveryView(false);
  PaintSelectorSkin();
}

bool BuildMainWindow() {
  if (!OpenMainWindow()) return false;
  const ColorWidgets& controls = GProgram->controls;
  int window = controls.wndMain;
  SetColorWidgets(controls);  // the widgets start on the new controls: empty caches, no drag
  SetExpanded(CONFIG.WinExpanded, WindowInnerHeight(window));
  for (int field : {controls.txtR, controls.txtG, controls.txtB}) SetTextFieldLimit(field, 3);
  int blue = RandomInt(0, 255), green = RandomInt(0, 255), red = RandomInt(0, 255);
  SetControlColors(controls.cmdOptions, -1, ComposeColor(red, green, blue));
  KeepWindowReachable(ExamineDisplays());
  // From here on the window follows its monitor's scale, starting with the
  // monitor it opens on.
  SetWindowScaleHandler(window, OnScaleChanged);
  FollowMonitorScale(window);
  char title[64];
  snprintf(title, sizeof title, "Color Tintvane [1.0.0.%d]", kBuildNumber);
  SetWindowTitle(window, title);
  SetWindowStayOnTop(window, CONFIG.WinTopmost != 0);
  HideWindow(window, false);
  ActivateWindow(window);
  MarkStartupStep(STEP_WINDOW_SHOW);
  DrawEveryView(true);
  SetUpKeysAndAccessibility();
  AddWindowTimer(window, TimerFocusPoll, 16);
  AddWindowTimer(window, TimerSelectorSkin, 1);
  MarkStartupStep(STEP_VIEWS);
  return true;
}

//-----------------------------------------------------------------------------
// The picker button's face
//-----------------------------------------------------------------------------

void PaintSelectorSkin() {
  MarkStartupStep(STEP_FIRST_PAINT);  // the timer runs once no paint is pending
  const ColorWidgets& controls = GProgram->controls;
  int button = controls.cmdSelectorImg;
  if (!ControlExists(button)) return;
  int icon = DecodeImage(kAutoNumber, kPickerIcon, kPickerIconSize);
  if (!icon) return;
  int snapshot = CopyControlImage(kAutoNumber, button);
  // The button's size in device pixels, as the snapshot took it.
  if (snapshot && ScaleImage(icon, ImageWidth(snapshot), ImageHeight(snapshot), SCALE_RAW) &&
      BeginDrawing(CanvasTarget(controls.cmdSelector))) {
    DrawBitmap(ImageBitmap(snapshot), 0, 0);
    BlendBitmap(ImageBitmap(icon), 0, 0);
    EndDrawing();
  }
  ReleaseImage(snapshot);
  ReleaseImage(icon);
  HideControl(button, true);
  MarkStartupStep(STEP_PICKER_FACE);
}
