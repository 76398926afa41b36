# The virtual mouse for the scripts that run the program under Wine. Source it, then call
#   v270_follow_simulator WINDOWS_BUILD HID_PORT
# in the Wine session of $WINEPREFIX: it starts v270-mousebridge, which joins the virtual HID
# mouse to the simulator listening on HID_PORT (installing the test driver into the prefix the
# first time), and returns once the program can find the mouse. The bridge keeps the session
# alive; its "quit" is added to the caller's `cleanup` commands, which the caller runs in reverse
# order on exit.
v270_follow_simulator() {
    local bridge=$1/tools/virtualmouse/v270-mousebridge.exe port=$2 folder reply
    local driver=$1/tools/virtualmouse/v270vmouse.sys
    local installed=$WINEPREFIX/drive_c/windows/system32/drivers/v270vmouse.sys
    # A session loads the driver when it starts and keeps it: a rebuilt one replaces the
    # prefix's copy before the bridge starts the session.
    if [[ -f $installed ]] && ! cmp -s "$driver" "$installed"; then
        wineserver -k 2>/dev/null || true
        cp "$driver" "$installed"
    fi
    folder=$(mktemp -d /tmp/v270-bridge-XXXXXX)
    cleanup+=("rm -rf '$folder'")
    mkfifo "$folder/in" "$folder/out"
    wine "$bridge" <"$folder/in" >"$folder/out" 2>/dev/null &
    exec {v270_bridge_in}>"$folder/in" {v270_bridge_out}<"$folder/out"
    cleanup+=("echo quit >&$v270_bridge_in")
    read -r -t 120 reply <&"$v270_bridge_out" && [[ $reply == ready* ]] || {
        echo "the virtual mouse's bridge did not start" >&2
        return 1
    }
    echo "attach $port" >&"$v270_bridge_in"
    read -r -t 120 reply <&"$v270_bridge_out" && [[ $reply == ok* ]] || {
        echo "the virtual mouse did not follow the simulator: $reply" >&2
        return 1
    }
}
