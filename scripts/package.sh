#!/usr/bin/env bash
# Builds the program with the windows preset when needed and packs it twice, into build/package:
# V270-<version>-setup.exe, the installer (NSIS), and V270-<version>-portable.zip, the program
# folder as it runs. Both hold V270.exe and V270Cmd.exe, its command line without an elevation
# prompt (stripped of their debugging information), the skin, and
# config.ini and the macro files as they ship: the settings in build/windows/program are a
# developer's own, changed by every run there, so the shipped ones come from data/.
#
#   scripts/package.sh [OUTPUT_FOLDER]     default build/package
set -euo pipefail
cd "$(dirname "$0")/.."
source scripts/lib/packages.sh
v270_install_packages

output=$(realpath -m "${1:-build/package}")
[[ -f build/windows/build.ninja ]] || cmake --preset windows >/dev/null
cmake --build build/windows --target V270 V270Cmd >/dev/null

version=$(sed -n 's/^!define V270_VERSION "\(.*\)"$/\1/p' build/windows/generated/version.nsh)
[[ -n "$version" ]] || { echo "No version in build/windows/generated/version.nsh" >&2; exit 1; }

stage=$output/stage/V270-$version
rm -rf "$output/stage"
mkdir -p "$stage"
for program in V270 V270Cmd; do
    x86_64-w64-mingw32-strip -o "$stage/$program.exe" "build/windows/program/$program.exe"
done
cp -r build/windows/program/skins "$stage/skins"
cp data/config.ini data/Macro_EN.dat data/Macro_CN.dat "$stage"

setup=$output/V270-$version-setup.exe
portable=$output/V270-$version-portable.zip
rm -f "$setup" "$portable"
makensis -V2 -INPUTCHARSET UTF8 \
    -DPROGRAM_DIR="$stage" \
    -DVERSION_FILE="$PWD/build/windows/generated/version.nsh" \
    -DICON_FILE="$PWD/src/app/win32/res/v270.ico" \
    -DOUT_FILE="$setup" \
    installer/V270.nsi
# The zip opens into one folder named after the version; files get the time of the build.
(cd "$output/stage" && zip -q -r -X "$portable" "V270-$version")
rm -rf "$output/stage"

for file in "$setup" "$portable"; do
    printf '%s  %d bytes\n' "$file" "$(stat -c %s "$file")"
done
