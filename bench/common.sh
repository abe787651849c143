# shellcheck shell=bash disable=SC2034  # the variables are set for the sourcing script
# Sourced by the benchmark scripts, from the source folder. bench_setup TARGET... builds the
# targets in the build folder (VELMORA_BUILD_DIR, default build) and makes the 1,000,000 x 10
# table of fetch-db.sql once (again when the script changes). It sets build, work (the
# benchmarks' folder in the build), db (that table's SQLite file) and query (all of it).
bench_setup() {
  build=$(realpath -m "${VELMORA_BUILD_DIR:-build}")
  [ -f "$build/build.ninja" ] || [ -f "$build/Makefile" ] || cmake -S . -B "$build" -G Ninja >/dev/null
  cmake --build "$build" --target "$@" -j2 >/dev/null
  work="$build/bench"
  mkdir -p "$work"
  db="$work/fetch.db"
  if [ ! -f "$db" ] || [ bench/fetch-db.sql -nt "$db" ]; then
    rm -f "$db.tmp"
    sqlite3 "$db.tmp" ".read bench/fetch-db.sql"
    mv "$db.tmp" "$db"
  fi
  query="SELECT * FROM bench"
}
