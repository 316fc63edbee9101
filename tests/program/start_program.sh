#!/usr/bin/env bash
# Starts the real program on an emulated device on the current X display,
# waits for its main window and saves a screenshot of the screen.
# Usage: start_program.sh <program> <emulator library> <screengrab> <output.png>
set -u
program=$1 emulator=$2 grab=$3 shot=$4

state=$(mktemp -d)
trap 'kill "$pid" 2>/dev/null; wait "$pid" 2>/dev/null; rm -rf "$state"' EXIT

cd "$(dirname "$program")" || exit 1   # the program looks its catalogues up here
LC_ALL=C LANG=C VT520_SIM_STATE="$state/device" XDG_CONFIG_HOME="$state/config" QT_QPA_PLATFORM=xcb \
    LD_PRELOAD="$emulator" "./$(basename "$program")" >"$state/program.log" 2>&1 &
pid=$!

for _ in $(seq 1 300); do
    if ! kill -0 "$pid" 2>/dev/null; then
        echo "the program ended before its window appeared:"; cat "$state/program.log"
        exit 1
    fi
    if xwininfo -root -tree 2>/dev/null | grep -q '"Vt520 ver. 1.03"'; then
        sleep 1   # let it paint
        mkdir -p "$(dirname "$shot")"
        QT_QPA_PLATFORM=xcb "$grab" "$shot" || { echo "screenshot failed"; exit 1; }
        echo "window up; screenshot in $shot"
        exit 0
    fi
    sleep 0.1
done
echo "the main window never appeared"
cat "$state/program.log"
exit 1
