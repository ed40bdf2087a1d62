#!/bin/sh
# The portable folder as `cmake --install` lays it out, and its menu-entry script.
# usage: check_package.sh BUILD_DIR
set -eu
build=$1
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
cmake --install "$build" --component Portable --prefix "$scratch/spliceon" >/dev/null
cd "$scratch/spliceon"
fail() { printf 'FAIL: %s\n' "$*" >&2; exit 1; }
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
validate() { if command -v desktop-file-validate >/dev/null 2>&1; then desktop-file-validate "$1"; fi; }
validate "$entry"

# Awkward folder names, escaped as desktop entries want them. A row: the folder's name, then
# the values of Exec= and Path= that must come out, @ standing for the scratch folder.
menu_entry_for() {
    cp -R "$scratch/spliceon" "$scratch/$1"
    XDG_DATA_HOME="$scratch/data" "$scratch/$1/add-menu-entry" >/dev/null
    for key in Exec Path; do
        want=$(printf '%s' "$2" | sed "s|@|$scratch|")
        [ "$(sed -n "s/^$key=//p" "$entry")" = "$want" ] ||
            fail "menu entry for '$1': $(grep "^$key=" "$entry"), not $key=$want"
        shift
    done
    validate "$entry" || fail "menu entry for '$1' is not valid"
}
menu_entry_for 'with space' '"@/with space/spliceon"' '@/with space'
menu_entry_for 'q"uote' '"@/q\\"uote/spliceon"' '@/q"uote'
menu_entry_for 'back\slash' '"@/back\\\\slash/spliceon"' '@/back\\slash'
menu_entry_for '50%' '"@/50%%/spliceon"' '@/50%'
menu_entry_for 'a$b`c' '"@/a\\$b\\`c/spliceon"' '@/a$b`c'
# A line break would start a key of its own, and a control character or a byte that is not
# UTF-8 makes an entry the desktop refuses: such a folder is refused, with a message, the entry
# left as it was.
refused_folder() {
    cp -R "$scratch/spliceon" "$scratch/$1"
    before=$(cat "$entry")
    ! XDG_DATA_HOME="$scratch/data" "$scratch/$1/add-menu-entry" >/dev/null 2>"$scratch/said" ||
        fail "folder '$1' was taken"
    grep -q "control character" "$scratch/said" && [ "$(cat "$entry")" = "$before" ] ||
        fail "folder '$1' was not refused with a message"
}
refused_folder "new
line"
refused_folder "$(printf 'bell\007')"
refused_folder "$(printf 'latin\351')"
echo "1 passed, 0 failed"
