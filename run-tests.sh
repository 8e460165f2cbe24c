#!/usr/bin/env bash
# Sets up, then builds and runs the whole test suite twice: once as built for
# play, once under AddressSanitizer and UndefinedBehaviorSanitizer, where any
# report fails the run. Every test that opens a window starts an X server of
# its own (Xvfb), so tests running side by side never share a screen, a
# focus or a pointer; they draw with Mesa's software renderer, and sound
# goes to SDL's dummy audio driver unless a test chooses another.
set -euo pipefail
cd "$(dirname "$0")"
./setup.sh

jobs=$(nproc)
export SDL_AUDIODRIVER=${SDL_AUDIODRIVER:-dummy}
export LIBGL_ALWAYS_SOFTWARE=1
export ASAN_OPTIONS=detect_leaks=1:abort_on_error=0:halt_on_error=1
export LSAN_OPTIONS=suppressions=$PWD/tests/lsan.supp:print_suppressions=0
export UBSAN_OPTIONS=halt_on_error=1:print_stacktrace=1

echo "== tests: normal build"
ctest --test-dir build --output-on-failure -j"$jobs"

echo "== tests: sanitizer build"
cmake -S . -B build-asan -DCMAKE_BUILD_TYPE=Debug -DCRIMSON_SANITIZE=ON -DCRIMSON_BENCHMARKS=OFF >/dev/null
cmake --build build-asan -j"$jobs"
ctest --test-dir build-asan --output-on-failure -j"$jobs"
