// Messages to the user, and the system's own words for its errors. Windows
// only (the header does not include windows.h).
#pragma once
#include <stdint.h>

#include <string>

// Shows `text` under `title` with a warning sign and the buttons Retry and
// Cancel, in front of the other windows, and waits for the answer: true for
// Retry. False when the message cannot be shown.
bool AskRetryOrCancel(const char* title, const char* text);

// The system's text for one of its error codes, in the user's language,
// without a closing line break; "Error N." when the system has none.
std::string SystemErrorText(uint32_t error);
