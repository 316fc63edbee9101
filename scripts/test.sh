#!/usr/bin/env bash
# Builds everything and runs every test:
#   0. the lint stage (scripts/lint.sh): clang-format, codespell, shellcheck;
#   1. the whole suite in a normal build, then the two Debian packages built
#      from it and checked;
#   2. the whole suite again under AddressSanitizer + UndefinedBehaviorSanitizer
#      (leaks reported);
#   3. the threaded tests under ThreadSanitizer;
#   4. a short run of every fuzz target (skipped where clang is missing; the
#      saved corpora are replayed by the normal suite in any case);
#   5. the Windows stage (scripts/windows.sh --test): the cross-built
#      programs and core tests under Wine, vt520ctl.exe against the Linux
#      vt520ctl on the emulated unit, the window on Xvfb, the ZIP and the
#      installer; skipped, saying so, where the Windows toolchain is
#      missing.
# The sanitizer and fuzzing builds run in the background at the lowest
# priority while the stage before them tests, on the processor time its
# waits leave over; each stage then waits for its build.
# The normal and sanitizer builds treat warnings as errors (-Werror; the
# CMake files leave it out, so that a plain build with a newer compiler is
# not stopped by a new warning). Exits non-zero on any failure or sanitizer report.
# VT520_QUICK=1 runs steps 0 and 1 only. VT520_LINT=0 leaves step 0 out, for
# a local run while sources are half edited (CI always runs it).
# VT520_BUILD_DIR puts the build folders elsewhere than build/.
set -euo pipefail
here="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)"
root="$(dirname "$here")"
build="${VT520_BUILD_DIR:-$root/build}"
# shellcheck source=scripts/deps.sh
source "$here/deps.sh"
# Everything the stages install, now: the later stages' builds run in the
# background, side by side, and two package installs must never meet.
windows_toolchain=0
"$here/windows.sh" --has-toolchain && windows_toolchain=1
later_packages=()
if [ "${VT520_QUICK:-0}" != "1" ]; then
    later_packages+=("${vt520_fuzz_packages[@]}")
    [ "$windows_toolchain" = "1" ] && later_packages+=("${vt520_windows_packages[@]}")
fi
vt520_install_packages "${later_packages[@]}"

jobs="$(nproc 2>/dev/null || echo 2)"
export QT_QPA_PLATFORM=offscreen

# Each stage's heading says when it started, counted from the script's start.
step() { printf '\n==== %s (at %d s) ====\n' "$*" "$SECONDS"; }

