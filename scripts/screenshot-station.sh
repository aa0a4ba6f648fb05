#!/usr/bin/env bash
# Takes docs/station-mode.png: station mode in the main window during a run
# against kvsim playing a line of three instruments (the third refusing one
# write), under a virtual display (needs xvfb, xdotool and imagemagick).
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
build="${BUILD_DIR:-$root/build}"
work="$(mktemp -d)"
trap 'kill $(jobs -p) 2>/dev/null || true; rm -rf "$work"' EXIT

# The simulator's own settings as a file, then three units and the company file.
"$build/kvsim" --state-out "$work/base.kvd" >/dev/null &
sleep 1
kill -TERM $! && wait $! || true
for serial in KV-0001 KV-0002 KV-0003; do cp "$work/base.kvd" "$work/$serial.kvd"; done
cp "$work/base.kvd" "$work/company.kvd"
"$build/kvmaint" set "$work/company.kvd" LcdContrast=12 CO.Warning=35 "XS_[2]=NORTH GATE" >/dev/null

"$build/kvsim" --line "$work/KV-0001.kvd" "$work/KV-0002.kvd" "$work/KV-0003.kvd" \
  --power-on-after 2 --baud 19200 --refuse-write KV-0003:A1 >"$work/device" &
sleep 1
export KV_SHOT_BUILD="$build" KV_SHOT_WORK="$work" KV_SHOT_OUT="$root/docs/station-mode.png"
KV_SHOT_DEVICE="$(head -1 "$work/device")" xvfb-run -a -s "-screen 0 1366x900x24" bash -c '
  "$KV_SHOT_BUILD/KVMaintenance" --port "$KV_SHOT_DEVICE" --data-dir "$KV_SHOT_WORK/data" \
    --station "$KV_SHOT_WORK/company.kvd" &
  app=$!
  sleep 6
  station=$(xdotool search --name "Station mode" | head -1)
  start=(${KV_SHOT_START:-762 295})  # the Start button
  xdotool mousemove --window "$station" "${start[0]}" "${start[1]}" click 1
  # The first instrument done, the second on its way.
  for _ in $(seq 1 90); do
    sleep 1
    if [ "$(ls "$KV_SHOT_WORK/data/Backup" 2>/dev/null | wc -l)" -ge 2 ]; then break; fi
  done
  sleep 3
  import -window "$station" "$KV_SHOT_OUT"
  kill $app'
echo "wrote $root/docs/station-mode.png"
