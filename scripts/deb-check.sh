#!/usr/bin/env bash
# Checks the Debian package of the Linux program from outside and in use: lintian finds no error
# and no warning that the package does not override, the AppStream data and the menu entry are
# valid; then the package is installed on this machine with apt-get, an ordinary user runs the
# installed quietus (their schedule lands in their own ~/.config/QuietusMachine), and the
# package is removed and purged, which must leave that schedule alone. The machine is left as it
# was: the package, and any package that its install brought, is purged again, also when a
# check fails half-way.
#
# Usage: scripts/deb-check.sh build/linux/package/quietusmachine_<version>_<arch>.deb
# Needs: lintian, appstream, desktop-file-utils (scripts/deps.sh), root or sudo.
set -euo pipefail

deb=${1:?usage: scripts/deb-check.sh quietusmachine_VERSION_ARCH.deb}
deb=$(realpath "$deb")
[ -f "$deb" ] || { echo "deb-check: no such file: $deb" >&2; exit 1; }
pkg=quietusmachine
started=$SECONDS

as_root=()
[ "$(id -u)" -eq 0 ] || as_root=(sudo)

# The user of the installed program: nobody, an account every Debian machine has, so none has to
# be made and removed again; it cannot write /usr/bin, as any user of an installed program
# cannot, and it gets a home folder of its own for the run. Its XDG_CONFIG_HOME is unset, so its
# schedule must land in $HOME/.config.
user=nobody

installed_here() { dpkg-query -W -f='${Status}' "$pkg" 2>/dev/null | grep -q 'install ok installed'; }
packages() { dpkg-query -W -f='${binary:Package} ${Status}\n' | awk '$NF == "installed" { print $1 }' | sort; }

if installed_here || [ -e /usr/bin/quietus ]; then
  echo "deb-check: $pkg or /usr/bin/quietus is already on this machine; remove it first, this check must not replace it" >&2
  exit 1
fi

work=$(mktemp -d)
home=$(mktemp -d)
packages >"$work/before"
touched=0

apt() {
  DEBIAN_FRONTEND=noninteractive "${as_root[@]}" apt-get -o DPkg::Lock::Timeout=300 "$@" >>"$work/apt.log" 2>&1 ||
    { tail -n 30 "$work/apt.log" >&2; return 1; }
}

