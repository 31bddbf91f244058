# Timing helpers for the program benchmarks (program-sizes.sh, quiet-and-on-time.sh), sourced after
# scripts/virtual-desktop.sh. Moments are wall-clock seconds with microseconds (bash's
# EPOCHREALTIME), taken when something is seen: a window mapped on the X server (from xev), a
# trace line written, a file's modification time, a list's row count.

# shellcheck shell=bash disable=SC2034  # what is set here is read by the scripts that source it

bl_now() { echo "$EPOCHREALTIME"; }

# bl_ms FROM TO: milliseconds from one moment to another, whole.
bl_ms() { awk -v a="$1" -v b="$2" 'BEGIN { printf "%d\n", (b - a) * 1000 + 0.5 }'; }

# bl_median: the median of the numbers on standard input ("-" when there are none).
bl_median() {
  sort -n | awk '{ v[NR] = $1 } END { if (!NR) { print "-"; exit } print (NR % 2) ? v[(NR + 1) / 2] : int((v[NR / 2] + v[NR / 2 + 1]) / 2 + 0.5) }'
}

# bl_follow LOG PARSER COMMAND...: runs COMMAND in the background and has PARSER turn its output
# into stamped lines in LOG; the two process ids go into bl_follower, for bl_unfollow.
bl_follow() {
  local log=$1 parser=$2; shift 2
  rm -f "$log.fifo" && mkfifo "$log.fifo"
  : >"$log"
  "$parser" <"$log.fifo" >>"$log" &
  bl_follower=$!
  vd_pids+=($!)
  "$@" >"$log.fifo" 2>/dev/null &
  bl_follower="$bl_follower $!"
  vd_pids+=($!)
}

# bl_unfollow "PIDS": ends what bl_follow started.
bl_unfollow() {
  local pid
  for pid in $1; do kill "$pid" 2>/dev/null || true; done
  for pid in $1; do wait "$pid" 2>/dev/null || true; done
}

# bl_watch_windows PARENT LOG: writes a line "MOMENT KIND WINDOW OVERRIDE" to LOG as each child of
# the X window PARENT is created, mapped, unmapped or destroyed (KIND: Create, Map, Unmap, Destroy;
# OVERRIDE: YES for menus and other windows the window manager leaves alone, - where xev does not
# say). The watcher's ids are left in bl_follower.
bl_watch_windows() {
  bl_follow "$2" bl_stamp_xev stdbuf -oL xev -id "$1" -event substructure
  sleep 0.3  # xev selecting the events
}

bl_stamp_xev() {
  local line kind='' moment=''
  while IFS= read -r line; do
    if [[ $line =~ ^(Create|Map|Unmap|Destroy)Notify\ event ]]; then
      kind=${BASH_REMATCH[1]} moment=$EPOCHREALTIME
    elif [ -n "$kind" ] && [[ $line =~ window\ (0x[0-9a-f]+) ]]; then
      local window=${BASH_REMATCH[1]} override=-
      [[ $line =~ override\ (YES|NO) ]] && override=${BASH_REMATCH[1]}
      echo "$moment $kind $window $override"
      kind=
    fi
  done
}

# bl_stamp_lines FILE LOG: writes "MOMENT LINE" to LOG as each line is added to FILE (tail follows
# it with inotify, so a line is seen within a millisecond or so of its writing).
bl_stamp_lines() { bl_follow "$2" bl_stamp_each tail -n +1 -F "$1"; }
bl_stamp_each() {
  local line
  while IFS= read -r line; do echo "$EPOCHREALTIME $line"; done
}

# bl_us: the wall clock in microseconds, for arithmetic.
bl_us() { echo "${EPOCHREALTIME//[!0-9]/}"; }

# bl_await SECONDS COMMAND...: runs COMMAND every 10 ms until it prints something; prints that.
bl_await() {
  local deadline=$(($(bl_us) + $1 * 1000000)) out; shift
  while :; do
    out=$("$@" 2>/dev/null) && [ -n "$out" ] && { echo "$out"; return 0; }
    (($(bl_us) < deadline)) || return 1
    sleep 0.01
  done
}

# bl_wait_window LOG AFTER SECONDS TEST...: "MOMENT WINDOW" of the first window mapped after AFTER
# (a moment) for which TEST WINDOW OVERRIDE succeeds; fails after SECONDS.
bl_wait_window() {
  local log=$1 after=$2 deadline=$(($(bl_us) + $3 * 1000000)); shift 3
  local moment kind id override tried=" "
  while :; do
    while read -r moment kind id override; do
      [[ $tried == *" $id "* ]] && continue
      tried+="$id "
      "$@" "$id" "$override" && { echo "$moment $id"; return 0; }
    done < <(awk -v after="$after" '$1 > after && $2 == "Map"' "$log")
    (($(bl_us) < deadline)) || return 1
    sleep 0.02
  done
}

# bl_named NAME WINDOW OVERRIDE: the window's title is NAME (a test for bl_wait_window).
bl_named() { [ "$(xdotool getwindowname "$2" 2>/dev/null)" = "$1" ]; }

