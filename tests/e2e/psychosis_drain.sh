# A run left alone ends when the psychosis meter has drained (1,100 ticks,
# about 18 s; nobody is armed before the first kill, so nothing else ends
# it): the screen fades to dark red with "PRESS SPACE BAR TO CONTINUE", and
# Space leads straight to the title, since a score of 0 never enters the
# table (no name entry, no score file).
. "$(dirname "$0")/e2e_common.sh"
. "$(dirname "$0")/e2e_play.sh"

start_game -w
go_to_title
go_to_run

# The prompt line at y 568, centred: 27 characters from x 292. It blinks,
# and it is drawn over the dark red that covers the town.
run_over() {
  local colour
  colour=$("$PICTURE_TOOL" mean "$1" 0 100 799 500)
  set -- "$1" $colour
  [ "$2" -gt 120 ] && [ "$3" -lt 30 ] && [ "$4" -lt 30 ] && [ "$(text_in "$1" 292 568 507 583)" -gt 100 ]
}
shot_until over.bmp "run_over over.bmp" 200 ||
  fail_with_picture over.bmp "no end of the run with the continue prompt"

press_until_shown space back.bmp "same_strip title.bmp back.bmp" ||
  fail_with_picture back.bmp "Space after the run did not lead to the title"
[ -e scores.bin ] && fail "a score of 0 was stored"

key_until_ended Escape || fail "Escape on the title did not quit"
wait_game
[ "$GAME_RC" = 0 ] || fail "game ended with $GAME_RC"
[ -e errorlog.txt ] && fail "error log written: $(cat errorlog.txt)"
echo ok
