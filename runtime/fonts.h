// Fonts by number. Windows only.
#pragma once

// Loads a font by face name and point size for the screen; returns its
// number, or 0 when it cannot be created.
int LoadFont(const char* face, int points);
bool FontExists(int font);
void* FontHandle(int font);  // the HFONT, or null
void ReleaseAllFonts();

// The font every control created from now on gets: `font`, or for 0 the
// system's message font.
void SetDefaultControlFont(int font);
void* DefaultControlFont();  // the HFONT
