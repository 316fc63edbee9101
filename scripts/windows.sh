#!/usr/bin/env bash
# Cross-builds the Windows programs with mingw-w64 into build/windows:
# vt520-config.exe, vt520ctl.exe, the core libraries, the emulator (put
# beside the programs as libusb-1.0.dll) and the tests that need neither
# usbfs nor X11.
#   scripts/windows.sh [TARGET...]   builds (default: all of the above)
#   scripts/windows.sh --test        builds, then under Wine: the tests, the
#                                    command line against the Linux build on
#                                    the emulated unit, the window on Xvfb
#                                    (screenshot), and the packages (ZIP and
#                                    installer) in build/windows/packages
# The toolchain (Qt 6.4.2 and libusb-1.0 built for mingw-w64, made by
# packaging/windows/build-toolchain.sh) comes as a tar.xz from the folder
# $VT520_WINDOWS_TOOLCHAIN (default ../shared/toolchains beside the
# repository) and is unpacked once into build/windows-toolchain.
#   scripts/windows.sh --has-toolchain   exits 0 when the toolchain is there
# Exits 77 when the toolchain is not there. --test compares with the Linux
# programs of build/test, building them there when missing.
set -euo pipefail
here="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)"
root="$(dirname "$here")"
build="${VT520_BUILD_DIR:-$root/build}"
jobs="${VT520_JOBS:-$(nproc 2>/dev/null || echo 2)}"
toolchain_folder="${VT520_WINDOWS_TOOLCHAIN:-$root/../shared/toolchains}"
archive="$toolchain_folder/qt6.4.2-mingw-w64-x86_64.tar.xz"
unpacked="$build/windows-toolchain"
prefix="$unpacked/qt6-mingw"
windows="$build/windows"

# The tests that run under Wine: the core's, on files and on the emulator
# linked in. The others need usbfs, X11, /proc or POSIX signals.
tests=(
    test_hexdump test_scrambling test_serialstringdecoder test_usbvt350
    test_hextobin test_upgradefile test_bootloaderimage test_failuretext test_upgrader_sequence
    test_sceneclip test_lightingdocument test_filekind test_lightingtransfer
)
# Only what the stage runs or packs: the programs, the emulator beside them
# as libusb-1.0.dll with the DLLs they need, the manual page the package
# carries, and the tests above.
targets=(vt520ctl vt520-config vt520ctl-manpage vt520-windows-test-folder "${tests[@]}")

run_tests=0
if [ "${1:-}" = "--test" ]; then
    run_tests=1
    shift
elif [ "${1:-}" = "--has-toolchain" ]; then
    [ -f "$archive" ] || exit 77
    exit 0
fi
[ $# -gt 0 ] && targets=("$@")

if [ ! -f "$archive" ]; then
    echo "no Windows toolchain: $archive is missing (set VT520_WINDOWS_TOOLCHAIN)"
    exit 77
fi
# shellcheck source=scripts/deps.sh
source "$here/deps.sh"
vt520_install_packages "${vt520_windows_packages[@]}"

# Unpacked again only when the archive changes.
stamp="$(stat -c '%s %Y' "$archive")"
if [ ! -f "$prefix/.unpacked" ] || [ "$(cat "$prefix/.unpacked")" != "$stamp" ]; then
    echo "Unpacking the Windows toolchain into $unpacked"
    rm -rf "$unpacked"
    mkdir -p "$unpacked"
    tar -xf "$archive" -C "$unpacked"
    echo "$stamp" >"$prefix/.unpacked"
fi
# The project's own toolchain file, beside the Qt it names.
cp "$root/packaging/windows/toolchain-mingw.cmake" "$prefix/toolchain-mingw.cmake"

launcher=()
if command -v ccache >/dev/null; then
    launcher=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache)
fi
cmake -S "$root" -B "$windows" -DCMAKE_TOOLCHAIN_FILE="$prefix/toolchain-mingw.cmake" \
      -DCMAKE_BUILD_TYPE=Release -DCMAKE_CXX_FLAGS=-Werror -DVT520_BUILD_BENCH=OFF \
      -DCMAKE_CROSSCOMPILING_EMULATOR=wine "${launcher[@]}" >/dev/null
cmake --build "$windows" -j "$jobs" --target "${targets[@]}"
[ "$run_tests" = "1" ] || exit 0

# Wine in a prefix of its own inside the build folder, quiet, without the
# Mono and Gecko installers it would offer; made once, with a time limit.
export WINEPREFIX="$windows/wine" WINEARCH=win64 WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
if [ ! -f "$WINEPREFIX/system.reg" ]; then
    echo "Making the Wine prefix $WINEPREFIX"
    rm -rf "$WINEPREFIX"
    timeout 300 wineboot -i >/dev/null 2>&1 || { echo "wineboot failed or took over 300 s"; exit 1; }
    timeout 120 wineserver -w || true
fi
trap 'timeout 60 wineserver -k 2>/dev/null || true' EXIT

echo "-- the tests under Wine"
pattern="^($(IFS='|'; echo "${tests[*]}"))\$"
if ! (cd "$windows" && QT_QPA_PLATFORM=offscreen ctest --output-on-failure -j "$jobs" -R "$pattern"); then
    # Now and then Wine fails to start a program at all: no output, no time
    # taken. The same tests pass on Linux in the stages before; one that
    # fails here again is a real failure.
    echo "-- the tests under Wine that failed, once more"
    (cd "$windows" && QT_QPA_PLATFORM=offscreen ctest --output-on-failure --rerun-failed)
