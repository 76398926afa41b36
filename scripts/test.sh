#!/usr/bin/env bash
# Builds everything and runs every test: natively with AddressSanitizer and
# UndefinedBehaviorSanitizer, the threaded tests with ThreadSanitizer, the Windows build under
# Wine, saves killed at random moments, the fuzzers briefly, the end-to-end suite, and the
# packages with a check of the installer under Wine. Installs what is missing on Debian 12.
# Compiles through ccache (in ~/.cache/ccache, shared by every clone); prints at the end, pass or
# fail, the seconds each step took.
set -euo pipefail
cd "$(dirname "$0")/.."
source scripts/lib/step_timer.sh

step "install: the Debian packages that are missing"
source scripts/lib/packages.sh
v270_install_packages
ccache --zero-stats >/dev/null 2>&1 || true

for preset in native tsan windows; do
    step "$preset: configure and build"
    cmake --preset "$preset" >/dev/null
    cmake --build --preset "$preset"
    step "$preset: test"
    ctest --preset "$preset"
done

step "crash safety: saves killed at random moments, 50 native and 5 under Wine"
scripts/crash-safety.sh 50 5

step "benchmarks: build"
cmake --preset bench >/dev/null
cmake --build --preset bench --target v270_benchmarks

step "fuzzers: build and a short run"
cmake --preset fuzz >/dev/null
cmake --build --preset fuzz --target v270_fuzzers
scripts/fuzz.sh 20

step "end-to-end tests under Wine and Xvfb through the virtual mouse, two workers"
scripts/e2e.sh

step "packages: the installer and the portable zip, and the installer under Wine"
scripts/installer-check.sh

step_timer_end
echo "compiler cache: $(ccache --print-stats 2>/dev/null | awk -F'\t' \
    '$1=="direct_cache_hit"||$1=="preprocessed_cache_hit"{h+=$2} $1=="cache_miss"{m=$2}
     END{printf "%d hits, %d misses", h, m}')"
printf '\n== all tests passed\n'
