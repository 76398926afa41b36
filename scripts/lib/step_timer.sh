# Times the steps of a script: `step NAME` ends the step before and starts NAME; the table of
# the seconds each took, and the total, is printed when the script ends, pass or fail, or at
# `step_timer_end`. Sourced by scripts/test.sh.

v270_steps=()
v270_step_name=""
v270_step_started=$SECONDS
v270_run_started=$SECONDS

v270_step_close() {
    [[ -n $v270_step_name ]] &&
        v270_steps+=("$(printf '%6d s  %s' $((SECONDS - v270_step_started)) "$v270_step_name")")
    v270_step_name=""
}

step() {
    v270_step_close
    v270_step_name=$1
    v270_step_started=$SECONDS
    printf '\n== %s\n' "$1"
}

step_timer_end() {
    v270_step_close
    trap - EXIT
    printf '\n== time table\n'
    printf '%s\n' "${v270_steps[@]}"
    printf '%6d s  total\n' $((SECONDS - v270_run_started))
}

trap 'status=$?; v270_step_name+=${v270_step_name:+" (failed)"}; step_timer_end; exit $status' EXIT
