// The system clipboard. Windows only.
#pragma once

// Opens the clipboard with no owner window, empties it and closes it.
void ClearClipboard();

// Places UTF-8 `text` on the clipboard as Unicode text. When the clipboard
// cannot be opened or the memory not allocated, the clipboard keeps its old
// content and the result is false.
bool PutClipboardText(const char* text);
