#!/bin/sh
# flagsift on a 50 MB LaTeX log, against grep -c over the same file; a 25 MB
# log as well, to show that the time grows with the input and no faster.
# usage: bench/flagsift.sh BUILD_DIR
# Figures are the best wall time of five runs; the ratio is flagsift's time
# over grep's.
set -eu
. "$(cd "$(dirname "$0")" && pwd)/lib.sh"
bin="$(cd "$1" && pwd)/bin/flagsift"
[ -x "$bin" ] || { echo "no flagsift in $1/bin" >&2; exit 2; }
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT
cd "$tmp"

# log NAME MB: chapters opened and closed, pages, font and package lines,
# every tenth chapter with an overfull box, an underfull box and an error.
log() {
    awk -v mb="$2" 'BEGIN {
        limit = mb * 1000000; size = 0; c = 0;
        while (size < limit) {
            c++;
            b = sprintf("(./chapters/chapter%05d.tex\nChapter %d.\n[%d] [%d]\n", c, c, 2 * c, 2 * c + 1);
            b = b "(/usr/share/texmf/tex/latex/base/omscmr.fd File: omscmr.fd 2019/12/16 v2.5j Standard LaTeX font definitions\n)\n";
            b = b "LaTeX Font Info:    Trying to load font information for OMS+cmr on input line 42.\n";
            b = b "Package hyperref Info: bookmark level for unknown toc defaults to 0 on input line 43.\n";
            if (c % 10 == 0) {
                b = b "Overfull \\hbox (12.3456pt too wide) in paragraph at lines 17--19\n[]\\OT1/cmr/m/n/10 Some text (with a parenthesis) that sticks out\n\n";
                b = b "Underfull \\vbox (badness 10000) has occurred while \\output is active []\n\n";
                b = b "! Undefined control sequence.\nl.99 \\foo\n\n";
            }
            b = b ") [" 2 * c + 2 "]\n";
            printf "%s", b;
            size += length(b);
        }
    }' > "$1"
}
log big.log 50
log half.log 25
ls -l big.log half.log | awk '{ printf "%s: %d bytes\n", $NF, $5 }'


printf '%-28s %11s %11s %7s\n' "" "flagsift" "grep -c" "ratio"
for f in half big; do
    cp "$f.log" paper.log
    s=$(best "$bin" paper.tex)
    g=$(best grep -c Overfull paper.log)
    printf '%-28s %8s ms %8s ms %7s\n' "$f.log" "$s" "$g" "$(ratio "$s" "$g")"
done
printf '.flg of big.log: %d bytes\n' "$(wc -c < paper.flg)"
