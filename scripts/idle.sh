#!/usr/bin/env bash
# Measures what the program costs while it idles: starts V270.exe under Wine against the
# simulated mouse (through the virtual mouse, scripts/lib/virtual_mouse.sh), waits for the first
# apply, gives the start signal, lets it settle, then samples the CPU time and context switches
# of every thread of V270.exe and of its wineserver over a measuring window.
#
#   scripts/idle.sh                 a 30 s window; prints a table
#   scripts/idle.sh --seconds N     an N-second window
#   scripts/idle.sh --check         exits 1 when V270.exe is over its idle budget: 0.2 % of one
#                                   core, or 20 context switches a second over all its threads
#   scripts/idle.sh --page colour   measures with the colour page shown, its LED preview playing
#                                   (the budget does not apply: it is a visible animation)
#   scripts/idle.sh --app-profiles  with per-application profiles on (a few rules in config.ini):
#                                   the foreground hook in place, nothing coming to the front
#   scripts/idle.sh --after-notice  presses the DPI button once after the start signal, so that
#                                   the on-screen notice shows and fades before the window
#   scripts/idle.sh --without-mouse starts with --tray and the mouse unplugged: the driver waits
#                                   for it in the tray
#   scripts/idle.sh --window-without-mouse
#                                   starts without --tray, "Keep running without the mouse" on,
#                                   the mouse unplugged: the driver waits with its window shown
#
# The builds come from V270_WINDOWS_BUILD and V270_NATIVE_BUILD (default build/windows and
# build/native); V270, v270-mousebridge and v270-mousesim are built when missing.
set -euo pipefail

seconds=30
check=0
page=main
settle=3
app_profiles=0
after_notice=0
without_mouse=0
while [[ $# -gt 0 ]]; do
    case "$1" in
        --seconds) seconds=$2; shift 2 ;;
        --check) check=1; shift ;;
        --page) page=$2; shift 2 ;;
        --app-profiles) app_profiles=1; shift ;;
        --after-notice) after_notice=1; shift ;;
        --without-mouse) without_mouse=1; shift ;;
        --window-without-mouse) without_mouse=2; shift ;;
        *) echo "usage: scripts/idle.sh [--seconds N] [--check] [--page main|colour] [--app-profiles] [--after-notice] [--without-mouse] [--window-without-mouse]" >&2; exit 2 ;;
    esac
done
[[ $seconds =~ ^[0-9]+$ && $seconds -gt 0 ]] || { echo "--seconds takes a whole number > 0" >&2; exit 2; }
[[ $page == main || $page == colour ]] || { echo "--page takes main or colour" >&2; exit 2; }
[[ $page == main || $check == 0 ]] || { echo "--check measures the idle main page only" >&2; exit 2; }

windows_build=$(realpath -m "${V270_WINDOWS_BUILD:-$(dirname "$0")/../build/windows}")
native_build=$(realpath -m "${V270_NATIVE_BUILD:-$(dirname "$0")/../build/native}")
cd "$(dirname "$0")/.."
source scripts/lib/packages.sh
source scripts/lib/virtual_mouse.sh
v270_install_packages

program_exe=$windows_build/program/V270.exe
simulator=$native_build/tools/mousesim/v270-mousesim
if [[ ! -x $simulator ]]; then
    [[ -f $native_build/build.ninja ]] || cmake --preset native -B "$native_build" >/dev/null
    cmake --build "$native_build" --target v270-mousesim
fi
if [[ ! -f $program_exe || ! -f $windows_build/tools/virtualmouse/v270-mousebridge.exe ]]; then
    [[ -f $windows_build/build.ninja ]] || cmake --preset windows -B "$windows_build" >/dev/null
    cmake --build "$windows_build" --target V270 v270-mousebridge
fi

