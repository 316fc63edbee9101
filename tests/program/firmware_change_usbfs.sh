#!/usr/bin/env bash
# The shipped program, unmodified, changes the firmware of the emulated Vt520
# behind an emulated usbfs (the system's libusb-1.0 drives it), on the
# current X display: once from application mode, once from bootloader mode.
# After each change the device's state folder must hold exactly what the same
# change leaves with the emulator linked in.
# Usage: firmware_change_usbfs.sh <program> <vt520-usbfs-run> <reference_change>
set -u
program=$1 usbfs=$2 reference=$3

work=$(mktemp -d)
pid=
trap '[ -n "$pid" ] && kill "$pid" 2>/dev/null; wait 2>/dev/null; rm -rf "$work"' EXIT
fail() { echo "$*"; [ -f "$work/program.log" ] && tail -20 "$work/program.log"; exit 1; }
same() { for f in internal.bin external.bin device.ini; do cmp -s "$work/gui/$f" "$work/ref/$f" || return 1; done; }

# One change through the window: press "Firmware Change", give the file to the
# file dialog, wait until the device holds what the reference change left.
change() {
    local file=$1
    (cd "$(dirname "$program")" && LC_ALL=C LANG=C QT_QPA_PLATFORM=xcb VT520_SIM_STATE="$work/gui" XDG_CONFIG_HOME="$work/config" VT520_LOCK_DIR="$work" \
        exec "$usbfs" --virtual-clock -- "./$(basename "$program")" >"$work/program.log" 2>&1) &
    pid=$!
    local window=
    for _ in $(seq 1 200); do
        window=$(xdotool search --onlyvisible --name '^Vt520 ver' 2>/dev/null | head -1)
        [ -n "$window" ] && break
        kill -0 "$pid" 2>/dev/null || fail "the program ended before its window appeared"
        sleep 0.1
    done
    [ -n "$window" ] || fail "the main window never appeared"
    # "Firmware Change" is the one button of the Settings tab, current at
    # start: move the focus along with Tab and press Space until its file
    # dialog opens (Space does nothing on the other widgets on the way).
    xdotool windowfocus "$window" 2>/dev/null
    local dialog=
    for _ in $(seq 1 10); do
        xdotool key --window "$window" Tab space
        for _ in $(seq 1 10); do
            dialog=$(xdotool search --onlyvisible --name '^Open File' 2>/dev/null | head -1)
            [ -n "$dialog" ] && break 2
            sleep 0.1
        done
    done
    [ -n "$dialog" ] || fail "the file dialog did not open"
    # Typed once the dialog has the keyboard focus, and again (the field
    # selected first) while the dialog stays open: a completion list that
    # opened under the typing takes a Return for itself.
    local taken=
    for _ in $(seq 1 10); do
        for _ in $(seq 1 50); do
            [ "$(xdotool getwindowfocus 2>/dev/null)" = "$dialog" ] && break
            xdotool windowfocus "$dialog" 2>/dev/null
            sleep 0.1
        done
        xdotool key ctrl+a
        xdotool type --delay 2 "$file"
        xdotool key Return
        for _ in $(seq 1 30); do
            xdotool search --onlyvisible --name '^Open File' >/dev/null 2>&1 || { taken=1; break 2; }
            sleep 0.1
        done
    done
    [ -n "$taken" ] || fail "the file dialog did not take $file"
    for _ in $(seq 1 600); do
        same && break
        sleep 0.1
    done
    same || fail "the state folder differs from the reference after the change with $file"
    # The program's last wait and its disconnect end the change.
    for _ in $(seq 1 100); do
        grep -q 'USB Disconnect' "$work/program.log" && break
        sleep 0.1
    done
    kill "$pid"; wait "$pid" 2>/dev/null; pid=
    grep -q 'USB Disconnect' "$work/program.log" || fail "no USB trace from the program"
}

{ "$reference" make "$work/one.upg" 1 && "$reference" make "$work/two.upg" 2; } || fail "cannot make the upgrade files"

# A factory-fresh device in application mode, in two equal copies.
VT520_SIM_STATE="$work/ref" "$reference" change /nonexistent.upg >/dev/null 2>&1
cp -a "$work/ref" "$work/gui"
VT520_SIM_STATE="$work/ref" "$reference" change "$work/one.upg" || fail "reference change from application mode"
change "$work/one.upg"
echo "from application mode: the state folder ends as with the linked emulator"

sed -i 's/^mode=application/mode=bootloader/' "$work/ref/device.ini" "$work/gui/device.ini"
VT520_SIM_STATE="$work/ref" "$reference" change "$work/two.upg" || fail "reference change from bootloader mode"
change "$work/two.upg"
echo "from bootloader mode: the state folder ends as with the linked emulator"
