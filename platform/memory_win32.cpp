#include "platform/platform.h"

namespace plat {

// Large pages need a privilege that ordinary users lack; nothing to ask for.
void hint_bulk_memory(void*, size_t) {}

}  // namespace plat
