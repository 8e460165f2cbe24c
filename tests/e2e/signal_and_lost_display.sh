# The game ends promptly when its world goes away. SIGTERM in the frame
# loop is the window's close request: exit code 0, nothing written. A display
# that stops ends it with exit code 1 and one line in the log (it used to
# spin on the dead connection for good). Each must be gone within 2 s.
. "$(dirname "$0")/e2e_common.sh"
. "$(dirname "$0")/e2e_play.sh"

# A process is gone only once each of its threads has run again to end, and
# Mesa's shader-cache writer runs at the lowest priority: on a saturated
# machine it alone held the end back by up to 1.5 s after the game had
# called _exit. The game's own reaction is what is timed here.
export MESA_SHADER_CACHE_DISABLE=true

# Waits up to 2 s for the game to end and prints how long it took ($1 names
# the case); its exit code goes to GAME_RC.
gone_within_2s() {
  local start now
  start=$(date +%s%N)
  now=$start
  while kill -0 "$GAME_PID" 2>/dev/null && [ $((now - start)) -lt 2000000000 ]; do
    sleep 0.02
    now=$(date +%s%N)
  done
  kill -0 "$GAME_PID" 2>/dev/null && fail "$1: the game still runs 2 s later"
  echo "$1: gone after $(((now - start) / 1000000)) ms"
  wait_game
}

# A screenshot shows the frame loop running.
start_game -w
shot running.bmp
kill -TERM "$GAME_PID"
gone_within_2s SIGTERM
[ "$GAME_RC" = 0 ] || fail "SIGTERM: exit code $GAME_RC"
[ -e errorlog.txt ] && fail "SIGTERM: log written: $(cat errorlog.txt)"
[ -e scores.bin ] && fail "SIGTERM: scores.bin written"

start_game -w
shot running.bmp
display=$DISPLAY
stop_own_display # returns once the server has gone
gone_within_2s "lost display"
[ "$GAME_RC" = 1 ] || fail "lost display: exit code $GAME_RC"
grep -qx "main(): The connection to the display \"$display\" was lost" errorlog.txt ||
  fail "lost display: log says: $(cat errorlog.txt 2>/dev/null)"
echo ok
