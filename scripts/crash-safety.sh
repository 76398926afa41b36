#!/usr/bin/env bash
# Kills the settings saver (v270-savecrash) with SIGKILL at random moments of its saves of
# config.ini and a macro file, NATIVE_RUNS times natively (the rename path) and WINE_RUNS times
# under Wine (the Windows replace path), and checks after each kill that both files hold a whole
# old or new content. Prints the counts per half; fails when a file is corrupt or unexpected.
#
#   scripts/crash-safety.sh [NATIVE_RUNS] [WINE_RUNS]      (default 1000 and 100)
set -euo pipefail
cd "$(dirname "$0")/.."
native_runs=${1:-1000}
wine_runs=${2:-100}
[[ -d build/native ]] || cmake --preset native >/dev/null
cmake --build build/native --target v270-savecrash >/dev/null
if [[ $wine_runs -gt 0 ]]; then
    [[ -d build/windows ]] || cmake --preset windows >/dev/null
    cmake --build build/windows --target v270-savecrash >/dev/null
fi
exec python3 scripts/lib/crash_safety.py "$native_runs" "$wine_runs"
