#!/bin/sh
# The portable folder as `cmake --install` lays it out, and its menu-entry script.
# usage: check_package.sh BUILD_DIR
set -eu
build=$1
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
cmake --install "$build" --component Portable --prefix "$scratch/spliceon" >/dev/null
cd "$scratch/spliceon"
fail() { echo "FAIL: $*" >&2; exit 1; }
[ -x spliceon ] || fail "program missing or not executable"
[ -x driver/install ] || fail "driver/install missing or not executable"
[ -f driver/70-spliceon-ch341.rules ] || fail "udev rule missing"
[ -f spliceon.png ] || fail "icon missing"
grep -qx 'driverinstall=1' config.ini || fail "config.ini does not ask for the installer"
XDG_DATA_HOME="$scratch/data" ./add-menu-entry >/dev/null
entry="$scratch/data/applications/spliceon.desktop"
grep -qx "Exec=\"$scratch/spliceon/spliceon\"" "$entry" || fail "menu entry does not start the program"
grep -qx "Path=$scratch/spliceon" "$entry" || fail "menu entry does not start in the folder"
grep -qx "Icon=$scratch/spliceon/spliceon.png" "$entry" || fail "menu entry has no icon"
if command -v desktop-file-validate >/dev/null 2>&1; then desktop-file-validate "$entry"; fi
echo "1 passed, 0 failed"
