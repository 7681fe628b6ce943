// Window descriptions: an XML tree that names a window and nests layout
// elements and controls in it becomes a window with real controls and a
// layout tree (dialog/layout.h). Dialogs are identified by numbers. Element,
// attribute, keyword and flag names are compared without regard to case.
//
// No operating system here; the platform comes with the dialog. On Windows
// NewDialog (dialog/dialog_win.cpp) gives a dialog the Win32 platform.
#pragma once
#include <stddef.h>

#include "dialog/layout.h"
#include "runtime/xml_doc.h"

const int kDialogMaxNesting = 64;  // element levels below the window

//-----------------------------------------------------------------------------
// Dialogs
//-----------------------------------------------------------------------------

// Creates an empty dialog under `number`, or under a fresh number for -1;
// an existing dialog of that number is released first. Returns the number,
// 0 on failure.
int NewDialogOn(const DialogPlatform* platform, int number);
// The same with the Win32 platform. Windows only.
int NewDialog(int number);

// The font (a runtime font number) that the control named `name` is created
// with at the next open, in place of the default control font: the first
// layout then measures the control as it will show. 0 takes the name back.
void SetDialogControlFont(int dialog, const char* name, int font);

// Selects the window element named `windowName` (any for an empty name),
// opens the window at (x, y) with at least the given inner size, creates its
// controls and lays them out; a window already open in the dialog is closed
// first. Returns nonzero on success; on failure the dialog holds no window
// and DialogError tells the first error.
int OpenDescribedWindow(int dialog, const XmlDoc& doc, const char* windowName, int x = 0, int y = 0,
                        int width = 0, int height = 0, int parentWindow = 0);
// Parses `length` bytes of description text and opens it; text that is not
// well-formed XML fails with an error naming the line.
int OpenDescribedWindowText(int dialog, const char* text, size_t length, const char* windowName,
                            int x = 0, int y = 0, int width = 0, int height = 0, int parentWindow = 0);

int DialogWindowOf(int dialog);  // -1 for an unknown dialog or none open
// The control of the first node named `name` (depth first, document order);
// -1 when there is none or that node has no control of its own.
int DialogControlByName(int dialog, const char* name);
// Measures again and grows the window where the content needs more room.
void RefitDialog(int dialog);
// Measures again and gives the window the size its content takes, larger or
// smaller, as the first layout did: after a change of scale, which changes
// every measure that comes from the system (texts, edges), so that the
// window is laid out as a window opened at that scale is.
void RelayoutDialog(int dialog);
// Destroys the node tree and closes the window; -1 releases every dialog.
void ReleaseDialog(int dialog);
// The first error of the last open, "" when there was none.
const char* DialogError(int dialog);
// The dialog's record, for inspection; null for an unknown number.
const Dialog* DialogRecord(int dialog);

// Hides or shows the controls of the node named `name` and of everything
// below it; showing leaves folded nodes hidden.
void SetDialogHiddenTree(int dialog, const char* name, bool hidden);
// Sets the text of every control below the window again from its TEXT.
void RefreshDialogTexts(int dialog);

//-----------------------------------------------------------------------------
// Called by the platform
//-----------------------------------------------------------------------------

// The window changed size: its content is placed again without measuring.
void DialogWindowResized(int window);
// A splitter pane changed size: its child is placed in it.
void DialogPaneResized(int paneControl, int w, int h);
