#include "platform/random.h"

#include <cstdint>

// Four lanes per SSE2 register where the target has them (every x86-64).
#if defined(__SSE2__) || defined(_M_X64)
#include <emmintrin.h>
#define RANDOM_SSE2 1
#endif

namespace plat {

namespace {

constexpr uint32_t kMul = 214013u, kAdd = 2531011u;
constexpr int kLanes = 16;

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

// The multiplier's inverse mod 2^32 (it is odd), for one step back.
constexpr uint32_t inverse(uint32_t a) {
    uint32_t x = a;  // right in the lowest 3 bits; each round doubles them
    for (int k = 0; k < 5; k++) x *= 2 - a * x;
    return x;
}
constexpr uint32_t kInvMul = inverse(kMul);
static_assert(kInvMul * kMul == 1);

uint32_t state = 1;

}  // namespace

void srand(unsigned seed) { state = seed; }

int rand() {
    state = state * kMul + kAdd;
    return (int)((state >> 16) & 0x7FFF);
}

#ifdef RANDOM_SSE2

namespace {

// a * b mod 2^32 in each of the four lanes; SSE2 multiplies only the even
// lanes at a time.
inline __m128i mul32(__m128i a, __m128i b) {
    __m128i even = _mm_mul_epu32(a, b);
    __m128i odd = _mm_mul_epu32(_mm_srli_epi64(a, 32), _mm_srli_epi64(b, 32));
    return _mm_unpacklo_epi32(_mm_shuffle_epi32(even, _MM_SHUFFLE(0, 0, 2, 0)),
                              _mm_shuffle_epi32(odd, _MM_SHUFFLE(0, 0, 2, 0)));
}

// The next value of each lane, as a 32-bit number.
inline __m128i value(__m128i lane, __m128i low15) { return _mm_and_si128(_mm_srli_epi32(lane, 16), low15); }

}  // namespace

#endif

void rand_n(unsigned short* out, size_t n) {
    uint32_t s = state;
    size_t i = 0;
    if (n >= 2 * kLanes) {
        // Independent lanes, lane j holding the state j+1 steps ahead: the
        // chain of multiplications no longer waits on itself.
        uint32_t lane[kLanes];
        uint32_t t = s;
        for (int j = 0; j < kLanes; j++) lane[j] = t = t * kMul + kAdd;
#ifdef RANDOM_SSE2
        // Four registers of four lanes, named so that they stay in registers.
        __m128i r0 = _mm_loadu_si128((const __m128i*)lane), r1 = _mm_loadu_si128((const __m128i*)(lane + 4));
        __m128i r2 = _mm_loadu_si128((const __m128i*)(lane + 8)), r3 = _mm_loadu_si128((const __m128i*)(lane + 12));
        const __m128i mul = _mm_set1_epi32((int)kMulN), add = _mm_set1_epi32((int)kAddN);
        const __m128i low15 = _mm_set1_epi32(0x7FFF);
        for (; n - i >= kLanes; i += kLanes) {
            // Values are at most 32767: the signed packing keeps them whole.
            _mm_storeu_si128((__m128i*)(out + i), _mm_packs_epi32(value(r0, low15), value(r1, low15)));
            _mm_storeu_si128((__m128i*)(out + i + 8), _mm_packs_epi32(value(r2, low15), value(r3, low15)));
            r0 = _mm_add_epi32(mul32(r0, mul), add);
            r1 = _mm_add_epi32(mul32(r1, mul), add);
            r2 = _mm_add_epi32(mul32(r2, mul), add);
            r3 = _mm_add_epi32(mul32(r3, mul), add);
        }
        _mm_storeu_si128((__m128i*)lane, r0);
#else
        for (; n - i >= kLanes; i += kLanes) {
            for (int j = 0; j < kLanes; j++) {
                out[i + j] = (unsigned short)((lane[j] >> 16) & 0x7FFF);
                lane[j] = lane[j] * kMulN + kAddN;
            }
        }
#endif
        // Lane 0 now holds the state of the next value: one step back is the
        // state of the last value handed out.
        s = (lane[0] - kAdd) * kInvMul;
    }
    for (; i < n; i++) {
        s = s * kMul + kAdd;
        out[i] = (unsigned short)((s >> 16) & 0x7FFF);
    }
    state = s;
}

}  // namespace plat
