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

source "$root/scripts/fleet_history.sh"

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
