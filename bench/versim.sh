#!/bin/sh
# versim benchmark: a 50 MB text turned into LaTeX, against cp of the same
# file; the same text with the '<' escape on (every line holds a '<' and one
# quotes the verbatim end); a quarter of the text to show that the time grows
# linearly. cat through a pipe is shown as a second reference: cp copies
# inside the kernel where it can, cat moves the bytes through a program.
# Usage: bench/versim.sh [build folder]
set -eu
. "$(cd "$(dirname "$0")" && pwd)/lib.sh"
build=$(cd "${1:-build}" && pwd)
versim=$build/bin/versim
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cd "$work"
export SOURCE_DATE_EPOCH=0 LC_ALL=C


# Paragraphs of four lines of about sixty bytes, a blank line after each.
text() {
    awk -v n="$1" -v lt="$2" 'BEGIN {
        for (i = 0; i < n; i++) {
            printf "line %08d of the sample text, padded to sixty bytes%s..\n", i, lt
            if (i % 4 == 3) print ""
        }
    }'
}
text 800000 "" >big.txt
text 200000 "" >small.txt
{ echo '\end{verbatim}'; text 800000 "<"; } >esc.txt
echo "big.txt: $(stat -c %s big.txt) bytes; small.txt: $(stat -c %s small.txt) bytes"

tv=$(best "$versim" big.txt)
tc=$(best cp big.txt copy.txt)
tk=$(best sh -c 'cat big.txt >cat.txt')
grep -q 'end{verbatim}' big.tex || { echo "versim wrote no output"; exit 1; }
echo "versim big.txt: ${tv} ms; cp: ${tc} ms; ratio $(ratio "$tv" "$tc"); cat: ${tk} ms; ratio $(ratio "$tv" "$tk")"

te=$(best "$versim" esc.txt)
echo "versim with the < escape: ${te} ms; ratio to cp $(ratio "$te" "$tc")"

ts=$(best "$versim" small.txt)
echo "versim small.txt (a quarter): ${ts} ms; big/small $(ratio "$tv" "$ts") (4 is linear)"
peak=$(/usr/bin/time -f %M "$versim" big.txt 2>&1 >/dev/null | tail -n 1)
echo "peak memory: ${peak} KiB for $(stat -c %s big.txt) bytes"
