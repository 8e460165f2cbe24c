#!/usr/bin/env bash
# Sets up, then builds and runs the whole test suite twice: once as built for
# play, once under AddressSanitizer and UndefinedBehaviorSanitizer, where any
# report fails the run. Window and sound tests get Xvfb with Mesa's software
# renderer and SDL's dummy audio driver unless a test chooses another.
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
xvfb-run -a -s "-screen 0 1024x768x24" ctest --test-dir build --output-on-failure -j"$jobs"

echo "== tests: sanitizer build"
cmake -S . -B build-asan -DCMAKE_BUILD_TYPE=Debug -DCRIMSON_SANITIZE=ON -DCRIMSON_BENCHMARKS=OFF >/dev/null
cmake --build build-asan -j"$jobs"
xvfb-run -a -s "-screen 0 1024x768x24" ctest --test-dir build-asan --output-on-failure -j"$jobs"
