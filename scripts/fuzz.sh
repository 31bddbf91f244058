#!/usr/bin/env bash
# Builds the fuzz targets (the `fuzz` preset: clang, libFuzzer, AddressSanitizer, UBSan) and runs
# each for a bounded time. Usage: scripts/fuzz.sh [seconds per target, default 20]
# The targets run side by side; where there are fewer cores than targets, each runs longer, so
# that each still gets the given seconds of a core.
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
cores=$(nproc)
share=$(( (seconds * ${#targets[@]} + cores - 1) / cores ))
if ((share > seconds)); then seconds=$share; fi
echo "== ${targets[*]/#/fuzz_} side by side for ${seconds}s on $cores cores"
declare -A scratch pid
for target in "${targets[@]}"; do
  scratch[$target]=$(mktemp -d)
  cp "fuzz/corpus/$target"/* "${scratch[$target]}"/
  build/fuzz/fuzz/fuzz_"$target" -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 \
    -max_len=4096 -print_final_stats=1 -artifact_prefix="$crashes/$target-" "${scratch[$target]}" \
    >"${scratch[$target]}.log" 2>&1 &
  pid[$target]=$!
done
status=0
for target in "${targets[@]}"; do
  log=${scratch[$target]}.log
  echo "== fuzz_$target"
  if ! wait "${pid[$target]}"; then
    tail -n 40 "$log"
    echo "fuzz_$target FAILED; the input is in $crashes" >&2
    status=1
  else
    grep -E '^stat::number_of_executed_units|^Done' "$log" || true
  fi
  rm -rf "${scratch[$target]}" "$log"
done
exit $status
