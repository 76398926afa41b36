#!/usr/bin/env bash
# Prints the figures of the mouse's road through the system's HID stack, measured on the shipped
# V270.exe under Wine against the virtual mouse (tests/e2e/hid_figures.py):
#
#   scripts/hid-figures.sh [--presses N] [--applies N] [--unplugs N]
#
#   press    a press on the virtual mouse to the first synthetic key event a low-level hook
#            sees (default 1000 presses)
#   apply    a click on the apply control to the last of its nine feature reports taken from
#            the driver (default 50 applies)
#   unplug   the simulator's unplug to the program's end (default 10 unplugs)
#
# Each line gives the count, p50, p99, the largest value and the mean, in milliseconds. A count
# of 0 leaves that figure out. Builds what it needs, as scripts/e2e.sh does.
set -euo pipefail
cd "$(dirname "$0")/.."
[[ -d build/native ]] || cmake --preset native >/dev/null
[[ -d build/windows ]] || cmake --preset windows >/dev/null
cmake --build build/native --target v270-mousesim >/dev/null
cmake --build build/windows --target V270 v270-keyprobe v270-e2e-helper v270-mousebridge >/dev/null
cd tests/e2e
exec python3 -W ignore::ResourceWarning hid_figures.py "$@"
