# The game played from its start as a player plays it, with real key
# presses into its window and its own screenshots: the intro's first page,
# Space to the title with its high-score table, Space to the story typing
# out, Space into a run behind the fade, Escape back to the title, Escape on
# the title to quit with exit code 0.
. "$(dirname "$0")/e2e_common.sh"
. "$(dirname "$0")/e2e_play.sh"

# Near-white pixels: text is drawn white, the backgrounds are darker.
text_in() { lit "$@" 200; }

start_game -w

# Intro, page 0: the studio's picture in the middle of a black window, no
# status strip.
shot_until intro.bmp '[ "$(lit intro.bmp 300 160 500 420)" -gt 3000 ]' ||
  fail_with_picture intro.bmp "the intro's first page did not show"
strip_shown intro.bmp && fail_with_picture intro.bmp "status strip drawn on the intro"
[ "$(lit intro.bmp 0 0 120 599)" = 0 ] || fail_with_picture intro.bmp "the intro is not on black"

# Title: the strip, then, once the fade from white has cleared, the table's
# header, dashes and ten rows over the brick wall.
press_until_shown space title.bmp "strip_shown title.bmp" ||
  fail_with_picture title.bmp "Space did not lead to the title"
table_shown() {
  [ "$(text_in "$1" 40 212 180 227)" = 0 ] && # clear of the fade's white
    [ "$(text_in "$1" 200 148 599 163)" -gt 150 ] && # header
    [ "$(text_in "$1" 200 180 599 195)" -gt 150 ] && # dashes
    [ "$(text_in "$1" 200 212 599 227)" -gt 60 ] && # row 1: "1." and zeros
    [ "$(text_in "$1" 200 500 599 515)" -gt 60 ] # row 10
}
shot_until title.bmp "table_shown title.bmp" 60 ||
  fail_with_picture title.bmp "no high-score table on the title"
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

# Escape: back to the title, whose strip reads as before.
press_until_shown Escape back.bmp "same_strip title.bmp back.bmp" ||
  fail_with_picture back.bmp "Escape did not lead back to the title"

key_until_ended Escape || fail "Escape on the title did not quit"
wait_game
[ "$GAME_RC" = 0 ] || fail "Escape on the title ended the game with $GAME_RC"
[ -e errorlog.txt ] && fail "error log written: $(cat errorlog.txt)"
echo ok
