#!/usr/bin/env bash
# Checks the sources without building anything; the first stage of test.sh.
#   1. clang-format: every C++ source is formatted as .clang-format says
#      (scripts/format.sh reformats them in place);
#   2. codespell: no misspelt word in the code, README.md or the manual page
#      but for the product's own fixed spellings in .codespell-ignore-words;
#   3. shellcheck: the scripts, the test scripts and the bash completion.
# Runs every check and exits non-zero if any of them failed.
# Needs clang-format (14, as Debian 12 ships it), codespell and shellcheck
# (scripts/deps.sh installs them).
set -euo pipefail
here="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)"
root="$(dirname "$here")"
cd "$root"
# shellcheck source=scripts/sources.sh
source "$here/sources.sh"

failed=()

mapfile -t cxx < <(vt520_cxx_sources)
echo "clang-format: ${#cxx[@]} files"
if ! clang-format --dry-run -Werror --ferror-limit=5 "${cxx[@]}"; then
    echo "clang-format: files above are not formatted; scripts/format.sh formats them"
    failed+=(clang-format)
fi

# The code, README.md and the manual page (ctl/vt520ctl.1). Identifiers
# that codespell reads as words (positionOf, doubleClicks), the slider's
# "trough", a correct word, and "nowe" and "adres", Polish in the tests'
# expected sentences, are allowed here; the ignore-words file holds
# only the product's own spellings, which are part of its texts on purpose.
echo "codespell"
spelled=(README.md CMakeLists.txt)
for dir in "${vt520_code_dirs[@]}" cmake scripts translations/CMakeLists.txt .ci; do
    [ -e "$dir" ] && spelled+=("$dir")
done
if ! codespell --ignore-words=.codespell-ignore-words --ignore-words-list=positionof,doubleclick,trough,nowe,adres \
        --skip='*/corpus,*.png,*.bmp,*.ico,*.bin,*.hex,*.upg,*.pgm,*.scn,*.qm,*.supp' "${spelled[@]}"; then
    echo "codespell: fix the words above, or add a deliberate product spelling to .codespell-ignore-words"
    failed+=(codespell)
fi

mapfile -t shells < <({ find scripts tests -name '*.sh' -type f; echo .ci/run; echo packaging/vt520ctl.bash-completion; } | sort)
echo "shellcheck: ${#shells[@]} files"
if ! shellcheck -x "${shells[@]}"; then
    failed+=(shellcheck)
fi

if [ ${#failed[@]} -gt 0 ]; then
    echo "lint failed: ${failed[*]}"
    exit 1
fi
echo "lint passed"
