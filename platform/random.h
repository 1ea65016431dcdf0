// The suite's own pseudo-random generator. It is the same on every platform,
// so that one seed gives the same values everywhere:
//   state = state * 214013 + 2531011 (mod 2^32), value = (state >> 16) & 0x7FFF.
// Also fresh names for scratch files.
#pragma once
#include <cstddef>
#include <string>

namespace plat {

// Sets the state to seed.
void srand(unsigned seed);

// The next value, 0 to 32767.
int rand();

// The next n values into out, exactly as n calls of rand() would give them,
// but several times faster: large fills are the hot path of randfill.
void rand_n(unsigned short* out, size_t n);

// A name that, behind a leading ".", names a file in the current folder that
// does not exist yet: "/rf<id>_<n>.tmp" here, "\rf<id>_<n>.tmp" on Windows.
std::string unique_name();

}  // namespace plat
