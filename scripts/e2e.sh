#!/usr/bin/env bash
# Runs the end-to-end tests: the real V270.exe under Wine on Xvfb against the simulated mouse, in
# two workers side by side (tests/e2e/run_e2e.py; -j N for another number, -k PATTERN and test
# names to run some). Expects the native and windows presets built (scripts/test.sh does that
# first); builds the few targets the tests need if they are missing.
set -euo pipefail
cd "$(dirname "$0")/.."
[[ -d build/native ]] || cmake --preset native >/dev/null
[[ -d build/windows ]] || cmake --preset windows >/dev/null
cmake --build build/native --target v270-mousesim
cmake --build build/windows --target V270 v270-keyprobe v270-e2e-helper v270-planted-dll \
    v270-front-window
cd tests/e2e
exec python3 -W ignore::ResourceWarning run_e2e.py "$@"
