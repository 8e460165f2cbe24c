# The game played from its start as a player plays it, with real key
# presses into its window and its own screenshots: the intro's first page,
# Space to the title with its high-score table, Space to the story typing
# out, Space into a run behind the fade, the player walking with the arrow
# keys, Escape back to the title, Escape on the title to quit with exit
# code 0. (Turning toward the pointer and striking are shown by score_run,
# which knows where the player stands.)
. "$(dirname "$0")/e2e_common.sh"
. "$(dirname "$0")/e2e_play.sh"

start_game -w

# Intro, page 0: the studio's picture in the middle of a black window, no
# status strip.
shot_until intro.bmp '[ "$(lit intro.bmp 300 160 500 420)" -gt 3000 ]' ||
  fail_with_picture intro.bmp "the intro's first page did not show"
strip_shown intro.bmp && fail_with_picture intro.bmp "status strip drawn on the intro"
[ "$(lit intro.bmp 0 0 120 599)" = 0 ] || fail_with_picture intro.bmp "the intro is not on black"

# Title: the strip, then, once the fade from white has cleared, the table's
# header, dashes and ten rows over the brick wall.
go_to_title
[ "$(text_in title.bmp 232 212 359 227)" = 0 ] ||
  fail_with_picture title.bmp "a name in the first row of an empty table"

# Story: the screen goes dark below the strip and the text types out.
story_shown() {
  strip_shown "$1" && ! same_strip title.bmp "$1" && [ "$(lit "$1" 0 80 799 240)" = 0 ] &&
    [ "$(text_in "$1" 68 252 740 267)" -gt 0 ]
}
press_until_shown space story.bmp "story_shown story.bmp" ||
  fail_with_picture story.bmp "Space on the title did not lead to the story"
typed=$(text_in story.bmp 68 252 740 420)
shot_until story2.bmp '[ "$(text_in story2.bmp 68 252 740 420)" -gt "$typed" ]' ||
  fail_with_picture story2.bmp "the story does not type on"

# The run: the town fills the play area as the fade from black clears.
press_until_shown space play.bmp '! same_strip story.bmp play.bmp && [ "$(lit play.bmp 0 64 799 599)" -gt 200000 ]' ||
  fail_with_picture play.bmp "Space on the story did not start a run"

# The player walks with the keys: the camera follows it, so a step shifts
# the whole town, far more than the crowd changes it in the same time. At a
# map edge the camera stops, so the four directions are tried in turn (and
# again while the opening fade still holds the player).
walk() {
  shot before.bmp
  focus_game
  xdotool keydown "$1"
  sleep 0.7
  xdotool keyup "$1"
  shot after.bmp
  differing before.bmp after.bmp 0 64 799 599
}
# The opening fade changes every pixel while it clears, which would hide a
# step; the crowd's own change is measured once the picture holds still.
try_walking() {
  for _ in 1 2 3 4 5 6 7 8 9 10; do
    shot still1.bmp
    sleep 0.7
    shot still2.bmp
    crowd=$(differing still1.bmp still2.bmp 0 64 799 599)
    [ "$crowd" -lt 60000 ] && break
  done
  for _ in 1 2 3; do
    for direction in Right Down Left Up; do
      change=$(walk "$direction")
      if [ "$change" -gt 60000 ] && [ "$change" -gt $((3 * crowd)) ]; then
        walked=$direction
        return 0
      fi
    done
  done
  return 1
}
# A run can place the player walled in near a corner of the town, where the
# camera stays at the map's edge whatever the player does: a new run then
# places it elsewhere.
walked=
for _ in 1 2 3; do
  try_walking && break
  press_until_shown Escape back.bmp "same_strip title.bmp back.bmp" ||
    fail_with_picture back.bmp "Escape did not lead back to the title"
  go_to_run
done
[ -n "$walked" ] || fail_with_picture after.bmp "holding the arrow keys did not move the view (crowd alone changed $crowd pixels)"

# Escape: back to the title, whose strip reads as before.
press_until_shown Escape back.bmp "same_strip title.bmp back.bmp" ||
  fail_with_picture back.bmp "Escape did not lead back to the title"

key_until_ended Escape || fail "Escape on the title did not quit"
wait_game
[ "$GAME_RC" = 0 ] || fail "Escape on the title ended the game with $GAME_RC"
[ -e errorlog.txt ] && fail "error log written: $(cat errorlog.txt)"
echo ok
