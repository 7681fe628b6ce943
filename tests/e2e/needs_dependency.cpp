// A library that imports planted_dependency.dll (planted_dll.cpp under a name
// of its own, built into a folder of its own): loading it loads that one
// too, from wherever the system looks for a library's own dependencies.
#include <windows.h>

extern "C" __declspec(dllimport) int PlantedDllFunction();

extern "C" __declspec(dllexport) int NeedsDependency() { return PlantedDllFunction(); }
