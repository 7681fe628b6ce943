// The widget set, canvas sampling and the drag protocol's effects on the
// runtime's canvases.
#include "color/color_widgets.h"

#include "app/program_context.h"
#include "app/settings_record.h"
#include "app/shell_rules.h"
#include "color/current_color.h"
#include "color/name_list.h"
#include "runtime/canvas.h"
#include "runtime/color_dialog.h"
#include "runtime/clipboard.h"
#include "runtime/pointer.h"

//-----------------------------------------------------------------------------
// The widget set
//-----------------------------------------------------------------------------

static void RefreshNameListOfWidgets(int color, bool force) {
  RefreshNameList(color, GProgram->controls.lstResults, force, false);
}

void SetColorWidgets(const ColorWidgets& widgets) {
  ProgramContext& g = *GProgram;
  if (g.drag.mouseSlowed) SetSystemMouseSpeed(g.drag.savedMouseSpeed);
  bool dragEnds = g.drag.state != DRAG_IDLE;
  g.drag = CanvasDrag{};
  if (dragEnds) CopyAtDragEnd();
  g.controls = widgets;
  g.swatchDrawn = RedrawCache{};
  g.channelsDrawn = RedrawCache{};
  g.nameListDrawn = RedrawCache{};
  g.views = ColorViews{RefreshCurrentSwatch, RefreshChannelViews, RefreshNameListOfWidgets, AddToHistory,
                       PutClipboardText};
  SetClipboardWindow(widgets.wndMain);
}

//-----------------------------------------------------------------------------
// Sampling
//-----------------------------------------------------------------------------

// Read straight from the surface: a move of a drag samples, and a drawing
// context would show the unchanged surface again on every one.
int SampleCanvas(const WindowEvent& e) {
  int width, height;
  if (!CanvasSurfaceSize(e.control, &width, &height) || !SampleCanvasReadsPixel(e.data, width, height))
    return CONFIG.Color;
  return CanvasSurfacePixel(e.control, e.data.pointerX, e.data.pointerY);
}

//-----------------------------------------------------------------------------
// Routing
//-----------------------------------------------------------------------------

static void ChooseColorFromDialog() {
  int chosen;
  if (ChooseSystemColor(GProgram->controls.wndMain, CONFIG.Color, &chosen))
    SetCurrentColor(chosen, SET_COLOR_REFRESH_NAME_LIST | SET_COLOR_ADD_TO_HISTORY);
}

static void CarryOut(const WindowEvent& e, const DragEffects& effects) {
  if (effects.commitPick) {
    CommitPick();
  } else if (effects.setColor) {
    int options = (effects.refreshNameList ? SET_COLOR_REFRESH_NAME_LIST : 0) |
                  (effects.addToHistory ? SET_COLOR_ADD_TO_HISTORY : 0);
    SetCurrentColor(SampleCanvas(e), options);
  }
  if (effects.cursor == DRAG_CURSOR_CROSS) WriteCanvasAttribute(e.control, CursorShape, CURSOR_CROSS);
  if (effects.cursor == DRAG_CURSOR_ARROW) WriteCanvasAttribute(e.control, CursorShape, CURSOR_ARROW);
  if (effects.moveCursorX || effects.moveCursorY) MovePointerBy(effects.moveCursorX, effects.moveCursorY);
  if (effects.setMouseSpeed) SetSystemMouseSpeed(effects.setMouseSpeed);
}

static void DragOnCanvas(const WindowEvent& e) {
  ProgramContext& g = *GProgram;
  bool underWay = g.drag.state != DRAG_IDLE;
  DragEffects effects =
      HandleCanvasDrag(&g.drag, e.control, DragRuleOf(g.controls, e.control), e.type, e.data, SystemMouseSpeed);
  // A release's colour is copied as an ordinary one, the drag being over.
  CarryOut(e, effects);
  if (underWay && g.drag.state == DRAG_IDLE) CopyAtDragEnd();
}

bool HandleColorCanvasEvent(const WindowEvent& e) {
  switch (RouteControlEvent(GProgram->controls, e.control, e.type)) {
    case ACTION_CANVAS_DRAG: DragOnCanvas(e); return true;
    case ACTION_COLOR_DIALOG: ChooseColorFromDialog(); return true;
    default: return false;
  }
}
