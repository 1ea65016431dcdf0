#!/bin/sh
# randfill writing 256 MiB (65,536 blocks of 4096 bytes, one sweep) into a
# file, against dd writing as many zeros in blocks of the same size.
# usage: bench/randfill.sh BUILD_DIR
# Figures are the best wall time of five runs; the ratio is randfill's time
# over dd's. The files go to a scratch folder under ${TMPDIR:-/tmp}.
set -eu
. "$(cd "$(dirname "$0")" && pwd)/lib.sh"
bin="$(cd "$1" && pwd)/bin/randfill"
[ -x "$bin" ] || { echo "no randfill in $1/bin" >&2; exit 2; }
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT
cd "$tmp"

# Every run allocates its blocks afresh.
BEFORE_RUN="rm -f out.bin"
r=$(best "$bin" out.bin 65536 0)
d=$(best dd if=/dev/zero of=out.bin bs=4096 count=65536)
printf '%-40s %11s %11s %7s\n' "256 MiB in 4096-byte blocks" "randfill" "dd" "ratio"
printf '%-40s %8s ms %8s ms %7s\n' "one sweep (65536 blocks, 0 passes)" "$r" "$d" "$(ratio "$r" "$d")"
# Four sweeps over the same file: the blocks exist after the first.
r=$(best "$bin" out.bin 65536 3)
printf '%-40s %8s ms\n' "four sweeps (65536 blocks, 3 passes)" "$r"
