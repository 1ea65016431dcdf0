# Shared by the benchmark scripts (sourced, not run).

now() { date +%s%N; }

# best COMMAND...: the best of five wall times in milliseconds. Standard
# output goes to the file bench.out (grep stops at its first match when it
# writes to /dev/null); exit codes do not matter (kesh exits with a line
# count). BEFORE_RUN, when set, is run before each run, outside the timing.
best() {
    b=""
    for _ in 1 2 3 4 5; do
        if [ -n "${BEFORE_RUN:-}" ]; then eval "$BEFORE_RUN"; fi
        t0=$(now)
        "$@" >bench.out 2>&1 || :
        t=$((($(now) - t0) / 1000000))
        if [ -z "$b" ] || [ "$t" -lt "$b" ]; then b=$t; fi
    done
    echo "$b"
}

# ratio A B: A / B with two decimals (B of 0 ms counts as 1 ms).
ratio() { awk -v a="$1" -v b="$2" 'BEGIN { if (b < 1) b = 1; printf "%.2f", a / b }'; }
