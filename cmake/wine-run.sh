#!/usr/bin/env bash
# Runs a Windows program under Wine with a prefix inside the build folder, created quietly on
# first use. The build folder is found from the program's path unless WINEPREFIX is set.
set -euo pipefail
program=$1
shift
if [[ -z "${WINEPREFIX:-}" ]]; then
    dir=$(cd "$(dirname "$program")" && pwd)
    while [[ "$dir" != / && ! -f "$dir/CMakeCache.txt" ]]; do dir=$(dirname "$dir"); done
    [[ -f "$dir/CMakeCache.txt" ]] || dir=$(cd "$(dirname "$program")" && pwd)
    export WINEPREFIX="$dir/wineprefix"
fi
export WINEDEBUG=${WINEDEBUG:--all}
export WINEDLLOVERRIDES=${WINEDLLOVERRIDES:-mscoree,mshtml=}
mkdir -p "$WINEPREFIX"
exec wine "$program" "$@"
