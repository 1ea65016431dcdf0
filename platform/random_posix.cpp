#include <sys/stat.h>
#include <unistd.h>

#include "platform/random.h"

namespace plat {

std::string unique_name() {
    static unsigned long counter = 0;
    for (;;) {
        std::string name = "/rf" + std::to_string((long)getpid()) + "_" + std::to_string(++counter) + ".tmp";
        // Any failure to see the file counts as free: creating it then
        // reports what is wrong.
        struct stat st;
        if (lstat(("." + name).c_str(), &st) != 0) return name;
    }
}

}  // namespace plat
