// Opening a web address in the user's default browser. Windows only.
#pragma once

// Asks the shell to open the address with its "open" verb. False when the
// shell could not; nothing is reported to the user.
bool OpenWebAddress(const char* address);

// Replaces the shell for tests, which must never start a browser: the
// opener gets the address instead. Null puts the shell back.
void SetWebAddressOpener(bool (*opener)(const char* address));
