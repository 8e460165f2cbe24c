# A run recorded with a Print Screen in it (replayrec shot: the real
# game in its window, a scripted player), then watched with -replay: the
# watcher takes its screenshot at the recorded moment, and the two files are
# the same byte for byte. Watching writes no scores.bin and no replay of its
# own, and ends on the title, where Escape quits. A file that is no replay
# is refused with its name and the reason in the error log.
. "$(dirname "$0")/../e2e/e2e_common.sh"
. "$(dirname "$0")/../e2e/e2e_play.sh"

printf 'not a replay' >bad.rpl
"$GAME" -verify bad.rpl
[ $? = 1 ] && [ "$(cat errorlog.txt)" = 'load_replay(): Replay file "bad.rpl" is not a replay file' ] ||
  fail "a bad file: $(cat errorlog.txt 2>/dev/null)"
rm errorlog.txt

timeout 120 "$3" shot >record.log 2>&1 ||
  fail "recording: $(cat record.log errorlog.txt 2>/dev/null)"
mv screenshot_*.bmp recorded.bmp || fail "the recorded run took no screenshot"
cp replays/last.rpl recorded.rpl

start_game -w -replay recorded.rpl
for _ in $(seq 1 600); do
  for file in screenshot_*.bmp; do
    [ -f "$file" ] && [ "$(stat -c %s "$file")" = "$SHOT_BYTES" ] && break 2
  done
  expect_running
  sleep 0.1
done
mv screenshot_*.bmp watched.bmp 2>/dev/null || fail "no screenshot while watching"
cmp -s recorded.bmp watched.bmp ||
  fail_with_picture watched.bmp "the watched frame differs from the recorded one ($(differing recorded.bmp watched.bmp 0 0 799 599) pixels)"

key_until_ended Escape || fail "Escape did not lead from the replay through the title to the end"
wait_game
[ "$GAME_RC" = 0 ] || fail "the watcher ended with $GAME_RC: $(cat errorlog.txt 2>/dev/null)"
[ -e scores.bin ] && fail "watching wrote scores.bin"
cmp -s recorded.rpl replays/last.rpl || fail "watching recorded itself"
echo ok
