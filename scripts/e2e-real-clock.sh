#!/usr/bin/env bash
# End to end on the real clock, nothing faked: 8 copies of dist/linux/quietus and 4 of
# dist/win64/Quietus.exe under Wine on one virtual display, each in a program folder of its own
# with one dated entry, all due at the same whole minute. Every copy's warning must be mapped on
# the X server within its due second, [due, due + 1 s), as X map events stamped on arrival
# (bench/bench-lib.sh) show. Then the same again the next minute, with two busy loops a core.
# Each copy is ended as soon as its warning has been seen, long before its count reaches zero.
#
# The Linux copies: private D-Bus buses with python3-dbusmock's logind, a runtime folder each (the
# single-instance lock lives there), no tray host (they run without an icon). The Wine copies: one
# prefix set up as wine-desktop.sh does, without Wine's virtual desktop (so that their windows are
# the root window's children), and three copies of it (hard links, the registry files copied),
# each prefix with its own server and so its own single-instance mutex.
#
# Usage: scripts/e2e-real-clock.sh [--after PID[,PID...]]
# With --after, the desktops, buses, prefixes and program folders are set up while those processes
# (other end-to-end runs, say) go on, and the rounds start only once they have all ended, so that
# the idle round has the machine to itself.
set -euo pipefail
cd "$(dirname "$0")/.."
source scripts/wine-env.sh
source scripts/virtual-desktop.sh
source scripts/wine-desktop.sh
source bench/bench-lib.sh
started=$SECONDS
after=
if [ "${1:-}" = --after ]; then after=${2:?--after needs a process id}; fi
linux_copies=8 wine_copies=4
title="ｼｬｯﾄﾀﾞｳﾝ確認"

fail() { echo "e2e-real-clock: FAILED: $*" >&2; exit 1; }
for program in dist/linux/quietus dist/win64/Quietus.exe; do
  [ -f "$program" ] || fail "no $program (install the linux and win64 builds into dist/ first)"
done
work=$(mktemp -d /tmp/qm-real-clock.XXXXXX)
names=() hogs=()
stop_copies() {
  local name pid
  for pid in "${copy_pids[@]}"; do kill "$pid" 2>/dev/null || true; done
  for name in "${names[@]}"; do
    [[ $name != wine* ]] || WINEPREFIX=$work/$name/prefix wineserver -k 2>/dev/null || true
  done
  for name in "${names[@]}"; do
    [[ $name != wine* ]] || WINEPREFIX=$work/$name/prefix wineserver -w 2>/dev/null || true
  done
  for pid in "${copy_pids[@]}"; do wait "$pid" 2>/dev/null || true; done
  copy_pids=()
}
main=$BASHPID
cleanup() {
  local status=$?
  [ "$BASHPID" = "$main" ] || return 0
  kill "${hogs[@]}" 2>/dev/null || true
  stop_copies
  wd_stop
  vd_stop_all $status
  if [ $status -eq 0 ]; then
    rm -rf "$work"
  else  # the logs and schedules, not the prefixes (over a gigabyte)
    rm -rf "$work"/prefix "$work"/wine*/prefix
    echo "Kept for a look: $work" >&2
  fi
}
copy_pids=()
trap cleanup EXIT

# --- The desktop, the buses, the prefixes, the program folders -------------------------------------

"$qm_wine" --version >/dev/null 2>&1 || fail "Wine does not start on this machine ($qm_wine)"
wd_start "$work" || fail "no Wine desktop"
[ -f "$WINEPREFIX/system.reg" ] || fail "Wine could not set up a prefix ($WINEPREFIX)"
printf 'REGEDIT4\n\n[HKEY_CURRENT_USER\\Software\\Wine\\Explorer]\n"Desktop"=-\n' >"$work/no-desktop.reg"
"$qm_wine" regedit /S "$work/no-desktop.reg" >/dev/null 2>&1
wineserver -w
vd_start_logind "$work/logind.log" || fail "no mock logind"
vd_add_session c1
root=$(xwininfo -root | awk '/Window id:/ { print $4 }')
bl_watch_windows "$root" "$work/windows.log"

for ((i = 1; i <= linux_copies; i++)); do names+=("linux$i"); done
for ((i = 1; i <= wine_copies; i++)); do names+=("wine$i"); done
for name in "${names[@]}"; do
  mkdir -p "$work/$name/prog" "$work/$name/run" "$work/$name/home"
  chmod 700 "$work/$name/run"
  case $name in
    linux*) cp -a dist/linux/. "$work/$name/prog/" ;;
    wine*)
      cp -a dist/win64/. "$work/$name/prog/"
      cp -al "$WINEPREFIX" "$work/$name/prefix"
      # The server writes the registry by renaming a new file over the old; still, no file it
      # writes is shared.
      for reg in "$work/$name"/prefix/*.reg; do cp --remove-destination "$WINEPREFIX/${reg##*/}" "$reg"; done ;;
  esac
done
echo "Real clock: $linux_copies copies of dist/linux/quietus and $wine_copies of dist/win64/Quietus.exe" \
  "(Wine's $(qm_wine_loader_of dist/win64/Quietus.exe) loader) on $DISPLAY, set up in $((SECONDS - started)) s"
