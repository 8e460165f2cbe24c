#!/bin/bash
# Records the runs kept here again, after a rule has changed on purpose:
#   tools/replayrec/record.sh BUILD_DIR [SCENARIO...]
# Each scenario (replayrec.cpp lists them) plays the real game in a window
# on an X server of its own and leaves its replay as tests/replays/SCENARIO.rpl. Use the normal build: the sanitizer build then verifies them.
set -eu
here=$(cd "$(dirname "$0")/../../tests/replays" && pwd)
build=$(cd "$1" && pwd)
shift
[ $# -gt 0 ] || set -- psychosis score police pickups
work=$(mktemp -d /tmp/crimson_record_XXXXXX)
trap 'rm -rf "$work"' EXIT
for scenario in "$@"; do
  mkdir -p "$work/$scenario"
  ln -s "$build/assets.bin" "$work/$scenario/assets.bin"
  (cd "$work/$scenario" &&
    SDL_AUDIODRIVER=dummy xvfb-run -a -s "-screen 0 1024x768x24" "$build/tools/replayrec/replayrec" "$scenario")
  cp "$work/$scenario/replays/last.rpl" "$here/$scenario.rpl"
  (cd "$work/$scenario" && "$build/crimson" -verify "$here/$scenario.rpl")
done
