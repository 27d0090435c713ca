#!/usr/bin/env bash
# Remakes docs/window.png: the window as it opens, last page set to 12, drawn on a
# virtual X display. Needs a built tree (scripts/demo builds one).
# usage: docs/make_screenshot.sh [BUILD_DIR]
set -euo pipefail
cd "$(dirname "$0")/.."

if [ "${1:-}" = --capture ]; then
  # On the virtual display: open the window, type 12 into the last-page box, capture.
  "$2/app/paperdl" --window --out "$(mktemp -d)" &
  app=$!
  window=$(xdotool search --sync --onlyvisible --class paperdl | head -n 1)
  sleep 1
  eval "$(xdotool getwindowgeometry --shell "$window")"
  # The last-page box sits at the right end of the second row.
  xdotool mousemove --window "$window" $((WIDTH - 100)) 80 click 1 key ctrl+a type 12
  sleep 0.5
  import -window "$window" docs/window.png
  kill "$app"
  exit 0
fi

xvfb-run -a -s "-screen 0 800x600x24" "$0" --capture "${1:-build}"
echo "docs/window.png: $(identify -format '%wx%h' docs/window.png)"
