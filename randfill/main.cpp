#include "common/text.h"
#include "platform/platform.h"
#include "randfill/randfill.h"

int main(int argc, char** argv) {
    plat::init_std_streams();
    try {
        return randfill_main(argc, argv);
    } catch (const Fatal& f) {
        return f.code;
    }
}
