// The system clipboard. Windows only.
#pragma once
#include <string>

// The window that owns the program's copies from now on (0: none). The
// clipboard is opened with it, as Windows asks of a program that places data.
void SetClipboardWindow(int window);

// Opens the clipboard, empties it and closes it.
void ClearClipboard();

// Replaces the clipboard's content by UTF-8 `text` as Unicode text, in one
// opening of the clipboard. A live copy (one of many while the user drags)
// is marked so that clipboard history keeps it out and clipboard viewers and
// monitors skip it. Another program (a clipboard manager reading the last
// copy) may hold the clipboard for a moment: the copy tries again for up to
// `waitMs` milliseconds, yielding its time slice in between. When the
// clipboard cannot be opened by then or the memory not allocated, the
// clipboard keeps its old content and the result is false.
bool PutClipboardText(const char* text, bool live = false, int waitMs = 50);

// The clipboard's Unicode text as UTF-8 into *text; false when it holds no
// text or cannot be opened within `waitMs` (*text is then empty).
bool ReadClipboardText(std::string* text, int waitMs = 50);
