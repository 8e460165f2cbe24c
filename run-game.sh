#!/usr/bin/env bash
# Sets up, then starts the game in a window. Extra arguments ("-fps") are
# passed to the game.
set -euo pipefail
cd "$(dirname "$0")"
./setup.sh
cd build
exec ./crimson -w "$@"
