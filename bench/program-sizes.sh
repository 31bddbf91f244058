#!/usr/bin/env bash
# How the programs answer as the schedule file grows: dist/linux/quietus on a virtual desktop and
# dist/win64/Quietus.exe under Wine's 64-bit loader (bench/drive-linux.sh, bench/drive-wine.sh),
# each with schedule files of 1,000, 10,000, 100,000 and 1,000,000 lines (bench/make-schedule.py)
# and, as the floor, one line. After a first start that is not counted (caches warm), REPS rounds
# (3 unless set) go through the sizes in turn; each size gets
#
#   - an idle run: the program is started and left alone; its CPU is sampled every 100 ms from
#     /proc until it has stayed under 5 % for 3 s: "CPU idle" is the end of its last busy 100 ms;
#     then its resident memory (VmRSS);
#   - a click run: from the start to the popup menu shown, the icon clicked as soon as it is in
#     the tray ("menu after icon": from the icon's coming to the menu); from the click on
#     時刻の設定 to the settings window shown; from the click on 設定 to the window gone and the
#     file rewritten; and, the window opened again, from the click on 過去の日付だけ削除 (third
#     tab) to the list down to the lines it keeps.
#
# A window counts as shown when the X server maps it (xev); a click is timed as xdotool starts
# it. The figures are medians in milliseconds, with the machine's load beside each round.
#
# Usage: bench/program-sizes.sh [linux|wine]   (both, one after the other, by default)
#   QUICK=1   leaves out the 1,000,000-line file
#   REPS=N    runs per size (3)
#   SIZES="1000 10000"   other sizes (the goals need 10,000, 100,000 and 1,000,000)
#   QM_PROGRAM_DIR=DIR   runs the program folder DIR instead of dist/linux (linux only)
set -euo pipefail
cd "$(dirname "$0")/.."
top=$PWD
reps=${REPS:-3}

if [ $# -eq 0 ]; then
  status=0
  "$0" linux || status=1
  "$0" wine || status=1
  exit $status
fi
platform=$1
case $platform in linux | wine) ;; *) echo "usage: $0 [linux|wine]" >&2; exit 2 ;; esac

source scripts/virtual-desktop.sh
source bench/bench-lib.sh
# shellcheck source=bench/drive-linux.sh  # or drive-wine.sh: the same functions
source "bench/drive-$platform.sh"
pf_check || exit 1
work=$(mktemp -d /tmp/qm-sizes.XXXXXX)
finished=  # set when all went well; the work folder is then removed
# shellcheck disable=SC2016  # expanded when the script exits
vd_on_exit 'pf_teardown; if [ -n "$finished" ]; then rm -rf "$work"; else echo "kept for a look: $work" >&2; fi'
fail() { echo "program-sizes ($platform): $*" >&2; exit 1; }

sizes=(1000 10000 100000 1000000)
[ -n "${QUICK:-}" ] && sizes=(1000 10000 100000)
[ -n "${SIZES:-}" ] && read -ra sizes <<<"$SIZES"
started=$SECONDS
echo "== $pf_name: schedule files of ${sizes[*]} lines, $reps runs each; $(bl_load)"
pf_setup "$work/desktop" || fail "no desktop"

# The files, made once (every run copies its own, since 設定 rewrites it).
mkdir -p "$work/files"
declare -A kept
for lines in "${sizes[@]}"; do
  kept[$lines]=$(bench/make-schedule.py "$lines" "$work/files/$lines.wet")
done
# The floor: one line, a past one, so that 過去の日付だけ削除 has it to take away.
printf '98年05月12日 13時05分　ｼｬｯﾄﾀﾞｳﾝ\r\n' | iconv -f UTF-8 -t CP932 >"$work/files/1.wet"
kept[1]=0
for lines in 1 "${sizes[@]}"; do
  echo "   $lines lines: $(stat -c %s "$work/files/$lines.wet") bytes, ${kept[$lines]} kept by 過去の日付だけ削除"
done

results=$work/results
: >"$results"
record() { echo "$1 $2 $3" >>"$results"; }

