// Shared by the files of the colour widgets on the runtime's controls.
#pragma once
#include <stdint.h>

#include <vector>


// An image's pixels row by row, top row first; empty when it cannot be read.
std::vector<int32_t> ReadImagePixels(int image, int* width, int* height);
