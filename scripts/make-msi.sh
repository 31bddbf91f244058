#!/usr/bin/env bash
# Builds the Windows Installer package QuietusMachine-<version>-<win32|win64>.msi from an
# installed Windows package folder, with msitools' wixl (package/windows/QuietusMachine.wxs).
# The build's `msi` target runs it; scripts/msi-check.sh runs it again to make a newer version.
# Usage: scripts/make-msi.sh DIST_DIR VERSION win32|win64 OUTPUT_DIR
set -euo pipefail
usage="usage: make-msi.sh DIST_DIR VERSION win32|win64 OUTPUT_DIR"
[ $# -eq 4 ] || { echo "$usage" >&2; exit 2; }
dist=$(realpath "$1") version=$2 out=$4
case $3 in
  win32) arch=x86 ;;
  win64) arch=x64 ;;
  *) echo "$usage" >&2; exit 2 ;;
esac
command -v wixl >/dev/null || { echo "make-msi: wixl is missing (Debian package wixl)" >&2; exit 1; }
for f in Quietus.exe Readme.txt LICENSE Help/Help.htm; do
  [ -f "$dist/$f" ] || { echo "make-msi: no $dist/$f (cmake --install the build first)" >&2; exit 1; }
done
mkdir -p "$out"
msi=$(realpath "$out")/QuietusMachine-$version-$3.msi
wxs=$(realpath "$(dirname "$0")/../package/windows/QuietusMachine.wxs")
work=$(mktemp -d /tmp/quietus-msi.XXXXXX)
trap 'rm -rf "$work"' EXIT
# The package folder and the icon Settings > Apps shows, drawn as the build draws it. This wixl
# finds sources by names relative to the folder it runs in, not by absolute paths.
cp -R "$dist/." "$work"
python3 "$(dirname "$0")/make-icons.py" "$work/icons" >/dev/null
(cd "$work" && wixl -a "$arch" -D Version="$version" -D Arch="$arch" -o "$msi" "$wxs")
echo "$msi"
