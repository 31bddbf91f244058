#!/usr/bin/env bash
# Runs a cross-built Windows program under Wine, quietly, in the project's own prefix
# (never the user's ~/.wine). CTest uses it as the emulator for the Windows test binaries.
# The prefix uses Wine's null display driver: windows are real Win32 windows, but nothing needs
# an X server and nothing appears on anyone's screen.
set -euo pipefail
export WINEPREFIX=${QM_WINEPREFIX:-${XDG_CACHE_HOME:-$HOME/.cache}/quietus/wineprefix}
export WINEDEBUG=${WINEDEBUG:--all}
export WINEDLLOVERRIDES=${WINEDLLOVERRIDES:-mscoree,mshtml=}
mkdir -p "$WINEPREFIX"
(
  # Test binaries start in parallel; one of them prepares the prefix, the others wait.
  flock 9
  if [ ! -f "$WINEPREFIX/system.reg" ]; then
    wineboot -i >/dev/null 2>&1 || true
    wineserver -w || true
  fi
  if [ ! -f "$WINEPREFIX/.qm-null-display" ]; then
    wine reg add 'HKCU\Software\Wine\Drivers' /v Graphics /d null /f >/dev/null 2>&1
    wineserver -k 2>/dev/null || true  # the driver is chosen when the server starts
    touch "$WINEPREFIX/.qm-null-display"
  fi
) 9>"$WINEPREFIX/.qm-lock"
exec wine "$@"
