// The current swatch, the history strip and the automatic palette on the
// real canvases. Windows only (the header does not include windows.h); their
// arithmetic lives in color/swatch_strips.h.
#pragma once

// Fills the swatch with the colour and writes it to txtRGB in the chosen
// notation; the only writer of txtRGB. Skipped for the colour drawn last
// unless forced.
void RefreshCurrentSwatch(int color, bool force);

// Draws CONFIG.ColorRecent as 16 boxes across the history strip, newest left.
void DrawHistory();
// Moves the colour to the front of CONFIG.ColorRecent and redraws the strip.
void AddToHistory(int color);

// Counts the image's colours column by column and draws the 33 most frequent
// on `canvas`, grouped by hue and as wide as their share. An image that
// cannot be read, or has no pixels, leaves the canvas as it is.
void BuildAutoPalette(int image, int canvas);
