#!/usr/bin/env bash
# The long run of the damaged-file sweeps: every settings, macro and skin layout file cut short
# at every byte (ctest cuts at about 50 lengths per file), with the hand-made damage and noise
# as in ctest, under AddressSanitizer and UndefinedBehaviorSanitizer. Prints the files, how many
# cuts each took, and the time of each sweep. Takes about a quarter of an hour.
#
# The build comes from V270_NATIVE_BUILD (default build/native); the two test programs are
# built when missing or stale.
set -euo pipefail

native_build=$(realpath -m "${V270_NATIVE_BUILD:-$(dirname "$0")/../build/native}")
cd "$(dirname "$0")/.."
source scripts/lib/packages.sh
v270_install_packages

if [[ ! -f $native_build/build.ninja ]]; then
    cmake --preset native >/dev/null
fi
cmake --build "$native_build" -j2 --target damaged_settings_tests damaged_skin_tests >/dev/null

printf '%-34s %8s\n' "file" "cuts"
for file in data/config.ini data/Macro_EN.dat data/Macro_CN.dat skins/INI_EN/*.ini skins/INI_CN/*.ini; do
    printf '%-34s %8d\n' "$file" "$(stat -c %s "$file")"
done
echo "(and data/config.ini as UTF-16LE, twice its size plus 2, and an exported settings file"
echo " made from it; skins/INI_*/defMacro.dat are the same bytes as data/Macro_*.dat)"

log=$(mktemp)
trap 'rm -f "$log"' EXIT
status=0
for test in settings/damaged_settings_tests ui/damaged_skin_tests; do
    printf '\n== %s, cut at every byte\n' "$test"
    V270_CUT_EVERY_BYTE=1 "$native_build/tests/$test" >"$log" 2>&1 || status=1
    grep -E '^\[ +(OK|FAILED) +\]|^\[  PASSED|tests? ran' "$log" || true
    [[ $status -eq 0 ]] || tail -n 40 "$log"
done
exit $status