# A fresh copy of the program and of the file for each run.
fresh() {
  rm -rf "$work/run"
  mkdir -p "$work/run"
  pf_install "$work/run"
  cp "$work/files/$1.wet" "$work/run/Dtddta.wet"
}

idle_run() {
  local lines=$1 t0 idle
  fresh "$lines"
  t0=$EPOCHREALTIME
  pf_start "$work/run"
  idle=$(bl_idle_after "$pf_pid" "$t0" 90) || fail "$lines lines: the program never went idle (or ended)"
  record "$lines" idle "$idle"
  record "$lines" rss "$(bl_rss_kib "$pf_pid")"
  pf_wait_icon 10 || fail "$lines lines: no icon in the tray"
  pf_stop
}

click_run() {
  local lines=$1 log=$work/windows.log t0 icon menu settings at gone written before watcher out
  fresh "$lines"
  bl_watch_windows "$pf_parent" "$log"
  watcher=$bl_follower
  t0=$EPOCHREALTIME
  pf_start "$work/run"
  pf_wait_icon 90 || fail "$lines lines: no icon in the tray"
  icon=$pf_icon_at
  pf_click_icon
  out=$(bl_wait_window "$log" "$bl_clicked" 90 pf_is_menu) || fail "$lines lines: no menu"
  read -r at menu <<<"$out"
  record "$lines" icon "$(bl_ms "$t0" "$icon")"
  record "$lines" menu "$(bl_ms "$t0" "$at")"
  record "$lines" answer "$(bl_ms "$icon" "$at")"

  pf_menu_item "$menu" 18
  out=$(bl_wait_window "$log" "$bl_clicked" 90 bl_named QuietusMachine) || fail "$lines lines: no settings window"
  read -r at settings <<<"$out"
  record "$lines" settings "$(bl_ms "$bl_clicked" "$at")"
  pf_settings_opened "$settings"
  sleep 0.5

  before=$(bl_mtime "$work/run/Dtddta.wet")
  pf_click_control 設定
  out=$(bl_await 90 bl_event "$log" "Unmap|Destroy" "$bl_clicked" "$settings") ||
    fail "$lines lines: 設定 left the window open"
  read -r gone _ <<<"$out"
  written=$(bl_await 10 bl_changed "$work/run/Dtddta.wet" "$before") || fail "$lines lines: 設定 did not rewrite the file"
  cmp -s "$work/files/$lines.wet" "$work/run/Dtddta.wet" || fail "$lines lines: 設定 changed the file's lines"
  record "$lines" save "$(bl_ms "$bl_clicked" "$(printf '%s\n' "$gone" "$written" | sort -n | tail -1)")"

  # Once more to the settings window, to its third tab.
  pf_click_icon
  out=$(bl_wait_window "$log" "$bl_clicked" 90 pf_is_menu) || fail "$lines lines: no menu the second time"
  read -r _ menu <<<"$out"
  pf_menu_item "$menu" 18
  out=$(bl_wait_window "$log" "$bl_clicked" 90 bl_named QuietusMachine) ||
    fail "$lines lines: no settings window the second time"
  read -r _ settings <<<"$out"
  pf_settings_opened "$settings"
  sleep 0.3
  pf_click_control 詳細設定
  sleep 0.5
  pf_rows_expect "${kept[$lines]}"
  pf_click_control 過去の日付だけ削除
  at=$(pf_rows_at "$bl_clicked" 90) || fail "$lines lines: the list did not come to ${kept[$lines]} rows"
  record "$lines" past "$(bl_ms "$bl_clicked" "$at")"
  pf_click_control キャンセル
  sleep 0.3
  pf_stop
  bl_unfollow "$watcher"
}

# A first start, not counted: the system's caches (and Wine's, for its DLLs and fonts) warm, as
# on a machine in use. Then the sizes in turn, REPS rounds, so that a change in the machine's load
# falls on all of them alike.
idle_run 1 && : >"$results"
for ((rep = 1; rep <= reps; rep++)); do
  for lines in 1 "${sizes[@]}"; do
    idle_run "$lines"
    click_run "$lines"
    printf -- '-- round %d, %7d lines: %s (%s)\n' "$rep" "$lines" \
      "$(awk -v n="$lines" '$1 == n { v[$2] = $3 } END { for (k in v) printf "%s %s  ", k, v[k] }' "$results")" "$(bl_load)"
  done
