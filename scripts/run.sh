#!/usr/bin/env bash
# Builds the program in Release and starts it on a persistent emulated Vt520.
# VT520_REAL_DEVICE=1 starts it on the real USB bus instead.
# scripts/run.sh --cli ARGS runs vt520ctl ARGS the same way.
# VT520_USBFS=1 puts the emulated Vt520 behind an emulated usbfs (umockdev), so
# that the program's own libusb-1.0 drives it as a real device.
set -euo pipefail
here="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)"
root="$(dirname "$here")"

# The build folder both ways use. A folder configured without the emulator
# (VT520_BUILD_SIM=OFF, as a package build might have left it) would have no
# vt520sim to build and preload: it is configured again with the emulator.
build="$root/build/release"
configure_release_build() {
    if grep -qs '^VT520_BUILD_SIM:BOOL=OFF$' "$build/CMakeCache.txt"; then
        echo "$build was configured without the emulator; configuring it with the emulator" >&2
    fi
    cmake -S "$root" -B "$build" -DCMAKE_BUILD_TYPE=Release -DVT520_BUILD_SIM=ON \
        -DVT520_BUILD_TESTS=OFF -DVT520_BUILD_BENCH=OFF >/dev/null
}

# --cli ARGS: the command-line tool vt520ctl on the same emulated device(s)
# instead of the window; no display needed. VT520_SIM_UNITS=N gives N units.
if [ "${1:-}" = "--cli" ]; then
    shift
    # shellcheck source=scripts/deps.sh
    source "$here/deps.sh"
    # shellcheck disable=SC2119 # the build's own packages only
    vt520_install_packages
    configure_release_build
    cmake --build "$build" -j "$(nproc 2>/dev/null || echo 2)" --target vt520ctl vt520sim >/dev/null
    [ "${VT520_REAL_DEVICE:-0}" = "1" ] && exec "$build/bin/vt520ctl" "$@"
    export VT520_SIM_STATE="${VT520_SIM_STATE:-$root/build/emulated-device}"
    LD_PRELOAD="$build/lib/libvt520sim.so" exec "$build/bin/vt520ctl" "$@"
fi

# shellcheck source=scripts/deps.sh
source "$here/deps.sh"

# Installed first, so that the hint below names a program that is there.
# shellcheck disable=SC2119 # the build's own packages only
vt520_install_packages
if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ]; then
    echo "No display found; start it under a virtual one: xvfb-run -a scripts/run.sh" >&2
    exit 1
fi

configure_release_build
cmake --build "$build" -j "$(nproc 2>/dev/null || echo 2)"

# The program looks its catalogues up in the current directory.
cd "$build/bin"
if [ "${VT520_REAL_DEVICE:-0}" = "1" ]; then
    exec ./vt520-config "$@"
fi
export VT520_SIM_STATE="${VT520_SIM_STATE:-$root/build/emulated-device}"
echo "Emulated Vt520 keeps its state in $VT520_SIM_STATE"
if [ "${VT520_USBFS:-0}" = "1" ]; then
    exec ./vt520-usbfs-run -- ./vt520-config "$@"
fi
LD_PRELOAD="$build/lib/libvt520sim.so" exec ./vt520-config "$@"
