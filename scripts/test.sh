#!/usr/bin/env bash
# Builds everything and runs every test: the Linux build (engine, form model, scenarios on the
# headless back end, Qt back end), a bounded fuzz run, both Windows builds under Wine, and the
# end-to-end runs of the Windows and Linux programs (the last also on the real clock). Installs
# what is missing first. Where the machine runs no 32-bit programs, the 32-bit package is built and
# checked but not run (nor are its tests built), and the 64-bit one takes its place under Wine.
set -euo pipefail
cd "$(dirname "$0")/.."
top=$PWD
jobs=${QM_JOBS:-$(nproc)}

step() { printf '\n=== %s   (%d s in)\n' "$*" "$SECONDS"; }

step "Dependencies"
scripts/deps.sh

# What scripts/run.sh builds, configured so that it fails if the program alone needs a test
# package: a fresh machine has only the run packages when it runs scripts/run.sh. Only configured:
# the program's sources and flags are the same in every Linux preset, and the Linux build below
# compiles them.
step "The run path: the Linux program alone configures with no test package"
cmake --preset linux-run -DCMAKE_DISABLE_FIND_PACKAGE_GTest=ON -DCMAKE_DISABLE_FIND_PACKAGE_benchmark=ON >/dev/null

step "Linux build and tests"
cmake --preset linux >/dev/null
cmake --build --preset linux -j "$jobs"
ctest --preset linux -j "$jobs"
cmake --install build/linux --prefix dist/linux >/dev/null
cmake --build --preset linux --target package >/dev/null
cp build/linux/package/QuietusMachine-*-linux-*.tar.gz dist/

# The end-to-end runs go in the background, each on displays, buses and prefixes of its own, its
# output in build/NAME.log, shown when it is waited for; a failure stops them all.
e2e_pids=()
e2e() {  # e2e NAME COMMAND...: starts a run in the background, its output in build/NAME.log
  local name=$1; shift
  "$@" >"$top/build/$name.log" 2>&1 &
  e2e_pids+=($!)
}
e2e_finish() {  # e2e_finish NAME PID: waits for the run and shows its output; a failure stops all
  local status=0
  wait "$2" || status=$?
  cat "$top/build/$1.log"
  if [ $status -ne 0 ]; then
    kill "${e2e_pids[@]}" 2>/dev/null || true
    wait || true
    exit 1
  fi
}
# The inactivity desktop waits out real minutes of the user's input and rest, with little to do:
# it runs beside the fuzzing and the Windows builds.
e2e e2e-linux-idle scripts/e2e-linux.sh idle
idle_e2e=${e2e_pids[-1]}

step "Fuzzing (bounded)"
scripts/fuzz.sh "${QM_FUZZ_SECONDS:-15}"

# Both packages are always built and checked; their tests run where Wine can run them.
source scripts/wine-env.sh
for arch in win32 win64; do
  step "Windows build ($arch) and tests under Wine"
  # Test binaries are built only where they run: the 32-bit ones need Wine's 32-bit loader.
  tests=ON
  [ "$arch" = win32 ] && ! qm_wine_32bit && tests=OFF
  cmake --preset "$arch" -DQM_WITH_TESTS=$tests >/dev/null
  cmake --build --preset "$arch" -j "$jobs"
  cmake --install "build/$arch" --prefix "dist/$arch" >/dev/null
  scripts/check-pe.sh "dist/$arch" "$arch"
  cmake --build --preset "$arch" --target package >/dev/null
  cmake --build --preset "$arch" --target msi >/dev/null
  cp "build/$arch/package/QuietusMachine-"*"-$arch."{zip,msi} dist/
  if [ "$arch" = win32 ] && ! qm_wine_32bit; then
    echo "!!! SKIPPED: the 32-bit Windows tests (not built) and end-to-end run: this machine cannot run 32-bit" \
      "programs (Wine's 32-bit loader does not start). dist/win32 was built and checked; the 64-bit tests and" \
      "end-to-end run (dist/win64, Wine's 64-bit loader, a 64-bit prefix) stand in for them."
    continue
  fi
  ctest --preset "$arch" -j "$jobs"
done

step "The Windows installer under Wine: install, the user's schedule, upgrade, uninstall"
scripts/msi-check.sh dist/QuietusMachine-*-win64.msi

# The other end-to-end runs side by side: the Windows one and the real-clock one, which sets up
# meanwhile; the Linux one once the Windows one has its prefix (each is busiest at its start). The
# real-clock rounds, the first on an idle machine, start once the other two have ended.
after_windows_prefix() {  # after_windows_prefix COMMAND...: COMMAND once the Windows run has its prefix
  until grep -q "fresh Wine prefix" "$top/build/e2e-win32.log" || ! kill -0 "$win_e2e" 2>/dev/null; do
    sleep 0.5
  done
  exec "$@"
}
step "End to end, side by side: Quietus.exe under Wine, the Linux desktop program, the real clock"
if qm_wine_32bit; then
  e2e e2e-win32 scripts/e2e-win32.sh dist/win32 build/win32
else
  e2e e2e-win32 scripts/e2e-win32.sh dist/win64 build/win64
fi
win_e2e=${e2e_pids[-1]}
e2e e2e-linux after_windows_prefix scripts/e2e-linux.sh --all-but idle
linux_e2e=${e2e_pids[-1]}
e2e e2e-real-clock scripts/e2e-real-clock.sh --after "$win_e2e,$linux_e2e"
real_clock=${e2e_pids[-1]}

step "End to end: Quietus.exe under Wine"
e2e_finish e2e-win32 "$win_e2e"
step "End to end: the Linux desktop program"
e2e_finish e2e-linux-idle "$idle_e2e"
e2e_finish e2e-linux "$linux_e2e"
step "End to end: every copy's warning within its due second on the real clock, idle and busy"
e2e_finish e2e-real-clock "$real_clock"

step "Debian package: lintian and AppStream, installed, used by a user and removed again"
(cd build/linux && cpack -G DEB >/dev/null)
rm -f dist/quietusmachine_*.deb
cp build/linux/package/quietusmachine_*.deb dist/
scripts/deb-check.sh dist/quietusmachine_*_"$(dpkg --print-architecture)".deb

step "Deployment: the Linux playbook against this machine"
scripts/deploy-check.sh

if qm_wine_32bit; then
  step "All tests passed"
else
  step "All tests passed (dist/win32 built and checked, not run: see SKIPPED above)"
fi
echo "Packages:"
ls -1 "$top"/dist/QuietusMachine-*.{tar.gz,zip,msi} "$top"/dist/quietusmachine_*.deb | sed 's/^/  /'
echo "Program folders: $top/dist/linux $top/dist/win32 $top/dist/win64"
