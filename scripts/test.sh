#!/usr/bin/env bash
# The test command: install what is missing, build, run every test.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
"$root/scripts/bootstrap.sh"
"$root/scripts/build.sh" "$@"
ctest --test-dir "${BUILD_DIR:-$root/build}" --output-on-failure -j"$(nproc)" --timeout 300
