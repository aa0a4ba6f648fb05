# Sourced by the scripts that start a build (build.sh, fuzz.sh): ccache
# settings under which every checkout and build folder on the machine shares
# one cache. A setting the user already made (environment or ccache.conf) wins.
#   kv_ccache_setup ROOT   sets the array kv_launcher to the CMake option
#                          that puts ccache in front of the compiler, or ().
kv_ccache_setup() {
  local root="$1"
  kv_launcher=()
  command -v ccache >/dev/null || return 0
  kv_launcher=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache)
  local config
  config="$(ccache -p 2>/dev/null)" || config=""
  # Paths inside the checkout are hashed relative to the build folder, and the
  # build folder itself is not hashed, so a clone elsewhere hits the same
  # entries. A base_dir from ccache.conf is kept when the checkout lies under it.
  local configured
  configured="$(sed -n 's/^(.*) base_dir = //p' <<<"$config")"
  if [ -z "${CCACHE_BASEDIR+set}" ] &&
     { [ -z "$configured" ] || [[ "$root/" != "${configured%/}/"* ]]; }; then
    export CCACHE_BASEDIR="$root"
  fi
  if [ -z "${CCACHE_NOHASHDIR:-}${CCACHE_HASHDIR:-}" ] &&
     ! grep -q '^(.*) hash_dir = false' <<<"$config"; then
    export CCACHE_NOHASHDIR=1
  fi
  # One CI run's five builds from an empty cache fill about 1 GB
  # (compressed, docs/CI.md): 5 GB keeps several runs, so a leg never
  # evicts what another leg of the same run compiled. Set here, not left to
  # ccache's default, so that the need stays visible; a configured size wins.
  if [ -z "${CCACHE_MAXSIZE:-}" ] && grep -q '^(default) max_size' <<<"$config"; then
    export CCACHE_MAXSIZE=5G
  fi
}
