#!/usr/bin/env bash
# Every program benchmark, one after the other: the programs as the schedule grows
# (program-sizes.sh), then idle wake-ups and the warning's lateness (quiet-and-on-time.sh), for
# the Linux program and for Quietus.exe under Wine. About 20 minutes on two cores; QUICK=1 leaves
# out the 1,000,000-line file.
# Usage: bench/programs.sh [linux|wine]   (both by default)
set -uo pipefail
cd "$(dirname "$0")/.." || exit 1
started=$SECONDS
status=0
bench/program-sizes.sh "$@" || status=1
bench/quiet-and-on-time.sh "$@" || status=1
echo "All program benchmarks: $((SECONDS - started)) s"
exit $status
