#!/usr/bin/env bash
# Builds the Linux program alone (the linux-run preset: no tests, no benchmarks, so only the run
# packages are needed), lays out dist/linux and starts it on your desktop.
# With no display ($DISPLAY and $WAYLAND_DISPLAY empty) it starts a virtual one (Xvfb with trayer as the tray host),
# runs the program there, opens its settings window, saves a screenshot and says where.
set -euo pipefail
cd "$(dirname "$0")/.."
top=$PWD

cmake --preset linux-run >/dev/null
cmake --build --preset linux-run --target quietus -j "${QM_JOBS:-$(nproc)}"
cmake --install build/linux-run --prefix dist/linux --component quietus >/dev/null
program=$top/dist/linux/quietus

if [ -n "${DISPLAY:-}${WAYLAND_DISPLAY:-}" ]; then
  setsid "$program" >/dev/null 2>&1 < /dev/null &
  echo "QuietusMachine is running in your tray (from $top/dist/linux)."
  exit 0
fi

source scripts/virtual-desktop.sh
work=$(mktemp -d)
# shellcheck disable=SC2016  # expanded when the shell exits
vd_on_exit 'rm -rf "$work"'
vd_start_display "$work"
vd_start_buses "$work"
vd_start_tray "$work"
XDG_RUNTIME_DIR=$work "$program" >"$work/quietus.log" 2>&1 &
vd_pids+=($!)
vd_wait 15 vd_tray_icon >/dev/null || { echo "The tray icon did not appear." >&2; cat "$work/quietus.log" >&2; exit 1; }

# Left click on the icon, then the menu's first item: the settings window.
icon=$(vd_tray_icon)
vd_click "$icon" 10 10
xdotool key Down Return
vd_wait_window 10 QuietusMachine >/dev/null || { echo "The settings window did not open." >&2; exit 1; }
sleep 0.5

shot=$top/build/linux-run/quietus-screenshot.png
import -window root "$shot"
echo "No display here: QuietusMachine ran on a virtual one ($DISPLAY) with its icon in the tray"
echo "and its settings window open. Screenshot: $shot"
