#!/bin/sh
# Builds and runs every test: the release build, the same tests under
# AddressSanitizer + UndefinedBehaviorSanitizer, and the Windows executables
# under wine when a MinGW-w64 compiler and wine are installed.
set -eu
cd "$(dirname "$0")/.."

step() { printf '\n=== %s\n' "$*"; }

step "release build and tests"
cmake --preset default
cmake --build --preset default
ctest --preset default

step "AddressSanitizer + UndefinedBehaviorSanitizer build and tests"
cmake --preset asan
cmake --build --preset asan
ctest --preset asan

if command -v x86_64-w64-mingw32-g++ >/dev/null 2>&1 && command -v wine >/dev/null 2>&1 \
    && [ -x tests/windows/run.sh ]; then
    step "Windows executables under wine"
    tests/windows/run.sh
else
    step "Windows suite skipped: it needs x86_64-w64-mingw32-g++ and wine (Debian: g++-mingw-w64-x86-64 wine)"
fi

step "all tests passed"
