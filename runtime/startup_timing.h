// Where the start-up goes: a stamp of the performance counter at the end of
// each start-up step, kept only by the builds made for the start-up benchmark
// (TINTVANE_STARTUP_TIMING: ColorTintvane_timed.exe and its floor's). In
// every other build, the shipped program's included, a mark is nothing at
// all. The stamps are the system-wide counter's raw values, so the benchmark
// that started the process can count from its own clock.
#pragma once

// The steps in the order the program takes them. A floor marks those it has;
// a program that takes them in another order is timed from each stamp to the
// one before it in time.
enum StartupStep {
  STEP_WINMAIN,             // process start to WinMain: the loader, the C runtime
  STEP_RUNTIME,             // common control classes, display scale, random seed
  STEP_FONTS,               // the two fonts
  STEP_NAMED_COLORS,        // the named-colour map
  STEP_SETTINGS_LOAD,       // the settings file read, or the defaults
  STEP_DESCRIPTION_PARSE,   // the window description into an XML tree
  STEP_CONTROL_CREATION,    // the window and its controls
  STEP_LAYOUT,              // measured and placed, the large fonts already on their controls
  STEP_WINDOW_SHOW,         // placed on the display, titled, shown
  STEP_CAPTURE_RESTORE,     // the capture view and the automatic palette
  STEP_LIST_FILL,           // the name list's columns, icons and rows
  STEP_VIEWS,               // history, swatch, channels, the timers started
  STEP_FIRST_PAINT,         // every pending paint, until the face's timer runs
  STEP_PICKER_FACE,         // the picker button's face drawn; the last step
  STEP_COUNT
};

// One name per step, in the order of the enum.
inline const char* StartupStepName(int step) {
  static const char* const kNames[STEP_COUNT] = {
      "process start to WinMain", "runtime start", "fonts", "named colours", "settings load",
      "description parse", "control creation", "layout", "window placed, shown", "capture restore",
      "list fill", "views and timers", "first paint", "picker button's face",
  };
  return step >= 0 && step < STEP_COUNT ? kNames[step] : "";
}

#if TINTVANE_STARTUP_TIMING
// Stamps the end of `step`, the first time only. Marking STEP_PICKER_FACE
// writes every stamp to the standard output, one "step counter" line each
// after a line "frequency F" (counts per second), for the benchmark to read.
void MarkStartupStep(StartupStep step);
#else
inline void MarkStartupStep(StartupStep) {}
#endif
