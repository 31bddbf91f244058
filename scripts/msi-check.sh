#!/usr/bin/env bash
# The Windows installer end to end under Wine, in a fresh prefix of its own: installs the MSI
# silently, checks the program folder (Quietus.exe, Readme.txt, LICENSE, Help\Help.htm), the
# Start-menu shortcut and the one Settings > Apps entry; makes the program folder unwritable, as
# Program Files is to a user, and checks that the installed program keeps its schedule in the
# user's %APPDATA%\QuietusMachine (--where, then --add); upgrades in place to a newer version
# (the same files repackaged as patch + 1) with STARTUPSHORTCUT=1 and checks that one entry, one
# program and the Startup shortcut are there; uninstalls and checks that everything installed is
# gone and the user's schedule is not.
#
# Usage: scripts/msi-check.sh QuietusMachine-<version>-win64.msi   (or -win32.msi where the
# machine runs 32-bit programs; a 64-bit prefix holds either, the 32-bit one in Program Files (x86))
#
# Wine's C:\Program Files is a folder of the prefix that its owner can write. Run as root, the
# check would prove nothing: root writes whatever the mode bits say. So Wine runs as the user
# `nobody` when the script runs as root (as the invoking user otherwise), and the program folder's
# write bits are taken away; the script then proves the folder truly is unwritable by failing to
# create a file in it as that user, before the program is run.
set -euo pipefail
scripts=$(cd "$(dirname "$0")" && pwd)
# shellcheck source=scripts/wine-env.sh
source "$scripts/wine-env.sh"
[ $# -eq 1 ] && [ -f "$1" ] || { echo "usage: $0 QuietusMachine-<version>-<win32|win64>.msi" >&2; exit 2; }
msi=$(realpath "$1")
started=$SECONDS

fail() {
  printf 'msi-check: FAILED: %s\n' "$*" >&2
  exit 1
}
note() { printf '  %-62s %s\n' "$1" "${2:-ok}"; }
for tool in msiinfo msiextract wixl; do
  command -v $tool >/dev/null || fail "$tool is missing (Debian packages msitools, wixl)"
done

# The package: its processor (the summary's platform) and version.
case $(msiinfo suminfo "$msi" | sed -n 's/^Template: //p') in
  x64*) package=win64 programs="Program Files" ;;
  Intel*) package=win32 programs="Program Files (x86)" ;;
  *) fail "$msi: neither an x64 nor an Intel package" ;;
esac
[ $package = win64 ] || qm_wine_32bit || fail "$msi is a 32-bit package, and this machine runs no 32-bit programs"
version=$(msiinfo export "$msi" Property | tr -d '\r' | awk -F'\t' '$1 == "ProductVersion" { print $2 }')
IFS=. read -r major minor patch <<<"$version"
newer=$major.$minor.$((patch + 1))

# Wine's user: nobody in place of root (see above).
if [ "$(id -u)" -eq 0 ]; then
  user=nobody
  as_user=(setpriv --reuid="$(id -u nobody)" --regid="$(id -g nobody)" --clear-groups)
else
  user=$(id -un)
  as_user=()
