# shellcheck shell=bash
# Sourced by run.sh and test.sh: installs the Debian packages the build needs:
# the compilers and libraries, the tools the tests run, cpack's helpers for the
# Debian packages (file, dpkg-shlibdeps from dpkg-dev), lintian, which checks
# them, the tools that check the desktop entry and the file types
# (desktop-file-validate, xmllint, update-mime-database, gio), the lint tools
# and usbutils (lsusb and usb-devices against the emulated usbfs).
# A quick no-op when everything is present already.

vt520_packages=(
    cmake g++ make pkg-config
    qt6-base-dev qt6-tools-dev qt6-tools-dev-tools qt6-l10n-tools libgl-dev
    qt6-translations-l10n
    libusb-1.0-0-dev umockdev libumockdev-dev usbutils
    xvfb xauth x11-utils xdotool fonts-dejavu-core
    binutils srecord python3-intelhex
    file dpkg-dev lintian
    desktop-file-utils libxml2-utils shared-mime-info libglib2.0-bin
    clang-format codespell shellcheck
)

# Extra packages may be given as arguments (fuzz.sh adds clang).
# shellcheck disable=SC2120
# The fuzzing stage's compiler and the Windows stage's cross compiler, Wine
# and installer maker, installed by those stages (scripts/test.sh installs
# them before its background builds, so that two installs never meet).
# shellcheck disable=SC2034 # used by the scripts that source this file
vt520_fuzz_packages=(clang-14 libclang-rt-14-dev)
# shellcheck disable=SC2034
vt520_windows_packages=(g++-mingw-w64-x86-64-posix wine wine64 nsis unzip)

vt520_install_packages() {
    local missing=()
    local pkg
    for pkg in "${vt520_packages[@]}" "$@"; do
        if ! dpkg-query -W -f='${Status}' "$pkg" 2>/dev/null | grep -q 'install ok installed'; then
            missing+=("$pkg")
        fi
    done
    [ ${#missing[@]} -eq 0 ] && return 0
    echo "Installing: ${missing[*]}"
    local sudo=""
    if [ "$(id -u)" -ne 0 ]; then
        sudo="sudo"
    fi
    $sudo apt-get update -qq
    DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq "${missing[@]}"
}
