#include <sys/mman.h>
#include <unistd.h>

#include <cstdint>

#include "platform/platform.h"

namespace plat {

void hint_bulk_memory(void* p, size_t n) {
#ifdef MADV_HUGEPAGE
    const uintptr_t page = (uintptr_t)sysconf(_SC_PAGESIZE);
    uintptr_t a = ((uintptr_t)p + page - 1) & ~(page - 1), e = ((uintptr_t)p + n) & ~(page - 1);
    if (n >= (4u << 20) && a < e) madvise((void*)a, e - a, MADV_HUGEPAGE);
#else
    (void)p;
    (void)n;
#endif
}

}  // namespace plat
