#include "runtime/random.h"

static uint64_t g_state = 0x9E3779B97F4A7C15ull;

void SeedRandom(uint64_t seed) { g_state = seed ? seed : 0x9E3779B97F4A7C15ull; }

static uint64_t NextRandom() {
  g_state ^= g_state >> 12;
  g_state ^= g_state << 25;
  g_state ^= g_state >> 27;
  return g_state * 0x2545F4914F6CDD1Dull;
}

int RandomInt(int lo, int hi) {
  if (hi <= lo) return lo;
  uint64_t span = (uint64_t)((int64_t)hi - lo) + 1;
  // Rejection keeps the draw uniform for spans that do not divide 2^64.
  uint64_t limit = UINT64_MAX - UINT64_MAX % span;
  uint64_t r;
  do r = NextRandom(); while (r >= limit);
  return (int)((int64_t)lo + (int64_t)(r % span));
}