if [ -n "$after" ]; then
  for pid in ${after//,/ }; do
    while kill -0 "$pid" 2>/dev/null; do sleep 0.5; done
  done
  echo "  the rounds start $((SECONDS - started)) s in, processes $after having ended"
fi

# --- A round: every copy started with the entry due at $due; each warning mapped in its second ----

# copy_of WINDOW: the copy that owns the window (its process's QM_COPY).
copy_of() {
  local pid
  pid=$(xprop -id "$1" _NET_WM_PID 2>/dev/null | awk '{ print $3 }')
  [ -n "$pid" ] && tr '\0' '\n' <"/proc/$pid/environ" 2>/dev/null | sed -n 's/^QM_COPY=//p'
}

# copies_up: how many copies have made their (hidden) tray window.
copies_up() {
  local id
  for id in $(xdotool search --name '^タスクトレイ常駐$' 2>/dev/null); do copy_of "$id"; done | sort -u | wc -l
}

start_copies() {
  local name entry
  entry="$(date -d "@$due" '+%y年%m月%d日 %H時%M分')　ｼｬｯﾄﾀﾞｳﾝ"
  for name in "${names[@]}"; do
    printf '%s\r\n' "$entry" | iconv -f UTF-8 -t CP932 >"$work/$name/prog/Dtddta.wet"
    case $name in
      linux*)
        env QM_COPY="$name" HOME="$work/$name/home" XDG_CONFIG_HOME="$work/$name/home/.config" \
          XDG_RUNTIME_DIR="$work/$name/run" XDG_SESSION_ID=c1 LANG=C.UTF-8 LC_ALL=C.UTF-8 \
          QM_UI_TRACE="$work/$name/trace" "$work/$name/prog/quietus" >>"$work/$name/log" 2>&1 & ;;
      wine*)
        (cd "$work/$name/prog" && QM_COPY=$name WINEPREFIX=$work/$name/prefix exec "$qm_wine" Quietus.exe \
          >>"$work/$name/log" 2>&1) & ;;
    esac
    copy_pids+=($!)
  done
}

# round LABEL: starts the copies for $due, waits for every warning, checks and reports them.
round() {
  local label=$1 since=$EPOCHREALTIME up=0 moment kind id _ name
  local -A mapped=() tried=()
  start_copies
  while ((up < ${#names[@]})); do
    (($(date +%s) < due - 5)) || fail "$label: only $up of ${#names[@]} copies had started 5 s before the due second"
    sleep 0.5
    up=$(copies_up)
  done
  echo "  $label: ${#names[@]} copies up $(bl_ms "$since" "$EPOCHREALTIME") ms after the start, due $(date -d "@$due" +%T)"
  # Every window mapped since the start that bears the warning's title, by copy; until all are
  # there or 5 s after the due second.
  while ((${#mapped[@]} < ${#names[@]})) && (($(date +%s) < due + 5)); do
    sleep 0.2
    while read -r moment kind id _; do
      [ -z "${tried[$id]:-}" ] || continue
      tried[$id]=1
      bl_named "$title" "$id" && name=$(copy_of "$id") && [ -n "$name" ] && [ -z "${mapped[$name]:-}" ] &&
        mapped[$name]=$moment
    done < <(awk -v after="$since" '$1 > after && $2 == "Map"' "$work/windows.log")
  done
  stop_copies
  local bad=() late worst_linux=- worst_wine=- ms=()
  for name in "${names[@]}"; do
    if [ -z "${mapped[$name]:-}" ]; then bad+=("$name: no warning"); continue; fi
    late=$(bl_ms "$due" "${mapped[$name]}")
    ms+=("$name $late")
    ((late >= 0 && late < 1000)) || bad+=("$name: mapped $late ms after the due second")
    if [[ $name == linux* ]]; then
      [[ $worst_linux != - ]] && ((worst_linux >= late)) || worst_linux=$late
    else
      [[ $worst_wine != - ]] && ((worst_wine >= late)) || worst_wine=$late
    fi
  done
  echo "  $label: warnings mapped after the due second (ms): ${ms[*]}"
  echo "  $label: worst lateness: dist/linux/quietus $worst_linux ms, dist/win64/Quietus.exe $worst_wine ms ($(bl_load))"
  [ ${#bad[@]} -eq 0 ] || fail "$label: not within the due second: $(printf '%s; ' "${bad[@]}")"
}

# The first round at the first whole minute at least 20 s ahead (the copies start, then idle); the
# second the minute after, with two busy loops a core running from before the copies start.
due=$(( ($(date +%s) + 20 + 59) / 60 * 60 ))
round "idle machine"
due=$((due + 60))
for ((i = 0; i < 2 * $(nproc); i++)); do
  (while :; do :; done) &
  hogs+=($!)
done
round "busy machine ($((2 * $(nproc))) busy loops)"
kill "${hogs[@]}" 2>/dev/null || true
hogs=()
echo "PASS: every warning mapped within its due second, on the real clock, idle and busy ($((SECONDS - started)) s)"