fi

echo "-- vt520ctl.exe against the Linux vt520ctl on the emulated unit"
linux="$build/test"
if [ ! -x "$linux/bin/vt520ctl" ] || [ ! -f "$linux/lib/libvt520sim.so" ] || [ ! -x "$linux/bin/screengrab" ]; then
    cmake -S "$root" -B "$linux" -DCMAKE_BUILD_TYPE=Release -DCMAKE_CXX_FLAGS=-Werror >/dev/null
    cmake --build "$linux" -j "$jobs" --target vt520ctl vt520sim screengrab
fi
check="$windows/check"
rm -rf "$check"
mkdir -p "$check/linux" "$check/windows"
printf ':020000040800F2\n:044000001122334412\n:00000001FF\n' >"$check/firmware.hex"
for byte in $(seq 0 255) $(seq 0 255); do
    printf '%b' "\\0$(printf %03o "$byte")"
done >"$check/bytes.bin"
# The same commands on each side, each on a new emulated unit whose state
# lands in unit/; the outputs and the states must be the same bytes.
linux_ctl() { LD_PRELOAD="$linux/lib/libvt520sim.so" "$linux/bin/vt520ctl" "$@"; }
windows_ctl() { wine "$windows/bin/vt520ctl.exe" "$@"; }
run_side() {
    local side=$1
    cd "$check/$side"
    export VT520_SIM_STATE="$check/$side/unit" VT520_LOCK_DIR="$check/$side"
    local ctl="${side}_ctl"
    "$ctl" make-upgrade ../firmware.hex firmware.upg >/dev/null
    "$ctl" upgrade firmware.upg --quiet
    "$ctl" verify firmware.upg --quiet >/dev/null
    "$ctl" programs get before.pgm --quiet
    "$ctl" programs set before.pgm --quiet
    "$ctl" programs get after.pgm --quiet
    # Every byte value, line ends included, through the flash and back.
    "$ctl" write-flash 0x14000 ../bytes.bin --quiet
    "$ctl" read-flash 0x14000 512 --output - >flash.bin
    "$ctl" info firmware.upg >info.txt
    # The document's times are the run's own; everything else must agree.
    "$ctl" list --json | python3 -c 'import json, sys
units = json.load(sys.stdin)
for unit in units:
    unit.pop("startedAt", None)
    unit.pop("endedAt", None)
json.dump(units, sys.stdout, indent=1, sort_keys=True)' >list.json
    "$ctl" --help >help.txt
    rm -f ./*.lock
}
for side in linux windows; do
    echo "$side"
    (run_side "$side")
done
if ! diff -r "$check/linux" "$check/windows"; then
    echo "vt520ctl.exe left other files or unit state than vt520ctl (above)"
    exit 1
fi
echo "the same files and unit state on both"

echo "-- vt520-config.exe on Xvfb"
# The Wine server of the runs above started without a display; the window
# needs one started on Xvfb.
timeout 60 wineserver -k 2>/dev/null || true
timeout 60 wineserver -w 2>/dev/null || true
shot="$windows/screenshots/vt520-config-wine.png"
rm -f "$shot"
mkdir -p "$(dirname "$shot")"
# shellcheck disable=SC2016
xvfb-run -a -s "-screen 0 1280x1024x24" bash -c '
    cd "$1"
    VT520_SIM_STATE="$4/window-unit" QT_QPA_PLATFORM=windows wine ./vt520-config.exe >"$4/window.log" 2>&1 &
    pid=$!
    for _ in $(seq 1 600); do
        if ! kill -0 "$pid" 2>/dev/null; then
            echo "vt520-config.exe ended before its window appeared:"; cat "$4/window.log"; exit 1
        fi
        if xwininfo -root -tree 2>/dev/null | grep -q "\"Vt520 ver\. "; then
            sleep 2   # let it paint
            QT_QPA_PLATFORM=xcb "$2" "$3" || { echo "screenshot failed"; exit 1; }
            exit 0
        fi
        sleep 0.2
    done
    echo "the window never appeared"; cat "$4/window.log"; exit 1
' _ "$windows/bin" "$linux/bin/screengrab" "$shot" "$check"
echo "window up; screenshot in $shot"

echo "-- the packages"
packages="$windows/packages"
rm -rf "$packages"
if ! (cd "$windows" && cpack -B "$packages" >"$windows/cpack.log" 2>&1); then
    cat "$windows/cpack.log"
    exit 1
fi
for package in "$packages"/vt520-config-*-windows-x86_64.zip "$packages"/vt520-config-*-windows-x86_64.exe; do
    [ -f "$package" ] || { echo "no package $package"; exit 1; }
    echo "${package##*/}: $(stat -c %s "$package") bytes"
done
# The ZIP's own vt520ctl.exe on its real libusb-1.0.dll: it starts with the
# DLLs the package holds, and Wine gives it no USB device.
unzipped="$windows/unzipped"
rm -rf "$unzipped"
mkdir -p "$unzipped"
(cd "$unzipped" && unzip -q "$packages"/vt520-config-*-windows-x86_64.zip)
ctl_from_zip=("$unzipped"/vt520-config-*-windows-x86_64/bin/vt520ctl.exe)
wine "${ctl_from_zip[0]}" --version
status=0
wine "${ctl_from_zip[0]}" list >/dev/null 2>&1 || status=$?
if [ "$status" != "3" ]; then
    echo "the packaged vt520ctl.exe list exited $status, not 3 (no Vt520)"
    exit 1
fi
