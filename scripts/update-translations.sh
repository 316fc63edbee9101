#!/usr/bin/env bash
# Refreshes the catalogues from the sources after texts were added or changed.
# New entries come in unfinished; translate them (Qt Linguist or an editor) and
# commit the .ts files: the build compiles them into .qm catalogues.
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
lupdate=$(command -v lupdate || echo /usr/lib/qt6/bin/lupdate)
cd "$root"
"$lupdate" app usb firmware lighting widgets style -extensions cpp,h,ui \
    -locations none -no-obsolete -ts translations/vt410_pl.ts translations/vt410_en.ts
