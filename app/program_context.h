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
#include "app/current_color.h"
#include "app/main_controls.h"
#include "app/value_notices.h"
#include "color/auto_copy.h"
#include "color/canvas_drag.h"
#include "color/capture.h"
#include "color/redraw_cache.h"
#include "color/swatch_strips.h"
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
  int copiesMade;          // copies made so far, landed or pending
  RedrawCache swatchDrawn;    // RefreshCurrentSwatch
  RedrawCache channelsDrawn;  // RefreshChannelViews
  RedrawCache nameListDrawn;  // RefreshNameList
  // The last copied screen region, 0 when there is none. Kept here rather
  // than taken from CONFIG.CapturedImg: a number loaded from the settings file
  // belongs to an earlier run and may denote an unrelated image of this one.
  int rawCapture;
  CrosshairPulse pulse;  // the grey of the live capture's crosshair

  // Keys
  KeyRun keyRun;  // a strip's channel stepped by keys, until the keys stop
  KeyPointer keyPointer;  // where a pick from the keyboard has put the pointer
  // What Escape gives back of a pick started from the keyboard: the colour,
  // and the clipboard's text where automatic copying replaced it.
  struct {
    int color;
    int copiesMade;         // copies made before the pick
    bool clipboardHadText;  // the clipboard held text when it began
    std::string clipboardText;
  } beforePick;
  // Where each cell marker stands, and the palette's boxes it moves over.
  CellMarker captureMarker, paletteMarker, historyMarker;
  SwatchBox paletteBoxes[kPaletteLimit];
  int paletteBoxCount;

  // What assistive technology has been told of the values the controls show;
  // while a drag's end is carried out, its changes wait to be told once.
  ValueNotices valueNotices;
  bool noticesHeld;
};

// The program's context: all zero at process start. Tests may point it at a
// fresh one.
extern ProgramContext* GProgram;
