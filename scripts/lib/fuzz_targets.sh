# The libFuzzer targets of the fuzz preset, with the longest input each takes. Sourced by
# scripts/fuzz.sh and scripts/fuzz-long.sh.
#
# The lengths hold what each target needs (a profile section, a few macro records, the layout
# entries a loader reads) and keep a run at its most productive: every settings-file lookup scans
# the file, so longer inputs mostly cost runs.
V270_FUZZ_TARGETS=(
    "ini_document:4096"
    "macro_file:8192"
    "skin_layout:2048"
    "input_reports:512"
    "feature_reports:1024"
    "settings_import:8192"
    "packed_picture:4096"
)

v270_fuzz_build=build/fuzz
v270_fuzz_options=(-rss_limit_mb=2048 -timeout=10 -print_final_stats=1)

# v270_fuzz_prepare TARGET: prints the target's binary; makes its working corpus in build/fuzz,
# the committed seeds (shipped files, edge cases and every input that once broke it) first.
v270_fuzz_prepare() {
    local target=$1
    local binary=$v270_fuzz_build/tests/fuzz/fuzz_$target
    [[ -x $binary ]] || { echo "missing $binary: build the fuzz preset first" >&2; return 1; }
    mkdir -p "$v270_fuzz_build/corpus/$target" "$v270_fuzz_build/findings/$target"
    echo "$binary"
}

# v270_fuzz_run TARGET MAX_LEN LOG OPTIONS...: runs one target on its working corpus (new inputs
# go there) and its committed seeds; a crash, leak, timeout or out-of-memory input is written to
# build/fuzz/findings/TARGET. Returns libFuzzer's status.
v270_fuzz_run() {
    local target=$1 max_len=$2 log=$3
    shift 3
    local binary
    binary=$(v270_fuzz_prepare "$target") || return 1
    "$binary" "${v270_fuzz_options[@]}" -max_len="$max_len" \
        -artifact_prefix="$v270_fuzz_build/findings/$target/" "$@" \
        "$v270_fuzz_build/corpus/$target" "tests/fuzz/corpus/$target" >"$log" 2>&1
}

# v270_fuzz_stat LOG NAME: a value of libFuzzer's final statistics.
v270_fuzz_stat() {
    sed -n "s/^stat::$2: *//p" "$1" | tail -n 1
}

# v270_fuzz_coverage LOG: the edges and features of the last status line.
v270_fuzz_coverage() {
    grep -o 'cov: [0-9]* ft: [0-9]*' "$1" | tail -n 1
}
