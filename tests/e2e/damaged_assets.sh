# A damaged or missing assets.bin ends the game at start-up with exit code 1
# and exactly one line in errorlog.txt naming what is wrong. Each case
# damages a private copy of the archive, never the build's.
. "$(dirname "$0")/e2e_common.sh"
. "$(dirname "$0")/e2e_play.sh"

ARCHIVE=$BUILD_DIR/assets.bin
[ -f "$ARCHIVE" ] || fail "no assets.bin in $BUILD_DIR"

fresh_copy() { rm -f assets.bin errorlog.txt; cp "$ARCHIVE" assets.bin; }

# Offset of a member's record (its name) in the archive.
record_of() { grep -obUa -m1 -F "$1" assets.bin | head -1 | cut -d: -f1; }

poke() { printf '%s' "$2" | dd of=assets.bin bs=1 seek="$1" conv=notrunc status=none; }

# Runs the game on the folder as it stands; expects exit code 1 and the log
# line $2. $1 names the case.
expect_failure() {
  local rc
  rm -f errorlog.txt
  timeout 60 "$GAME" -w
  rc=$?
  [ "$rc" = 1 ] || fail "$1: exit code $rc"
  [ -f errorlog.txt ] || fail "$1: no errorlog.txt"
  [ "$(cat errorlog.txt)" = "$2" ] || fail "$1: log says: $(cat errorlog.txt)"
}

# Missing members: a renamed record no longer matches, whichever loader
# asks for it.
for case in "gfx/font.bmp:load_graphics()" "gfx/messages.bmp:load_graphics()" \
            "sfx/swing.wav:load_sound()" "sfx/summerblueskyes.mod:load_sound()"; do
  member=${case%%:*} tag=${case#*:}
  fresh_copy
  at=$(record_of "$member")
  [ -n "$at" ] || fail "no record $member in the archive"
  poke $((at + 4)) "#"
  expect_failure "member $member renamed" \
    "$tag: File \"$member\" not found in archive \"assets.bin\""
done

fresh_copy
poke 0 "h"
expect_failure "bad signature" 'hkca_uncompress(): Invalid format of file "assets.bin"'

fresh_copy
poke 31 "$(printf '\002')"
expect_failure "version 2" 'hkca_uncompress(): Version mismatch in file "assets.bin"'

# The first picture's compressed stream cut off after ten bytes: the records
# before it are whole, the one wanted is not.
fresh_copy
member=gfx/font.bmp
at=$(record_of "$member")
truncate -s $((at + ${#member} + 1 + 8 + 10)) assets.bin
expect_failure "cut stream" 'hkca_uncompress(): Unexpected end of file "assets.bin"'

fresh_copy
truncate -s 20 assets.bin
expect_failure "cut signature" 'hkca_uncompress(): Unexpected end of file "assets.bin"'

rm -f assets.bin
expect_failure "no archive" 'hkca_uncompress(): File "assets.bin" not found'
echo ok
