// When the current colour's text goes to the clipboard by itself ("Copy
// automatically"), and how. No operating system here; SetCurrentColor and
// the end of a drag carry it out.
#pragma once
#include <string>

enum ColorCopyMoment {
  COPY_ON_CHANGE,       // the colour changed, no drag or pick under way
  COPY_ON_LIVE_CHANGE,  // the colour changed during a drag or a pick
  COPY_ON_DRAG_END,     // a drag or a pick has just ended
};

enum ColorCopyKind {
  COPY_NONE,
  COPY_ORDINARY,  // seen by clipboard history and clipboard monitors
  COPY_LIVE,      // marked: clipboard history keeps it out, monitors skip it
};

// The program's last copy, whether or not it reached the clipboard.
struct LastColorCopy {
  ColorCopyKind kind;  // COPY_NONE before the first
  std::string text;
  bool pending;        // the clipboard was held by another program: not there yet
};

// A pick changes the colour on every 16 ms tick and a drag on every move;
// copying each would push the user's own entries out of clipboard history
// and managers. While a drag or pick is under way a copy goes out only when
// the text differs from the last copy, and marked live. Its end leaves an
// ordinary copy of the final text where a live one stands. A change outside
// drags always makes an ordinary copy. A copy still pending counts as made:
// it is tried again (DecideCopyRetry) until a newer one replaces it.
ColorCopyKind DecideColorCopy(ColorCopyMoment moment, const std::string& text, const LastColorCopy& last);

// What a tick of the focus poll copies: the last copy, as it was, while it
// is pending; nothing once it got through.
ColorCopyKind DecideCopyRetry(const LastColorCopy& last);

// How long a copy waits for a clipboard that another program holds (a
// clipboard manager reading the last copy), in milliseconds. The live copies
// and the retries on the timer's ticks run up to 60 times a second on the
// GUI thread and wait only a few; a copy the user keeps waits longer.
int ColorCopyWaitMs(ColorCopyKind kind, bool retry);
