#!/usr/bin/env bash
# Sets up, builds and runs the whole test suite against real services: the tests of the normal
# build, the same tests built with the address and undefined-behaviour sanitizers, and a short
# run of every fuzz target. Arguments are passed to both CTest runs (for example -R e2e).
#   VELMORA_SANITIZE_STEP=0   skips the sanitizer build and its run
#   VELMORA_FUZZ_SMOKE=0      skips the fuzz targets; VELMORA_FUZZ_SECONDS sets their time (10 s)
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/setup.sh
# Clones in other folders share the compiler cache.
export CCACHE_BASEDIR=$PWD CCACHE_NOHASHDIR=true

build=${VELMORA_BUILD_DIR:-build}
cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build "$build" -j"$(nproc)"
services=$(realpath -m "$build/test-services")
trap 'tests/services.sh stop "$services"' EXIT
tests/services.sh start "$services"
# shellcheck disable=SC1091
source "$services/env.sh"
ctest --test-dir "$build" --output-on-failure -j"$(nproc)" "$@"

# Leaks that Qt and the font stack keep for the life of the process are suppressed by
# tests/lsan.supp; nothing of ours is. The program run by the end-to-end tests is the sanitized
# one too, so a report there fails its test through the exit status.
if [ "${VELMORA_SANITIZE_STEP:-1}" = 1 ]; then
  asan=${VELMORA_ASAN_BUILD_DIR:-build-asan}
  cmake -S . -B "$asan" -G Ninja -DCMAKE_BUILD_TYPE=Debug -DVELMORA_SANITIZE=ON >/dev/null
  cmake --build "$asan" -j"$(nproc)"
  ASAN_OPTIONS=detect_leaks=1:abort_on_error=1:detect_stack_use_after_return=1 \
  UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 \
  LSAN_OPTIONS=suppressions=$PWD/tests/lsan.supp:print_suppressions=0 \
    ctest --test-dir "$asan" --output-on-failure -j"$(nproc)" "$@"
fi

if [ "${VELMORA_FUZZ_SMOKE:-1}" = 1 ]; then
  bench/fuzz.sh "${VELMORA_FUZZ_SECONDS:-10}"
fi
