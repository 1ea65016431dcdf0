#include "common/text.h"
#include "flagsift/flagsift.h"
#include "platform/platform.h"

int main(int argc, char** argv) {
    plat::init_std_streams();
    try {
        return flagsift_main(argc, argv);
    } catch (const Fatal& f) {
        return f.code;
    }
}
