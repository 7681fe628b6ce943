// Opening a web address in the user's default browser. Windows only.
#pragma once

// Asks the shell to open the address with its "open" verb, which hands it to
// the program registered for its scheme (for https, the default browser).
// False when the shell could not; nothing is reported to the user.
bool OpenWebAddress(const char* address);
