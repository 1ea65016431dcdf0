#include "common/text.h"
#include "kesh/driver/run.h"
#include "platform/platform.h"

int main(int argc, char** argv) {
    plat::init_std_streams();
    try {
        return kesh_main(argc, argv, plat::environment());
    } catch (const Fatal& f) {
        return f.code;
    }
}
