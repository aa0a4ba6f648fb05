#!/usr/bin/env bash
# Installs the Debian 12 packages the build, the tests and the demo need,
# leaving alone what is already there.
set -euo pipefail

packages=(cmake ninja-build g++ clang ccache qt6-base-dev qt6-serialport-dev libgtest-dev libgmock-dev
          libbenchmark-dev python3 fonts-liberation2 xvfb xauth help2man dpkg-dev
          qt6-charts-dev libqt6opengl6-dev libqt6sql6-sqlite libqt6sql6-psql libpq-dev postgresql poppler-utils
          desktop-file-utils appstream qt6-httpserver-dev qt6-websockets-dev)
missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
[ ${#missing[@]} -eq 0 ] && exit 0

echo "Installing: ${missing[*]}" >&2
sudo=""
[ "$(id -u)" -ne 0 ] && sudo="sudo"
$sudo apt-get update -qq
DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}"
