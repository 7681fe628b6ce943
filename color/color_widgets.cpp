// The widget set, canvas sampling and the drag protocol's effects on the
// runtime's canvases.
#include "color/color_widgets.h"

#include "color/color_widgets_internal.h"
#include "color/current_color.h"
#include "color/name_list.h"
#include "runtime/canvas.h"
#include "runtime/color_dialog.h"
#include "runtime/pointer.h"
#include "runtime/settings.h"

static ColorWidgets g_widgets;
static CanvasDrag g_drag;

//-----------------------------------------------------------------------------
// The widget set
//-----------------------------------------------------------------------------

static void RefreshNameListOfWidgets(int color, bool force) {
  RefreshNameList(color, g_widgets.lstResults, force, false);
}

void SetColorWidgets(const ColorWidgets& widgets) {
  if (g_drag.mouseSlowed) SetSystemMouseSpeed(g_drag.savedMouseSpeed);
  bool dragEnds = g_drag.state != DRAG_IDLE;
  g_drag = CanvasDrag{};
  if (dragEnds) CopyAtDragEnd();
  g_widgets = widgets;
  g_swatchDrawn = RedrawCache{};
  g_channelsDrawn = RedrawCache{};
  g_nameListDrawn = RedrawCache{};
  SetColorViews(ColorViews{RefreshCurrentSwatch, RefreshChannelViews, RefreshNameListOfWidgets, AddToHistory});
}

const ColorWidgets& CurrentColorWidgets() { return g_widgets; }
const CanvasDrag& CurrentColorDrag() { return g_drag; }

//-----------------------------------------------------------------------------
// Sampling
//-----------------------------------------------------------------------------

// The input data of the canvas's event being handled (zeros at other times).
static CanvasEventData CanvasEventDataOf(int canvas) {
  CanvasEventData data = {};
  data.pointerX = (int)ReadCanvasAttribute(canvas, PointerX);
  data.pointerY = (int)ReadCanvasAttribute(canvas, PointerY);
  data.buttonMask = (int)ReadCanvasAttribute(canvas, ButtonMask);
  data.keyCode = (int)ReadCanvasAttribute(canvas, KeyCode);
  data.modifierMask = (int)ReadCanvasAttribute(canvas, ModifierMask);
  return data;
}

// Read straight from the surface: a move of a drag samples, and a drawing
// context would show the unchanged surface again on every one.
int SampleCanvas(int canvas) {
  CanvasEventData data = CanvasEventDataOf(canvas);
  int width, height;
  if (!CanvasSurfaceSize(canvas, &width, &height) || !SampleCanvasReadsPixel(data, width, height)) return CONFIG.Color;
  return CanvasSurfacePixel(canvas, data.pointerX, data.pointerY);
}

//-----------------------------------------------------------------------------
// Routing
//-----------------------------------------------------------------------------

// The canvas's role in the protocol, in the routing order of the event loop;
// DRAG_IDLE for a control that is no colour canvas.
static DragState RoleOf(int control) {
  if (control <= 0) return DRAG_IDLE;
  const struct {
    int canvas;
    DragState role;
  } roles[] = {
      {g_widgets.cmdSelector, DRAG_PICKING},       {g_widgets.imgPaletteAuto, DRAG_PALETTE},
      {g_widgets.imgPaletteCapture, DRAG_CAPTURE}, {g_widgets.imgPaletteHistory, DRAG_HISTORY},
      {g_widgets.imgPaletteR, DRAG_SLIDER},        {g_widgets.imgPaletteG, DRAG_SLIDER},
      {g_widgets.imgPaletteB, DRAG_SLIDER},
  };
  for (const auto& r : roles)
    if (r.canvas == control) return r.role;
  return DRAG_IDLE;
}

static void ChooseColorFromDialog() {
  int chosen;
  if (ChooseSystemColor(g_widgets.wndMain, CONFIG.Color, &chosen)) SetCurrentColor(chosen, true, true);
}

static void CarryOut(int canvas, const DragEffects& effects) {
  if (effects.commitPick) CommitPick();
  else if (effects.setColor) SetCurrentColor(SampleCanvas(canvas), effects.refreshNameList, effects.addToHistory);
  if (effects.cursor == DRAG_CURSOR_CROSS) WriteCanvasAttribute(canvas, CursorShape, CURSOR_CROSS);
  if (effects.cursor == DRAG_CURSOR_ARROW) WriteCanvasAttribute(canvas, CursorShape, CURSOR_ARROW);
  if (effects.moveCursorX || effects.moveCursorY) MovePointerBy(effects.moveCursorX, effects.moveCursorY);
  if (effects.setMouseSpeed) SetSystemMouseSpeed(effects.setMouseSpeed);
}

bool HandleColorCanvasEvent(int control, int eventType) {
  DragState role = RoleOf(control);
  if (role != DRAG_IDLE) {
    bool underWay = g_drag.state != DRAG_IDLE;
    DragEffects effects =
        HandleCanvasDrag(&g_drag, control, role, eventType, CanvasEventDataOf(control), SystemMouseSpeed);
    // A release's colour is copied as an ordinary one, the drag being over.
    CarryOut(control, effects);
    if (underWay && g_drag.state == DRAG_IDLE) CopyAtDragEnd();
    return true;
  }
  if (control > 0 && control == g_widgets.imgPaletteCurrent) {
    if (eventType == LeftPressed) ChooseColorFromDialog();
    return true;
  }
  return false;
}
