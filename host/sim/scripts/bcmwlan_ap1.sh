#!/bin/sh
# Platform radio script of the simulated device.
#   start: runs the generated radio script with the radio utility, the AP's MAC address and, in
#          AP-plus-station mode (uci wlan.basic_setting.wisp_status = 1), the station's MAC
#          address; succeeds when no radio command of the script failed and the AP is up.
#   stop:  takes the radio down.

WL=wlarm
AP_SCRIPT=/usr/bin/bcmApSet.sh
APSTA_SCRIPT=/usr/bin/bcmApStaSet.sh
STATE_DIR=/var/run/wlarm

log() {
    echo "bcmwlan_ap1.sh: $*" >&2
}

station_mode() {
    [ "$(uci get wlan.basic_setting.wisp_status 2>/dev/null)" = "1" ]
}

# The station interface's address: the AP's with the lowest bit of the last octet flipped.
station_mac() {
    printf '%s:%02X\n' "${1%:*}" $((0x${1##*:} ^ 1))
}

start() {
    ap_mac=$("$WL" perm_etheraddr) || return 1
    if station_mode; then
        script=$APSTA_SCRIPT
        ap_bss=1
        set -- "$ap_mac" "$(station_mac "$ap_mac")"
    else
        script=$AP_SCRIPT
        ap_bss=0
        set -- "$ap_mac"
    fi
    if [ ! -f "$script" ]; then
        log "$script is missing"
        return 1
    fi
    if [ ! -x "$script" ]; then
        log "$script is not executable"
        return 1
    fi
    if ! sh -n "$script"; then
        log "$script does not parse"
        return 1
    fi
    mkdir -p "$STATE_DIR" || return 1
    errors=$(mktemp "$STATE_DIR/start-errors.XXXXXX") || return 1
    # Every wlarm call of the script that fails (but the autochannel polls, which are expected
    # to fail for a while) leaves a line in $errors. The script's own status is that of its last
    # command (the AP-plus-station script ends by starting the supplicant), so it is not used.
    WLARM_SIM_ERRORS=$errors "$script" "$WL" "$@"
    rc=$?
    if [ -s "$errors" ]; then
        log "$script failed (status $rc):"
        cat "$errors" >&2
        rm -f "$errors"
        return 1
    fi
    rm -f "$errors"
    if [ "$("$WL" isup)" != 1 ] || [ "$("$WL" bss -C "$ap_bss")" != up ]; then
        log "the AP is not up after $script (status $rc)"
        return 1
    fi
    return 0
}

stop() {
    "$WL" down
}

case "$1" in
start) start ;;
stop) stop ;;
*)
    echo "usage: $0 start|stop" >&2
    exit 1
    ;;
esac
