// The system clipboard. Windows only.
#pragma once

// Opens the clipboard with no owner window, empties it and closes it.
void ClearClipboard();

// Replaces the clipboard's content by UTF-8 `text` as Unicode text, in one
// opening of the clipboard. A live copy (one of many while the user drags)
// is marked so that clipboard history keeps it out and clipboard monitors
// skip it. When the clipboard cannot be opened within a few milliseconds or
// the memory not allocated, the clipboard keeps its old content and the
// result is false.
bool PutClipboardText(const char* text, bool live = false);
