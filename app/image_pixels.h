// Reading an image's pixels, shared by the capture view and the swatch
// controls (app/swatch_controls.cpp has it). Windows only.
#pragma once
#include <stdint.h>

#include <vector>

// An image's pixels row by row, top row first; empty when it cannot be read.
std::vector<int32_t> ReadImagePixels(int image, int* width, int* height);
