#!/bin/sh
# short-run.sh EXE WORK_DIR RUNS SEED_DIR: a brief fuzz run with a fixed seed
# from an empty work corpus plus the seeds (if any), as ctest runs it.
set -eu
exe=$1 work=$2 runs=$3 seeds=$4
rm -rf "$work"
mkdir -p "$work"
[ -d "$seeds" ] || seeds=
# Findings land in the work folder, not in the source tree.
exec "$exe" -seed=1 -runs="$runs" -max_len=4096 -rss_limit_mb=1024 \
  -artifact_prefix="$work/" "$work" $seeds
