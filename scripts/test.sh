#!/usr/bin/env bash
# Builds everything and runs every test:
#   1. the whole suite in a normal build;
#   2. the whole suite again under AddressSanitizer + UndefinedBehaviorSanitizer
#      (leaks reported);
#   3. the threaded tests under ThreadSanitizer;
#   4. a short run of every fuzz target (skipped where clang is missing; the
#      saved corpora are replayed by the normal suite in any case).
# Exits non-zero on any failure or sanitizer report.
# VT520_QUICK=1 runs step 1 only.
set -euo pipefail
here="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)"
root="$(dirname "$here")"
source "$here/deps.sh"
vt520_install_packages

jobs="$(nproc 2>/dev/null || echo 2)"
export QT_QPA_PLATFORM=offscreen

step() { printf '\n==== %s ====\n' "$*"; }

step "normal build"
cmake -S "$root" -B "$root/build/test" -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build "$root/build/test" -j "$jobs"
(cd "$root/build/test" && ctest --output-on-failure -j "$jobs")

if [ "${VT520_QUICK:-0}" = "1" ]; then
    exit 0
fi

step "AddressSanitizer + UndefinedBehaviorSanitizer"
cmake -S "$root" -B "$root/build/asan" -DCMAKE_BUILD_TYPE=Debug -DVT520_SANITIZE=address \
      -DVT520_BUILD_BENCH=OFF >/dev/null
cmake --build "$root/build/asan" -j "$jobs"
(
    cd "$root/build/asan"
    # The program under Xvfb preloads the emulator, which cannot come before
    # the sanitizer runtime; it runs in the normal build only. So does the
    # program's firmware change through usbfs: the usbfs_* cases run that
    # layer under the sanitizer here.
    ctest --output-on-failure -j "$jobs" -E 'program_window_under_xvfb|program_firmware_change_usbfs'
)

step "ThreadSanitizer (threaded tests)"
threaded='transport_threads|upgrader|close_during|gang_change'
cmake -S "$root" -B "$root/build/tsan" -DCMAKE_BUILD_TYPE=Debug -DVT520_SANITIZE=thread \
      -DVT520_BUILD_BENCH=OFF >/dev/null
threaded_targets=$(cd "$root/build/tsan" && ctest -N -R "$threaded" | sed -n 's/^ *Test *#[0-9]*: *//p')
[ -n "$threaded_targets" ] || { echo "no threaded tests found"; exit 1; }
# shellcheck disable=SC2086
cmake --build "$root/build/tsan" -j "$jobs" --target $threaded_targets
(
    cd "$root/build/tsan"
    ctest --output-on-failure -R "$threaded"
)

if [ -x "$here/fuzz.sh" ]; then
    step "fuzzing"
    "$here/fuzz.sh" "${VT520_FUZZ_SECONDS:-60}"
fi
echo
echo "all test stages passed"
