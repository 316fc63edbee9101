#!/bin/sh
# Run under vt520-usbfs-run: the emulated unit as the system's own USB tools
# see it, through the emulated sysfs and usbfs.
#   system_usb_tools.sh SERIAL REVISION
# SERIAL: the serial string the unit shows in its mode (ending in 'b' in the
# bootloader); REVISION: bcdDevice as usb-devices prints it (01.00 for the
# application, 00.00 for the bootloader).
# Exits 77 (skipped) without usbutils.
set -eu
serial=$1
revision=$2

if ! command -v lsusb >/dev/null 2>&1 || ! command -v usb-devices >/dev/null 2>&1; then
    echo "lsusb or usb-devices missing (Debian package usbutils)"
    exit 77
fi

# Under the sanitizer build its runtime is preloaded into every process; the
# system's tools are not ours to check for leaks.
ASAN_OPTIONS="${ASAN_OPTIONS:+$ASAN_OPTIONS:}detect_leaks=0"
export ASAN_OPTIONS

verbose=$(lsusb -v -d 16c0:078e 2>&1)
devices=$(usb-devices 2>&1)
failed=0

has() {
    if ! printf '%s\n' "$1" | grep -Eq -- "$2"; then
        echo "expected a line matching: $2"
        failed=1
    fi
}

lacks() {
    if printf '%s\n' "$1" | grep -Eq -- "$2"; then
        echo "unexpected line matching: $2"
        failed=1
    fi
}

# String descriptors through the sysfs attributes and the language table,
# the device status through a GET_STATUS request.
has "$verbose" "^ +iManufacturer +1 Vt520$"
has "$verbose" "^ +iProduct +2 Vt520 LED driver$"
has "$verbose" "^ +iSerial +3 $serial$"
has "$verbose" "^Device Status: +0x0000$"
lacks "$verbose" "cannot|can't|No such file"

# usb-devices reads nothing but sysfs attributes.
has "$devices" "^P:  Vendor=16c0 ProdID=078e Rev=$revision$"
has "$devices" "^S:  Manufacturer=Vt520$"
has "$devices" "^S:  Product=Vt520 LED driver$"
has "$devices" "^S:  SerialNumber=$serial$"
has "$devices" "^D:  Ver= 2.00 Cls=ff\(vend.\) Sub=00 Prot=00 MxPS=64 #Cfgs=  1$"
has "$devices" "^C:  #Ifs= 1 Cfg#= 1 Atr=80 MxPwr=100mA$"
has "$devices" "^I:  If#= 0 Alt= 0 #EPs= 2 Cls=ff\(vend.\) Sub=00 Prot=00 Driver=\(none\)$"
has "$devices" "^E:  Ad=81\(I\) Atr=02\(Bulk\) MxPS=  64 Ivl=0ms$"
has "$devices" "^E:  Ad=02\(O\) Atr=02\(Bulk\) MxPS=  64 Ivl=0ms$"
lacks "$devices" "No such file|not completely converted"

if [ "$failed" -ne 0 ]; then
    printf '%s\n' "--- lsusb -v -d 16c0:078e" "$verbose" "--- usb-devices" "$devices"
fi
exit "$failed"
