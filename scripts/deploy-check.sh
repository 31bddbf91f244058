#!/usr/bin/env bash
# The deployment playbooks: ansible-lint on both, and the Linux one (deploy/ansible/linux.yml) run
# for real against this machine over Ansible's local connection. For one user, in a home folder of
# its own: install, an upgrade that stops the running copy and, with no desktop session known,
# leaves it stopped, a re-run that changes nothing and stops nothing, an upgrade that starts the
# copy again in the session it is given, and the removal, which leaves the user's schedule. Then
# system-wide (/opt and /etc/xdg/autostart, as root): nothing there writable but by root, the shared
# schedule read-only for an ordinary user (nobody), whose own schedule is in ~/.config without it,
# and a removal that stops that user's copy and leaves their schedule. Whatever it puts under /opt
# and /etc/xdg/autostart goes again at the end; where something of that name is there already, the
# system-wide part is skipped.
#
# Usage: scripts/deploy-check.sh [archive]   (dist/QuietusMachine-*-linux-*.tar.gz by default)
set -euo pipefail
cd "$(dirname "$0")/.."
archive=${1:-$(ls dist/QuietusMachine-*-linux-*.tar.gz | head -n 1)}
archive=$(realpath "$archive")
work=$(mktemp -d)
chmod 755 "$work"   # the ordinary user reaches their home folder below it
opt=/opt/QuietusMachine
xdg=/etc/xdg/autostart/QuietusMachine.desktop
ours_system=false
lint=

# The processes started from a program file, as the playbook finds them.
running() {
  local link
  for link in /proc/[0-9]*/exe; do
    case "$(readlink "$link" 2>/dev/null)" in "$1" | "$1 (deleted)") link=${link#/proc/}; echo "${link%/exe}" ;; esac
  done
}
cleanup() {
  local pid
  [ -z "$lint" ] || kill "$lint" 2>/dev/null || true
  for pid in $(running "$work/home/.local/opt/QuietusMachine/quietus") $(running "$opt/quietus"); do
    kill "$pid" 2>/dev/null || true
  done
  if $ours_system; then rm -rf "$opt" "$xdg"; fi
  rm -rf "$work"
}
trap cleanup EXIT
fail() { echo "deploy: $*" >&2; exit 1; }
ok() { echo "deploy: $*"; }

# Both playbooks pass ansible-lint; it runs while the Linux one is tried, and is waited for at the end.
HOME=$work/lint ansible-lint --offline --nocolor -p deploy/ansible/linux.yml deploy/ansible/windows.yml \
  >"$work/lint.log" 2>&1 &
lint=$!
lint_passes() {
  wait "$lint" || { cat "$work/lint.log"; fail "ansible-lint found violations"; }
  ok "ansible-lint: no violations in deploy/ansible/linux.yml and windows.yml"
}

# Schedules as an administrator would prepare them: Shift_JIS, CR LF.
python3 - "$work" <<'PY'
import sys
for name, lines in {"a.wet": ["98年12月06日 14時45分　ログオフ", "毎日実行　　　　23時00分　再起動"],
                    "b.wet": ["平日実行　　　　18時30分　ｼｬｯﾄﾀﾞｳﾝ"]}.items():
    open(f"{sys.argv[1]}/{name}", "wb").write("".join(l + "\r\n" for l in lines).encode("cp932"))
PY
a1="98年12月06日 14時45分　ログオフ" a2="毎日実行　　　　23時00分　再起動" b1="平日実行　　　　18時30分　ｼｬｯﾄﾀﾞｳﾝ"
# A second release: the same archive with one file changed.
mkdir "$work/v2"
tar -xzf "$archive" -C "$work/v2"
top=$(ls "$work/v2")
echo "changed" >>"$work/v2/$top/Readme.txt"
tar -czf "$work/v2.tar.gz" -C "$work/v2" "$top"

# Runs the Linux playbook as root over the local connection; the program and Ansible keep their
# state under $work, and no session's runtime folder is seen.
play() {
  local log=$work/$1.log
  shift
  env -u XDG_RUNTIME_DIR -u XDG_CONFIG_HOME -u DISPLAY -u WAYLAND_DISPLAY HOME="$work/home" \
    ANSIBLE_HOME="$work/ansible" ANSIBLE_LOCAL_TEMP="$work/ansible/tmp" ANSIBLE_NOCOLOR=1 \
    ANSIBLE_LOCALHOST_WARNING=false ANSIBLE_INVENTORY_UNPARSED_WARNING=false \
    ansible-playbook -i localhost, -c local deploy/ansible/linux.yml -e quietus_hosts=localhost "$@" >"$log" ||
    { cat "$log"; fail "the playbook failed: $*"; }
}
# A running copy, as the desktop would start it (no display here: Qt's offscreen platform).
start_copy() {
  local exe=$1 i
  shift
  "$@" env -u XDG_RUNTIME_DIR QT_QPA_PLATFORM=offscreen setsid -f "$exe" </dev/null >/dev/null 2>&1
  for ((i = 0; i < 50; i++)); do [ -n "$(running "$exe")" ] && { running "$exe"; return; }; sleep 0.1; done
  fail "$exe did not start"
}
lists() {  # lists OUTPUT LINE...: the output shows every line
  local out=$1 line
  shift
  for line; do grep -qF "$line" <<<"$out" || fail "--list does not show \"$line\": $out"; done
}

# --- For one user ----------------------------------------------------------------------------------
mkdir -p "$work/home"
home=$work/home/.local/opt/QuietusMachine
exe=$home/quietus
entry=$work/home/.config/autostart/QuietusMachine.desktop

