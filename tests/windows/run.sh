#!/bin/sh
# The Windows suite: cross-builds the windows preset, runs every case table
# against the .exe files under wine (the case runner itself runs as a Windows
# program, so the cases start inside one wine session and exit codes arrive
# whole), then runs every tests/windows/*.cmd under wine's cmd.
#
# Usage, from anywhere: tests/windows/run.sh
# Needs x86_64-w64-mingw32-g++ and wine; says so and stops (status 0) when
# they are missing. Exits non-zero when anything fails.
set -u

src=$(cd "$(dirname "$0")/../.." && pwd)
bld="$src/build-windows"

missing=""
command -v x86_64-w64-mingw32-g++ >/dev/null 2>&1 || missing="$missing x86_64-w64-mingw32-g++"
command -v wine >/dev/null 2>&1 || missing="$missing wine"
if [ -n "$missing" ]; then
    echo "Windows suite SKIPPED: not found:$missing"
    exit 0
fi

# A Unix path as the Windows programs see it: wine maps / to drive Z:.
winpath() { printf 'Z:%s' "$1" | tr / '\\'; }

# A fresh wine prefix of our own: no display, no questions, no debug noise,
# nothing read from the terminal.
work=$(mktemp -d "${TMPDIR:-/tmp}/kesh-windows.XXXXXX")
export WINEPREFIX="$work/prefix"
export WINEDEBUG=-all
export WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d"
unset DISPLAY WAYLAND_DISPLAY
export WINEPATH="$(winpath "$bld/bin")"

finish() {
    WINEPREFIX="$work/prefix" wineserver -k >/dev/null 2>&1
    rm -rf "$work"
}
trap finish EXIT
trap 'exit 130' INT TERM

echo "== Windows build (build-windows)"
if ! { cmake --preset windows && cmake --build --preset windows; } >"$work/build.log" 2>&1; then
    cat "$work/build.log"
    echo "Windows suite FAILED: the build failed"
    exit 1
fi
grep -E 'warning:' "$work/build.log" | sed 's/^/  /'

failures=""

echo "== release package"
# Every program must run on a bare Windows: no compiler runtime DLLs.
for exe in "$bld"/bin/*.exe; do
    dlls=$(x86_64-w64-mingw32-objdump -p "$exe" | sed -n 's/^[[:space:]]*DLL Name: //p' | grep -i '^lib')
    if [ -n "$dlls" ]; then
        echo "FAIL $(basename "$exe") needs $(echo $dlls)"
        failures="$failures static-link"
    fi
done
rm -f "$bld"/package/*.zip
if ! cmake --build --preset windows --target package >"$work/package.log" 2>&1; then
    cat "$work/package.log"
    failures="$failures package"
else
    zip=$(ls "$bld"/package/*.zip)
    cmake -E tar tf "$zip" >"$work/zip.list"
    for want in kesh.exe numka.exe versim.exe flagsift.exe randfill.exe README.md docs/README.md docs/windows.md; do
        if ! grep -q "^[^/]*/$want\$" "$work/zip.list"; then
            echo "FAIL $(basename "$zip") lacks $want"
            failures="$failures package"
        fi
    done
    echo "  $(basename "$zip"): $(grep -c . "$work/zip.list") entries"
fi

echo "== wine prefix"
if ! timeout 300 wineboot -i </dev/null >"$work/wineboot.log" 2>&1; then
    cat "$work/wineboot.log"
    echo "Windows suite FAILED: wine could not set up its prefix"
    exit 1
fi
# One server for the whole suite instead of one per wine start.
wineserver -p >/dev/null 2>&1

# The packaged (stripped) programs start and answer.
if [ -n "${zip:-}" ] && mkdir -p "$work/pkg" && (cd "$work/pkg" && cmake -E tar xf "$zip"); then
    for exe in "$work"/pkg/*/*.exe; do
        name=$(basename "$exe" .exe)
        case $name in
        kesh) args="-L a b" want=2 ;;
        flagsift) args="x" want=1 ;;
        versim) args="" want=1 ;;
        *) continue ;;
        esac
        # shellcheck disable=SC2086
        timeout 60 wine "$exe" $args </dev/null >/dev/null 2>&1
        rc=$?
        if [ $rc -ne $want ]; then
            echo "FAIL packaged $name.exe $args: status $rc, expected $want"
            failures="$failures package"
        fi
    done
fi

echo "== case tables under wine"
cases=""
for f in "$src"/tests/e2e/cases/*.cases; do
    [ -e "$f" ] && cases="$cases $(winpath "$f")"
done
if [ -z "$cases" ]; then
    echo "  no case tables"
else
    # shellcheck disable=SC2086  # one word per case file
    timeout 900 wine "$bld/tests/e2e_runner.exe" --bin "$(winpath "$bld/bin")" --suffix .exe --crlf $cases \
        </dev/null >"$work/cases.log" 2>&1
    rc=$?
    tr -d '\r' <"$work/cases.log"
    [ $rc -eq 0 ] || failures="$failures case-tables(status $rc)"
fi

echo "== batch scripts under wine's cmd"
scripts=0
for s in "$src"/tests/windows/*.cmd; do
    [ -e "$s" ] || continue
    name=$(basename "$s")
    scripts=$((scripts + 1))
    # Each script runs in a folder of its own, from a copy with CR LF line
    # ends whatever the checkout did to them.
    dir="$WINEPREFIX/drive_c/scripts/${name%.cmd}"
    mkdir -p "$dir"
    sed 's/\r*$/\r/' "$s" >"$dir/$name"
    (cd "$dir" && timeout 120 wine cmd /c "$name" </dev/null >"$dir/.out" 2>&1)
    rc=$?
    tr -d '\r' <"$dir/.out" | sed 's/^/  /'
    # A script that stops early without failing a check is a failure too: the
    # last line must be its own all-clear.
    if [ $rc -ne 0 ] || ! tr -d '\r' <"$dir/.out" | grep -qx "$name: all checks passed"; then
        echo "FAIL $name (status $rc)"
        failures="$failures $name"
    fi
done
[ $scripts -gt 0 ] || echo "  no scripts"

if [ -n "$failures" ]; then
    echo "Windows suite FAILED:$failures"
    exit 1
fi
echo "Windows suite passed ($scripts scripts)"
