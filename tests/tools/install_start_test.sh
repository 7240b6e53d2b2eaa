#!/usr/bin/env bash
# Installs a build folder into a temporary prefix and starts the installed program twice
# under Xvfb, as a new user would (a fresh HOME, no XDG_* variables, no ZENTUVO_HOME):
#  - the first start copies the installed catalogue and settings file into the user's
#    folders and creates My List;
#  - a favourite is marked and a newer catalogue "installed" between the starts;
#  - the second start takes the newer catalogue and keeps the favourite;
#  - the installed folder is never written.
# usage: install_start_test.sh BUILD_DIR
set -euo pipefail
build=${1:?usage: install_start_test.sh BUILD_DIR}
stage=$(mktemp -d /tmp/zentuvo-install-start.XXXXXX)
trap 'rm -rf "$stage"' EXIT
prefix=$stage/usr
home=$stage/home
mkdir -p "$home"
cmake --install "$build" --prefix "$prefix" >/dev/null

data=$home/.local/share/zentuvo
installed=$prefix/share/zentuvo
fail() { echo "FAIL: $*" >&2; exit 1; }
sql() { python3 -c 'import sqlite3, sys
c = sqlite3.connect(sys.argv[1])
for row in c.execute(sys.argv[2]): print(*row)
c.commit()' "$@"; }
snapshot() { find "$installed" -printf '%p %s %T@\n' | sort; }
start() {
    env -u XDG_DATA_HOME -u XDG_CONFIG_HOME -u XDG_CACHE_HOME -u XDG_RUNTIME_DIR \
        -u ZENTUVO_HOME HOME="$home" ZENTUVO_REPORT_STARTUP=exit QT_QPA_PLATFORM=xcb \
        timeout 40 xvfb-run -a -s "-screen 0 1280x800x24" "$prefix/bin/zentuvo" \
        >"$stage/out" 2>&1 || { cat "$stage/out" >&2; fail "start $1 ended with $?"; }
    grep -q '^startup_ms' "$stage/out" || { cat "$stage/out" >&2; fail "start $1: no window"; }
}

before=$(snapshot)
start 1
[ "$(snapshot)" = "$before" ] || fail "the first start wrote into $installed"
for file in "$data/ch.dat" "$data/mylist.dat" "$home/.config/zentuvo/Zentuvo.ini"; do
    [ -f "$file" ] || fail "the first start made no $file"
done
[ ! -e "$prefix/bin/ch.dat" ] || fail "data next to the installed program"
# The user's settings start as the installed ones (the program adds what the user chose).
[ -z "$(comm -23 <(sort "$installed/Zentuvo.ini") <(sort "$home/.config/zentuvo/Zentuvo.ini"))" ] ||
    fail "the settings file is not the installed one"

# The user marks the first channel; a newer catalogue (another version, a renamed channel)
# is installed.
code=$(sql "$data/ch.dat" "SELECT code FROM tab_channels ORDER BY channelID LIMIT 1")
sql "$data/ch.dat" "UPDATE tab_channels SET fav = 1 WHERE code = '$code'"
sql "$installed/ch.dat" "UPDATE tab_options SET options = 'newer' WHERE code = 'catalogueVersion'"
sql "$installed/ch.dat" "UPDATE tab_channels SET name = 'Renamed by the update' WHERE code = '$code'"

before=$(snapshot)
start 2
[ "$(snapshot)" = "$before" ] || fail "the second start wrote into $installed"
[ "$(sql "$data/ch.dat" "SELECT fav, name FROM tab_channels WHERE code = '$code'")" = \
  "1 Renamed by the update" ] || fail "the favourite or the update is lost"
[ "$(sql "$data/ch.dat" "SELECT options FROM tab_options WHERE code = 'catalogueVersion'")" = \
  newer ] || fail "the user's catalogue does not have the installed version"
echo "installed program: two starts, favourite kept through the catalogue update"
