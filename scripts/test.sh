#!/usr/bin/env bash
# Builds everything and runs every test: the Linux build (engine, form model, scenarios on the
# headless back end, Qt back end), a bounded fuzz run, both Windows builds under Wine, and the
# end-to-end runs of the Windows and Linux programs. Installs what is missing first.
set -euo pipefail
cd "$(dirname "$0")/.."
top=$PWD
jobs=${QM_JOBS:-$(nproc)}

step() { printf '\n=== %s\n' "$*"; }

step "Dependencies"
scripts/deps.sh

step "Linux build and tests"
cmake --preset linux >/dev/null
cmake --build --preset linux -j "$jobs"
ctest --preset linux -j "$jobs"
cmake --install build/linux --prefix dist/linux >/dev/null
cmake --build --preset linux --target package >/dev/null
cp build/linux/package/QuietusMachine-*-linux-*.tar.gz dist/

step "Fuzzing (bounded)"
scripts/fuzz.sh "${QM_FUZZ_SECONDS:-15}"

for arch in win32 win64; do
  step "Windows build ($arch) and tests under Wine"
  cmake --preset "$arch" >/dev/null
  cmake --build --preset "$arch" -j "$jobs"
  ctest --preset "$arch" -j "$jobs"
  cmake --install "build/$arch" --prefix "dist/$arch" >/dev/null
done

step "End to end: Quietus.exe under Wine"
scripts/e2e-win32.sh

step "End to end: the Linux desktop program"
scripts/e2e-linux.sh

step "All tests passed"
echo "Packages: $top/dist/win32 $top/dist/win64 $top/dist/linux $(ls "$top"/dist/QuietusMachine-*.tar.gz)"
