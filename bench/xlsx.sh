#!/usr/bin/env bash
# The spreadsheet benchmark: a whole unattended run `velmora q.kvf out.xlsx X XLSX 1` over the
# 1,000,000 x 10 table of fetch-db.sql, side by side with the reference program (SQLite C API +
# libxlsxwriter in constant-memory mode) writing the same rows. Prints both wall times and peak
# memory (best of REPEATS), the time ratio (target: at most 1.5) and the program's peak memory
# against the size of the data as CSV (target: at most 2).
#   bench/xlsx.sh [REPEATS]          (VELMORA_BUILD_DIR chooses the build folder, default build)
set -euo pipefail
cd "$(dirname "$0")/.."
repeats=${1:-1}
# shellcheck source=bench/common.sh
. bench/common.sh
bench_setup bench_xlsx_reference velmora velmora-kvf
echo "$query" | "$build/bin/velmora-kvf" encode -d "Spreadsheet benchmark" \
  -c "Provider=SQLite;Data Source=$db" -o "$work/xlsx-bench.kvf" -
csv_bytes=$(sqlite3 -csv -header "$db" "$query" | wc -c)

# Runs a command REPEATS times; prints the best wall time and the largest peak RSS (KiB).
measure() {
  local best="" peak=0
  for _ in $(seq "$repeats"); do
    /usr/bin/time -f "%e %M" -o "$work/time.txt" "$@" >/dev/null || echo "exit status $? from $1" >&2
    read -r secs kib < <(tail -n 1 "$work/time.txt")
    best=$(awk -v t="$secs" -v b="$best" 'BEGIN { print (b == "" || t < b) ? t : b }')
    [ "$kib" -gt "$peak" ] && peak=$kib
  done
  echo "$best $peak"
}

export XDG_CONFIG_HOME="$work/xdg-config" XDG_CACHE_HOME="$work/xdg-cache"
mkdir -p "$XDG_CONFIG_HOME" "$XDG_CACHE_HOME"
read -r ref_s ref_kib < <(measure "$build/bin/bench_xlsx_reference" "$db" "$query" "$work/reference.xlsx")
read -r vel_s vel_kib < <(cd "$work" && measure env -u DISPLAY -u WAYLAND_DISPLAY \
  "$build/bin/velmora" xlsx-bench.kvf "$work/velmora.xlsx" X XLSX 1)
[ -s "$work/velmora.xlsx" ] || { echo "velmora wrote no workbook" >&2; exit 1; }

printf 'reference (C API + libxlsxwriter): %6.2f s  %8d KiB\n' "$ref_s" "$ref_kib"
printf 'velmora X XLSX:                    %6.2f s  %8d KiB\n' "$vel_s" "$vel_kib"
printf 'time ratio:            %.2f (target <= 1.5)\n' "$(awk -v a="$vel_s" -v b="$ref_s" 'BEGIN { print a / b }')"
printf 'same data as CSV:      %d bytes\n' "$csv_bytes"
printf 'memory ratio:          %.2f (target <= 2.0)\n' "$(awk -v a="$vel_kib" -v b="$csv_bytes" 'BEGIN { print a * 1024 / b }')"
