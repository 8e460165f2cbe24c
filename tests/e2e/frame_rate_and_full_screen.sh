# "-fps" shows the frame rate at the bottom right, where a run without it
# shows nothing; Left Alt + Return switches to full screen and back while the
# game goes on: the window stays, keys still act, and the text drawn after
# each switch proves the textures were loaded again into the new context.
. "$(dirname "$0")/e2e_common.sh"
. "$(dirname "$0")/e2e_play.sh"

# The "FPS: n" text, right-aligned at x 792 on the line at y 568.
FPS_REGION="728 568 791 583"
has_fps() { [ "$(lit "$1" $FPS_REGION)" -gt 20 ]; }

start_game -w
shot plain.bmp
key_until_ended alt+F4 || fail "Alt+F4 did not end the game"
wait_game
[ "$GAME_RC" = 0 ] || fail "plain run ended with $GAME_RC"

start_game -w -fps
shot_until fps.bmp "has_fps fps.bmp" || fail_with_picture fps.bmp "no frame rate shown"
[ "$(differing plain.bmp fps.bmp $FPS_REGION)" -gt 20 ] ||
  fail_with_picture plain.bmp "the run without -fps shows the same bottom right corner"

for mode in "full screen" "window"; do
  key alt+Return
  # The game opens its screen anew under the same title; it must not end.
  sleep 0.5
  expect_running
  WINDOW=$(xdotool search --name "$WINDOW_NAME" 2>/dev/null | head -1)
  [ -n "$WINDOW" ] || fail "no window after switching to $mode"
  shot_until switched.bmp "has_fps switched.bmp" ||
    fail_with_picture switched.bmp "no text drawn after switching to $mode"
done

key_until_ended alt+F4 || fail "Alt+F4 did not end the game"
wait_game
[ "$GAME_RC" = 0 ] || fail "game ended with $GAME_RC after the switches"
[ -e errorlog.txt ] && fail "error log written: $(cat errorlog.txt)"
echo ok
