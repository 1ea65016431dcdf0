#include "platform/random.h"

#include <cstdint>

namespace plat {

namespace {

constexpr uint32_t kMul = 214013u, kAdd = 2531011u;
constexpr int kLanes = 8;

// kLanes steps at once: s -> s * kMulN + kAddN.
constexpr uint32_t mul_n() {
    uint32_t m = 1;
    for (int k = 0; k < kLanes; k++) m *= kMul;
    return m;
}
constexpr uint32_t add_n() {
    uint32_t a = 0;
    for (int k = 0; k < kLanes; k++) a = a * kMul + kAdd;
    return a;
}
constexpr uint32_t kMulN = mul_n(), kAddN = add_n();

uint32_t state = 1;

}  // namespace

void srand(unsigned seed) { state = seed; }

int rand() {
    state = state * kMul + kAdd;
    return (int)((state >> 16) & 0x7FFF);
}

void rand_n(unsigned short* out, size_t n) {
    uint32_t s = state;
    size_t i = 0;
    if (n >= 2 * kLanes) {
        // Independent lanes, lane j holding the state j+1 steps ahead: the
        // chain of multiplications no longer waits on itself.
        uint32_t lane[kLanes];
        uint32_t t = s;
        for (int j = 0; j < kLanes; j++) lane[j] = t = t * kMul + kAdd;
        for (; n - i >= kLanes; i += kLanes) {
            for (int j = 0; j < kLanes; j++) out[i + j] = (unsigned short)((lane[j] >> 16) & 0x7FFF);
            s = lane[kLanes - 1];
            for (int j = 0; j < kLanes; j++) lane[j] = lane[j] * kMulN + kAddN;
        }
    }
    for (; i < n; i++) {
        s = s * kMul + kAdd;
        out[i] = (unsigned short)((s >> 16) & 0x7FFF);
    }
    state = s;
}

}  // namespace plat
