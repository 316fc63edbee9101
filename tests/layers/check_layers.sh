#!/bin/sh
# The core's layers by their includes: usb/ includes only itself, firmware/
# and lighting/ only themselves and usb/, and none of them the window's
# folders. Prints every include that points upward and fails on any.
set -eu
root=${1:?usage: check_layers.sh SOURCE_ROOT}
cd "$root"

bad=0
check() {
    folder=$1
    allowed=$2
    for file in $(find "$folder" -name '*.h' -o -name '*.cpp' | sort); do
        # Project includes are the quoted ones with a folder: "usb/UsbDevice.h".
        grep -n '^[[:space:]]*#[[:space:]]*include[[:space:]]*"[^"]*/' "$file" |
            sed 's/^\([0-9]*\):.*"\([^/"]*\)\/.*/\1 \2/' |
            while read -r line target; do
                case " $allowed " in
                *" $target "*) ;;
                *) echo "$file:$line: includes $target/, above its layer"; exit 1 ;;
                esac
            done || bad=1
    done
}

check usb "usb"
check firmware "firmware usb"
check lighting "lighting usb"

if [ "$bad" -ne 0 ]; then
    exit 1
fi
echo "layers hold: usb/ <- firmware/, lighting/"
