#include "common/text.h"
#include "platform/platform.h"
#include "versim/versim.h"

int main(int argc, char** argv) {
    plat::init_std_streams();
    try {
        return versim_main(argc, argv);
    } catch (const Fatal& f) {
        return f.code;
    }
}