# Everything started is ended on every way out, last started first.
cleanup=()
finish() {
    local i
    for ((i = ${#cleanup[@]} - 1; i >= 0; i--)); do eval "${cleanup[$i]}" >/dev/null 2>&1 || true; done
}
trap finish EXIT
trap 'exit 130' INT
trap 'exit 143' TERM HUP

fail() {
    echo "idle.sh: $*" >&2
    exit 1
}

if [[ -z "${DISPLAY:-}" ]]; then
    exec {displayfd}<> <(:)
    Xvfb -displayfd "$displayfd" -screen 0 1280x800x24 -nolisten tcp >/dev/null 2>&1 &
    cleanup+=("kill $!")
    read -r -t 30 -u "$displayfd" number || fail "Xvfb did not start"
    export DISPLAY=":$number"
fi

export WINEPREFIX=$windows_build/idle-wineprefix WINEDEBUG=-all WINEDLLOVERRIDES=mscoree,mshtml=
if [[ ! -f $WINEPREFIX/system.reg ]]; then
    echo "Preparing the Wine prefix (once)..."
    mkdir -p "$WINEPREFIX"
    wineboot --init >/dev/null 2>&1
    wineserver -w
fi

folder=$(mktemp -d /tmp/v270-idle-XXXXXX)
cleanup+=("rm -rf '$folder'")
cp -r "$windows_build/program/." "$folder"
cp data/* "$folder"
if [[ $app_profiles == 1 ]]; then
    printf '\r\n[AppProfiles]\r\nEnabled=1\r\nFallback=1\r\nRule1=name,2,editor.exe\r\n%s\r\n%s\r\n' \
        'Rule2=folder,3,C:\Games' 'Rule3=path,4,C:\Tools\viewer.exe' >>"$folder/config.ini"
fi

coproc SIM { exec "$simulator" --port 0 --control-port 0; }
sim_pid=$SIM_PID
cleanup+=("kill $sim_pid")
read -r -t 10 _ hid_port <&"${SIM[0]}" || fail "the simulator did not start"
read -r -t 10 _ control_port <&"${SIM[0]}" || fail "the simulator did not start"
exec {control}<>"/dev/tcp/127.0.0.1/$control_port"
cleanup+=("echo quit >&$control")

# One command on the control port; prints its reply.
sim() {
    local reply
    echo "$*" >&"$control"
    read -r -t 10 reply <&"$control" || fail "no reply from the simulator to '$*'"
    [[ $reply != error* ]] || fail "simulator: $*: $reply"
    echo "$reply"
}

cleanup+=("wineserver -k")
arguments=()
if [[ $without_mouse != 0 ]]; then
    sim unplug >/dev/null
fi
if [[ $without_mouse == 1 ]]; then
    arguments=(--tray)
elif [[ $without_mouse == 2 ]]; then
    printf '\r\n[Driver]\r\nKeepRunningWithoutMouse=1\r\n' >>"$folder/config.ini"
fi
v270_follow_simulator "$windows_build" "$hid_port" || fail "no virtual mouse"
(cd "$folder" && exec wine V270.exe "${arguments[@]}" >/dev/null 2>&1) &
launcher=$!
cleanup+=("kill $launcher")

# Waits up to 60 s for a command to succeed while the program runs.
wait_until() {
    local what=$1
    shift
    for _ in $(seq 600); do
        "$@" && return 0
        kill -0 "$launcher" 2>/dev/null || fail "the program ended while waiting for $what"
        sleep 0.1
    done
    fail "timed out waiting for $what"
}
window_shown() {
    xdotool search --onlyvisible --name '^VELKO V270 GAMING MOUSE$' >/dev/null 2>&1
}
first_apply_done() {
    [[ $(sim dump | grep -o '"bytes"' | wc -l) -ge 9 ]]
}
tray_shown() {
    xdotool search --onlyvisible --name '^Wine System Tray$' >/dev/null 2>&1
}
if [[ $without_mouse != 0 ]]; then
    wait_until "the tray icon" tray_shown
else
    wait_until "the main window" window_shown
    wait_until "the first apply" first_apply_done
    sim click 6 >/dev/null  # the shipped profile's host function: the start signal
fi
if [[ $after_notice == 1 ]]; then
    sim click 6 >/dev/null  # the next DPI level: the notice shows for 1.4 s, well within the settling
fi
if [[ $page == colour ]]; then
    # The colour tab, at the centre of its entry in the English layout.
    tab=$(grep -a -m1 '^11=' "$folder/skins/INI_EN/skin_main_en.ini" | tr -d '\r' | cut -d, -f2-5)
    IFS=, read -r x y width height <<<"$tab"
    window=$(xdotool search --onlyvisible --name '^VELKO V270 GAMING MOUSE$' | head -1)
    xdotool mousemove --window "$window" $((x + width / 2)) $((y + height / 2)) click 1
    xdotool mousemove --window "$window" 390 540  # off every entry: no hover repaints
fi
sleep "$settle"
[[ $app_profiles == 0 ]] || echo "Per-application profiles on: 3 rules in config.ini"

python3 - "$WINEPREFIX" "$seconds" "$check" "$settle" <<'EOF'
import os
import signal
import sys
import time

signal.signal(signal.SIGINT, lambda *_: sys.exit(130))

prefix, seconds, check, settle = sys.argv[1], int(sys.argv[2]), sys.argv[3] == "1", sys.argv[4]
TICK_MS = 1000 / os.sysconf("SC_CLK_TCK")
CPU_BUDGET = 0.2      # % of one core
SWITCH_BUDGET = 20    # context switches a second, all threads together


def read(path, mode="r"):
    try:
        with open(path, mode) as file:
            return file.read()
    except OSError:
        return None


def in_prefix(pid):
    environ = read(f"/proc/{pid}/environ", "rb") or b""
    return f"WINEPREFIX={prefix}".encode() in environ.split(b"\0")


def find(matches):
    pids = [int(p) for p in os.listdir("/proc") if p.isdigit() and matches(p)]
    return min(pids) if pids else None


program = find(lambda p: b"V270.exe" in (read(f"/proc/{p}/cmdline", "rb") or b"")
               and in_prefix(p))
server = find(lambda p: (read(f"/proc/{p}/comm") or "").startswith("wineserver") and in_prefix(p))
if program is None or server is None:
    sys.exit("idle.sh: V270.exe or its wineserver is not running")


def sample(pid):
    """{tid: (name, cpu ms, context switches, run ms)} of every thread of a process. The CPU
    time is the kernel's tick-sampled utime + stime; the run time, from schedstat, is exact and
    catches the many short runs that ticks miss."""
    try:
        tids = os.listdir(f"/proc/{pid}/task")
    except FileNotFoundError:
        sys.exit(f"idle.sh: process {pid} ended during the measuring window")
    threads = {}
    for tid in tids:
        base = f"/proc/{pid}/task/{tid}"
        stat, status, name = read(f"{base}/stat"), read(f"{base}/status"), read(f"{base}/comm")
        if stat is None or status is None:
            continue  # the thread ended meanwhile
        fields = stat.rsplit(")", 1)[1].split()
        cpu = (int(fields[11]) + int(fields[12])) * TICK_MS  # utime + stime
        switches = sum(int(line.split()[1]) for line in status.splitlines()
                       if line.startswith(("voluntary_ctxt_switches", "nonvoluntary_ctxt_switches")))
        schedstat = read(f"{base}/schedstat")
        run = int(schedstat.split()[0]) / 1e6 if schedstat else 0.0
        threads[int(tid)] = ((name or "?").strip(), cpu, switches, run)
    return threads


before = {pid: sample(pid) for pid in (program, server)}
start = time.monotonic()
time.sleep(seconds)
after = {pid: sample(pid) for pid in (program, server)}
window = time.monotonic() - start


def usage(pid):
    """[(tid, name, cpu ms, switches, run ms)] over the window, for threads alive at its end."""
    rows = []
    for tid, (name, cpu, switches, run) in sorted(after[pid].items()):
        _, cpu0, switches0, run0 = before[pid].get(tid, (name, 0, 0, 0))
        rows.append((tid, name, cpu - cpu0, switches - switches0, run - run0))
    return rows


def percent(ms):
    return 100 * ms / (window * 1000)


rows = usage(program)
print(f"V270.exe idling, {window:.1f} s measured after the start signal and {settle} s to settle")
print()
print(f"V270.exe (pid {program}), by thread:")
print(f"  {'tid':>7}  {'name':<16} {'CPU ms':>8} {'% core':>7} {'switches/s':>11} {'run ms':>8}")
for tid, name, cpu, switches, run in rows:
    new = "  (started during the window)" if tid not in before[program] else ""
    print(f"  {tid:>7}  {name:<16} {cpu:>8.0f} {percent(cpu):>7.2f} {switches / window:>11.1f}"
          f" {run:>8.1f}{new}")
ended = len(set(before[program]) - set(after[program]))
if ended:
    print(f"  ({ended} thread(s) ended during the window, not counted)")
total_cpu = percent(sum(row[2] for row in rows))
wakeups = sum(row[3] for row in rows) / window
print()
print(f"V270.exe total:   CPU {total_cpu:.2f} % of one core, {wakeups:.1f} wake-ups/s "
      f"(context switches), {len(rows)} threads")
print(f"                  scheduler run time {percent(sum(row[4] for row in rows)):.2f} % of one core")
server_rows = usage(server)
print(f"wineserver (pid {server}): CPU {percent(sum(r[2] for r in server_rows)):.2f} % of one core, "
      f"{sum(r[3] for r in server_rows) / window:.1f} switches/s, "
      f"scheduler run time {percent(sum(r[4] for r in server_rows)):.2f} %")

if check:
    print()
    failed = []
    if total_cpu >= CPU_BUDGET:
        failed.append(f"CPU {total_cpu:.2f} % of one core (budget: under {CPU_BUDGET} %)")
    if wakeups >= SWITCH_BUDGET:
        failed.append(f"{wakeups:.1f} context switches/s (budget: under {SWITCH_BUDGET}/s)")
    for line in failed:
        print(f"over the idle budget: {line}")
    if not failed:
        print("within the idle budget")
    sys.exit(1 if failed else 0)
EOF
