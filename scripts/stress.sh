#!/usr/bin/env bash
# Runs the threaded core's stress test under ThreadSanitizer for SECONDS (default 60): the
# simulated mouse floods the input reader with presses and releases while the executor performs
# them and a user-interface thread edits, applies and switches profiles. Prints the test's
# figures and the number of races ThreadSanitizer reported; exits 1 when the test failed or a
# race was found.
#
#   scripts/stress.sh [SECONDS]
set -euo pipefail
cd "$(dirname "$0")/.."
seconds=${1:-60}
[[ $seconds =~ ^[0-9]+$ && $seconds -gt 0 ]] || { echo "usage: scripts/stress.sh [SECONDS]" >&2; exit 2; }
source scripts/lib/packages.sh
v270_install_packages

cmake --preset tsan >/dev/null
cmake --build --preset tsan --target stress_tests

log=build/tsan/stress.log
# Settings files on a memory file system when there is one: every save waits for the disk
# otherwise, and the run is about threads, not disks.
tmp=${TMPDIR:-/tmp}
[[ -d /dev/shm && -w /dev/shm ]] && tmp=/dev/shm
status=0
TMPDIR=$tmp V270_STRESS_SECONDS=$seconds TSAN_OPTIONS="halt_on_error=0 ${TSAN_OPTIONS:-}" \
    build/tsan/tests/stress/stress_tests --gtest_filter='ThreadedCoreStress.*' >"$log" 2>&1 ||
    status=$?

grep '^stress: ' "$log" | sed 's/^stress: //'
races=$(grep -c '^WARNING: ThreadSanitizer' "$log" || true)
echo "races found: $races"
if [[ $status -ne 0 || $races -ne 0 ]]; then
    grep -E '^(WARNING: ThreadSanitizer|.*Failure$)' -A6 "$log" | head -n 80 >&2 || true
    echo "stress.sh: failed (exit $status); the whole output is in $log" >&2
    exit 1
fi
