#include <io.h>

#include "platform/platform.h"

namespace plat {
// Mode 2 asks for write permission, which the read-only attribute denies.
bool may_write(const char* path) { return _access(path, 2) == 0; }
}  // namespace plat
