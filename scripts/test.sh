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
