#!/usr/bin/env bash
# Takes docs/station-mode.png: station mode in the main window on a
# 1366x768 screen during a run on two adapters, each a kvsim playing a line
# of instruments (the third of the first refusing one write), under a virtual
# display (needs xvfb, xdotool and imagemagick). The second simulator's
# pseudo-terminal is not found by the adapter search: KV_STATION_PORTS names it.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
build="${BUILD_DIR:-$root/build}"
work="$(mktemp -d)"
trap 'kill $(jobs -p) 2>/dev/null || true; rm -rf "$work"' EXIT

# The simulator's own settings as a file, then the units and the company file.
"$build/kvsim" --state-out "$work/base.kvd" >/dev/null &
sleep 1
kill -TERM $! && wait $! || true
for serial in KV-0001 KV-0002 KV-0003 KV-0101 KV-0102 KV-0103; do cp "$work/base.kvd" "$work/$serial.kvd"; done
cp "$work/base.kvd" "$work/company.kvd"
"$build/kvmaint" set "$work/company.kvd" LcdContrast=12 CO.Warning=35 "XS_[2]=NORTH GATE" >/dev/null

"$build/kvsim" --line "$work/KV-0001.kvd" "$work/KV-0002.kvd" "$work/KV-0003.kvd" \
  --power-on-after 2 --baud 19200 --refuse-write KV-0003:A1 >"$work/device1" &
"$build/kvsim" --line "$work/KV-0101.kvd" "$work/KV-0102.kvd" "$work/KV-0103.kvd" \
  --power-on-after 3 --baud 19200 >"$work/device2" &
sleep 1
export KV_SHOT_BUILD="$build" KV_SHOT_WORK="$work" KV_SHOT_OUT="$root/docs/station-mode.png"
export KV_SHOT_DEVICE="$(head -1 "$work/device1")" KV_STATION_PORTS="$(head -1 "$work/device2")"
xvfb-run -a -s "-screen 0 1366x768x24" bash -c '
  "$KV_SHOT_BUILD/KVMaintenance" --port "$KV_SHOT_DEVICE" --data-dir "$KV_SHOT_WORK/data" \
    --station "$KV_SHOT_WORK/company.kvd" &
  app=$!
  sleep 6
  station=$(xdotool search --name "Station mode" | head -1)
  xdotool windowactivate --sync "$station" 2>/dev/null || xdotool windowfocus --sync "$station" || true
  xdotool key --window "$station" Return  # Start, the default button
  # Instruments done on both adapters, the failure on the first on its way.
  for _ in $(seq 1 120); do
    sleep 1
    if [ "$(ls "$KV_SHOT_WORK/data/Backup" 2>/dev/null | grep -c kvd)" -ge 5 ]; then break; fi
  done
  sleep 2
  import -window "$station" "$KV_SHOT_OUT"
  kill $app'
echo "wrote $root/docs/station-mode.png"
