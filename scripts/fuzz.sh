#!/usr/bin/env bash
# Builds the libFuzzer targets (clang-14, AddressSanitizer and
# UndefinedBehaviorSanitizer) in build/fuzz and runs each for a while, starting
# from the committed seeds in fuzz/corpus/<reader>/.
#
#   scripts/fuzz.sh [seconds per target, default 60] [reader...]
#   scripts/fuzz.sh --build-only [reader...]
#
# Every target gets its seconds of processor time: with more targets than
# processors they all run at once, for seconds x targets / processors, so
# that no processor idles while the last of them finishes.
# Readers: hextobin upgradefile programsfile scenesfile serialstring (all by
# default). Prints the number of inputs each target ran. Exits non-zero when a
# target crashes, hangs, runs out of memory or reports a sanitizer finding; the
# input that did it is kept in build/fuzz/artifacts/<reader>/ (copy it into
# fuzz/corpus/<reader>/ once the reader is mended, so the replay test keeps it).
# New inputs found go to build/fuzz/corpus/<reader>/, never to the sources.
# VT520_FUZZ_BUILD_DIR overrides the build folder.
set -euo pipefail
here="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)"
root="$(dirname "$here")"
# shellcheck source=scripts/deps.sh
source "$here/deps.sh"
vt520_install_packages "${vt520_fuzz_packages[@]}"

build_only=0
if [ "${1:-}" = "--build-only" ]; then
    build_only=1
    shift
fi
seconds=60
if [ "$build_only" = "0" ] && [ $# -gt 0 ]; then
    seconds=$1
    shift
fi
readers=("$@")
if [ ${#readers[@]} -eq 0 ]; then
    readers=(hextobin upgradefile programsfile scenesfile serialstring)
fi
build="${VT520_FUZZ_BUILD_DIR:-$root/build/fuzz}"
jobs="$(nproc 2>/dev/null || echo 2)"

# The longest input worth trying per reader: a little more than its largest
# valid file (an upgrade file is 262210 bytes).
max_len() {
    case "$1" in
        hextobin) echo 4096 ;;
        upgradefile) echo 270000 ;;
        programsfile) echo 8192 ;;
        scenesfile) echo 1024 ;;
        serialstring) echo 512 ;;
        *) echo "unknown reader: $1" >&2; return 1 ;;
    esac
}
for reader in "${readers[@]}"; do max_len "$reader" >/dev/null; done

generator=()
if command -v ninja >/dev/null 2>&1; then
    generator=(-G Ninja)
fi
cmake -S "$root" -B "$build" "${generator[@]}" -DCMAKE_BUILD_TYPE=RelWithDebInfo \
      -DCMAKE_CXX_COMPILER=clang++-14 -DVT520_BUILD_FUZZERS=ON \
      -DVT520_BUILD_TESTS=OFF -DVT520_BUILD_SIM=OFF -DVT520_BUILD_BENCH=OFF >/dev/null
targets=()
for reader in "${readers[@]}"; do targets+=("fuzz_$reader"); done
cmake --build "$build" -j "$jobs" --target "${targets[@]}"
if [ "$build_only" = "1" ]; then
    exit 0
fi

# The HEX and upgrade file readers take a file name: each input is written to
# a temporary file first, several times faster on a memory file system.
if [ -d /dev/shm ] && [ -w /dev/shm ]; then
    TMPDIR="$(mktemp -d /dev/shm/vt520-fuzz.XXXXXX)"
    export TMPDIR
    trap 'rm -rf "$TMPDIR"' EXIT
fi

export ASAN_OPTIONS="detect_leaks=1:halt_on_error=1:allocator_may_return_null=0"
export UBSAN_OPTIONS="halt_on_error=1:print_stacktrace=1"

# Runs one target for its time; its exit status goes to its own file.
fuzz_one() {
    local reader=$1
    local work="$build/corpus/$reader" artifacts="$build/artifacts/$reader"
    mkdir -p "$work" "$artifacts"
    local status=0
    # No single allocation of a reader needs 64 MB for inputs of these sizes:
    # one that asks for more was sized from a length field in the input.
    "$build/bin/fuzz_$reader" -max_total_time="$wall_seconds" -rss_limit_mb=2048 -malloc_limit_mb=64 \
        -max_len="$(max_len "$reader")" -timeout=30 -print_final_stats=1 \
        -artifact_prefix="$artifacts/" "$work" "$root/fuzz/corpus/$reader" >"$build/fuzz_$reader.log" 2>&1 || status=$?
    echo "$status" >"$build/fuzz_$reader.status"
}

# All targets at once, each for its share of the processors' time.
wall_seconds=$seconds
if [ "${#readers[@]}" -gt "$jobs" ]; then
    wall_seconds=$(((seconds * ${#readers[@]} + jobs - 1) / jobs))
fi
printf '\n---- %s targets at once on %s processors, %s s each (%s s of processor time) ----\n' \
    "${#readers[@]}" "$jobs" "$wall_seconds" "$seconds"
rm -f "$build"/fuzz_*.status
for reader in "${readers[@]}"; do
    fuzz_one "$reader" &
done
wait

failed=0
summary=()
for reader in "${readers[@]}"; do
    log="$build/fuzz_$reader.log"
    status="$(cat "$build/fuzz_$reader.status" 2>/dev/null || echo missing)"
    runs="$(sed -n 's/^stat::number_of_executed_units: *//p' "$log" | tail -n 1)"
    printf '\n---- fuzz_%s ----\n' "$reader"
    if [ "$status" != "0" ] || grep -qE 'ERROR: (AddressSanitizer|LeakSanitizer|libFuzzer)|runtime error:' "$log"; then
        failed=1
        summary+=("$(printf '%-14s FAILED (exit %s), log: %s' "$reader" "$status" "$log")")
        tail -n 40 "$log"
    else
        summary+=("$(printf '%-14s %12s inputs run in %s s' "$reader" "${runs:-?}" "$wall_seconds")")
        grep -E '^(#[0-9]+ +DONE|Done [0-9]+ runs)' "$log" || true
    fi
done

printf '\n==== fuzzing summary ====\n'
printf '%s\n' "${summary[@]}"
exit "$failed"
