#!/usr/bin/env bash
# Sets up, then starts the game in a window through the same launcher an
# installed game uses: it runs in ~/.local/share/crimson-lunatic-outbreak
# (or $XDG_DATA_HOME), where the high scores are kept. Extra arguments
# ("-fps") are passed to the game.
set -euo pipefail
cd "$(dirname "$0")"
./setup.sh
exec build/crimson-lunatic-outbreak -w "$@"
