#!/usr/bin/env bash
# The long fuzzing run: every libFuzzer target of the fuzz preset, one after the other, until it
# has executed RUNS inputs (default 2,000,000), or for at most SECONDS with --max-time. Prints per
# target the executions, executions per second, the time taken and the findings (a crash, leak,
# hang or broken invariant ends a target's run; its input is kept in build/fuzz/findings/<target>/).
# Fails when any target found something. Build the fuzz preset first.
#
#   scripts/fuzz-long.sh [--runs RUNS] [--max-time SECONDS] [TARGET...]
set -euo pipefail
cd "$(dirname "$0")/.."
source scripts/lib/fuzz_targets.sh

usage() {
    echo "usage: scripts/fuzz-long.sh [--runs RUNS] [--max-time SECONDS] [TARGET...]" >&2
    exit 2
}
runs=2000000
max_time=0
chosen=()
while (($#)); do
    case $1 in
        --runs) [[ ${2:-} =~ ^[0-9]+$ ]] || usage; runs=$2; shift 2 ;;
        --max-time) [[ ${2:-} =~ ^[0-9]+$ ]] || usage; max_time=$2; shift 2 ;;
        -*) usage ;;
        *) chosen+=("$1"); shift ;;
    esac
done

printf '%-16s %10s %8s %8s  %s\n' target executions exec/s seconds findings
failed=0
for entry in "${V270_FUZZ_TARGETS[@]}"; do
    target=${entry%%:*}
    max_len=${entry##*:}
    if ((${#chosen[@]})) && [[ " ${chosen[*]} " != *" $target "* ]]; then
        continue
    fi
    mkdir -p "$v270_fuzz_build/findings/$target"
    log=$v270_fuzz_build/findings/long_$target.log
    before=$(find "$v270_fuzz_build/findings/$target" -type f | wc -l)
    start=$SECONDS
    status=0
    v270_fuzz_run "$target" "$max_len" "$log" -runs="$runs" -max_total_time="$max_time" || status=$?
    elapsed=$((SECONDS - start))
    found=$(($(find "$v270_fuzz_build/findings/$target" -type f | wc -l) - before))
    if ((status != 0 && found == 0)); then
        found=1
    fi
    executions=$(v270_fuzz_stat "$log" number_of_executed_units)
    # libFuzzer's own figure counts the time spent loading the corpus too.
    rate=$(( ${executions:-0} / (elapsed > 0 ? elapsed : 1) ))
    summary=$found
    if ((found)); then
        failed=1
        summary="$found: $(grep -m1 -E 'ERROR|invariant broken|runtime error' "$log" || echo "status $status") (log $log)"
    fi
    printf '%-16s %10s %8s %8s  %s\n' "$target" "${executions:-?}" "$rate" "$elapsed" "$summary"
done
exit $failed
