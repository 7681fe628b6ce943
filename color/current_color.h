// The current colour (CONFIG.Color) and the one path that changes it.
#pragma once

// The views SetCurrentColor refreshes, in the order it calls them. The main
// window fills this in once its widgets exist; an empty entry is skipped.
struct ColorViews {
  void (*refreshCurrentSwatch)(int color, bool force);
  void (*refreshChannelViews)(int color, bool force);
  void (*refreshNameList)(int color, bool force);
  void (*addToHistory)(int color);
};

void SetColorViews(const ColorViews& views);

// Replaces the clipboard's content by the current colour in the chosen
// notation and case: an ordinary copy, which clipboard history sees.
void CopyColorText();

// Stores the colour, copies it when automatic copying is on, refreshes the
// swatch and the channel views, and on request the name list and the history.
// While a drag or pick is under way the copy goes out only when the text
// changed, marked live (DecideColorCopy).
void SetCurrentColor(int color, bool refreshNameList, bool addToHistory);

// Called when a drag or pick has ended: with automatic copying on, a live
// copy on the clipboard gives way to an ordinary copy of the colour's text.
void CopyAtDragEnd();
