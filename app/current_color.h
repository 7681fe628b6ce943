// The current colour (CONFIG.Color) and the one path that changes it. No
// operating system here: the views, the clipboard among them, are entries
// the main window fills in.
#pragma once

// The views SetCurrentColor refreshes, in the order it calls them, and the
// clipboard its copies go to. The main window fills this in once its widgets
// exist; an empty entry is skipped.
struct ColorViews {
  void (*refreshCurrentSwatch)(int color, bool force);
  void (*refreshChannelViews)(int color, bool force);
  void (*refreshNameList)(int color, bool force);
  void (*addToHistory)(int color);
  // Places the text on the clipboard, a live copy marked as such, waiting up
  // to `waitMs` for a clipboard that another program holds; true when it got
  // there.
  bool (*copyToClipboard)(const char* text, bool live, int waitMs);
  // Tells assistive technology that the views of the current colour show a
  // new value; `live` while a drag, pick or key run is under way.
  void (*announceColor)(bool live);
};

// Replaces the clipboard's content by the current colour in the chosen
// notation and case: an ordinary copy, which clipboard history sees.
void CopyColorText();

// What SetCurrentColor refreshes beyond the swatch, its text and the channel
// views: flags, or SET_COLOR_VIEWS_ONLY.
enum SetColorOption {
  SET_COLOR_VIEWS_ONLY = 0,
  SET_COLOR_REFRESH_NAME_LIST = 1,
  SET_COLOR_ADD_TO_HISTORY = 2,
  SET_COLOR_NO_COPY = 4,  // nothing goes to the clipboard, whatever "Copy automatically" says
};

// Stores the colour, copies it when automatic copying is on, refreshes the
// swatch and the channel views, and as `options` asks the name list and the
// history; then tells assistive technology. While a drag, pick or key run is
// under way (the context's drag record is not idle, or a strip's key run
// goes on) the copy goes out only when the text changed, marked live
// (DecideColorCopy).
void SetCurrentColor(int color, int options);

// Whether a drag, a pick or a strip's key run is under way: the colour's
// changes are live ones.
bool ColorChangesLive();

// Called when a drag or pick has ended: with automatic copying on, a live
// copy on the clipboard gives way to an ordinary copy of the colour's text.
void CopyAtDragEnd();

// Called on every tick of the focus poll: a copy that found the clipboard
// held is tried again, until it gets through or a newer one replaces it.
void RetryColorCopy();