play install -e "quietus_archive=$archive quietus_schedule=$work/a.wet"
[ -x "$exe" ] || fail "the program is not in $home"
cmp -s "$work/a.wet" "$home/Dtddta.wet" || fail "the schedule did not arrive byte for byte"
grep -qx "Exec=\"$exe\"" "$entry" || fail "no autostart entry starting $exe"
lists "$(HOME=$work/home "$exe" --list)" "$a1" "$a2"
lists "$(cat "$work/install.log")" "$a1" "$a2"
ok "install: the program, its schedule and the autostart entry; --list reads the schedule"

first=$(start_copy "$exe")
play upgrade -e "quietus_archive=$work/v2.tar.gz quietus_schedule=$work/b.wet"
[ -z "$(running "$exe")" ] || fail "the upgrade left the running copy running or started one without a session"
grep -qx changed "$home/Readme.txt" || fail "the upgrade did not unpack the new archive"
lists "$(HOME=$work/home "$exe" --list)" "$b1"
grep -q "stopped: $first; they start again at the next log-on" "$work/upgrade.log" ||
  fail "the upgrade does not say it stopped $first: $(cat "$work/upgrade.log")"
ok "upgrade, no session known: the running copy stopped and left for the next log-on; new files and schedule"

second=$(start_copy "$exe")
play same -e "quietus_archive=$work/v2.tar.gz" -e '{"quietus_session_env": {"QT_QPA_PLATFORM": "offscreen"}}'
[ "$(running "$exe")" = "$second" ] || fail "a run that changed nothing touched the running copy"
grep -q "stopped:" "$work/same.log" && fail "a run that changed nothing says it stopped something"
ok "re-run with the same archive: the running copy left alone"

play downgrade -e "quietus_archive=$archive" -e '{"quietus_session_env": {"QT_QPA_PLATFORM": "offscreen"}}'
third=$(running "$exe")
[ -n "$third" ] && [ "$third" != "$second" ] ||
  fail "the upgrade with a session given did not start the program again (before: $second, now: ${third:-none})"
grep -q "stopped: $second; started again" "$work/downgrade.log" || fail "the upgrade does not say it started it again"
ok "upgrade, session given: the running copy stopped and started again in it"

play remove --tags remove
[ -z "$(running "$exe")" ] || fail "the removal left the program running"
[ ! -e "$entry" ] || fail "the removal left the autostart entry"
left=$(cd "$home" && ls -A)
[ "$left" = Dtddta.wet ] || fail "the removal left $(tr '\n' ' ' <<<"$left")instead of the schedule alone"
cmp -s "$work/b.wet" "$home/Dtddta.wet" || fail "the removal changed the user's schedule"
ok "removal: program stopped, program and autostart entry gone, the user's schedule kept"

# --- For every user ----------------------------------------------------------------------------------
if [ -e "$opt" ] || [ -e "$xdg" ]; then
  echo "deploy: SKIPPED the system-wide variant: $opt or $xdg is there already" >&2
  lint_passes
  exit 0
fi
ours_system=true
user=nobody
mkdir "$work/$user"
chown "$user" "$work/$user"
as_user() { runuser -u "$user" -- env -u XDG_RUNTIME_DIR -u XDG_CONFIG_HOME HOME="$work/$user" --chdir="$work/$user" "$@"; }

play system -e "quietus_system_wide=true quietus_archive=$archive quietus_schedule=$work/a.wet"
[ -x "$opt/quietus" ] && grep -qx "Exec=\"$opt/quietus\"" "$xdg" || fail "no program in $opt or no entry in $xdg"
writable=$(find "$opt" "$xdg" \( ! -user root -o -perm /022 \) -printf '%p ')
[ -z "$writable" ] || fail "writable by others than root: $writable"
[ "$(as_user "$opt/quietus" --where)" = "$opt/Dtddta.wet" ] || fail "the shared schedule is not $user's"
lists "$(as_user "$opt/quietus" --list)" "$a1" "$a2"
status=0
refusal=$(as_user "$opt/quietus" --add --at 22:30 --every-day --method restart 2>&1) || status=$?
[ "$status" = 2 ] || fail "$user's --add on the shared schedule: status $status, expected the refusal (2): $refusal"
cmp -s "$work/a.wet" "$opt/Dtddta.wet" || fail "$user changed the shared schedule"
ok "system-wide: root's alone; the shared schedule is $user's, read-only (--add refused: $refusal)"

mv "$opt/Dtddta.wet" "$work/shared.wet"
own=$work/$user/.config/QuietusMachine/Dtddta.wet
[ "$(as_user "$opt/quietus" --where)" = "$own" ] || fail "without a shared schedule $user's is not $own"
as_user "$opt/quietus" --add --at 22:30 --every-day --method restart >/dev/null || fail "$user cannot add to $own"
mv "$work/shared.wet" "$opt/Dtddta.wet"
start_copy "$opt/quietus" runuser -u "$user" -- env HOME="$work/$user" >/dev/null
play system-remove -e quietus_system_wide=true --tags remove
[ -z "$(running "$opt/quietus")" ] || fail "the removal left $user's copy running"
[ ! -e "$opt" ] && [ ! -e "$xdg" ] || fail "the removal left $opt or $xdg"
[ -s "$own" ] || fail "the removal took $user's own schedule"
ok "system-wide without a shared schedule: $user's own in ~/.config; removal stopped $user's copy, removed $opt and $xdg, kept $user's schedule"
lint_passes
