// The suite's own pseudo-random generator. It is the same on every platform,
// so that one seed gives the same values everywhere:
//   state = state * 214013 + 2531011 (mod 2^32), value = (state >> 16) & 0x7FFF.
#pragma once
#include <cstddef>

namespace plat {

// Sets the state to seed.
void srand(unsigned seed);

// The next value, 0 to 32767.
int rand();

// The next n values into out, exactly as n calls of rand() would give them,
// but several times faster: large fills are the hot path of randfill.
void rand_n(unsigned short* out, size_t n);

}  // namespace plat
