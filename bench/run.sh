#!/usr/bin/env bash
# The fetch benchmark: SELECT * of a 1,000,000 x 10 SQLite table fetched into the result set,
# side by side with `sqlite3 -csv` writing the same query to /dev/null. Prints both times (best
# of REPEATS each), their ratio (target: at most 1.5), the result set's memory and the size of the
# same data as CSV (target: memory at most the CSV size).
#   bench/run.sh [REPEATS]          (VELMORA_BUILD_DIR chooses the build folder, default build)
set -euo pipefail
cd "$(dirname "$0")/.."
repeats=${1:-3}
# shellcheck source=bench/common.sh
. bench/common.sh
bench_setup bench_fetch

best_csv=""
for _ in $(seq "$repeats"); do
  start=$(date +%s.%N)
  sqlite3 -csv -header "$db" "$query" >/dev/null
  end=$(date +%s.%N)
  best_csv=$(awk -v s="$start" -v e="$end" -v b="$best_csv" 'BEGIN { t = e - s; print (b == "" || t < b) ? t : b }')
done
csv_bytes=$(sqlite3 -csv -header "$db" "$query" | wc -c)

out=$("$build/bin/bench_fetch" "$db" "$query" "$repeats")
echo "$out" | grep '^run'
fetch=$(echo "$out" | awk '/^best_seconds/ {print $2}')
rows=$(echo "$out" | awk '/^rows/ {print $2}')
bytes=$(echo "$out" | awk '/^result_bytes/ {print $2}')

printf 'rows:                 %s\n' "$rows"
printf 'fetch into result set: %.3f s\n' "$fetch"
printf 'sqlite3 -csv:          %.3f s\n' "$best_csv"
printf 'time ratio:            %.2f (target <= 1.5)\n' "$(awk -v a="$fetch" -v b="$best_csv" 'BEGIN { print a / b }')"
printf 'result set memory:     %d bytes\n' "$bytes"
printf 'same data as CSV:      %d bytes\n' "$csv_bytes"
printf 'memory ratio:          %.2f (target <= 1.0)\n' "$(awk -v a="$bytes" -v b="$csv_bytes" 'BEGIN { print a / b }')"
