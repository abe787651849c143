#!/usr/bin/env bash
# Sets up, builds and runs the whole test suite against real services.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/setup.sh
build=${VELMORA_BUILD_DIR:-build}
cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build "$build" -j"$(nproc)"
services=$(realpath -m "$build/test-services")
trap 'tests/services.sh stop "$services"' EXIT
tests/services.sh start "$services"
# shellcheck disable=SC1091
source "$services/env.sh"
ctest --test-dir "$build" --output-on-failure -j"$(nproc)" "$@"

# Second step, on request (VELMORA_SANITIZE_STEP=1; it doubles the build time): the unit and widget
# tests again, built with the address and undefined-behaviour sanitizers. Leaks that Qt and the
# font stack keep for the life of the process are suppressed by tests/lsan.supp; nothing of ours is.
if [ "${VELMORA_SANITIZE_STEP:-0}" = 1 ]; then
  asan=${VELMORA_ASAN_BUILD_DIR:-build-asan}
  cmake -S . -B "$asan" -G Ninja -DCMAKE_BUILD_TYPE=Debug -DVELMORA_SANITIZE=ON >/dev/null
  cmake --build "$asan" -j"$(nproc)"
  ASAN_OPTIONS=detect_leaks=1:abort_on_error=1:detect_stack_use_after_return=1 \
  UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 \
  LSAN_OPTIONS=suppressions=$PWD/tests/lsan.supp:print_suppressions=0 \
    ctest --test-dir "$asan" --output-on-failure -j"$(nproc)" -LE e2e
fi

# Third, on request (VELMORA_FUZZ_SMOKE=1): every fuzz target for a short time each.
if [ "${VELMORA_FUZZ_SMOKE:-0}" = 1 ]; then
  bench/fuzz.sh "${VELMORA_FUZZ_SECONDS:-20}"
fi
