#!/usr/bin/env bash
# Quiet when idle, and on time: dist/linux/quietus on a virtual desktop and dist/win64/Quietus.exe
# under Wine (bench/drive-linux.sh, bench/drive-wine.sh).
#
#   - Wake-ups a minute while idle, unarmed (an empty schedule) and armed (an entry due next
#     year): once the program has gone idle (bench-lib.sh's bl_idle_after), the voluntary context
#     switches of all its threads (/proc/PID/task/*/status) over SECONDS_IDLE (300) s; under Wine also
#     those of wineserver and of the desktop's explorer.exe, which serve the program's timers and
#     messages (and anything else in the prefix, which runs nothing else but an idle driver).
#   - The warning's lateness: RUNS (10) starts, each a few seconds before an entry due at the next
#     whole minute on the real clock (nothing faked, so a run takes up to a minute); the time from
#     the due second's start to the warning window mapped on the X server, and on Linux also to the
#     program's trace line saying it shows it.
#
# Usage: bench/quiet-and-on-time.sh [linux|wine]   (both, one after the other, by default)
#   SECONDS_IDLE=N   seconds of each wake-up count (300)
#   RUNS=N           warnings timed (10)
set -euo pipefail
cd "$(dirname "$0")/.."
top=$PWD
idle_seconds=${SECONDS_IDLE:-300}
runs=${RUNS:-10}

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
work=$(mktemp -d /tmp/qm-quiet.XXXXXX)
finished=  # set when all went well; the work folder is then removed
# shellcheck disable=SC2016  # expanded when the script exits
vd_on_exit 'pf_teardown; if [ -n "$finished" ]; then rm -rf "$work"; else echo "kept for a look: $work" >&2; fi'
fail() { echo "quiet-and-on-time ($platform): $*" >&2; exit 1; }
sjis_line() { printf '%s\r\n' "$1" | iconv -f UTF-8 -t CP932; }
started=$SECONDS

echo "== $pf_name: idle wake-ups over $idle_seconds s, the warning's lateness over $runs runs; $(bl_load)"
pf_setup "$work/desktop" || fail "no desktop"

fresh() {
  rm -rf "$work/run"
  mkdir -p "$work/run"
  pf_install "$work/run"
}

# --- Wake-ups while idle --------------------------------------------------------------------------

# rows SCHEDULE NAME=PID...: a table row for each process, counted over the same $idle_seconds s.
rows() {
  local schedule=$1 names=() pids=() before=() cpu=() counts=() i; shift
  for i in "$@"; do names+=("${i%%=*}") pids+=("${i#*=}"); done
  for i in "${!pids[@]}"; do before[i]=$(bl_switches "${pids[$i]}") cpu[i]=$(bl_cpu_ns "${pids[$i]}"); done
  mapfile -t counts < <(bl_wakeups "$idle_seconds" "${pids[@]}")
  for i in "${!pids[@]}"; do
    printf '| %s | %s | %s | %s | %s |\n' "$schedule" "${names[$i]}" "$(per_minute "${counts[$i]}")" \
      "$(per_minute $(($(bl_switches "${pids[$i]}") - before[i])))" \
      "$(per_minute $(($(bl_cpu_ns "${pids[$i]}") - cpu[i])) 1000000 3)"
  done
}
# per_minute N [UNIT [DECIMALS]]: N (in UNITs) a minute of the count.
per_minute() { awk -v n="$1" -v u="${2:-1}" -v d="${3:-2}" -v s="$idle_seconds" 'BEGIN { printf "%.*f", d, n / u / s * 60 }'; }
servers() { pf_servers | while read -r name pid; do echo "$name=$pid"; done; }

# wakeups SCHEDULE: the program, started with the schedule in $work/run, counted once it idles.
wakeups() {
  local t0 others
  t0=$EPOCHREALTIME
  pf_start "$work/run"
  pf_wait_icon 60 || fail "$1: no icon"
  bl_idle_after "$pf_pid" "$t0" 90 >/dev/null || fail "$1: the program did not go idle"
  mapfile -t others < <(servers)
  rows "$1" "program=$pf_pid" "${others[@]}"
  pf_stop
}

echo
echo "Wake-ups a minute while idle, over $idle_seconds s: runs after 10 ms or more asleep (schedstat,"
echo "sampled every 10 ms), voluntary context switches and CPU time, of all the process's threads:"
echo
echo "| Schedule | Process | Wake-ups/min | Context switches/min | CPU ms/min |"
echo "|---|---|---:|---:|---:|"
mapfile -t others < <(servers)
[ ${#others[@]} -eq 0 ] || rows "no program" "${others[@]}"  # Wine's own, idling
fresh
: >"$work/run/Dtddta.wet"
wakeups "unarmed (empty)"
fresh
sjis_line "$(date -d '+1 year' '+%y年%m月%d日 %H時%M分')　ｼｬｯﾄﾀﾞｳﾝ" >"$work/run/Dtddta.wet"
wakeups "armed (due in a year)"

# --- The warning's lateness -----------------------------------------------------------------------

lead=8  # seconds from the start to the due second: start-up, and some idling before it
echo
echo "The warning's lateness after its due second starts (ms), $runs runs ($(bl_load)):"
log=$work/windows.log
for ((run = 1; run <= runs; run++)); do
  fresh
  real_due=$((($(date +%s) + lead + 59) / 60 * 60))
  sjis_line "$(date -d "@$real_due" '+%y年%m月%d日 %H時%M分')　ｼｬｯﾄﾀﾞｳﾝ" >"$work/run/Dtddta.wet"
  bl_watch_windows "$pf_parent" "$log"
  watcher=$bl_follower
  until (($(date +%s) >= real_due - lead)); do sleep 0.2; done
  t0=$EPOCHREALTIME
  pf_start "$work/run"
  pf_wait_icon $((lead + 20)) || fail "run $run: no icon"
  out=$(bl_wait_window "$log" "$t0" $((lead + 20)) bl_named "ｼｬｯﾄﾀﾞｳﾝ確認") || fail "run $run: no warning"
  read -r shown _ <<<"$out"
  late=$(bl_ms "$real_due" "$shown")
  echo "$late" >>"$work/mapped"
  line="  run $run: mapped $late"
  if shown=$(pf_warning_traced "$real_due"); then
    bl_ms "$real_due" "$shown" >>"$work/traced"
    line+=", traced $(bl_ms "$real_due" "$shown")"
  fi
  echo "$line"
  pf_warning_done
  bl_unfollow "$watcher"
done
echo
echo "| Program | Warning mapped, median | min | max | Program's own trace line, median |"
echo "|---|---:|---:|---:|---:|"
printf '| %s | %s | %s | %s | %s |\n' "$pf_name" "$(bl_median <"$work/mapped")" "$(sort -n "$work/mapped" | head -1)" \
  "$(sort -n "$work/mapped" | tail -1)" "$( [ -f "$work/traced" ] && bl_median <"$work/traced" || echo -)"
m=$(bl_median <"$work/mapped")
worst=$(sort -n "$work/mapped" | tail -1)
if ((m >= 0 && m <= 20 && worst < 100)); then verdict="met:   "; else verdict="MISSED:"; fi
echo "  $verdict warning on screen within 20 ms of the due second (median $m), the worst under 100 ms ($worst)"
echo "(took $((SECONDS - started)) s; $(bl_load) at the end)"
# shellcheck disable=SC2034  # read by the exit trap
finished=1
