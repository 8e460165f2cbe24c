# The sound the game writes is not silence, neither during the intro nor on
# the title screen. SDL's disk driver writes the mixed output (16-bit stereo
# at 44,100 Hz, at the pace of a real device) to a file, which is read back
# in two parts: before Space on the intro, and after the title is shown.
. "$(dirname "$0")/e2e_common.sh"
. "$(dirname "$0")/e2e_play.sh"

export SDL_AUDIODRIVER=disk
export SDL_DISKAUDIOFILE=$WORK/output.raw
BYTES_PER_SECOND=176400
# Root mean square, full scale 32767; silence (or a stray click) stays far
# below this.
QUIET=200

audio_bytes() { stat -c %s output.raw 2>/dev/null || echo 0; }

# Waits until $1 more bytes of sound have been written.
wait_for_sound() {
  local until=$(($(audio_bytes) + $1))
  for _ in $(seq 1 300); do
    [ "$(audio_bytes)" -ge "$until" ] && return 0
    expect_running
    sleep 0.1
  done
  fail "the sound output stalled at $(audio_bytes) bytes"
}

start_game -w
wait_for_sound $((2 * BYTES_PER_SECOND))
intro_end=$(audio_bytes)

# The title is there once the status strip is drawn (the intro has none).
press_until_shown space title.bmp "strip_shown title.bmp" ||
  fail_with_picture title.bmp "Space did not lead to the title"
title_start=$(audio_bytes)
wait_for_sound $((2 * BYTES_PER_SECOND))
title_end=$(audio_bytes)

key_until_ended Escape || fail "Escape on the title did not quit"
wait_game
[ "$GAME_RC" = 0 ] || fail "game ended with $GAME_RC"

intro=$("$PICTURE_TOOL" rms output.raw 0 "$intro_end")
title=$("$PICTURE_TOOL" rms output.raw "$title_start" "$title_end")
echo "sound level: intro $intro, title $title"
[ "$intro" -gt "$QUIET" ] || fail "the intro is silent (level $intro)"
[ "$title" -gt "$QUIET" ] || fail "the title is silent (level $title)"
echo ok
