#!/usr/bin/env bash
# Runs every libFuzzer target of the fuzz preset briefly: SECONDS (default 20) in all, shared
# among the targets, each starting from its committed seeds and the corpus earlier runs left in
# build/fuzz/corpus. Fails when a target finds an input that crashes, leaks, hangs or breaks one
# of its invariants; the input is kept in build/fuzz/findings/<target>/. The long run with its
# figures is scripts/fuzz-long.sh.
set -euo pipefail
cd "$(dirname "$0")/.."
source scripts/lib/fuzz_targets.sh

seconds=${1:-20}
[[ $seconds =~ ^[0-9]+$ && $seconds -gt 0 ]] || { echo "usage: scripts/fuzz.sh [SECONDS]" >&2; exit 2; }
each=$(( seconds / ${#V270_FUZZ_TARGETS[@]} ))
(( each >= 1 )) || each=1

failed=0
for entry in "${V270_FUZZ_TARGETS[@]}"; do
    target=${entry%%:*}
    max_len=${entry##*:}
    log=$v270_fuzz_build/findings/fuzz_$target.log
    mkdir -p "$v270_fuzz_build/findings"
    if v270_fuzz_run "$target" "$max_len" "$log" -max_total_time="$each"; then
        printf '%-16s %9s runs  %s\n' "$target" "$(v270_fuzz_stat "$log" number_of_executed_units)" \
            "$(v270_fuzz_coverage "$log")"
    else
        failed=1
        echo "$target: FINDING (log $log)"
        grep -E 'ERROR|invariant broken|runtime error|Test unit written' "$log" | head -n 5
    fi
done
exit $failed
