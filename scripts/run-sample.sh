#!/usr/bin/env bash
# Sets up, builds and opens Velmora on the bundled sample queries and sample database.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/setup.sh
build=${VELMORA_BUILD_DIR:-build}
cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build "$build" -j"$(nproc)"
cd "$build/samples"
exec ../bin/velmora