# Whatever happened, the package and any package its install brought go again.
cleanup() {
  local status=$?
  if [ "$touched" = 1 ]; then
    if dpkg-query -W -f='${Status}' "$pkg" 2>/dev/null | grep -qv 'not-installed'; then
      apt purge -y "$pkg" || status=1
    fi
    packages >"$work/after"
    mapfile -t brought < <(comm -13 "$work/before" "$work/after")
    if [ ${#brought[@]} -gt 0 ]; then
      echo "deb-check: purging what the install brought: ${brought[*]}"
      apt purge -y "${brought[@]}" || status=1
    fi
  fi
  "${as_root[@]}" rm -rf "$home"
  rm -rf "$work"
  [ "$status" -eq 0 ] || echo "deb-check: FAILED" >&2
  exit "$status"
}
trap cleanup EXIT

fail() { echo "deb-check: $*" >&2; exit 1; }
summary=()
ok() { summary+=("$1"); echo "deb-check: $1"; }

# --- The package from outside ---------------------------------------------------------------
# lintian refuses errors and warnings; tags the package overrides (with its reasons, in
# /usr/share/lintian/overrides/quietusmachine) are shown but do not count.
lintian_status=0
lintian --fail-on error,warning --show-overrides "$deb" >"$work/lintian" 2>&1 || lintian_status=$?
grep -v 'running with root privileges' "$work/lintian" || true
[ "$lintian_status" -eq 0 ] || fail "lintian found errors or warnings (exit status $lintian_status)"
ok "lintian: no errors, no warnings ($(grep -c '^O:' "$work/lintian" || true) overridden)"

dpkg-deb -x "$deb" "$work/root"
metainfo=$work/root/usr/share/metainfo/org.quietusmachine.QuietusMachine.metainfo.xml
desktop=$work/root/usr/share/applications/org.quietusmachine.QuietusMachine.desktop
appstreamcli validate --no-net "$metainfo" || fail "appstreamcli: the metainfo is not valid"
ok "appstreamcli validate --no-net: valid"
desktop-file-validate "$desktop" || fail "desktop-file-validate: the menu entry is not valid"
ok "desktop-file-validate: valid"

# --- Installed -------------------------------------------------------------------------------
touched=1
apt install -y "$deb"
installed_here || fail "apt-get install did not install $pkg"
ok "apt-get install: $(dpkg-query -W -f='${Package} ${Version} ${Architecture}' "$pkg")"

for file in /usr/bin/quietus /usr/share/man/man1/quietus.1.gz /usr/share/bash-completion/completions/quietus \
            /usr/share/applications/org.quietusmachine.QuietusMachine.desktop \
            /usr/share/doc/quietusmachine/Help/Help.htm /usr/share/doc/quietusmachine/copyright; do
  [ -f "$file" ] || fail "not installed: $file"
done
[ -x /usr/bin/quietus ] || fail "/usr/bin/quietus is not executable"
if command -v man >/dev/null; then
  [ "$(man -w quietus)" = /usr/share/man/man1/quietus.1.gz ] || fail "man -w quietus: $(man -w quietus 2>&1)"
fi
bash -c 'source /usr/share/bash-completion/completions/quietus && complete -p quietus' >/dev/null ||
  fail "the bash completion does not complete quietus"
ok "installed: /usr/bin/quietus, manual page, bash completion, menu entry, help page"

# --- Used by an ordinary user ------------------------------------------------------------------
"${as_root[@]}" chown "$user" "$home"
as_user() { "${as_root[@]}" runuser -u "$user" -- env -u XDG_CONFIG_HOME HOME="$home" --chdir="$home" "$@"; }
schedule=$home/.config/QuietusMachine/Dtddta.wet
entry='毎日実行　　　　22時30分　再起動'

where=$(as_user quietus --where) || fail "quietus --where failed"
[ "$where" = "$schedule" ] || fail "quietus --where: expected $schedule, got $where"
as_user quietus --add --at 22:30 --every-day --method restart >/dev/null || fail "quietus --add failed"
listed=$(as_user quietus --list) || fail "quietus --list failed"
grep -qF "$entry" <<<"$listed" || fail "quietus --list does not show the entry: $listed"
"${as_root[@]}" test -f "$schedule" || fail "no schedule file at $schedule"
[ "$("${as_root[@]}" stat -c %U "$schedule")" = "$user" ] || fail "the schedule is not the user's own"
saved=$("${as_root[@]}" cat "$schedule" | iconv -f SHIFT_JIS -t UTF-8) || fail "the schedule file is not Shift_JIS"
grep -qF "$entry" <<<"$saved" ||
  fail "the schedule file does not hold the entry in Shift_JIS"
ok "as $user: --where, --add and --list use $schedule, which holds the entry"

# --- Removed -----------------------------------------------------------------------------------
apt remove -y "$pkg"
[ ! -e /usr/bin/quietus ] || fail "/usr/bin/quietus is still there after apt-get remove"
# A package without configuration files is gone with its remove; purge what may be left.
if dpkg-query -W "$pkg" >/dev/null 2>&1; then apt purge -y "$pkg"; fi
! installed_here || fail "$pkg is still installed after purge"
"${as_root[@]}" test -f "$schedule" || fail "removing the package took the user's schedule"
ok "apt-get remove and purge: /usr/bin/quietus gone, the user's schedule kept"

packages >"$work/after"
mapfile -t brought < <(comm -13 "$work/before" "$work/after")
[ ${#brought[@]} -eq 0 ] || echo "deb-check: the install had brought ${brought[*]} (purged on exit)"

echo
echo "deb-check: $(basename "$deb") passed in $((SECONDS - started)) s"
printf '  %s\n' "${summary[@]}"
