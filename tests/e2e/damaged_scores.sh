# A damaged scores.bin stops the game at start-up with exit code 1 and the
# reason in errorlog.txt; a file that merely ends early (after its version)
# is read as far as it goes and the game plays on. (Every cut length is
# unit-tested on the loader.)
. "$(dirname "$0")/e2e_common.sh"
. "$(dirname "$0")/e2e_play.sh"

# A score file: signature with its zero byte, 16-bit version, 360 bytes of
# entries; $1 is the version's first byte in octal.
write_scores() {
  { printf "Crimson Lunatic Outbreak High Scores\\000\\$1\\000"; head -c 360 /dev/zero; } >scores.bin
}

write_scores 001
[ "$(stat -c %s scores.bin)" = 399 ] || fail "the test's own file is $(stat -c %s scores.bin) bytes"
# The 37th byte belongs to the signature too.
printf '!' | dd of=scores.bin bs=1 seek=36 conv=notrunc status=none
expect_failure "signature not terminated" 'load_highscores(): Invalid format of file "scores.bin"'

write_scores 002
expect_failure "version 2" 'load_highscores(): Version mismatch in file "scores.bin"'

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
