#!/usr/bin/env bash
# Makes docs/fleet-page.png and docs/fleet-instrument.png: three simulated
# instruments read into a fresh history (one calibrated 400 days ago, one
# calibrated today, one with a CO warning level off the company's policy),
# served by `kvmaint fleet serve` and photographed by Debian's chromium in
# headless mode. Needs chromium and a kvmaint built with Qt HTTP Server.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
build="${BUILD_DIR:-$root/build}"
browser="$(command -v chromium || true)"
[ -n "$browser" ] || { echo "fleet_page.sh: chromium is not installed" >&2; exit 1; }
work="$(mktemp -d)"
pids=()
trap 'for p in "${pids[@]}"; do kill "$p" 2>/dev/null || true; done; rm -rf "$work"' EXIT
data="$work/data"

# One simulated instrument per serial number; its port in $port.
start_sim() {
  "$build/kvsim" "$@" >"$work/device" &
  pids+=($!)
  for _ in $(seq 50); do [ -s "$work/device" ] && break; sleep 0.1; done
  port="$(head -n 1 "$work/device")"
  : >"$work/device"
}
kvmaint() { "$build/kvmaint" "$@" --data-dir "$data" >/dev/null; }

# The company's policy: the simulator's own settings.
start_sim --state-out "$work/company.kvd"
"$build/kvmaint" get --port "$port" --output "$work/company.kvd" --history off >/dev/null
kill "${pids[-1]}"
cp "$work/company.kvd" "$work/KV-OVERDUE.kvd"
cp "$work/company.kvd" "$work/KV-CALIBRATED.kvd"
cp "$work/company.kvd" "$work/KV-OFFPOLICY.kvd"

start_sim --line "$work/KV-OVERDUE.kvd" --calibrated-days-ago 400
kvmaint get --port "$port"; kvmaint cal-history --port "$port"
start_sim --line "$work/KV-CALIBRATED.kvd" --calibrated-days-ago 400
kvmaint get --port "$port"; kvmaint span --port "$port"; kvmaint cal-history --port "$port"
# Read as the company has it, then its CO warning level raised and read again.
start_sim --line "$work/KV-OFFPOLICY.kvd" --calibrated-days-ago 20
kvmaint get --port "$port"
cp "$work/company.kvd" "$work/raised.kvd"
"$build/kvmaint" set "$work/raised.kvd" "CO warning level=30" >/dev/null
kvmaint send "$work/raised.kvd" --port "$port"
kvmaint get --port "$port"; kvmaint cal-history --port "$port"

"$build/kvmaint" fleet serve --listen 127.0.0.1:0 --policy "$work/company.kvd" --data-dir "$data" >"$work/served" &
pids+=($!)
for _ in $(seq 50); do [ -s "$work/served" ] && break; sleep 0.1; done
url="$(sed -n 's/^serving //p' "$work/served")"
shoot() {
  "$browser" --headless --no-sandbox --disable-gpu --hide-scrollbars --user-data-dir="$work/browser" \
    --window-size="$2" --screenshot="$root/docs/$1" "$3" 2>/dev/null
}
shoot fleet-page.png 1000,330 "$url"
shoot fleet-instrument.png 1000,900 "${url}instrument?serial=KV-OFFPOLICY"
echo "wrote $root/docs/fleet-page.png and $root/docs/fleet-instrument.png"
