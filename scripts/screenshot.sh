#!/usr/bin/env bash
# Takes docs/main-window.png: the main window in demo mode after a Get,
# under a virtual display (needs xvfb, xdotool and imagemagick).
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
build="${BUILD_DIR:-$root/build}"
data="$(mktemp -d)"
export KV_SHOT_BUILD="$build" KV_SHOT_DATA="$data" KV_SHOT_OUT="$root/docs/main-window.png"
xvfb-run -a -s "-screen 0 1366x768x24" bash -c '
  "$KV_SHOT_BUILD/KVMaintenance" --demo --data-dir "$KV_SHOT_DATA" &
  app=$!
  sleep 6
  window=$(xdotool search --name "KORVIN" | head -1)
  xdotool windowsize "$window" 1366 768
  sleep 1
  xdotool mousemove 137 45 click 1   # "1. Get Current KORVIN Data", below the menu bar
  sleep 6
  import -window root "$KV_SHOT_OUT"
  kill $app'
rm -rf "$data"
echo "wrote $root/docs/main-window.png"
