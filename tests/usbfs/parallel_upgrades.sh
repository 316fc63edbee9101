#!/bin/sh
# Run under vt520-usbfs-run --devices N: one vt520ctl upgrade process per
# unit, all at once, while another process lists the units again and again.
# Every upgrade must succeed and every unit end in its application on the
# new firmware; the listing process may find units busy or away, but never
# dies of a signal.
#   parallel_upgrades.sh VT520CTL PORT...
set -eu
ctl=$1
shift

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
VT520_LOCK_DIR="$work/locks"
export VT520_LOCK_DIR
mkdir "$VT520_LOCK_DIR"

# Firmware that no unit holds yet: four bytes at the start of the
# application region (0x08004000).
printf ':020000040800F2\n:044000001122334412\n:00000001FF\n' >"$work/new.hex"
"$ctl" make-upgrade "$work/new.hex" "$work/new.upg" >/dev/null

failed=0
for port in "$@"; do
    status=0
    "$ctl" verify "$work/new.upg" --device "$port" >/dev/null 2>&1 || status=$?
    if [ "$status" -ne 4 ]; then
        echo "$port: verify before the upgrade exited $status, not 4 (differs)"
        failed=1
    fi
done

pids=""
for port in "$@"; do
    "$ctl" upgrade "$work/new.upg" --device "$port" >"$work/upgrade-$port.out" 2>&1 &
    pids="$pids $!"
done

# The lister: at least one listing, then more until the upgrades are over.
(
    runs=0
    while :; do
        status=0
        "$ctl" list >>"$work/list.out" 2>&1 || status=$?
        runs=$((runs + 1))
        if [ "$status" -ge 128 ]; then
            echo "list run $runs ended by signal $((status - 128))"
            exit 1
        fi
        [ -e "$work/upgrades-over" ] && break
    done
    echo "$runs" >"$work/list-runs"
) &
lister=$!

for pid in $pids; do
    port=$1
    shift
    status=0
    wait "$pid" || status=$?
    if [ "$status" -ne 0 ]; then
        echo "$port: upgrade exited $status"
        cat "$work/upgrade-$port.out"
        failed=1
    fi
    set -- "$@" "$port"
done
touch "$work/upgrades-over"
if ! wait "$lister"; then
    failed=1
fi
echo "$(cat "$work/list-runs" 2>/dev/null || echo no) listings beside the upgrades"

listing=$("$ctl" list 2>&1 || true)
for port in "$@"; do
    status=0
    "$ctl" verify "$work/new.upg" --device "$port" >/dev/null 2>&1 || status=$?
    if [ "$status" -ne 0 ]; then
        echo "$port: verify after the upgrade exited $status"
        failed=1
    fi
    if ! printf '%s\n' "$listing" | grep -Eq "^$port .* application "; then
        echo "$port: not listed in its application"
        failed=1
    fi
done
if [ "$failed" -ne 0 ]; then
    printf '%s\n' "--- vt520ctl list" "$listing"
fi
exit "$failed"
