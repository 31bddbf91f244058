#!/usr/bin/env bash
# Checks a Windows package's Quietus.exe: a GUI program for the package's processor that needs
# no DLL beyond Windows' own, so that the one file runs on any Windows as it is copied, and whose
# version resource (Properties > Details) shows the project's version and the copyright.
# Usage: scripts/check-pe.sh DIST_DIR win32|win64
set -euo pipefail
exe=${1:?usage: check-pe.sh DIST_DIR win32|win64}/Quietus.exe
case ${2:-} in
  win32) kind="PE32 executable (GUI) Intel 80386" objdump=i686-w64-mingw32-objdump ;;
  win64) kind="PE32+ executable (GUI) x86-64" objdump=x86_64-w64-mingw32-objdump ;;
  *) echo "usage: check-pe.sh DIST_DIR win32|win64" >&2; exit 2 ;;
esac
system_dlls=" ADVAPI32.DLL COMCTL32.DLL GDI32.DLL KERNEL32.DLL MSVCRT.DLL OLE32.DLL SHELL32.DLL USER32.DLL "

fail() { echo "check-pe: $exe: $*" >&2; exit 1; }
[ -f "$exe" ] || fail "missing"
type=$(file -b "$exe")
case $type in "$kind"[,\ ]*) ;; *) fail "is a \"$type\", not a $kind" ;; esac

imports=$("$objdump" -p "$exe" | awk '/DLL Name:/ { print toupper($3) }' | sort -u)
[[ $imports == *KERNEL32.DLL* ]] || fail "no import table found (objdump -p: $imports)"
for dll in $imports; do
  [[ $system_dlls == *" $dll "* ]] || fail "imports $dll, which is not one of Windows' own DLLs"
done
# The version resource's strings are UTF-16: each name is followed by its value.
version=$(sed -n 's/^project(QuietusMachine VERSION \([0-9.]*\).*/\1/p' "$(dirname "$0")/../CMakeLists.txt")
copyright="Copyright (c) 2026 QuietusMachine developers"
resource=$("${objdump%objdump}strings" -el "$exe")
for field in FileVersion ProductVersion; do
  value=$(grep -A1 -x "$field" <<<"$resource" | sed -n 2p || true)
  [ "$value" = "$version" ] || fail "$field is \"$value\", not the project's $version"
done
grep -qxF "$copyright" <<<"$resource" || fail "no \"$copyright\" in its version resource"

echo "$exe: $kind, version $version, imports $(echo "${imports//.DLL/}" | paste -sd' ') only"
