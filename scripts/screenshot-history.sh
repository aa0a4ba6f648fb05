#!/usr/bin/env bash
# Takes docs/history-due.png and docs/history-compliance.png: the History
# window (File > History...) over three simulated instruments read into a
# fresh history (scripts/fleet_history.sh), with each instrument's calibration
# due state, and its compliance tab against the company's file kept as
# [Fleet] PolicyFile=, under a virtual display (needs xvfb, xdotool and
# imagemagick).
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
build="${BUILD_DIR:-$root/build}"
work="$(mktemp -d)"
pids=()
trap 'for p in "${pids[@]}"; do kill "$p" 2>/dev/null || true; done; rm -rf "$work"' EXIT
data="$work/data"

source "$root/scripts/fleet_history.sh"
for p in "${pids[@]}"; do kill "$p" 2>/dev/null || true; done
printf '[Fleet]\r\nPolicyFile=%s\r\n' "$work/company.kvd" >>"$data/KVMaintenance.ini"

export KV_SHOT_BUILD="$build" KV_SHOT_DATA="$data" KV_SHOT_DOCS="$root/docs"
xvfb-run -a -s "-screen 0 1366x900x24" bash -c '
  "$KV_SHOT_BUILD/KVMaintenance" --port /dev/null --data-dir "$KV_SHOT_DATA" &
  app=$!
  sleep 5
  xdotool mousemove 19 9 click 1   # the File menu (no window manager: no focus by name)
  sleep 1
  xdotool key h                    # History...
  sleep 3
  history=$(xdotool search --name "^History$" | head -1)
  xdotool windowsize "$history" 1000 560
  sleep 1
  import -window "$history" "$KV_SHOT_DOCS/history-due.png"
  xdotool mousemove --window "$history" 155 24 click 1   # the Compliance tab
  sleep 1
  import -window "$history" "$KV_SHOT_DOCS/history-compliance.png"
  kill $app'
echo "wrote $root/docs/history-due.png and $root/docs/history-compliance.png"
