# A damaged scores.bin stops the game at start-up with exit code 1 and the
# reason in errorlog.txt; a file that merely ends early (after its version)
# is read as far as it goes and the game plays on.
. "$(dirname "$0")/e2e_common.sh"
. "$(dirname "$0")/e2e_play.sh"

SIGNATURE='Crimson Lunatic Outbreak High Scores'

# A score file: signature with its zero byte, 16-bit version, 360 bytes of
# entries; $1 is the version's first byte in octal.
write_scores() {
  { printf "%s\\000\\$1\\000" "$SIGNATURE"; head -c 360 /dev/zero; } >scores.bin
}

expect_failure() {
  local rc
  rm -f errorlog.txt
  timeout 60 "$GAME" -w
  rc=$?
  [ "$rc" = 1 ] || fail "$1: exit code $rc"
  [ "$(cat errorlog.txt 2>/dev/null)" = "$2" ] || fail "$1: log says: $(cat errorlog.txt 2>/dev/null)"
}

write_scores 001
[ "$(stat -c %s scores.bin)" = 399 ] || fail "the test's own file is $(stat -c %s scores.bin) bytes"
printf 'c' | dd of=scores.bin bs=1 seek=0 conv=notrunc status=none
expect_failure "bad signature" 'load_highscores(): Invalid format of file "scores.bin"'

# The 37th byte belongs to the signature too.
write_scores 001
printf '!' | dd of=scores.bin bs=1 seek=36 conv=notrunc status=none
expect_failure "signature not terminated" 'load_highscores(): Invalid format of file "scores.bin"'

write_scores 001
truncate -s 20 scores.bin
expect_failure "cut in the signature" 'load_highscores(): Invalid format of file "scores.bin"'

write_scores 002
expect_failure "version 2" 'load_highscores(): Version mismatch in file "scores.bin"'

write_scores 001
truncate -s 37 scores.bin
expect_failure "no version" 'load_highscores(): Version mismatch in file "scores.bin"'

# Entries cut short are no error: the game starts and ends normally.
write_scores 001
truncate -s 39 scores.bin
rm -f errorlog.txt
start_game -w
key_until_ended alt+F4 || fail "Alt+F4 did not end the game"
wait_game
[ "$GAME_RC" = 0 ] || fail "a file cut after its version ended the game with $GAME_RC"
[ -e errorlog.txt ] && fail "a file cut after its version was reported: $(cat errorlog.txt)"
echo ok
