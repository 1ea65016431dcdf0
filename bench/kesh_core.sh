#!/bin/sh
# kesh core benchmarks: load and write back a million-line file (against cp,
# and peak memory against the file size), a million parameters from one @
# file, and growing @args files (the time per argument must stay flat).
# Usage: bench/kesh_core.sh [build folder]
set -eu
. "$(cd "$(dirname "$0")" && pwd)/lib.sh"
build=$(cd "${1:-build}" && pwd)
kesh=$build/bin/kesh
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cd "$work"


awk 'BEGIN { for (i = 0; i < 1000000; i++) printf "line %08d of the sample file, padded to sixty bytes....\n", i }' >big.txt
size=$(stat -c %s big.txt)
echo "big.txt: $(wc -l <big.txt) lines, $size bytes"

cp big.txt orig.txt
tk=$(best "$kesh" big.txt)
tc=$(best cp orig.txt copy.txt)
cmp -s big.txt orig.txt || { echo "kesh big.txt changed the file"; exit 1; }
echo "kesh big.txt (load, write back): ${tk} ms; cp: ${tc} ms; ratio $(ratio "$tk" "$tc")"
peak=$(/usr/bin/time -f %M "$kesh" big.txt 2>&1 >/dev/null | tail -n 1)
echo "peak memory: ${peak} KiB; ratio to the file size $(ratio "$((peak * 1024))" "$size")"

tl=$(best "$kesh" -L @big.txt -:=N)
echo "kesh -L @big.txt (a million parameters): ${tl} ms"

for n in 2000 20000 200000; do
    awk -v n="$n" 'BEGIN { for (i = 0; i < n / 2; i++) print "-L\nx" i }' >args.txt
    t=$(best "$kesh" @args.txt -:=N)
    echo "@args with $n arguments: ${t} ms, $(ratio "$((t * 1000))" "$n") us per argument"
done
