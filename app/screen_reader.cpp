// What assistive technology is told of the main window's controls, on the
// runtime's accessibility.
#include "app/screen_reader.h"

#include <string>

#include "app/cell_markers.h"
#include "app/current_color.h"
#include "app/main_controls.h"
#include "app/program_context.h"
#include "app/settings_record.h"
#include "color/channel_views.h"
#include "color/named_colors.h"
#include "runtime/accessibility.h"
#include "runtime/windowing.h"

static std::string SpokenColorOf(int color) {
  return SpokenColor(color, CONFIG.ColorFormat, CONFIG.ColorFormatLCase);
}

// A strip's value is its channel's number; the swatch's and the picker's the
// current colour with its nearest name; a cell canvas's its marked colour.
static std::string SpokenValueOf(int control) {
  const ColorWidgets& c = GProgram->controls;
  int channel = RouteControlEvent(c, control, KeyPressed).channel;
  if (channel >= 0) return std::to_string(ChannelOf(CONFIG.Color, channel));
  if (MarkerOf(control)) {
    int color = MarkedColor(control);
    return color < 0 ? std::string() : SpokenColorOf(color);
  }
  return SpokenColorOf(CONFIG.Color);
}

void SetUpAccessibleControls() {
  const ColorWidgets& c = GProgram->controls;
  for (int i = 0; i < kMainControlCount; i++) {
    const MainControlRow& row = kMainControls[i];
    // The canvases show values of the program's; the native controls say their own.
    bool canvas = row.drag.role != DRAG_IDLE || row.drag.idleKeys != CANVAS_KEYS_NONE;
    if (row.spoken) SetControlAccessible(c.*row.control, row.spoken, row.role, canvas ? SpokenValueOf : nullptr);
  }
}

uint32_t CurrentColorViewBits() {
  const ColorWidgets& c = GProgram->controls;
  uint32_t bits = 0;
  for (int control : {c.imgPaletteCurrent, c.cmdSelector, c.imgPaletteR, c.imgPaletteG, c.imgPaletteB})
    bits |= MainControlBit(c, control);
  return bits;
}

void TellValueChanges(uint32_t changed, ValueNoticeMoment moment) {
  ProgramContext& g = *GProgram;
  if (g.noticesHeld && moment != NOTICE_AT_END) moment = NOTICE_GATHER;
  uint32_t due = ValueNoticesDue(&g.valueNotices, changed, moment, TickMs());
  for (int i = 0; i < kMainControlCount; i++)
    if (due & (1u << i)) NotifyAccessibleValueChanged(g.controls.*kMainControls[i].control);
}

void TellValueChangesNow(uint32_t changed) {
  TellValueChanges(changed, ColorChangesLive() ? NOTICE_LIVE : NOTICE_ON_CHANGE);
}

void AnnounceColorChange(bool live) { TellValueChanges(CurrentColorViewBits(), live ? NOTICE_LIVE : NOTICE_ON_CHANGE); }
