#!/usr/bin/env bash
# Runs each libFuzzer target of the fuzz preset for the given number of seconds (default 60),
# starting from the shipped settings and skin files.
set -euo pipefail
cd "$(dirname "$0")/.."
seconds=${1:-60}
corpus=build/fuzz/corpus/ini
mkdir -p "$corpus"
find skins -name '*.ini' -o -name '*.dat' 2>/dev/null | while read -r f; do cp "$f" "$corpus/"; done
[[ -f skins/../config.ini ]] && cp config.ini "$corpus/" || true
build/fuzz/tests/fuzz/fuzz_ini_reader -max_total_time="$seconds" -max_len=65536 -rss_limit_mb=1024 \
    -print_final_stats=0 "$corpus" 2>&1 | tail -n 3
