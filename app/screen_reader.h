// What assistive technology is told of the main window's controls: the
// names, roles and values a screen reader reads, and the notices of changed
// values, paced as app/value_notices.h decides. On the runtime's
// accessibility; windows only (the header does not include windows.h).
#pragma once
#include <stdint.h>

#include "app/value_notices.h"

// Gives every control of the window the name and role kMainControls gives
// it, and the colour canvases and the swatch their values: a strip's its
// channel's number, the swatch's and the picker's the current colour with
// its nearest name, a cell canvas's its marked colour.
void SetUpAccessibleControls();
// Tells assistive technology of changed values: the controls (bits of
// kMainControls rows), live while a drag, pick or key run is under way (then
// a few times a second at most), and at the end of one (always).
void TellValueChanges(uint32_t changed, ValueNoticeMoment moment);
// The same at the moment's pace: live while a drag, pick or key run is under
// way (ColorChangesLive), else at once.
void TellValueChangesNow(uint32_t changed);
// The bits of the views of the current colour: swatch, picker and strips.
uint32_t CurrentColorViewBits();
// SetCurrentColor's notice: the current colour's views changed.
void AnnounceColorChange(bool live);
