# Which of Wine's loaders runs Windows programs on this machine; sourced by test.sh, wine-run.sh
# and e2e-win32.sh.
#
# Debian's /usr/bin/wine takes the 32-bit loader whenever wine32 is installed (and wineboot goes
# through it), even where the kernel runs no 32-bit programs (32-bit emulation switched off:
# "Exec format error"). There only the 64-bit loader works, in a 64-bit prefix, and only 64-bit
# programs run. Debian's wineserver wrapper already takes the 64-bit server, which serves both.
#
# The answer is found once and handed on in QM_WINE_BITS: 32 where the 32-bit loader starts
# (both packages run), 64 where it does not. Afterwards:
#   "$qm_wine" PROGRAM ARGS...   runs a Windows program, or one of Wine's own (wineboot.exe, regedit)
#   qm_wine_32bit                succeeds where 32-bit programs run
#   qm_wine_loader_of EXE        "32-bit" or "64-bit": the loader that runs EXE

# shellcheck shell=bash
if [ -z "${QM_WINE_BITS:-}" ]; then
  if /usr/lib/wine/wine --version >/dev/null 2>&1; then QM_WINE_BITS=32; else QM_WINE_BITS=64; fi
fi
export QM_WINE_BITS

if [ "$QM_WINE_BITS" = 32 ]; then
  qm_wine=wine  # as Debian sets it up: the 32-bit loader, which hands 64-bit programs on
else
  qm_wine=/usr/lib/wine/wine64
  # WINELOADER: the loader Wine itself uses for the programs it starts (explorer, wineboot).
  export WINELOADER=$qm_wine WINEARCH=win64
fi

qm_wine_32bit() { [ "$QM_WINE_BITS" = 32 ]; }

qm_wine_loader_of() {
  case $(file -b "$1") in
    PE32+*) echo 64-bit ;;
    *) echo 32-bit ;;
  esac
}
