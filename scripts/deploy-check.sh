#!/usr/bin/env bash
# The Linux deployment playbook (deploy/ansible/linux.yml), run for real against this machine over
# Ansible's local connection, into a home folder of its own: it unpacks the release archive, puts a
# schedule beside the program and the autostart entry in place, and the program's `--list` must
# read that schedule back.
#
# Usage: scripts/deploy-check.sh [archive]   (dist/QuietusMachine-*-linux-*.tar.gz by default)
set -euo pipefail
cd "$(dirname "$0")/.."
archive=${1:-$(ls dist/QuietusMachine-*-linux-*.tar.gz | head -n 1)}
archive=$(realpath "$archive")
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
mkdir -p "$work/home"

# A schedule as an administrator would prepare it: Shift_JIS, CR LF.
python3 - "$work/Dtddta.wet" <<'PY'
import sys
lines = ["98年12月06日 14時45分　ログオフ", "毎日実行　　　　23時00分　再起動"]
open(sys.argv[1], "wb").write("".join(line + "\r\n" for line in lines).encode("cp932"))
PY

HOME=$work/home ANSIBLE_HOME=$work/ansible ANSIBLE_LOCAL_TEMP=$work/ansible/tmp ANSIBLE_NOCOLOR=1 \
  ANSIBLE_LOCALHOST_WARNING=false ANSIBLE_INVENTORY_UNPARSED_WARNING=false \
  ansible-playbook -i localhost, -c local deploy/ansible/linux.yml \
  -e "quietus_hosts=localhost quietus_archive=$archive quietus_schedule=$work/Dtddta.wet" >"$work/play.log" ||
  { cat "$work/play.log"; echo "deploy: the playbook failed" >&2; exit 1; }

home=$work/home/.local/opt/QuietusMachine
fail() { cat "$work/play.log"; echo "deploy: $*" >&2; exit 1; }
[ -x "$home/quietus" ] || fail "the program is not in $home"
cmp -s "$work/Dtddta.wet" "$home/Dtddta.wet" || fail "the schedule did not arrive byte for byte"
grep -qx "Exec=\"$home/quietus\"" "$work/home/.config/autostart/QuietusMachine.desktop" ||
  fail "no autostart entry starting $home/quietus"
list=$("$home/quietus" --list) || fail "--list failed"
for line in "98年12月06日 14時45分　ログオフ" "毎日実行　　　　23時00分　再起動"; do
  grep -qF "$line" <<<"$list" || fail "--list does not show \"$line\": $list"
  grep -qF "$line" "$work/play.log" || fail "the playbook's check does not show \"$line\""
done
echo "deploy: the Linux playbook put the program, its schedule and its autostart entry in place; --list reads the schedule"
