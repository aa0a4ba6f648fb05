#!/usr/bin/env bash
# Takes docs/live-readings.png: the live readings window in demo mode after
# a minute and a half of readings, under a virtual display (needs xvfb, xdotool and
# imagemagick).
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
build="${BUILD_DIR:-$root/build}"
data="$(mktemp -d)"
export KV_SHOT_BUILD="$build" KV_SHOT_DATA="$data" KV_SHOT_OUT="$root/docs/live-readings.png"
xvfb-run -a -s "-screen 0 1366x768x24" bash -c '
  "$KV_SHOT_BUILD/KVMaintenance" --demo --data-dir "$KV_SHOT_DATA" &
  app=$!
  sleep 6
  window=$(xdotool search --name "KORVIN" | head -1)
  xdotool windowactivate --sync "$window" 2>/dev/null || xdotool windowfocus --sync "$window"
  xdotool key alt+s        # the Service menu
  sleep 1
  xdotool key Up Return    # its last entry: Live Readings
  sleep 90
  live=$(xdotool search --name "Live Readings" | head -1)
  import -window "$live" "$KV_SHOT_OUT"
  kill $app'
rm -rf "$data"
echo "wrote $root/docs/live-readings.png"
