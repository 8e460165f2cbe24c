# Shared by the end-to-end scripts: usage is SCRIPT GAME_BINARY BUILD_DIR.
# Each script runs in a fresh folder holding a link to assets.bin, so the
# error log and screenshots of one case never meet another's.
set -u

GAME=$1
BUILD_DIR=$2
WINDOW_NAME="Crimson Lunatic Outbreak Version 1"

# Under the sanitizer build the game's memory errors still fail the run, but
# its leak check does not: Mesa unloads its driver before the check, leaving
# the driver's lifetime allocations without a module a suppression can name.
# The unit tests check our own leaks with the driver kept loaded.
export ASAN_OPTIONS="${ASAN_OPTIONS:-}:detect_leaks=0"

fail() { echo "FAIL: $*" >&2; exit 1; }

# The scripts that open windows bring their own X server (own_display.sh).
need_display() {
  if ! command -v Xvfb >/dev/null || ! command -v xdotool >/dev/null; then
    echo "no Xvfb or xdotool: skipped"
    exit 77
  fi
}

WORK=$(mktemp -d /tmp/crimson_e2e_XXXXXX)
GAME_PID=
cleanup() {
  if [ -n "$GAME_PID" ] && kill -0 "$GAME_PID" 2>/dev/null; then kill -9 "$GAME_PID"; fi
  rm -rf "$WORK"
}
trap cleanup EXIT
cd "$WORK" || exit 1
if [ -f "$BUILD_DIR/assets.bin" ]; then ln -s "$BUILD_DIR/assets.bin" assets.bin; fi

# Fails unless the game is still running. An archive still waiting for some
# of its members is no fault of the program under test: that case skips.
expect_running() {
  kill -0 "$GAME_PID" 2>/dev/null && return 0
  if grep -q 'not found in archive' errorlog.txt 2>/dev/null; then
    echo "assets.bin incomplete, skipped: $(cat errorlog.txt)"
    exit 77
  fi
  fail "game ended by itself: $(cat errorlog.txt 2>/dev/null)"
}

# Starts the game with the given arguments and waits for its window.
start_game() {
  "$GAME" "$@" &
  GAME_PID=$!
  WINDOW=
  for _ in $(seq 1 300); do
    # By process: window tests running beside this one show the same caption.
    WINDOW=$(xdotool search --all --onlyvisible --pid "$GAME_PID" --name "$WINDOW_NAME" 2>/dev/null | head -1)
    [ -n "$WINDOW" ] && break
    expect_running
    sleep 0.1
  done
  [ -n "$WINDOW" ] || fail "no window appeared"
  xdotool windowfocus --sync "$WINDOW" 2>/dev/null || true
}

# Waits up to 30 s for the game to end; its exit code goes to GAME_RC.
wait_game() {
  for _ in $(seq 1 300); do
    kill -0 "$GAME_PID" 2>/dev/null || break
    sleep 0.1
  done
  kill -0 "$GAME_PID" 2>/dev/null && fail "game still running"
  wait "$GAME_PID"
  GAME_RC=$?
  GAME_PID=
}
