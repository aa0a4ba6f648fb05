#!/usr/bin/env bash
# Makes docs/report-example.png: the first page of the report of the
# simulated instrument (its channels, alarm levels and latest calibration,
# 400 days old, so past its limit of 90) as kvmaint writes it after Get and
# Latest Calibration History (needs poppler-utils).
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
build="${BUILD_DIR:-$root/build}"
work="$(mktemp -d)"
sim=""
trap '[ -n "$sim" ] && kill "$sim" 2>/dev/null; rm -rf "$work"' EXIT
"$build/kvsim" --calibrated-days-ago 400 >"$work/device" &
sim=$!
for _ in $(seq 50); do [ -s "$work/device" ] && break; sleep 0.1; done
port="$(head -n 1 "$work/device")"
"$build/kvmaint" get --port "$port" --data-dir "$work/data" >/dev/null
"$build/kvmaint" cal-history --port "$port" --data-dir "$work/data" >/dev/null
serial="$("$build/kvmaint" history --data-dir "$work/data" --json | sed -n 's/.*"serial": "\([^"]*\)".*/\1/p' | head -n 1)"
"$build/kvmaint" report --serial "$serial" --data-dir "$work/data" --pdf "$work/report.pdf"
pdftoppm -png -r 60 -f 1 -l 1 -singlefile "$work/report.pdf" "$root/docs/report-example"
echo "wrote $root/docs/report-example.png"
