#!/usr/bin/env bash
# Builds the libFuzzer targets (clang, address and undefined-behaviour sanitizers) and runs each
# for SECONDS (default 60), starting from the committed seeds in fuzz/corpus/<target>.
#   bench/fuzz.sh [SECONDS] [TARGET...]
# Environment: VELMORA_FUZZ_BUILD_DIR (default build-fuzz), VELMORA_FUZZ_WORK (the growing
# corpora and any crash inputs; default $VELMORA_FUZZ_BUILD_DIR/fuzz-work).
# Exits 1 when a target crashed; the input that did it is left in the work folder, to be added
# to fuzz/corpus/<target> as a regression case once fixed.
set -euo pipefail
cd "$(dirname "$0")/.."
seconds=${1:-60}
shift || true
build=${VELMORA_FUZZ_BUILD_DIR:-build-fuzz}
work=$(realpath -m "${VELMORA_FUZZ_WORK:-$build/fuzz-work}")
flags="-fsanitize=fuzzer-no-link,address,undefined -fno-sanitize-recover=undefined"
cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++ -DVELMORA_FUZZ=ON -DVELMORA_TESTS=OFF \
  -DCMAKE_C_FLAGS="$flags" -DCMAKE_CXX_FLAGS="$flags" >/dev/null

targets=("$@")
if [ ${#targets[@]} -eq 0 ]; then
  for dir in fuzz/corpus/*/; do
    name=$(basename "$dir")
    # A target whose library is not in the tree yet is not configured; skip it.
    ninja -C "$build" -t query "fuzz-$name" >/dev/null 2>&1 && targets+=("$name")
  done
fi
cmake --build "$build" -j2 --target "${targets[@]/#/fuzz-}"

export ASAN_OPTIONS=${ASAN_OPTIONS:-detect_leaks=1:abort_on_error=1}
export UBSAN_OPTIONS=${UBSAN_OPTIONS:-print_stacktrace=1:halt_on_error=1}
failed=0
printf '%-14s %8s %10s %8s  %s\n' target seconds runs corpus outcome
for name in "${targets[@]}"; do
  mkdir -p "$work/$name"
  log="$work/$name.log"
  status=ok
  "$build/bin/fuzz-$name" -max_total_time="$seconds" -timeout=60 -rss_limit_mb=2048 \
    -print_final_stats=1 -artifact_prefix="$work/$name-" "$work/$name" "fuzz/corpus/$name" \
    >"$log" 2>&1 || { status="CRASH (see $log)"; failed=1; }
  runs=$(sed -n 's/^stat::number_of_executed_units: *//p' "$log" | tail -n 1)
  printf '%-14s %8s %10s %8s  %s\n' "$name" "$seconds" "${runs:-?}" "$(ls "$work/$name" | wc -l)" "$status"
done
exit $failed