fi
work=$(mktemp -d /tmp/quietus-msi-check.XXXXXX)
chmod 755 "$work"
mkdir "$work/home"
[ ${#as_user[@]} -eq 0 ] || chown nobody: "$work/home"
export HOME=$work/home USER=$user LOGNAME=$user WINEPREFIX=$work/home/prefix WINEARCH=win64
export WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d" LC_ALL=C.UTF-8
cleanup() {
  "${as_user[@]}" wineserver -k 2>/dev/null || true
  chmod -R u+w "$work" 2>/dev/null || true
  rm -rf "$work"
}
trap cleanup EXIT
wine() { "${as_user[@]}" "$qm_wine" "$@"; }
winpath() { printf 'Z:%s' "${1//\//\\}"; }
cp "$msi" "$work/home/first.msi"

drive_c=$WINEPREFIX/drive_c
folder=$drive_c/$programs/QuietusMachine
exe="C:\\$programs\\QuietusMachine\\Quietus.exe"  # started by its Windows path, as a user would
appdata=$drive_c/users/$user/AppData/Roaming
schedule=$appdata/QuietusMachine/Dtddta.wet
# Windows puts a per-machine package's shortcuts in All Users' folders; Wine's installer puts them
# in the installing user's. Either is the shortcut.
start_menus=("$drive_c/ProgramData/Microsoft/Windows/Start Menu/Programs" "$appdata/Microsoft/Windows/Start Menu/Programs")
shortcut() {  # shortcut RELATIVE_PATH: is it in either Start menu?
  [ -f "${start_menus[0]}/$1" ] || [ -f "${start_menus[1]}/$1" ]
}
msiexec() {
  wine msiexec "$@" /qn >"$work/msiexec.out" 2>&1 || fail "msiexec $*: status $? ($(tail -3 "$work/msiexec.out"))"
}
# The Settings > Apps entries named QuietusMachine, as "name version" lines, from both registry
# views (Wine keeps a 32-bit package's entry in the 32-bit one).
apps() {
  for view in 64 32; do
    wine reg query 'HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall' /s /reg:$view 2>/dev/null
  done | tr -d '\r' |
    awk '$1 == "DisplayName" { name = $3 } $1 == "DisplayVersion" && name == "QuietusMachine" { print name, $3; name = "" }'
}
# qm ARGS...: Quietus.exe from the program folder; its output in $work/out, its status in $status.
qm() {
  set +e
  (cd "$work" && timeout 30 "${as_user[@]}" "$qm_wine" "$exe" "$@" >"$work/out" 2>"$work/err")
  status=$?
  set -e
}

loader=64-bit
[ $package = win64 ] || loader=32-bit
printf 'The installer: %s, Quietus.exe under Wine'"'"'s %s loader, as %s\n' "${msi##*/}" $loader "$user"

# --- A fresh 64-bit prefix on Wine's null display driver ---------------------------------------
wine wineboot.exe -i >/dev/null 2>&1 || true
wine reg add 'HKCU\Software\Wine\Drivers' /v Graphics /d null /f >/dev/null 2>&1 || fail "no Wine prefix"
"${as_user[@]}" wineserver -k 2>/dev/null || true  # the driver is chosen when the server starts
note "fresh 64-bit Wine prefix" "$((SECONDS - started)) s"

# --- Install ------------------------------------------------------------------------------------
msiexec /i "$(winpath "$work/home/first.msi")"
for f in Quietus.exe Readme.txt LICENSE Help/Help.htm; do
  [ -f "$folder/$f" ] || fail "msiexec /i: no C:\\$programs\\QuietusMachine\\${f//\//\\}"
done
note "msiexec /i /qn: Quietus.exe, Readme.txt, LICENSE, Help\\Help.htm"
shortcut QuietusMachine.lnk || fail "no Start-menu shortcut QuietusMachine.lnk"
! shortcut StartUp/QuietusMachine.lnk || fail "a Startup shortcut without STARTUPSHORTCUT=1"
note "Start-menu shortcut; no Startup shortcut unless asked"
[ "$(apps)" = "QuietusMachine $version" ] || fail "Settings > Apps shows: $(apps)"
note "one Settings > Apps entry: QuietusMachine $version"

# --- The installed program keeps its schedule in %APPDATA% --------------------------------------
chmod a-w "$folder" "$folder/Help"
if "${as_user[@]}" touch "$folder/probe" 2>/dev/null; then fail "$user can still write the program folder"; fi
note "program folder unwritable: $user's write fails"
qm --where
where=$(tr -d '\r' <"$work/out")
[ "$status" -eq 0 ] && [ "$where" = "C:\\users\\$user\\AppData\\Roaming\\QuietusMachine\\Dtddta.wet" ] ||
  fail "--where: status $status, printed \"$where\" ($(cat "$work/err"))"
note "--where: %APPDATA%\\QuietusMachine\\Dtddta.wet"
qm --add --at 22:30 --every-day --method restart
[ "$status" -eq 0 ] || fail "--add: status $status ($(cat "$work/err"))"
printf '%s\r\n' "毎日実行　　　　22時30分　再起動" | iconv -f UTF-8 -t CP932 >"$work/expected"
cmp -s "$work/expected" "$schedule" || fail "--add: the user's schedule is not the one entry (Shift_JIS, CR LF)"
[ ! -e "$folder/Dtddta.wet" ] || fail "--add wrote a schedule into the program folder"
note "--add: the entry in the user's schedule, none in the program folder"
chmod u+w "$folder" "$folder/Help"  # as an administrator's rights on Program Files are

# --- Upgrade in place -----------------------------------------------------------------------------
msiextract -C "$work/files" "$msi" >/dev/null
files=$(dirname "$(find "$work/files" -name Quietus.exe)")
# upgrade VERSION [PROPERTY=VALUE]: the same files as VERSION, installed over what is there.
upgrade() {
  "$scripts/make-msi.sh" "$files" "$1" $package "$work/home" >/dev/null
  msiexec /i "$(winpath "$work/home/QuietusMachine-$1-$package.msi")" "${@:2}"
  [ "$(apps)" = "QuietusMachine $1" ] || fail "after the upgrade to $1 Settings > Apps shows: $(apps)"
  copies=$(find "$drive_c" -name Quietus.exe -not -path '*/windows/*' | wc -l)
  [ "$copies" -eq 1 ] || fail "after the upgrade to $1, $copies copies of Quietus.exe"
  shortcut StartUp/QuietusMachine.lnk || fail "after the upgrade to $1, no Startup shortcut"
}
upgrade "$newer" STARTUPSHORTCUT=1
note "upgrade to $newer with STARTUPSHORTCUT=1: one entry, one program, Startup shortcut"
newer=$major.$minor.$((patch + 2))
upgrade "$newer"
note "upgrade to $newer: the Startup shortcut kept"

# --- Uninstall ----------------------------------------------------------------------------------
msiexec /x "$(winpath "$work/home/QuietusMachine-$newer-$package.msi")"
[ ! -e "$folder" ] || fail "msiexec /x left $(find "$folder" | sed "s|$drive_c|C:|" | paste -sd' ')"
! shortcut QuietusMachine.lnk && ! shortcut StartUp/QuietusMachine.lnk || fail "msiexec /x left a shortcut"
[ -z "$(apps)" ] || fail "msiexec /x left Settings > Apps: $(apps)"
! wine reg query 'HKCU\Software\QuietusMachine' >/dev/null 2>&1 || fail "msiexec /x left HKCU\Software\QuietusMachine"
cmp -s "$work/expected" "$schedule" || fail "msiexec /x touched the user's schedule"
note "msiexec /x: folder, shortcuts, entry, key gone; the schedule stays"

printf 'msi-check: %s passed in %d s\n' "${msi##*/}" $((SECONDS - started))
