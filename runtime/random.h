// A small uniform random generator (xorshift64*). No operating system here.
#pragma once
#include <stdint.h>

void SeedRandom(uint64_t seed);
// Uniform in lo..hi inclusive.
int RandomInt(int lo, int hi);
