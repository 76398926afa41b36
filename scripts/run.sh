#!/usr/bin/env bash
# Builds the program and starts it under Wine against the simulated mouse, on Xvfb when there is
# no display. The program finds the mouse through the system's HID stack, where the virtual mouse
# (tools/virtualmouse) presents the simulator. Type simulator commands at the prompt (press 6,
# release 6, click 6, unplug, plug, dump, help); "quit" ends both.
#
#   scripts/run.sh                       run, with the settings kept in build/windows/program
#   scripts/run.sh --chinese             the same with the Chinese interface
#   scripts/run.sh --screenshot FILE     start fresh, save a PNG of the main window, end
set -euo pipefail
cd "$(dirname "$0")/.."
source scripts/lib/packages.sh
source scripts/lib/virtual_mouse.sh

screenshot=""
language=""
while [[ $# -gt 0 ]]; do
    case "$1" in
        --screenshot) screenshot=$(realpath -m "$2"); shift 2 ;;
        --chinese) language=0; shift ;;
        --english) language=1; shift ;;
        *) echo "usage: scripts/run.sh [--chinese|--english] [--screenshot FILE]" >&2; exit 2 ;;
    esac
done

v270_install_packages
for preset in native windows; do
    [[ -f build/$preset/build.ninja ]] || cmake --preset "$preset" >/dev/null
done
cmake --build build/native --target v270-mousesim >/dev/null
cmake --build build/windows --target V270 v270-e2e-helper v270-mousebridge >/dev/null

cleanup=()
finish() {
    local i
    for ((i = ${#cleanup[@]} - 1; i >= 0; i--)); do eval "${cleanup[$i]}" 2>/dev/null || true; done
}
trap finish EXIT

if [[ -z "${DISPLAY:-}" || -n "$screenshot" ]]; then
    exec {displayfd}<> <(:)
    Xvfb -displayfd "$displayfd" -screen 0 1280x800x24 -nolisten tcp >/dev/null 2>&1 &
    cleanup+=("kill $!")
    read -r -u "$displayfd" number
    export DISPLAY=":$number"
fi

export WINEPREFIX=$PWD/build/windows/run-wineprefix WINEDEBUG=-all WINEDLLOVERRIDES=mscoree,mshtml=
if [[ ! -f $WINEPREFIX/.v270-fonts ]]; then
    echo "Preparing the Wine prefix (once)..."
    mkdir -p "$WINEPREFIX"
    wineboot --init >/dev/null 2>&1
    # Chinese text is drawn in a font that ships with Debian.
    printf 'Windows Registry Editor Version 5.00\r\n\r\n[HKEY_LOCAL_MACHINE\\Software\\Microsoft\\Windows NT\\CurrentVersion\\FontSubstitutes]\r\n"宋体"="WenQuanYi Micro Hei"\r\n"SimSun"="WenQuanYi Micro Hei"\r\n' |
        iconv -f UTF-8 -t UTF-16LE | { printf '\xff\xfe'; cat; } > "$WINEPREFIX/fonts.reg"
    wine regedit /S "$WINEPREFIX/fonts.reg" >/dev/null 2>&1
    wineserver -w
    touch "$WINEPREFIX/.v270-fonts"
fi
cleanup+=("wineserver -k")

program=build/windows/program
if [[ -n "$screenshot" ]]; then
    program=$(mktemp -d)
    cleanup+=("rm -rf '$program'")
    cp -r build/windows/program/. "$program"
    cp data/* "$program"
fi
if [[ -n "$language" ]]; then
    sed -i "s/^VER_SEL=.*/VER_SEL=$language\r/" "$program/config.ini"
fi

coproc SIM { exec build/native/tools/mousesim/v270-mousesim --port 0 --control-port 0; }
cleanup+=("echo quit >&${SIM[1]}")
read -r _ hid_port <&"${SIM[0]}"
read -r _ control_port <&"${SIM[0]}"
v270_follow_simulator build/windows "$hid_port"

(cd "$program" && exec wine V270.exe >/dev/null 2>&1) &
program_pid=$!
cleanup+=("kill $program_pid 2>/dev/null")

helper=build/windows/tools/e2ehelper/v270-e2e-helper.exe
window=""
for _ in $(seq 600); do
    window=$(xdotool search --name '^VELKO V270' 2>/dev/null | head -n1 || true)
    [[ -n "$window" ]] && break
    kill -0 "$program_pid" 2>/dev/null || break
    sleep 0.1
done
if [[ -z "$window" ]]; then
    echo "The program did not open its window." >&2
    exit 1
fi

if [[ -n "$screenshot" ]]; then
    # The first frames are painted once the profile is applied; wait for a picture that is not
    # all black.
    for _ in $(seq 300); do
        import -window "$window" "$screenshot" 2>/dev/null || true
        mean=$(convert "$screenshot" -format '%[fx:mean]' info: 2>/dev/null || echo 0)
        awk "BEGIN { exit !($mean > 0.05) }" && break
        sleep 0.1
    done
    echo "Saved $screenshot"
    wine "$helper" close >/dev/null 2>&1 || true
    wait "$program_pid" 2>/dev/null || true
    exit 0
fi

echo "VELKO V270 runs on display $DISPLAY against the simulated mouse."
echo "Simulator commands: press N, release N, click N (N = 1..6), unplug, plug, dump, help; quit ends."
while kill -0 "$program_pid" 2>/dev/null; do
    read -r -p "mouse> " line || break
    [[ -z "$line" ]] && continue
    echo "$line" >&"${SIM[1]}"
    [[ "$line" == quit ]] && break
    read -r reply <&"${SIM[0]}" && echo "$reply"
done
if kill -0 "$program_pid" 2>/dev/null; then
    wine "$helper" close >/dev/null 2>&1 || true
    wait "$program_pid" 2>/dev/null || true
fi
