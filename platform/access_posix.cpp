#include <unistd.h>

#include "platform/platform.h"

namespace plat {
bool may_write(const char* path) { return access(path, W_OK) == 0; }
}  // namespace plat
