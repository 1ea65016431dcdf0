#include "common/alloc.h"

#include <cstdlib>
#include <cstring>

#include "common/text.h"

namespace {

[[noreturn]] void no_memory(long long n, const char* op) {
    if (op)
        die("*** option: %s; no memory: %lld\n", op, n);
    else
        die("*** no memory: %lld\n", n);
}

}  // namespace

namespace plain {

const char* alloc_op = nullptr;

void* Alloc(long long n) {
    if (n <= 0) return nullptr;
    // The spare 8 bytes let a block asked for with a text's length take the
    // terminator too, and let the line loader append a newline.
    if ((unsigned long long)n > (~(size_t)0 >> 1) - 8) no_memory(n, alloc_op);
    void* p = std::calloc((size_t)n + 8, 1);
    if (!p) no_memory(n, alloc_op);
    return p;
}

}  // namespace plain

namespace anchored {

void* ALLOC_ANKER = nullptr;

void* Alloc(long long n) {
    if (n <= 0) return nullptr;
    unsigned long long words = (unsigned long long)n / 8 + 2;
    if (words > (~(size_t)0 >> 4)) no_memory(n, nullptr);
    void** block = (void**)std::calloc((size_t)words, 8);
    if (!block) no_memory(n, nullptr);
    block[0] = ALLOC_ANKER;
    ALLOC_ANKER = block;
    return block + 1;
}

void Free(void* p) {
    if (!ALLOC_ANKER) return;
    if (!p) {
        while (ALLOC_ANKER) {
            void** b = (void**)ALLOC_ANKER;
            ALLOC_ANKER = b[0];
            std::free(b);
        }
        return;
    }
    void** target = (void**)p - 1;
    if ((void*)target == ALLOC_ANKER) {
        ALLOC_ANKER = target[0];
        std::free(target);
        return;
    }
    for (void** b = (void**)ALLOC_ANKER; b[0]; b = (void**)b[0]) {
        if (b[0] == (void*)target) {
            b[0] = target[0];
            std::free(target);
            return;
        }
    }
    die("*** Free-error\n");
}

}  // namespace anchored
