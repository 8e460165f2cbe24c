#!/usr/bin/env bash
# Installs the game into a temporary prefix and plays the part of a player:
# the launcher, the menu entry, the AppStream data and the .deb package.
# The game's window opens on an X server of the test's own.
set -uo pipefail
build=$1
source_dir=$2
app_id=net.harrowkiln.CrimsonLunaticOutbreak
package=crimson-lunatic-outbreak
failures=0
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }

tmp=$(mktemp -d /tmp/crimson_install_XXXXXX)
. "$source_dir/tests/own_display.sh"
trap 'stop_own_display; rm -rf "$tmp"' EXIT

# --- install into a prefix ------------------------------------------------
prefix=$tmp/prefix
cmake --install "$build" --prefix "$prefix" >/dev/null || fail "cmake --install"
for f in games/$package lib/games/$package/crimson share/games/$package/assets.bin \
         share/applications/$app_id.desktop share/metainfo/$app_id.metainfo.xml \
         share/icons/hicolor/48x48/apps/$app_id.png share/icons/hicolor/256x256/apps/$app_id.png; do
    [ -e "$prefix/$f" ] || fail "not installed: $f"
done
desktop-file-validate "$prefix/share/applications/$app_id.desktop" || fail "desktop-file-validate"
appstreamcli validate --no-net "$prefix/share/metainfo/$app_id.metainfo.xml" >/dev/null \
    || fail "appstreamcli validate"
exec_name=$(sed -n 's/^Exec=\([^ ]*\).*/\1/p' "$prefix/share/applications/$app_id.desktop")
[ -x "$prefix/games/$exec_name" ] || fail "the menu entry runs $exec_name, which is not installed"

# --- a wrong option: the launcher shows the game's reason -----------------
export XDG_DATA_HOME=$tmp/data
player_dir=$XDG_DATA_HOME/$package
err=$("$prefix/games/$package" -x 2>&1 >/dev/null)
status=$?
[ "$status" -eq 1 ] || fail "wrong option: exit code $status, wanted 1"
grep -qF 'main(): Invalid program argument "-x"' <<<"$err" || fail "wrong option: launcher printed '$err'"
[ -L "$player_dir/assets.bin" ] || fail "assets.bin is not linked into the player's folder"
[ "$(readlink -f "$player_dir/assets.bin")" = "$(readlink -f "$prefix/share/games/$package/assets.bin")" ] \
    || fail "assets.bin link points elsewhere"

# --- the game in a window, in the player's folder, without sound ----------
# SDL's disk driver writing into a missing folder stands in for a machine
# without a sound device: the launcher says so once and starts it silent.
start_own_display || fail "Xvfb gave no display"
SDL_AUDIODRIVER=disk SDL_DISKAUDIOFILE=$tmp/missing/sound.raw "$prefix/games/$package" -w \
    2>"$tmp/launcher.txt" &
game=$!
# The first try's window is gone once the launcher has spoken.
timeout 20 sh -c "until grep -q 'no sound device' '$tmp/launcher.txt'; do sleep 0.1; done"
window=$(timeout 20 xdotool search --sync --name "Crimson Lunatic Outbreak" 2>/dev/null | head -n 1)
if [ -z "$window" ]; then
    fail "no game window appeared"
    kill "$game" 2>/dev/null
else
    sleep 1
    xdotool key --window "$window" Print
    sleep 1
    # Escape leaves the intro for the title, a second Escape quits.
    xdotool key --window "$window" Escape
    sleep 0.5
    xdotool key --window "$window" Escape
fi
for _ in $(seq 1 100); do kill -0 "$game" 2>/dev/null || break; sleep 0.1; done
if kill -0 "$game" 2>/dev/null; then fail "the game did not quit on Escape"; kill -9 "$game"; fi
wait "$game"
status=$?
[ "$status" -eq 0 ] || fail "game exit code $status, wanted 0"
[ "$(grep -cx "$package: no sound device found, the game runs silent" "$tmp/launcher.txt")" = 1 ] ||
    fail "without a sound device the launcher printed '$(cat "$tmp/launcher.txt")'"
ls "$player_dir"/screenshot_*.bmp >/dev/null 2>&1 || fail "no screenshot written in the player's folder"

# --- the Debian package ---------------------------------------------------
(cd "$build" && cpack -G DEB -B "$tmp/deb" >/dev/null) || fail "cpack"
deb=$(ls "$tmp"/deb/*.deb 2>/dev/null | head -n 1)
if [ -z "$deb" ]; then
    fail "no .deb built"
else
    depends=$(dpkg-deb -f "$deb" Depends)
    echo "package depends: $depends"
    for alt in $(tr ',|' '\n\n' <<<"$depends" | sed 's/(.*)//; s/:any//; s/ //g' | sort -u); do
        dpkg-query -W "$alt" >/dev/null 2>&1 || apt-cache show "$alt" >/dev/null 2>&1 \
            || fail "dependency $alt is not a Debian package"
    done
    # Install into an empty system root the way dpkg would on a clean machine.
    root=$tmp/root
    mkdir -p "$root/var/lib/dpkg/info" "$root/var/lib/dpkg/updates" "$root/var/lib/dpkg/triggers"
    : >"$root/var/lib/dpkg/status"
    dpkg --root="$root" --force-depends --force-script-chrootless -i "$deb" >/dev/null 2>&1 \
        || fail "dpkg --root install"
    desktop-file-validate "$root/usr/share/applications/$app_id.desktop" || fail "installed menu entry"
    [ -x "$root/usr/games/$exec_name" ] || fail "the packaged menu entry runs $exec_name, which is missing"
    err=$(XDG_DATA_HOME=$tmp/data2 "$root/usr/games/$package" -bogus 2>&1 >/dev/null)
    grep -qF 'Invalid program argument "-bogus"' <<<"$err" || fail "packaged launcher printed '$err'"
fi

if [ "$failures" -ne 0 ]; then
    echo "$failures check(s) failed"
    exit 1
fi
echo "install, launcher, menu entry and package: all checks passed"
