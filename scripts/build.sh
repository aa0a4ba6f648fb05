#!/usr/bin/env bash
# Configures and builds into BUILD_DIR (default: build) with extra CMake options.
# Warnings are errors here (the team's and CI's builds); a plain cmake build
# leaves them warnings. ccache, when installed, keeps rebuilds short, also
# across checkouts (scripts/ccache_env.sh).
#   BUILD_TARGETS="a b": build only these targets (default: all).
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
build="${BUILD_DIR:-$root/build}"
source "$root/scripts/ccache_env.sh"
kv_ccache_setup "$root"
cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE="${BUILD_TYPE:-RelWithDebInfo}" \
  -DKV_WERROR=ON "${kv_launcher[@]}" "$@" >/dev/null
targets=()
for target in ${BUILD_TARGETS:-}; do targets+=(--target "$target"); done
cmake --build "$build" -j"$(nproc)" "${targets[@]}"
