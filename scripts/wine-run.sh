#!/usr/bin/env bash
# Runs a cross-built Windows program under Wine, quietly, in the project's own prefix
# (never the user's ~/.wine). CTest uses it as the emulator for the Windows test binaries.
set -euo pipefail
export WINEPREFIX=${QM_WINEPREFIX:-${XDG_CACHE_HOME:-$HOME/.cache}/quietus/wineprefix}
export WINEDEBUG=${WINEDEBUG:--all}
export WINEDLLOVERRIDES=${WINEDLLOVERRIDES:-mscoree,mshtml=}
if [ ! -f "$WINEPREFIX/system.reg" ]; then
  mkdir -p "$WINEPREFIX"
  wineboot -i >/dev/null 2>&1 || true
  wineserver -w || true
fi
exec wine "$@"
