# Sourced by test scripts that open game windows: an X server of the
# script's own (Xvfb, 1024 x 768, 24-bit), so no window of a test running at
# the same time can cover the game, take its focus, its keys or its pointer.
# The server picks a free display number itself and reports it (-displayfd),
# so servers starting at the same moment never race for one. The server
# never resets: one that resets whenever its last client leaves (a probe of
# xdotool, SDL's own probe of the display) refuses the next client for a
# moment, and SDL then quietly runs the game on its off-screen driver, with
# no window at all.

# Starts the server and points DISPLAY at it; fails if it does not come up.
# The server's process id is left in XVFB_PID.
start_own_display() {
  local number_file
  number_file=$(mktemp /tmp/crimson_display_XXXXXX)
  Xvfb -displayfd 5 -screen 0 1024x768x24 -nolisten tcp -noreset 5>"$number_file" 2>/dev/null &
  XVFB_PID=$!
  for _ in $(seq 1 100); do
    [ -s "$number_file" ] && break
    kill -0 "$XVFB_PID" 2>/dev/null || break
    sleep 0.1
  done
  DISPLAY=:$(head -1 "$number_file")
  rm -f "$number_file"
  export DISPLAY
  [ "$DISPLAY" != : ]
}

# Ends the server, if it still runs; for the script's EXIT trap.
stop_own_display() {
  [ -n "${XVFB_PID:-}" ] || return 0
  kill "$XVFB_PID" 2>/dev/null
  wait "$XVFB_PID" 2>/dev/null
  XVFB_PID=
}
