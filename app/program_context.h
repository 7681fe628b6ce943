// The program's state between events, in one plain record reached one way:
//
//   ProgramContext& g = *GProgram;
//
// The start-up, the main window, its event loop and the colour widgets keep
// here what they must remember. Kept apart, as variables of their own: the
// settings record CONFIG (app/settings_record.h) and the 25 named layout
// values (app/startup_values.h), which the dialog engine reads by reference,
// by name. The runtime keeps its own registries
// (windows, images, fonts, menus) in runtime/. No operating system here.
#pragma once
#include "app/color_widgets.h"
#include "app/current_color.h"
#include "color/auto_copy.h"
#include "color/canvas_drag.h"
#include "color/capture.h"
#include "color/redraw_cache.h"
#include "runtime/settings.h"

struct ProgramContext {
  // Start-up
  int FontNormal;                   // "Consolas" 9 pt, 0 when it could not be loaded
  int FontLarge;                    // "Consolas" 11 pt
  SettingsFileState settingsFound;  // how the load at start-up found the settings file

  // The main window
  ColorWidgets controls;  // its control numbers, looked up once by BuildMainWindow
  int mainDialog;         // the dialog that laid it out, to lay it out again at a new scale
  int expandedHeight;     // the full inner height, in logical units

  // The colour widgets
  CanvasDrag drag;         // the window-wide drag record, idle between drags
  ColorViews views;        // what SetCurrentColor refreshes and copies through
  LastColorCopy lastCopy;  // the last copy made, pending while the clipboard was held
  RedrawCache swatchDrawn;    // RefreshCurrentSwatch
  RedrawCache channelsDrawn;  // RefreshChannelViews
  RedrawCache nameListDrawn;  // RefreshNameList
  // The last copied screen region, 0 when there is none. Kept here rather
  // than taken from CONFIG.CapturedImg: a number loaded from the settings file
  // belongs to an earlier run and may denote an unrelated image of this one.
  int rawCapture;
  CrosshairPulse pulse;  // the grey of the live capture's crosshair
};

// The program's context: all zero at process start. Tests may point it at a
// fresh one.
extern ProgramContext* GProgram;
