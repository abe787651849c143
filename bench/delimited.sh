#!/usr/bin/env bash
# The delimited export benchmark: a whole unattended run `velmora q.kvf out.csv D , 1` (start,
# load, connect, execute, fetch, write, exit) on the 1,000,000 x 10 table of fetch-db.sql, side
# by side with `sqlite3 -csv -header` writing the same query to a file. Prints both times (best
# of REPEATS each; target ratio at most 1.5), the program's peak memory against the CSV file's
# size (target at most 2), and the split of the writer's own time from bench_delimited.
#   bench/delimited.sh [REPEATS]     (VELMORA_BUILD_DIR chooses the build folder, default build;
#                                     VELMORA_BIN another program binary)
set -euo pipefail
cd "$(dirname "$0")/.."
repeats=${1:-3}
# shellcheck source=bench/common.sh
. bench/common.sh
bench_setup velmora velmora-kvf bench_delimited
velmora=${VELMORA_BIN:-$build/bin/velmora}
printf '%s' "$query" | "$build/bin/velmora-kvf" encode -d "Delimited benchmark" \
  -c "Provider=SQLite;Data Source=fetch.db" -o "$work/delimited.kvf" -
export LC_ALL=${LC_ALL:-C.UTF-8}
export XDG_CONFIG_HOME="$work/delimited-config"
mkdir -p "$XDG_CONFIG_HOME"

best() { awk -v t="$1" -v b="$2" 'BEGIN { print (b == "" || t < b) ? t : b }'; }
seconds_of() { awk '/Elapsed \(wall clock\)/ { n = split($NF, p, ":"); s = 0; for (i = 1; i <= n; i++) s = s * 60 + p[i]; print s }' "$1"; }
peak_kb_of() { awk '/Maximum resident set size/ { print $NF }' "$1"; }

best_sqlite="" best_velmora="" peak_kb=0
for _ in $(seq "$repeats"); do
  (cd "$work" && /usr/bin/time -v -o time-sqlite.txt sqlite3 -csv -header fetch.db "$query" >sqlite.csv)
  best_sqlite=$(best "$(seconds_of "$work/time-sqlite.txt")" "$best_sqlite")
  (cd "$work" && /usr/bin/time -v -o time-velmora.txt "$velmora" delimited.kvf velmora.csv D , 1 2>/dev/null) ||
    { echo "velmora failed:" >&2; cat "$work/time-velmora.txt" >&2; exit 1; }
  best_velmora=$(best "$(seconds_of "$work/time-velmora.txt")" "$best_velmora")
  kb=$(peak_kb_of "$work/time-velmora.txt")
  [ "$kb" -gt "$peak_kb" ] && peak_kb=$kb
done
csv_bytes=$(stat -c %s "$work/velmora.csv")
split=$("$build/bin/bench_delimited" "$db" "$work/writer.csv" "$query" "$repeats")

printf 'rows:                   %s\n' "$(($(wc -l <"$work/sqlite.csv") - 1))"
printf 'velmora D , 1:          %.2f s\n' "$best_velmora"
printf 'sqlite3 -csv -header:   %.2f s\n' "$best_sqlite"
printf 'time ratio:             %.2f (target <= 1.5)\n' "$(awk -v a="$best_velmora" -v b="$best_sqlite" 'BEGIN { print a / b }')"
printf 'peak memory:            %d bytes\n' "$((peak_kb * 1024))"
printf 'CSV file:               %d bytes\n' "$csv_bytes"
printf 'memory ratio:           %.2f (target <= 2)\n' "$(awk -v a="$((peak_kb * 1024))" -v b="$csv_bytes" 'BEGIN { print a / b }')"
printf 'of which fetch:         %.2f s\n' "$(echo "$split" | awk '/^fetch_seconds/ {print $2}')"
printf 'of which write:         %.2f s\n' "$(echo "$split" | awk '/^write_seconds/ {print $2}')"
