// Fonts by number. Windows only.
#pragma once

// Loads a font by face name and point size at the windowing layer's window
// scale; returns its number, or 0 when it cannot be created.
int LoadFont(const char* face, int points);
bool FontExists(int font);
void* FontHandle(int font);  // the HFONT, or null
void ReleaseAllFonts();

// Makes every loaded font (and the system's message font, once asked for)
// again at the window scale, under its number, after a change of scale:
// every window of this thread that showed a font of the old size shows its
// new one, and the old one is deleted. A font that cannot be made again
// keeps its old size.
void RemakeFontsAtScale();

// The font every control created from now on gets: `font`, or for 0 the
// system's message font.
void SetDefaultControlFont(int font);
void* DefaultControlFont();  // the HFONT
