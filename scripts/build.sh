#!/usr/bin/env bash
# Configures and builds into BUILD_DIR (default: build) with extra CMake options.
# Warnings are errors here (the team's and CI's builds); a plain cmake build
# leaves them warnings. ccache, when installed, keeps rebuilds short.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
build="${BUILD_DIR:-$root/build}"
launcher=()
command -v ccache >/dev/null && launcher=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache)
cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE="${BUILD_TYPE:-RelWithDebInfo}" \
  -DKV_WERROR=ON "${launcher[@]}" "$@" >/dev/null
cmake --build "$build" -j"$(nproc)"
