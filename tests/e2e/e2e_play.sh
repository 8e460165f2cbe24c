# Helpers for the scripts that play the game through its window, sourced
# after e2e_common.sh. What the game shows is read from its own screenshots
# (Print Screen), measured with picture_tool, built beside these scripts.
# Waits are for conditions, with time limits generous enough for a loaded
# machine and the sanitizer build; none of them is a plain fixed sleep
# standing in for a condition.

PICTURE_TOOL=$BUILD_DIR/tests/e2e/crimson_picture_tool
[ -x "$PICTURE_TOOL" ] || fail "picture tool not built: $PICTURE_TOOL"

# Each playing script gets an X server of its own: keys go to the focused
# window, and a window of a test running at the same time must never take
# the focus (or the keys) from the game under test.
. "$(dirname "$0")/../own_display.sh"
need_display
trap 'cleanup; stop_own_display' EXIT
start_own_display || fail "Xvfb gave no display"

# A screenshot of the 800 x 600 frame is a 54-byte header and 1,440,000
# bytes of pixels; the file is complete once it has them all.
SHOT_BYTES=1440054

lit() { "$PICTURE_TOOL" lit "$@"; }
differing() { "$PICTURE_TOOL" diff "$@"; }

focus_game() { xdotool windowfocus --sync "$WINDOW" 2>/dev/null || true; }

# Real key presses (XTest) into the focused game window: on a display of
# its own the game keeps the focus.
key() {
  focus_game
  xdotool key "$@"
}

# Presses the keys until the game has ended, for up to 30 s.
key_until_ended() {
  for _ in $(seq 1 10); do
    kill -0 "$GAME_PID" 2>/dev/null || return 0
    key "$@"
    for _ in $(seq 1 30); do
      kill -0 "$GAME_PID" 2>/dev/null || return 0
      sleep 0.1
    done
  done
  return 1
}

# Takes a screenshot with Print Screen and saves it as $1. The key is pressed
# again if no picture arrives in time (focus can lag on a busy machine).
shot() {
  local name=$1 file
  rm -f screenshot_*.bmp "$name"
  for _ in $(seq 1 10); do
    expect_running
    key Print
    for _ in $(seq 1 30); do
      for file in screenshot_*.bmp; do
        if [ -f "$file" ] && [ "$(stat -c %s "$file")" = "$SHOT_BYTES" ]; then
          mv "$file" "$name"
          return 0
        fi
      done
      sleep 0.1
    done
  done
  fail "no screenshot for $name"
}

# Takes screenshots into $1 until `condition` holds (it reads the picture
# $1), for at most $3 pictures (default 40).
shot_until() {
  local name=$1 condition=$2 tries=${3:-40}
  for _ in $(seq 1 "$tries"); do
    shot "$name"
    eval "$condition" && return 0
    sleep 0.2
  done
  return 1
}

# Keeps the picture $1 for a failure's inspection in the test's output folder.
keep_picture() { cp "$1" "$BUILD_DIR/e2e_failed_$(basename "$0" .sh)_$1" 2>/dev/null || true; }

# Fails with $2 after keeping the picture $1.
fail_with_picture() {
  keep_picture "$1"
  fail "$2 (picture kept as e2e_failed_$(basename "$0" .sh)_$1 in the build folder)"
}

# Presses key $1 once, then takes screenshots $2 until `condition` $3 holds;
# only after 15 pictures without it is the key pressed again (at most three
# times): a second press must not land in the state the first one led to.
press_until_shown() {
  local key=$1 name=$2 condition=$3
  for _ in 1 2 3; do
    key "$key"
    shot_until "$name" "$condition" 15 && return 0
  done
  return 1
}

# The status strip is drawn in every state but the intro.
strip_shown() { [ "$(lit "$1" 0 0 799 63)" -gt 5000 ]; }

# The strip's texts tell the states apart at once (it is drawn over any
# fade): zero meters and the sound switches on the title, the run's counters
# in the story, full meters in a new run.
same_strip() { [ "$(differing "$1" "$2" 0 0 799 63)" -lt 20 ]; }

# Near-white pixels: text is drawn white, the backgrounds are darker.
text_in() { lit "$@" 200; }

# The fade from white has (nearly) cleared the brick wall left of the table;
# the wall itself is dark, about (37, 25, 29) on average.
faded_in() {
  local colour
  colour=$("$PICTURE_TOOL" mean "$1" 20 200 180 500)
  set -- $colour
  [ "$1" -lt 60 ] && [ "$2" -lt 60 ] && [ "$3" -lt 60 ]
}

# The title's high-score table, once the fade from white has cleared: the
# header, the dashes and rows 1 and 10 (each shows at least its rank and
# zeros) at the table's fixed places.
table_shown() {
  faded_in "$1" &&
    [ "$(text_in "$1" 200 148 599 163)" -gt 150 ] && # header
    [ "$(text_in "$1" 200 180 599 195)" -gt 150 ] && # dashes
    [ "$(text_in "$1" 200 212 599 227)" -gt 60 ] && # row 1
    [ "$(text_in "$1" 200 500 599 515)" -gt 60 ] # row 10
}

# From the intro to the title with its fade over (Space is then taken):
# the picture is left in title.bmp.
go_to_title() {
  press_until_shown space title.bmp "strip_shown title.bmp" ||
    fail_with_picture title.bmp "Space did not lead to the title"
  shot_until title.bmp "table_shown title.bmp" 60 ||
    fail_with_picture title.bmp "no high-score table on the title"
}


# From the title (go_to_title) through the story into a new run, whose
# first picture is left in play.bmp.
go_to_run() {
  press_until_shown space story.bmp "! same_strip title.bmp story.bmp" ||
    fail_with_picture story.bmp "Space on the title did not lead to the story"
  press_until_shown space play.bmp '! same_strip story.bmp play.bmp && [ "$(lit play.bmp 0 64 799 599)" -gt 200000 ]' ||
    fail_with_picture play.bmp "Space on the story did not start a run"
}
