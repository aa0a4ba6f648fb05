#!/usr/bin/env bash
# Makes docs/report-example.png: the first page of the report of the
# simulated instrument's settings, as kvmaint writes it (needs poppler-utils).
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
build="${BUILD_DIR:-$root/build}"
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
# kvsim writes its settings when it is stopped.
"$build/kvsim" --state-out "$work/sim.kvd" >"$work/device" &
sim=$!
for _ in $(seq 50); do [ -s "$work/device" ] && break; sleep 0.1; done
kill "$sim"
wait "$sim" || true
"$build/kvmaint" report "$work/sim.kvd" --pdf "$work/report.pdf"
pdftoppm -png -r 60 -f 1 -l 1 -singlefile "$work/report.pdf" "$root/docs/report-example"
echo "wrote $root/docs/report-example.png"
