#!/usr/bin/env bash
# Formats every C++ source in place as .clang-format says (clang-format 14,
# as Debian 12 ships it). scripts/lint.sh checks the same files.
set -euo pipefail
here="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)"
cd "$(dirname "$here")"
# shellcheck source=scripts/sources.sh
source "$here/sources.sh"
mapfile -t cxx < <(vt520_cxx_sources)
clang-format -i "${cxx[@]}"
echo "formatted ${#cxx[@]} files"
