#!/usr/bin/env bash
# Builds the fuzz targets (the `fuzz` preset: clang, libFuzzer, AddressSanitizer, UBSan) and runs
# each for a bounded time. Usage: scripts/fuzz.sh [seconds per target, default 20]
# The committed seeds in fuzz/corpus/<target>/ are copied to a scratch folder, so a run never
# changes the tree; a crashing input is kept in build/fuzz/crashes/.
set -euo pipefail
seconds=${1:-20}
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"

targets=(entry codec file_reader)
cmake --preset fuzz >/dev/null
cmake --build --preset fuzz --target "${targets[@]/#/fuzz_}"

crashes=$root/build/fuzz/crashes
mkdir -p "$crashes"
status=0
for target in "${targets[@]}"; do
  scratch=$(mktemp -d)
  cp "fuzz/corpus/$target"/* "$scratch"/
  echo "== fuzz_$target for ${seconds}s"
  if ! build/fuzz/fuzz/fuzz_"$target" -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 \
      -max_len=4096 -print_final_stats=1 -artifact_prefix="$crashes/$target-" "$scratch" \
      >"$scratch.log" 2>&1; then
    tail -n 40 "$scratch.log"
    echo "fuzz_$target FAILED; the input is in $crashes" >&2
    status=1
  else
    grep -E '^stat::number_of_executed_units|^Done' "$scratch.log" || true
  fi
  rm -rf "$scratch" "$scratch.log"
done
exit $status
