#include "randfill/randfill.h"

#include <cstdint>
#include <cstdio>
#include <ctime>
#include <string>

#include "common/text.h"
#include "platform/platform.h"
#include "platform/signals.h"
#include "platform/random.h"

namespace {

// A count as the program reads numbers (leading blanks, a sign, the digits;
// no digits is 0). A negative count or one beyond 32 bits would mean terabytes
// of writes that nobody asked for, so it is refused.
uint32_t read_count(const char* s) {
    const char* p = s;
    while (*p == ' ' || (*p >= '\t' && *p <= '\r')) p++;
    bool neg = *p == '-';
    if (*p == '-' || *p == '+') p++;
    uint64_t v = 0;
    for (; *p >= '0' && *p <= '9'; p++) {
        v = v * 10 + (uint64_t)(*p - '0');
        if (v > UINT32_MAX) break;
    }
    if ((neg && v != 0) || v > UINT32_MAX) die("*** invalid count: %s\n", s);
    return (uint32_t)v;
}

// Each sweep starts the generator afresh from the time in two-second steps.
void start_sweep(FILE* f) {
    plat::srand((unsigned)(std::time(nullptr) / 2));
    rewind(f);
}

bool write_block(FILE* f, unsigned char* block) {
    fill_block(block);
    return fwrite(block, 1, kBlock, f) == kBlock;
}

}  // namespace

void fill_block(unsigned char* block) {
    unsigned short v[kBlock];
    plat::rand_n(v, kBlock);
    for (size_t k = 0; k < kBlock; k++) block[k] = random_byte(v[k]);
}

int randfill_run(int argc, char** argv) {
    bool scratch = argc < 2 || !argv[1][0];
    uint32_t blocks = read_count(argc > 2 ? argv[2] : "0");
    uint32_t passes = read_count(argc > 3 ? argv[3] : "3");
    uint64_t sweeps = (uint64_t)passes + 1;
    std::string name = scratch ? std::string(".").append(plat::unique_name()) : std::string(argv[1]);
    if (scratch) {
        tprintf(stdout, "filename: %s\n", name.c_str());
        fflush(stdout);
    }
    // A fill of the free space watches for interrupts from before its file
    // exists, so that no moment is left in which an interrupt keeps it.
    if (blocks == 0) plat::watch_interrupts();
    FILE* f = plat::fopen_bin(name.c_str(), "wb");
    if (!f) {
        if (blocks == 0) plat::unwatch_interrupts();
        die("*** open error: %s\n", name.c_str());
    }
    // Unbuffered: every block is one write, so a short one is seen at once.
    setvbuf(f, nullptr, _IONBF, 0);
    unsigned char block[kBlock];

    if (blocks > 0) {
        bool short_write = false;
        for (uint64_t s = 0; s < sweeps; s++) {
            start_sweep(f);
            for (uint32_t b = 0; b < blocks; b++) {
                if (!write_block(f, block)) {
                    short_write = true;  // ends this sweep, not the run
                    break;
                }
            }
        }
        if (fclose(f) != 0) short_write = true;
        if (short_write) die("*** write error: %s\n", name.c_str());
        return 0;
    }

    // Until the disk is full. An interrupt must not leave it full: the file
    // goes in every case.
    for (uint64_t s = 0; s < sweeps && !plat::interrupted(); s++) {
        start_sweep(f);
        while (!plat::interrupted() && write_block(f, block)) {
        }
    }
    fclose(f);
    plat::remove_file(name.c_str());
    bool stopped = plat::interrupted();
    if (!stopped) plat::unwatch_interrupts();
    return stopped ? kInterrupted : 0;
}

int randfill_main(int argc, char** argv) {
    int rc = randfill_run(argc, argv);
    return rc == kInterrupted ? plat::end_interrupted() : rc;
}
