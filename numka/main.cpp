#include "common/text.h"
#include "numka/numka.h"
#include "platform/platform.h"

int main(int argc, char** argv) {
    plat::init_std_streams();
    try {
        return numka_main(argc, argv, plat::environment());
    } catch (const Fatal& f) {
        return f.code;
    }
}
