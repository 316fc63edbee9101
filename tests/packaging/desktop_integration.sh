#!/bin/sh
# The desktop entry and the file types the package registers: both files are
# valid, the entry opens exactly the types the type file defines, and a file
# manager's type lookup (GLib's, on a type database built here from the
# system's types and ours) tells each file kind by its header. A Netpbm grey
# map keeps its own type although it shares the .pgm name with programs files.
# Exits 77 (skipped) when one of the tools is missing.
set -eu
root=${1:?usage: desktop_integration.sh SOURCE_ROOT}
desktop="$root/packaging/vt520-config.desktop"
types="$root/packaging/vt520-config.xml"

for tool in desktop-file-validate xmllint update-mime-database gio; do
    if ! command -v "$tool" >/dev/null 2>&1; then
        echo "$tool is not installed: skipped"
        exit 77
    fi
done
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

desktop-file-validate "$desktop"
xmllint --noout "$types"

defined=$(sed -n 's/.*<mime-type type="\([^"]*\)".*/\1/p' "$types" | sort)
opened=$(sed -n 's/^MimeType=//p' "$desktop" | tr ';' '\n' | sed '/^$/d' | sort)
if [ "$defined" != "$opened" ]; then
    printf 'the desktop entry opens:\n%s\nthe type file defines:\n%s\n' "$opened" "$defined"
    exit 1
fi

mkdir -p "$work/share/mime/packages" "$work/home" "$work/files"
if [ -f /usr/share/mime/packages/freedesktop.org.xml ]; then
    cp /usr/share/mime/packages/freedesktop.org.xml "$work/share/mime/packages/"
fi
cp "$types" "$work/share/mime/packages/"
# update-mime-database reports a malformed rule as a warning only.
XDG_DATA_DIRS="$work/share" XDG_DATA_HOME="$work/home" update-mime-database "$work/share/mime" >"$work/update.log" 2>&1
if [ -s "$work/update.log" ]; then
    cat "$work/update.log"
    exit 1
fi
# A one-pixel binary grey map, as Netpbm writes it.
printf 'P5\n1 1\n255\n\200' >"$work/grey-map"

failed=0
# sample file | name it is looked up under | expected type
while IFS='|' read -r sample name expected; do
    [ -n "$sample" ] || continue
    case "$sample" in
    /*) cp "$sample" "$work/files/$name" ;;
    *) cp "$root/$sample" "$work/files/$name" ;;
    esac
    found=$(XDG_DATA_DIRS="$work/share" XDG_DATA_HOME="$work/home" \
        gio info -a standard::content-type "$work/files/$name" |
        sed -n 's/^ *standard::content-type: //p')
    if [ "$found" != "$expected" ]; then
        echo "$sample as $name: type $found, expected $expected"
        failed=1
    fi
done <<TABLE
fuzz/corpus/programsfile/valid.pgm|show.pgm|application/x-vt520-programs
fuzz/corpus/programsfile/zero_table.pgm|empty-show.pgm|application/x-vt520-programs
fuzz/corpus/scenesfile/valid.scn|show.scn|application/x-vt520-scenes
fuzz/corpus/upgradefile/valid.upg|release.upg|application/x-vt520-upgrade
$work/grey-map|grey.pgm|image/x-portable-graymap
TABLE
exit "$failed"
