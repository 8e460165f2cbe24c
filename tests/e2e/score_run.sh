# A run that scores, played through the game's own frame loop with real
# clicks, pointer moves and key presses (crimson_e2e_score_run keeps one
# civilian in the player's reach and, after the kill, lets the run end): the
# player turns toward the pointer, three clicks kill
# the civilian (40 damage a hit: 100, 60, 20, dead; 1 + 1 + 10 points), Space after
# the end opens the name entry, the typed name and Return store the run in
# scores.bin (399 bytes), and the game started afterwards shows it in the
# first row of the title's table.
. "$(dirname "$0")/e2e_common.sh"
. "$(dirname "$0")/e2e_play.sh"

REAL_GAME=$GAME
GAME=$BUILD_DIR/tests/e2e/crimson_e2e_score_run
[ -x "$GAME" ] || fail "harness not built: $GAME"
NAME="Jo Tester 7"

# The harness's lines since the last key_until_logged or wait_logged began.
SEEN=0
logged() { tail -n +$((SEEN + 1)) run.log | grep -qx "$1"; }

# Presses the key until the harness reports the line, for up to 30 s.
key_until_logged() {
  local line=$1
  shift
  SEEN=$(wc -l <run.log)
  for _ in $(seq 1 10); do
    key "$@"
    for _ in $(seq 1 30); do
      logged "$line" && return 0
      expect_running
      sleep 0.1
    done
  done
  fail "no \"$line\" after pressing $*; the harness said: $(tr '\n' '|' <run.log)"
}

wait_logged() {
  for _ in $(seq 1 300); do
    logged "$1" && return 0
    expect_running
    sleep 0.1
  done
  fail "no \"$1\"; the harness said: $(tr '\n' '|' <run.log)"
}

start_game -w >run.log
key_until_logged "state 1" space
key_until_logged "state 2" space
key_until_logged "state 3" space
wait_logged 'live [0-9]* [0-9]*'
read -r _ player_x player_y <<<"$(grep '^live ' run.log)"

# The player turns toward the pointer: east of it, then west. The picture
# around the player changes with the facing (so does the civilian kept in
# front of it).
aim_at() {
  SEEN=$(wc -l <run.log)
  focus_game
  xdotool mousemove --window "$WINDOW" "$1" "$player_y"
  wait_logged "aim $2"
}
east=$((player_x + 100 > 799 ? 799 : player_x + 100))
west=$((player_x < 100 ? 0 : player_x - 100))
aim_at "$east" 90
shot east.bmp
aim_at "$west" '\(270\|-90\)'
shot west.bmp
around_player="$((player_x - 24)) $((player_y - 24)) $((player_x + 24)) $((player_y + 24))"
[ "$(differing east.bmp west.bmp $around_player)" -gt 100 ] ||
  fail_with_picture west.bmp "the player at $player_x, $player_y looks the same facing east and west"

# Strike: every click swings; the civilian is kept in reach in front.
for _ in $(seq 1 40); do
  grep -q '^hit [0-9]* 0$' run.log && break
  expect_running
  focus_game
  xdotool click 1
  sleep 0.3
done
# Scores 1, 2, then 12 with the kill; the health left after each strike
# (a hurt civilian regains a point a second, so 60 and 20 may have grown).
hits=$(grep '^hit' run.log | tr '\n' '|')
[[ $hits =~ ^hit\ 1\ (6[0-9])\|hit\ 2\ ([23][0-9])\|hit\ 12\ 0\|$ ]] ||
  fail "the strikes went: $hits"

wait_logged out
key_until_logged "state 4" space
focus_game
xdotool type --delay 80 "$NAME"
key_until_logged "state 1" Return
key_until_ended Escape || fail "Escape on the title did not quit"
wait_game
[ "$GAME_RC" = 0 ] || fail "the harness ended with $GAME_RC"

run=$(grep '^run ' run.log)
read -r _ run_score run_civilians run_armed run_seconds <<<"$run"
[ "$run_score $run_civilians $run_armed" = "12 1 0" ] || fail "the run's counters: $run"

# The file's exact image is unit-tested; here the run's own entry is read
# back: name (20 bytes) and four counters at byte 39, the first entry.
[ -f scores.bin ] || fail "no scores.bin written"
[ "$(stat -c %s scores.bin)" = 399 ] || fail "scores.bin is $(stat -c %s scores.bin) bytes"
i32() { od -An -td4 -j "$1" -N 4 scores.bin | tr -d ' '; }
[ "$(dd if=scores.bin bs=1 skip=39 count=20 status=none | tr -d '\0')" = "$NAME" ] ||
  fail "stored name: $(dd if=scores.bin bs=1 skip=39 count=20 status=none | od -c | head -2)"
stored="$(i32 59) $(i32 63) $(i32 67) $(i32 71)"
[ "$stored" = "$run_score $run_civilians $run_armed $run_seconds" ] ||
  fail "stored counters $stored, the run had $run_score $run_civilians $run_armed $run_seconds"

# The run's replay was written twice: as the last run, and as the run that
# entered the table.
copy=$(ls replays/*_"$run_score".rpl 2>/dev/null)
[ -n "$copy" ] && cmp -s replays/last.rpl "$copy" || fail "replays written: $(ls replays 2>&1)"

# The game itself, started afterwards, lists the run first: the name in the
# first row's name column, nothing in the second's.
GAME=$REAL_GAME
start_game -w
go_to_title
[ "$(text_in title.bmp 232 212 359 227)" -gt 60 ] ||
  fail_with_picture title.bmp "the stored name is not in the first row"
[ "$(text_in title.bmp 232 244 359 259)" = 0 ] ||
  fail_with_picture title.bmp "a name in the second row"
key_until_ended Escape || fail "Escape on the title did not quit"
wait_game
[ "$GAME_RC" = 0 ] || fail "the game ended with $GAME_RC"
echo ok
