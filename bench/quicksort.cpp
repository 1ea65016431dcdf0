// quicksort on a million lines of several shapes against std::sort with the
// same comparison. Prints milliseconds and the ratio per shape.
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <random>
#include <string>
#include <vector>

#include "common/strings.h"

namespace {

double ms_since(std::chrono::steady_clock::time_point t0) {
    return std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - t0).count();
}

}  // namespace

int main(int argc, char** argv) {
    long long n = argc > 1 ? std::atoll(argv[1]) : 1000000;
    std::mt19937_64 rng(7);
    std::vector<std::string> random_lines(n), few(n), equal(n, "the same line of text");
    for (auto& s : random_lines) s = "line " + std::to_string(rng() % 1000000000ULL) + " of the list";
    for (auto& s : few) s = "value " + std::to_string(rng() % 10);
    std::vector<std::string> sorted = random_lines;
    std::sort(sorted.begin(), sorted.end(), [](auto& a, auto& b) { return strcmp_(a.c_str(), b.c_str()) < 0; });
    std::vector<std::string> reversed(sorted.rbegin(), sorted.rend());
    std::vector<std::string> organ(n);
    for (long long k = 0; k < n; k++) organ[k] = sorted[k < n / 2 ? 2 * k : 2 * (n - 1 - k) + 1];

    struct Shape {
        const char* name;
        const std::vector<std::string>* lines;
    } shapes[] = {{"random", &random_lines}, {"sorted", &sorted},   {"reversed", &reversed},
                  {"all equal", &equal},     {"few distinct", &few}, {"organ pipe", &organ}};

    std::printf("%-14s %12s %12s %7s\n", "shape", "quicksort ms", "std::sort ms", "ratio");
    for (auto& sh : shapes) {
        std::vector<const char*> a, b;
        for (auto& s : *sh.lines) a.push_back(s.c_str());
        b = a;
        auto t0 = std::chrono::steady_clock::now();
        quicksort(a.data(), 0, n - 1);
        double q = ms_since(t0);
        t0 = std::chrono::steady_clock::now();
        std::sort(b.begin(), b.end(), [](const char* x, const char* y) { return strcmp_(x, y) < 0; });
        double s = ms_since(t0);
        for (long long k = 0; k < n; k++)
            if (strcmp_(a[k], b[k]) != 0) {
                std::printf("%s: order differs at %lld\n", sh.name, k);
                return 1;
            }
        std::printf("%-14s %12.1f %12.1f %7.2f\n", sh.name, q, s, q / s);
    }
    return 0;
}