# bl_event LOG KIND AFTER [WINDOW] [OVERRIDE]: "MOMENT WINDOW" of the first KIND event (a regular
# expression: Map, Unmap|Destroy...) after AFTER, of WINDOW or any, with OVERRIDE YES/NO or any.
bl_event() {
  awk -v kind="^($2)\$" -v after="$3" -v id="${4:-}" -v ov="${5:-}" \
    '$1 > after && $2 ~ kind && (id == "" || $3 == id) && (ov == "" || $4 == ov) { print $1, $3; found = 1; exit }
     END { exit !found }' "$1"
}

# bl_click_at_height WINDOW PERCENT: a left click in the middle of the X window, at PERCENT of its
# height (a menu's items); bl_clicked holds the moment.
bl_click_at_height() {
  local x y w h
  read -r x y w h <<<"$(xwininfo -id "$1" | awk '/Absolute upper-left X/ {x=$4} /Absolute upper-left Y/ {y=$4}
    /Width:/ {w=$2} /Height:/ {h=$2} END {print x, y, w, h}')"
  bl_click_screen $((x + w / 2)) $((y + h * $2 / 100))
}

# bl_click_screen X Y: the pointer there, a moment for it to settle, then a left click.
bl_click_screen() {
  xdotool mousemove "$1" "$2"
  sleep 0.2
  bl_clicked=$EPOCHREALTIME
  xdotool click 1
}

# bl_cpu_ns PID: CPU time of all the process's threads so far, in nanoseconds (schedstat).
bl_cpu_ns() {
  local file total=0 run _
  for file in /proc/"$1"/task/*/schedstat; do
    read -r run _ <"$file" 2>/dev/null || continue
    total=$((total + run))
  done
  echo "$total"
}

# bl_cpu_ns_into VAR PID: the same into a variable, with no subshell (for sampling often).
bl_cpu_ns_into() {
  local file total=0 run _
  for file in /proc/"$2"/task/*/schedstat; do
    read -r run _ <"$file" 2>/dev/null || continue
    total=$((total + run))
  done
  printf -v "$1" '%s' "$total"
}

# bl_wakeups SECONDS PID...: how many times each process woke to run over SECONDS, one count a
# line: the 10 ms steps in which its threads ran after a step in which none did
# (/proc/PID/task/*/schedstat, read every 10 ms without starting a process). Unlike context
# switches, a wake-up that makes several round trips to a server (as a Wine program does for
# each message it gets) counts once.
bl_wakeups() {
  local end=$((${EPOCHREALTIME//[!0-9]/} + $1 * 1000000)) fd i now; shift
  local pids=("$@") prev=() was=() wakeups=()
  exec {fd}<> <(:)
  for i in "${!pids[@]}"; do
    bl_cpu_ns_into "prev[$i]" "${pids[$i]}"
    was[i]=0 wakeups[i]=0
  done
  while ((${EPOCHREALTIME//[!0-9]/} < end)); do
    read -r -t 0.01 -u "$fd" _ || true
    for i in "${!pids[@]}"; do
      bl_cpu_ns_into now "${pids[$i]}"
      if ((now != prev[i])); then
        ((was[i])) || wakeups[i]=$((wakeups[i] + 1))
        was[i]=1
      else
        was[i]=0
      fi
      prev[i]=$now
    done
  done
  exec {fd}<&-
  printf '%s\n' "${wakeups[@]}"
}

# bl_rss_kib PID: resident memory, KiB.
bl_rss_kib() { awk '$1 == "VmRSS:" { print $2 }' "/proc/$1/status"; }

# bl_switches PID: voluntary context switches of all the process's threads (each a sleep the
# thread went into and woke from).
bl_switches() { cat /proc/"$1"/task/*/status 2>/dev/null | awk '$1 == "voluntary_ctxt_switches:" { n += $2 } END { print n + 0 }'; }

# bl_idle_after PID START [TIMEOUT]: samples the process's CPU every 100 ms and prints, in ms from
# START, the end of the last 100 ms in which it used more than 5 ms of CPU (5 %), once it has
# stayed under that for 3 s; fails after TIMEOUT seconds (default 60) without 3 quiet seconds.
bl_idle_after() {
  local pid=$1 start=${2//[!0-9]/} timeout=${3:-60}
  local prev cpu t busy_end=${2//[!0-9]/}
  prev=$(bl_cpu_ns "$pid")
  while :; do
    sleep 0.1
    kill -0 "$pid" 2>/dev/null || return 1
    t=$(bl_us) cpu=$(bl_cpu_ns "$pid")
    ((cpu - prev > 5000000)) && busy_end=$t
    prev=$cpu
    if ((t - busy_end >= 3000000)); then
      echo $(((busy_end - start + 500) / 1000))
      return 0
    fi
    ((t - start < timeout * 1000000)) || return 1
  done
}

# bl_mtime FILE: modification time with nanoseconds.
bl_mtime() { stat -c '%.9Y' "$1"; }

# bl_changed FILE MTIME: prints the file's modification time when it is no longer MTIME.
bl_changed() {
  local now
  now=$(bl_mtime "$1") && [ "$now" != "$2" ] && echo "$now"
}

# bl_load: the machine's load averages and core count, for the record.
bl_load() { echo "load $(cut -d' ' -f1-3 /proc/loadavg) on $(nproc) cores"; }
