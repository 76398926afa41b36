#!/usr/bin/env bash
# Builds the installer and the portable zip (scripts/package.sh) and checks the installer under
# Wine in a fresh prefix (tests/e2e/installer_check.py): silent install, the installed program
# against the simulated mouse, which the virtual mouse (tools/virtualmouse) presents through the
# system's HID stack, install over it, silent uninstall, the settings kept. Prints the package
# sizes and the time the check took.
#
#   scripts/installer-check.sh [--screenshots FOLDER]    also save the installed about box
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/package.sh
[[ -f build/native/build.ninja ]] || cmake --preset native >/dev/null
cmake --build build/native --target v270-mousesim >/dev/null
cmake --build build/windows --target v270-e2e-helper v270-mousebridge >/dev/null
version=$(sed -n 's/^!define V270_VERSION "\(.*\)"$/\1/p' build/windows/generated/version.nsh)
setup=$PWD/build/package/V270-$version-setup.exe
args=()
[[ $# -ge 2 && $1 == --screenshots ]] && args=(--screenshots "$(realpath -m "$2")")
cd tests/e2e
exec python3 -W ignore::ResourceWarning installer_check.py --setup "$setup" --version "$version" \
    "${args[@]}"
