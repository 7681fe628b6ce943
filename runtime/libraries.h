// Where the program's DLLs come from. Windows only.
#pragma once

// Limits every later load of a DLL in this process, by the program or by the
// system's libraries on its behalf, to the system folder: no file in the
// program's folder or the current folder can then stand in for a library
// loaded by name. The program calls it before anything else.
void KeepLibrariesToSystemFolder();