# A build for a later stage, started now in the background at the lowest
# priority, its output kept in NAME.log; wait_for NAME prints the output
# and fails when the build failed.
declare -A background=()
in_background() {
    local name=$1
    shift
    printf -- '---- %s build started in the background (at %d s) ----\n' "$name" "$SECONDS"
    (
        renice -n 19 -p "$BASHPID" >/dev/null
        "$@"
    ) >"$build/$name.log" 2>&1 &
    background[$name]=$!
}
# A stage that fails ends the builds still running behind it.
kill_tree() {
    local child children
    children=$(cat /proc/"$1"/task/*/children 2>/dev/null || true)
    for child in $children; do
        kill_tree "$child"
    done
    kill "$1" 2>/dev/null || true
}
end_background() {
    local pid
    for pid in "${background[@]}"; do
        kill_tree "$pid"
    done
}
trap end_background EXIT
wait_for() {
    local name=$1 status=0
    wait "${background[$name]}" || status=$?
    unset "background[$name]"
    printf -- '---- %s build, from the background (done at %d s) ----\n' "$name" "$SECONDS"
    cat "$build/$name.log"
    [ "$status" -eq 0 ] || { echo "the $name build failed"; exit 1; }
}

asan_build() {
    cmake -S "$root" -B "$build/asan" -DCMAKE_BUILD_TYPE=Debug -DVT520_SANITIZE=address \
          -DVT520_BUILD_BENCH=OFF -DCMAKE_CXX_FLAGS=-Werror >/dev/null
    cmake --build "$build/asan" -j "$jobs"
}

threaded='transport_threads|upgrader|close_during|gang_change'
tsan_build() {
    cmake -S "$root" -B "$build/tsan" -DCMAKE_BUILD_TYPE=Debug -DVT520_SANITIZE=thread \
          -DVT520_BUILD_BENCH=OFF -DCMAKE_CXX_FLAGS=-Werror >/dev/null
    local targets
    targets=$(cd "$build/tsan" && ctest -N -R "$threaded" | sed -n 's/^ *Test *#[0-9]*: *//p')
    [ -n "$targets" ] || { echo "no threaded tests found"; return 1; }
    # shellcheck disable=SC2086
    cmake --build "$build/tsan" -j "$jobs" --target $targets
}

# The fuzzing build, then the ThreadSanitizer one: the later stages' builds,
# made while the AddressSanitizer tests run.
later_builds() {
    if [ -x "$here/fuzz.sh" ]; then
        "$here/fuzz.sh" --build-only
    fi
    tsan_build
}

if [ "${VT520_LINT:-1}" != "0" ]; then
    step "lint"
    "$here/lint.sh"
fi

step "normal build"
cmake -S "$root" -B "$build/test" -DCMAKE_BUILD_TYPE=Release -DCMAKE_CXX_FLAGS=-Werror >/dev/null
cmake --build "$build/test" -j "$jobs"
mkdir -p "$build"
if [ "${VT520_QUICK:-0}" != "1" ]; then
    in_background asan asan_build
fi
(cd "$build/test" && ctest --output-on-failure -j "$jobs")

step "Debian packages"
# The normal build makes the packages as README.md describes: only the
# components "program" and "ctl" go in, so the emulator and the tests built
# here stay out.
packages="$build/test/packages"
rm -rf "$packages"
if ! (cd "$build/test" && cpack -G DEB -B "$packages" >"$build/test/cpack.log" 2>&1); then
    cat "$build/test/cpack.log"
    exit 1
fi
check_package() {
    local name=$1 program=$2
    local debs=("$packages/${name}"_*.deb)
    if [ ! -f "${debs[0]}" ] || [ ${#debs[@]} -ne 1 ]; then
        echo "no package $name in $packages"
        exit 1
    fi
    local contents
    contents=$(dpkg-deb -c "${debs[0]}")
    grep -q "\./usr/bin/$program\$" <<<"$contents" || { echo "$name does not hold /usr/bin/$program"; exit 1; }
    if grep -Ei 'vt520sim|usbfs-run|/test_|_benchmark|fuzz' <<<"$contents"; then
        echo "$name holds the emulator, tests or benchmarks"
        exit 1
    fi
    echo "${debs[0]##*/}: Depends: $(dpkg-deb -f "${debs[0]}" Depends)"
}
check_package vt520-config vt520-config
check_package vt520ctl vt520ctl
# The command-line package must install on a machine without a display.
ctl_depends=$(dpkg-deb -f "$packages"/vt520ctl_*.deb Depends)
gui='libqt6(gui|widgets|opengl|xcb)|qt6-qpa|lib(gl1|gl-|egl|opengl|glx|x11|xcb|xkb|wayland|fontconfig|freetype)'
if grep -Eio "($gui)[^,]*" <<<"$ctl_depends"; then
    echo "vt520ctl depends on a GUI library (above)"
    exit 1
fi
# Both packages pass lintian without an error or a warning; a tag that does
# not apply is overridden in packaging/debian/lintian-overrides, with its
# reason.
for deb in "$packages"/*.deb; do
    if ! lintian --fail-on error,warning "$deb"; then
        echo "lintian: ${deb##*/} has errors or warnings (above)"
        exit 1
    fi
done

if [ "${VT520_QUICK:-0}" = "1" ]; then
    exit 0
fi

step "AddressSanitizer + UndefinedBehaviorSanitizer"
wait_for asan
in_background later later_builds
(
    cd "$build/asan"
    # The program under Xvfb preloads the emulator, which cannot come before
    # the sanitizer runtime; it runs in the normal build only. So does the
    # program's firmware change through usbfs: the usbfs_* cases run that
    # layer under the sanitizer here. The shell of the parallel upgrades
    # does not start with the sanitizer's runtime preloaded; its vt520ctl
    # processes run in the normal build.
    ctest --output-on-failure -j "$jobs" -E 'program_window_under_xvfb|program_firmware_change_usbfs|usbfs_parallel_upgrades'
)

step "ThreadSanitizer (threaded tests)"
wait_for later
# The Windows build after the others, so that it never takes the processor
# time the threaded tests' build could have used.
if [ "$windows_toolchain" = "1" ]; then
    in_background windows "$here/windows.sh"
fi
(
    cd "$build/tsan"
    ctest --output-on-failure -j "$jobs" -R "$threaded"
)

if [ -x "$here/fuzz.sh" ]; then
    step "fuzzing"
    "$here/fuzz.sh" "${VT520_FUZZ_SECONDS:-60}"
fi

step "Windows (cross-built, under Wine)"
if [ "$windows_toolchain" = "1" ]; then
    wait_for windows
    "$here/windows.sh" --test
else
    # Where the toolchain is not beside the repository (see
    # VT520_WINDOWS_TOOLCHAIN in scripts/windows.sh) the stage cannot run; it
    # says so on every run, CI's included, rather than fail the Linux stages.
    echo "Windows stage SKIPPED: no Windows toolchain (see VT520_WINDOWS_TOOLCHAIN in scripts/windows.sh)"
fi

echo
echo "all test stages passed in $SECONDS s"
