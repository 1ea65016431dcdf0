#include <process.h>
#include <windows.h>

#include "platform/random.h"

namespace plat {

std::string unique_name() {
    static unsigned long counter = 0;
    for (;;) {
        std::string name = "\\rf" + std::to_string((long)_getpid()) + "_" + std::to_string(++counter) + ".tmp";
        // Any failure to see the file counts as free: creating it then
        // reports what is wrong.
        if (GetFileAttributesA(("." + name).c_str()) == INVALID_FILE_ATTRIBUTES) return name;
    }
}

}  // namespace plat
