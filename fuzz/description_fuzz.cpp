// Arbitrary bytes as a window description: parsed, built on the recording
// platform, measured, placed, resized and released.
#include <stddef.h>
#include <stdint.h>

#include "app/main_description.h"
#include "app/startup_values.h"
#include "dialog/runtime_values.h"
#include "tests/native/recording_platform.h"

static void Procedure(const WindowEvent&) {}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static bool registered = false;
  if (!registered) {
    RegisterLayoutValues();
    RegisterRuntimeProcedure("proc", Procedure);
    RegisterRuntimeInteger("#Const", 7);
    registered = true;
  }
  g_recording = Recording();
  g_recording.requiredByKind = {{NODE_BUTTON, {60, 23}}, {NODE_TEXT, {9, 15}}, {NODE_STRING, {4, 19}}};
  g_recording.listRow = 17, g_recording.listFrame = 4;
  int dialog = NewDialogOn(&kRecordingPlatform, -1);
  if (OpenDescribedWindowText(dialog, (const char*)data, size, size % 2 ? "wndMain" : "")) {
    DialogControlByName(dialog, "wndMain");
    DialogControlByName(dialog, "lstResults");
    g_recording.windowW = (int)(size * 7 % 2000) - 500;
    g_recording.windowH = (int)(size * 13 % 2000) - 500;
    DialogWindowResized(DialogWindowOf(dialog));
    RefitDialog(dialog);
    SetDialogHiddenTree(dialog, "a", true);
    RefreshDialogTexts(dialog);
  }
  ReleaseDialog(dialog);
  return 0;
}
