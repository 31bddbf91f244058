#!/usr/bin/env bash
# Runs a cross-built Windows program under Wine, quietly, in the project's own prefix
# (never the user's ~/.wine). CTest uses it as the emulator for the Windows test binaries.
# The prefix uses Wine's null display driver: windows are real Win32 windows, but nothing needs
# an X server and nothing appears on anyone's screen. Where the machine runs no 32-bit programs
# (scripts/wine-env.sh), the 64-bit loader runs in a 64-bit prefix of its own.
set -euo pipefail
# shellcheck source=scripts/wine-env.sh
source "$(dirname "$0")/wine-env.sh"
prefixes=${XDG_CACHE_HOME:-$HOME/.cache}/quietus
if qm_wine_32bit; then
  export WINEPREFIX=${QM_WINEPREFIX:-$prefixes/wineprefix}
else
  export WINEPREFIX=${QM_WINEPREFIX:-$prefixes/wineprefix64}
  if [ "$(qm_wine_loader_of "$1")" = 32-bit ]; then
    echo "wine-run: $1 is a 32-bit program, and this machine runs no 32-bit programs" >&2
    exit 1
  fi
fi
export WINEDEBUG=${WINEDEBUG:--all}
export WINEDLLOVERRIDES=${WINEDLLOVERRIDES:-mscoree,mshtml=}
mkdir -p "$WINEPREFIX"
(
  # Test binaries start in parallel; one of them prepares the prefix, the others wait.
  flock 9
  if [ ! -f "$WINEPREFIX/system.reg" ]; then
    "$qm_wine" wineboot.exe -i >/dev/null 2>&1 || true
    wineserver -w || true
  fi
  if [ ! -f "$WINEPREFIX/.qm-null-display" ]; then
    "$qm_wine" reg add 'HKCU\Software\Wine\Drivers' /v Graphics /d null /f >/dev/null 2>&1 ||
      { echo "wine-run: Wine could not set up its prefix $WINEPREFIX" >&2; exit 1; }
    wineserver -k 2>/dev/null || true  # the driver is chosen when the server starts
    touch "$WINEPREFIX/.qm-null-display"
  fi
) 9>"$WINEPREFIX/.qm-lock"
exec "$qm_wine" "$@"
