#!/usr/bin/env bash
# Builds the Debian package, installs it with apt into a fresh Debian 12 root
# (debootstrap) and runs the programs there: kvmaint --version, kvmaint get
# against kvsim, and the main window in demo mode under Xvfb. Needs root.
# Takes several minutes; not part of the test suite.
#   KEEP_ROOT=1      keep the root afterwards (its path is printed)
#   DEBIAN_MIRROR=U  the archive to bootstrap from (default: this machine's)
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
[ "$(id -u)" -eq 0 ] || { echo "package-check.sh needs root (debootstrap, chroot)" >&2; exit 2; }

# This machine's Debian archive, from its apt sources (deb822 or one-line form).
host_mirror() {
  local uri
  uri="$(sed -n 's/^URIs:[[:space:]]*\([^[:space:]]*\/debian\)$/\1/p' /etc/apt/sources.list.d/*.sources 2>/dev/null | head -1)"
  [ -n "$uri" ] || uri="$(sed -n 's/^deb[[:space:]]\+\([^[:space:]]*\/debian\)[[:space:]].*/\1/p' /etc/apt/sources.list 2>/dev/null | head -1)"
  echo "$uri"
}
mirror="${DEBIAN_MIRROR:-$(host_mirror)}"
[ -n "$mirror" ] || { echo "no Debian archive found in /etc/apt; set DEBIAN_MIRROR" >&2; exit 2; }

command -v debootstrap >/dev/null || DEBIAN_FRONTEND=noninteractive apt-get install -y -qq debootstrap >/dev/null
deb="$(bash "$root/scripts/package.sh" 2>/dev/null | tail -1)"
echo "package: $deb ($(du -h "$deb" | cut -f1))"

work="$(mktemp -d /var/tmp/kv-package-check.XXXXXX)"
target="$work/root"
# Whatever the checks left running inside the root (the demo's kvsim after its
# window was stopped): those processes and only those, found by their root.
stop_root_processes() {
  local pid
  for pid in /proc/[0-9]*; do
    [ "$(readlink "$pid/root" 2>/dev/null)" = "$target" ] && kill -TERM "${pid#/proc/}" 2>/dev/null
  done
  return 0
}
unmount_all() {
  stop_root_processes
  sleep 1
  for m in dev/pts dev proc sys; do
    mountpoint -q "$target/$m" 2>/dev/null && umount -l "$target/$m"
  done
  if grep -q " $target/" /proc/mounts; then
    echo "still mounted under $target: left in place" >&2
  elif [ "${KEEP_ROOT:-0}" = 1 ]; then
    echo "root kept: $target"
  else
    rm -rf --one-file-system "$work"
  fi
}
trap unmount_all EXIT

echo "bootstrapping Debian 12 into $target ..."
debootstrap --variant=minbase bookworm "$target" "$mirror" >"$work/debootstrap.log" 2>&1 ||
  { tail -20 "$work/debootstrap.log"; exit 1; }
mount -t proc proc "$target/proc"
mount --rbind /sys "$target/sys"
mount --bind /dev "$target/dev"
mount --bind /dev/pts "$target/dev/pts"
cp "$deb" "$target/tmp/"
in_root() { chroot "$target" env -i PATH=/usr/sbin:/usr/bin:/sbin:/bin HOME=/root LANG=C.UTF-8 \
            DEBIAN_FRONTEND=noninteractive bash -c "$1"; }

failures=0
check() {  # check NAME COMMAND: runs COMMAND in the root, prints PASS or FAIL and its output
  local output
  if output="$(in_root "$2" 2>&1)"; then echo "PASS  $1"; else echo "FAIL  $1"; failures=$((failures + 1)); fi
  [ -n "$output" ] && sed 's/^/      /' <<<"$output" | tail -8
  return 0
}

check "apt install ./$(basename "$deb")" \
  "apt-get update -qq && apt-get install -y -qq ./tmp/$(basename "$deb") >/tmp/install.log 2>&1 ||
   { tail -20 /tmp/install.log; exit 1; }; dpkg -s kvmaintenance | grep -E '^(Status|Version)'"
check "files in place" \
  "for f in /usr/bin/KVMaintenance /usr/bin/kvmaint /usr/bin/kvsim /usr/share/man/man1/kvmaint.1.gz \
     /usr/share/applications/com.korvin.KVMaintenance.desktop /usr/lib/udev/rules.d/60-korvin-ir.rules \
     /usr/share/bash-completion/completions/kvmaint; do [ -e \$f ] || { echo missing \$f; exit 1; }; done"
check "kvmaint --version" "kvmaint --version"
check "KVMaintenance --version (no display)" "KVMaintenance --version"
check "kvmaint get against kvsim" \
  "cd /tmp && (kvsim >sim.dev 2>sim.err & echo \$! >sim.pid); sleep 1; dev=\$(head -1 sim.dev);
   kvmaint get --port \$dev --data-dir /tmp/kvdata --output /tmp/read.kvd; rc=\$?; kill \$(cat sim.pid);
   [ \$rc -eq 0 ] && [ -s /tmp/read.kvd ] && echo \"read \$(wc -c </tmp/read.kvd) bytes from \$dev\""
check "install Xvfb in the root" "apt-get install -y -qq --no-install-recommends xvfb xauth >/dev/null 2>&1"
check "main window in demo mode under Xvfb" \
  "mkdir -p /tmp/kvwin && timeout 15 xvfb-run -a KVMaintenance --demo --data-dir /tmp/kvwin >/tmp/win.out 2>&1;
   rc=\$?; [ \$rc -eq 124 ] || { echo \"window ended early with \$rc\"; cat /tmp/win.out; exit 1; };
   grep -q 'RC,R,KORVIN' /tmp/kvwin/SerialLog.log && echo \"connected to kvsim; ran until stopped\""

echo "package check: $failures failed"
[ "$failures" -eq 0 ]
