#!/usr/bin/env bash
# Builds everything and runs every test: natively with AddressSanitizer and
# UndefinedBehaviorSanitizer, the threaded tests with ThreadSanitizer, the Windows build under
# Wine, saves killed at random moments, the fuzzers briefly, the end-to-end suite, and the
# packages with a check of the installer under Wine. Installs what is missing on Debian 12.
set -euo pipefail
cd "$(dirname "$0")/.."
source scripts/lib/packages.sh
v270_install_packages

step() { printf '\n== %s\n' "$*"; }

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
cmake --build --preset bench

step "fuzzers: build and a short run"
cmake --preset fuzz >/dev/null
cmake --build --preset fuzz
scripts/fuzz.sh 20

if [[ -x scripts/e2e.sh ]]; then
    step "end-to-end tests under Wine and Xvfb"
    scripts/e2e.sh
fi

step "packages: the installer and the portable zip, and the installer under Wine"
scripts/installer-check.sh

step "all tests passed"
