#!/bin/sh
# long-fuzz.sh NAME [SECONDS] [BUILD_DIR]: builds fuzz_NAME and fuzzes it for
# SECONDS (default 600) on both cores, keeping the corpus between runs in
# BUILD_DIR/fuzz-corpus/NAME (BUILD_DIR defaults to build). A crash leaves
# its input there as crash-*; replay it with: BUILD_DIR/tests/fuzz/fuzz_NAME FILE
set -eu
name=$1
seconds=${2:-600}
root=$(cd "$(dirname "$0")/../.." && pwd)
build=${3:-$root/build}
cmake --build "$build" --target "fuzz_$name" -j2
corpus=$build/fuzz-corpus/$name
mkdir -p "$corpus"
seeds=$root/tests/fuzz/seeds/$name
[ -d "$seeds" ] || seeds=
cd "$corpus"
exec "$build/tests/fuzz/fuzz_$name" -max_total_time="$seconds" -max_len=4096 -rss_limit_mb=1024 \
  -jobs=2 -workers=2 -artifact_prefix="$corpus/" "$corpus" $seeds
