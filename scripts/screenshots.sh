#!/usr/bin/env bash
# Takes the README's screenshots of the real windows under Xvfb: the main window with a sample
# result, the parameter dialog and the output options. Needs a build (scripts/run-sample.sh or
# scripts/test.sh) and writes docs/*.png.
set -euo pipefail
cd "$(dirname "$0")/.."
build=$(realpath "${VELMORA_BUILD_DIR:-build}")
out=$(realpath docs)
display=:93
Xvfb $display -screen 0 1280x900x24 >/dev/null 2>&1 &
xvfb=$!
trap 'kill $xvfb 2>/dev/null || true' EXIT
sleep 1
export DISPLAY=$display
config=$(mktemp -d)
export XDG_CONFIG_HOME=$config XDG_RUNTIME_DIR=$config
cd "$build/samples"

window() { for _ in $(seq 50); do xdotool search --name "$1" 2>/dev/null | head -n 1 && return; sleep 0.2; done; }
shoot() { sleep 0.8; import -window "$1" "$out/$2"; }

# Starts velmora, selects the third query file (order-lines), presses the command's Alt key,
# answers Yes and takes a picture of the window with the given title.
run_selected() {
  "$build/bin/velmora" >/dev/null 2>&1 &
  local app=$! main confirm target
  main=$(window '^Velmora$')
  xdotool windowfocus --sync "$main"
  xdotool mousemove --window "$main" 400 100 click 1
  sleep 0.3
  xdotool key "$1"
  confirm=$(window '^Confirm$'); xdotool windowfocus --sync "$confirm" key Return
  target=$(window "$2"); shoot "$target" "$3"
  kill $app; wait $app 2>/dev/null || true
}

# The main window with a result (Execute, Alt+E) and the output options (Execute to File, Alt+F).
run_selected alt+e '^Velmora -' main-window.png
run_selected alt+f '^Output File Options$' output-options.png

# The parameter dialog of a query with several parameters, from a one-argument start.
"$build/bin/velmora" orders-filtered.kvf >/dev/null 2>&1 &
app=$!
confirm=$(window '^Confirm$'); xdotool windowfocus --sync "$confirm" key Return
dialog=$(window '^Query Parameters$'); shoot "$dialog" parameter-dialog.png
kill $app; wait $app 2>/dev/null || true
echo "screenshots in $out"
