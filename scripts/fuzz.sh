#!/usr/bin/env bash
# Fuzzes every parser: builds the fuzz preset (clang; libFuzzer with AddressSanitizer and
# UndefinedBehaviorSanitizer) and runs each fuzz target for EXECUTIONS executions in all
# (default 10 million), shared by one worker per core. A target starts from its seeds and
# the corpus earlier runs grew (build/fuzz/corpus/TARGET), with its tokens as dictionary.
# Prints one line per target: executions, coverage (the edges the whole corpus reaches) and
# the crashes, timeouts (10 s) and out-of-memory inputs found, which are kept in
# build/fuzz/crashes/TARGET/. Exits 1 when any was found.
#
#   scripts/fuzz.sh [EXECUTIONS]
set -euo pipefail
cd "$(dirname "$0")/.."

executions=${1:-10000000}
if ! [[ $executions =~ ^[1-9][0-9]*$ ]]; then
    echo "usage: scripts/fuzz.sh [EXECUTIONS]" >&2
    exit 2
fi

scripts/deps.sh
cmake --preset fuzz >/dev/null
cmake --build --preset fuzz

root=$PWD/build/fuzz
workers=$(nproc)
per_worker=$(((executions + workers - 1) / workers))
found_any=0

printf '%-14s %12s %9s %8s %9s %5s\n' target executions coverage crashes timeouts ooms
for fuzzer in $(find "$root" -name '*_fuzzer' -type f -perm -u+x | sort); do
    name=$(basename "$fuzzer" _fuzzer)
    corpus=$root/corpus/$name
    crashes=$root/crashes/$name
    logs=$root/logs/$name
    mkdir -p "$corpus" "$crashes"
    rm -rf "$logs" && mkdir -p "$logs"
    "$fuzzer" --write-seeds "$corpus" --write-dictionary "$logs/tokens.dict"
    touch "$logs/start"

    # Each worker logs to fuzz-N.log in the current folder.
    (cd "$logs" && "$fuzzer" -jobs="$workers" -workers="$workers" -runs="$per_worker" \
        -timeout=10 -dict=tokens.dict -artifact_prefix="$crashes/" "$corpus" \
        >run.log 2>&1) || true

    # A worker that stopped at a fault has no "Done" line; its last status line counts.
    done_runs=0
    for log in "$logs"/fuzz-*.log; do
        runs=$(grep -oE '^(Done [0-9]+|#[0-9]+)' "$log" | tail -1 | tr -dc '0-9')
        done_runs=$((done_runs + ${runs:-0}))
    done
    coverage=$("$fuzzer" -runs=0 "$corpus" 2>&1 | grep -oE 'INITED cov: [0-9]+' | tr -dc '0-9')
    count() { find "$crashes" -name "$1-*" -newer "$logs/start" | wc -l; }
    crashed=$(count crash)
    timeouts=$(count timeout)
    ooms=$(count oom)
    ((crashed + timeouts + ooms == 0)) || found_any=1
    printf '%-14s %12d %9s %8d %9d %5d\n' "$name" "$done_runs" "${coverage:-?}" \
        "$crashed" "$timeouts" "$ooms"
done
exit $found_any