done

# --- The table and the goals ---------------------------------------------------------------------

median() { awk -v n="$1" -v k="$2" '$1 == n && $2 == k { print $3 }' "$results" | bl_median; }
mib() { awk -v k="$1" 'BEGIN { printf "%.1f", k / 1024 }'; }
echo
echo "$pf_name, medians of $reps runs (ms; memory MiB)"
echo
echo "| Lines | File MB | Icon in tray | Tray menu | Menu after icon | Settings window | 設定 | 過去の日付だけ削除 | CPU idle | Idle RSS | RSS over 1 line |"
echo "|---:|---:|---:|---:|---:|---:|---:|---:|---:|---:|---:|"
base_rss=$(median 1 rss)
for lines in 1 "${sizes[@]}"; do
  size=$(stat -c %s "$work/files/$lines.wet")
  printf '| %s | %.2f | %s | %s | %s | %s | %s | %s | %s | %s | %s |\n' "$lines" \
    "$(awk -v b="$size" 'BEGIN { print b / 1e6 }')" "$(median "$lines" icon)" "$(median "$lines" menu)" \
    "$(median "$lines" answer)" \
    "$(median "$lines" settings)" "$(median "$lines" save)" "$(median "$lines" past)" "$(median "$lines" idle)" \
    "$(mib "$(median "$lines" rss)")" "$(mib $(($(median "$lines" rss) - base_rss)))"
done
echo

# verdict TEXT CONDITION: the condition in awk's terms; "-" in it (a median not measured) says so.
verdict() {
  if [[ $2 == *-* ]]; then
    echo "  (not measured): $1"
  elif awk "BEGIN { exit !($2) }"; then
    echo "  met:    $1"
  else
    echo "  MISSED: $1"
  fi
}
# ratio A B: B / A, one decimal.
ratio() { awk -v a="$1" -v b="$2" 'BEGIN { if (a == "-" || b == "-") print "-"; else printf "%.1f", b / (a > 0 ? a : 1) }'; }
echo "Goals:"
for k in menu settings save past; do
  m=$(median 100000 $k)
  verdict "100,000 lines: $k within 500 ms ($m)" "$m <= 500"
done
m=$(median 100000 idle)
verdict "100,000 lines: CPU idle within 1000 ms of start ($m)" "$m <= 1000"
if [ -f "$work/files/100000.wet" ] && [ "$(median 100000 rss)" != - ]; then
  size=$(stat -c %s "$work/files/100000.wet")
  over=$(($(median 100000 rss) - base_rss))
  verdict "100,000 lines: idle RSS $(mib $over) MiB over one line's, at most 4 x the file ($(mib $((4 * size / 1024))) MiB)" \
    "$over * 1024 <= 4 * $size"
fi
for k in menu settings save past idle; do
  m=$(median 1000000 $k)
  verdict "1,000,000 lines: $k within 5000 ms ($m)" "$m <= 5000"
done
# Start-up reads the file into the selection and the settings list in one pass each, so even a
# million lines reach the menu within half a second.
m=$(median 1000000 menu)
verdict "1,000,000 lines: tray menu within 500 ms of start ($m)" "$m <= 500"
# Growth is judged on times of 50 ms or more: below that a run's fixed costs and the clicks'
# own few milliseconds are most of what is measured.
for k in menu settings save past idle; do
  a=$(median 10000 $k) b=$(median 100000 $k) c=$(median 1000000 $k)
  verdict "$k grows at most 12x per 10x lines: 10k->100k $(ratio "$a" "$b")x, 100k->1M $(ratio "$b" "$c")x" \
    "$b <= 12 * ($a > 50 ? $a : 50) && $c <= 12 * ($b > 50 ? $b : 50)"
done
echo "(took $((SECONDS - started)) s; $(bl_load) at the end)"
# shellcheck disable=SC2034  # read by the exit trap
finished=1
