# Print Screen writes screenshot_MMDDYY_HHMMSS.bmp: a 24-bit 800 x 600
# picture of the frame, its top row first. The frame rate text at the bottom
# right tells top from bottom.
. "$(dirname "$0")/e2e_common.sh"
need_display

start_game -w -fps
sleep 1.5
press_until "ls screenshot_*.bmp >/dev/null 2>&1" Print || fail "Print Screen wrote nothing"
sleep 0.2 # the file is complete once the frame that wrote it has ended
press_until_ended alt+F4
wait_game
[ "$GAME_RC" = 0 ] || fail "game ended with $GAME_RC"

shots=(screenshot_*.bmp)
[ -f "${shots[0]}" ] || fail "no screenshot written"
[[ ${shots[0]} =~ ^screenshot_[0-9]{6}_[0-9]{6}\.bmp$ ]] || fail "name ${shots[0]}"
shot=${shots[0]}

u32() { od -An -tu4 -j "$2" -N 4 "$1" | tr -d ' '; }
u16() { od -An -tu2 -j "$2" -N 2 "$1" | tr -d ' '; }
[ "$(u32 "$shot" 18)" = 800 ] || fail "width $(u32 "$shot" 18)"
[ "$(u32 "$shot" 22)" = 600 ] || fail "height $(u32 "$shot" 22)"
[ "$(u16 "$shot" 28)" = 24 ] || fail "bits $(u16 "$shot" 28)"

# Sum of the bytes of picture rows y0..y1 (top-down), columns x0..x1. The
# file stores rows bottom up, each padded to 4 bytes (2400 already is).
data=$(u32 "$shot" 10)
region_sum() {
  local y sum=0 row
  for y in $(seq "$1" "$2"); do
    row=$(od -An -tu1 -v -j $((data + (599 - y) * 2400 + $3 * 3)) -N $((($4 - $3 + 1) * 3)) "$shot")
    for b in $row; do sum=$((sum + b)); done
  done
  echo "$sum"
}
bottom=$(region_sum 568 585 736 795)
top=$(region_sum 14 31 736 795)
[ "$bottom" -gt 0 ] || fail "no frame rate text at the bottom right"
[ "$top" = 0 ] || fail "picture upside down (text found at the top right)"
echo ok
