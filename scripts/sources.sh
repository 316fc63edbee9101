# shellcheck shell=bash
# Sourced by lint.sh and format.sh: the folders that hold the project's code
# and its C++ sources, relative to the repository root (the current folder).

vt520_code_dirs=(app ctl usb firmware lighting widgets style res sim tests bench fuzz packaging)

# Every C++ source and header in those folders, one a line, sorted.
vt520_cxx_sources() {
    local dirs=()
    local dir
    for dir in "${vt520_code_dirs[@]}"; do
        [ -d "$dir" ] && dirs+=("$dir")
    done
    find "${dirs[@]}" -type f \( -name '*.cpp' -o -name '*.h' -o -name '*.c' -o -name '*.cc' -o -name '*.hpp' \) \
        | LC_ALL=C sort
}
