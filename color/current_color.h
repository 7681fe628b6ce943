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

// Empties the clipboard, then places the current colour on it in the chosen
// notation and case.
void CopyColorText();

// Stores the colour, copies it when automatic copying is on, refreshes the
// swatch and the channel views, and on request the name list and the history.
void SetCurrentColor(int color, bool refreshNameList, bool addToHistory);
