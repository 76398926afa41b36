#!/usr/bin/env bash
# Prints the time from start to the main window's first frame of the shipped V270.exe under
# Wine against the simulated mouse, at 96 DPI and at 200 % (tests/e2e/startup_figures.py):
#
#   scripts/startup-figures.sh [--starts N] [--dpi 96 192 ...]
#
# Each scale: N starts (default 7), the first left out, the median of the rest in milliseconds
# after the program's code started and after the process was created. Builds what it needs, as
# scripts/e2e.sh does. Take figures on a quiet machine: Wine's start shares the cores.
set -euo pipefail
cd "$(dirname "$0")/.."
[[ -d build/native ]] || cmake --preset native >/dev/null
[[ -d build/windows ]] || cmake --preset windows >/dev/null
cmake --build build/native --target v270-mousesim >/dev/null
cmake --build build/windows --target V270 v270-e2e-helper v270-mousebridge >/dev/null
cd tests/e2e
exec python3 -W ignore::ResourceWarning startup_figures.py "$@"
