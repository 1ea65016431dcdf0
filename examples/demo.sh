#!/bin/sh
# The main job: kesh runs over the sample files, the way a batch script makes
# them. Each run shows its command line, the list it printed or wrote, the
# command file it left for the script, and its exit code.
set -u
here=$(cd "$(dirname "$0")" && pwd)
kesh=${KESH:-$here/../build/bin/kesh}
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cp "$here/project.txt" "$work/"
cd "$work"

show() {
    printf '\n--- %s\n' "$1"
    shift
    printf '$ kesh'
    printf ' %s' "$@"
    printf '\n'
    : >set.cmd
    env "..=12345set.cmd" "$kesh" "$@"
    code=$?
    printf -- '- command file set.cmd:\n'
    sed 's/^/    /' set.cmd
    printf -- '- exit code: %s\n' "$code"
}

show "take the chapter section, add a chapter, hand the names to the script, write the file back" \
    -I project.txt '[chapters]' -L conclusion.tex -::CHAPTERS -:=COUNT -O
printf -- '- project.txt now:\n'
sed 's/^/    /' project.txt

CHAPTERS="intro.tex method.tex results.tex conclusion.tex"
export CHAPTERS
show "split a variable of the script into lines and rename them; the list goes to standard output" \
    -L '$CHAPTERS' -t .tex .pdf

show "an empty section: the variable is set empty and the script is told to stop" \
    -I project.txt '[figures]' -::FIGURES:e
