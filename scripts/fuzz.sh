#!/usr/bin/env bash
# fuzz.sh SECONDS [TARGET...]: builds the libFuzzer binaries with clang into
# build-fuzz (BUILD_DIR to change) and runs each target for SECONDS, starting
# from its seed corpus (fuzz/corpus/<target>/). New inputs that reach new code
# stay in build-fuzz/corpus/<target>/; a crash, leak, time-out or memory blow-up
# is saved under fuzz/regressions/<target>/, which the replay test runs from
# then on. Prints per target: executions, seconds, corpus size, crashes.
# Exit status 1 when a target crashed.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
build="${BUILD_DIR:-$root/build-fuzz}"
seconds="${1:?usage: fuzz.sh SECONDS [TARGET...]}"
shift
targets=("$@")
if [ ${#targets[@]} -eq 0 ]; then
  # Every target fuzz/CMakeLists.txt lists.
  mapfile -t targets < <(sed -n '/^set(KV_FUZZ_TARGETS/,/^)/s/^  \(fuzz_[a-z_]*\).*/\1/p' \
                         "$root/fuzz/CMakeLists.txt")
fi

source "$root/scripts/ccache_env.sh"
kv_ccache_setup "$root"
CC=clang CXX=clang++ cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DKV_FUZZ=ON -DKV_BUILD_QT=OFF -DKV_BUILD_BENCH=OFF -DKV_BUILD_TESTS=OFF "${kv_launcher[@]}" >/dev/null
cmake --build "$build" --target fuzzers >/dev/null

crashed=0
printf '%-22s %12s %8s %8s %8s\n' target executions seconds corpus crashes
for target in "${targets[@]}"; do
  corpus="$build/corpus/$target"
  saved="$root/fuzz/regressions/$target"
  mkdir -p "$corpus" "$saved"
  before="$(find "$saved" -type f | wc -l)"
  log="$build/$target.log"
  start="$(date +%s)"
  # New corpus entries go to the first folder; the seed corpus is only read.
  # FUZZ_SEED fixes the mutation sequence (CI sets it, so a run can be repeated).
  "$build/fuzz/${target}_libfuzzer" -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 \
    ${FUZZ_SEED:+-seed="$FUZZ_SEED"} \
    -print_final_stats=1 -artifact_prefix="$saved/" "$corpus" "$root/fuzz/corpus/$target" \
    >"$log" 2>&1 || true
  elapsed=$(( $(date +%s) - start ))
  runs="$(sed -n 's/^stat::number_of_executed_units: *//p' "$log" | tail -1)"
  # libFuzzer's last word on its corpus ("corp: 212/14Kb"): seeds and new entries.
  size="$(grep -o 'corp: [0-9]*' "$log" | tail -1 | cut -d' ' -f2)"
  found=$(( $(find "$saved" -type f | wc -l) - before ))
  printf '%-22s %12s %8s %8s %8s\n' "$target" "${runs:-?}" "$elapsed" "${size:-?}" "$found"
  if [ "$found" -gt 0 ]; then
    crashed=1
    echo "  saved in $saved (log: $log):"
    grep -m3 -E 'ERROR|SUMMARY|Test unit written' "$log" | sed 's/^/    /'
  fi
done
exit "$crashed"
