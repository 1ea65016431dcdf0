#!/bin/sh
# Line filters and window searches of kesh on large inputs, against grep.
# usage: bench/filters.sh BUILD_DIR
# Every figure is the best wall time of five runs, loading and writing
# included; a ratio is kesh's time over grep's.
set -eu
. "$(cd "$(dirname "$0")" && pwd)/lib.sh"
bin="$(cd "$1" && pwd)/bin/kesh"
[ -x "$bin" ] || { echo "no kesh in $1/bin" >&2; exit 2; }
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT
cd "$tmp"

# 1,000,000 lines of 60 bytes (59 characters and the line end); every
# hundredth line holds "NeEdLe".
awk 'BEGIN {
    srand(1); a = "abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789 ";
    for (i = 0; i < 1000000; i++) {
        s = "";
        for (k = 0; k < 59; k++) s = s substr(a, int(rand() * 63) + 1, 1);
        if (i % 100 == 0) s = substr(s, 1, 20) "NeEdLe" substr(s, 27);
        print s
    }
}' > big.txt
# 100 search texts, one of them present.
awk 'BEGIN { for (i = 0; i < 99; i++) printf "zq%04dx\n", i; print "needle" }' > pats.txt

# row TITLE KESH_MS [GREP_MS]
row() {
    if [ $# -eq 3 ]; then
        printf '%-44s %8s ms %8s ms %7s\n' "$1" "$2" "$3" "$(ratio "$2" "$3")"
    else
        printf '%-44s %8s ms\n' "$1" "$2"
    fi
}

printf '%-44s %11s %11s %7s\n' "1,000,000 lines of 60 bytes" "kesh" "grep" "ratio"
k=$(best "$bin" -I big.txt -e needle -O out.txt)
g=$(best sh -c 'grep -i -F needle big.txt > out.txt')
row "-e needle" "$k" "$g"
k=$(best "$bin" -I big.txt -v needle -O out.txt)
g=$(best sh -c 'grep -v -i -F needle big.txt > out.txt')
row "-v needle" "$k" "$g"
k=$(best "$bin" -I big.txt -e @pats.txt -O out.txt)
g=$(best sh -c 'grep -i -F -f pats.txt big.txt > out.txt')
row "-e with 100 texts" "$k" "$g"
k=$(best "$bin" -I big.txt -e zq0000x -O out.txt)
row "-e with 1 text that never matches" "$k"
k=$(best "$bin" -I big.txt --end)
row "loading alone (-I, --end)" "$k"

# Window searches: the line searched for is the last one.
echo "marker line" >> big.txt
k=$(best "$bin" -I big.txt +A= "MARKER LINE" -O out.txt)
g=$(best sh -c 'grep -n -i -x -F "marker line" big.txt > out.txt')
row "+A= (last line matches)" "$k" "$g"
k=$(best "$bin" -I big.txt +AA+ "#none" -O out.txt)
row "+AA+ (last-match scan, no match)" "$k"
k=$(best "$bin" -I big.txt -A "marker line" -O out.txt)
row "-A (last line matches, all go)" "$k"

# -eR= with as many texts as window lines: sorted keys, n log n.
for n in 10000 20000 40000; do
    awk -v n=$n 'BEGIN { for (i = 0; i < n; i++) printf "K%07d=old\n", i * 2 }' > win.txt
    awk -v n=$n 'BEGIN { for (i = 0; i < n; i++) printf "K%07d=new\n", i }' > par.txt
    k=$(best "$bin" -I win.txt -eR= @par.txt -O out.txt)
    row "-eR= $n texts on $n lines" "$k"
done
