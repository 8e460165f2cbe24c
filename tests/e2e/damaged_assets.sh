# A damaged or missing member of assets.bin ends the game at start-up with
# exit code 1 and exactly one line in errorlog.txt naming what is wrong (the
# reader's other refusals are unit-tested). Each case damages a private copy
# of the archive, never the build's.
. "$(dirname "$0")/e2e_common.sh"
. "$(dirname "$0")/e2e_play.sh"

ARCHIVE=$BUILD_DIR/assets.bin
[ -f "$ARCHIVE" ] || fail "no assets.bin in $BUILD_DIR"

fresh_copy() { rm -f assets.bin errorlog.txt; cp "$ARCHIVE" assets.bin; }

# Offset of a member's record (its name) in the archive.
record_of() { grep -obUa -m1 -F "$1" assets.bin | head -1 | cut -d: -f1; }

poke() { printf '%s' "$2" | dd of=assets.bin bs=1 seek="$1" conv=notrunc status=none; }

# Missing members: a renamed record no longer matches, whichever loader
# asks for it.
for case in "gfx/messages.bmp:load_graphics()" "sfx/swing.wav:load_sound()"; do
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

# The first picture's compressed stream cut off after ten bytes: the records
# before it are whole, the one wanted is not.
fresh_copy
member=gfx/font.bmp
at=$(record_of "$member")
truncate -s $((at + ${#member} + 1 + 8 + 10)) assets.bin
expect_failure "cut stream" 'hkca_uncompress(): Unexpected end of file "assets.bin"'
echo ok
