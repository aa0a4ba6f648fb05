#!/usr/bin/env bash
# Builds the Debian package (BUILD_DIR/kvmaintenance_<version>_amd64.deb) and
# prints its path. Extra arguments go to CMake, as for build.sh. Installing
# it is all a machine needs: apt install ./kvmaintenance_<version>_amd64.deb
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
build="${BUILD_DIR:-$root/build}"
for tool in help2man dpkg-shlibdeps; do
  command -v "$tool" >/dev/null || { echo "$tool is missing: run scripts/bootstrap.sh" >&2; exit 2; }
done
BUILD_DIR="$build" bash "$root/scripts/build.sh" "$@"
rm -f "$build"/kvmaintenance_*.deb
cmake --build "$build" --target package >/dev/null
ls "$build"/kvmaintenance_*_amd64.deb
