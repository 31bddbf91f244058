# Quietus.exe (dist/win64) under Wine, as the program benchmarks drive it; sourced after
# scripts/virtual-desktop.sh and bench/bench-lib.sh. bench/drive-linux.sh offers the same
# functions for the Linux program.
#
# A fresh prefix on Xvfb with Wine's virtual desktop and taskbar (scripts/wine-desktop.sh, as the
# Windows end-to-end run has it), under Wine's 64-bit loader where the machine runs no 32-bit
# programs. "qm-e2e-driver.exe hold" keeps the prefix's server and desktop running between runs,
# as Windows keeps its shell: each start is the program's own, not Wine's. Windows are seen as X
# windows inside the desktop's; the driver finds the controls, tells when the taskbar shows (Wine
# shows it only while it holds an icon) and counts the list's rows.

# shellcheck shell=bash disable=SC2034,SC2154,SC2016  # shares variables with the scripts that source it; awk programs in single quotes
source "$top/scripts/wine-env.sh"
source "$top/scripts/wine-desktop.sh"
pf_driver=$top/build/win64/tests/win32/qm-e2e-driver.exe
pf_name="dist/win64/Quietus.exe ($(/usr/lib/wine/wine64 --version 2>/dev/null), $(qm_wine_loader_of "$top/dist/win64/Quietus.exe") loader)"

pf_check() {
  [ -f "$top/dist/win64/Quietus.exe" ] || { echo "no dist/win64/Quietus.exe (build and install the win64 preset)" >&2; return 1; }
  [ -f "$pf_driver" ] || { echo "no $pf_driver (build the win64 preset)" >&2; return 1; }
  local tool
  for tool in Xvfb xdotool xev xwininfo xprop wineserver; do
    command -v $tool >/dev/null || { echo "$tool is missing (scripts/deps.sh installs it)" >&2; return 1; }
  done
}

pf_drive() { "$qm_wine" "$pf_driver" "$@" 2>/dev/null; }

# pf_setup WORK
pf_setup() {
  export WINEPREFIX=$1/prefix  # before anything can reach for ~/.wine
  wd_start "$1" || return 1
  # The desktop opens as the holding driver reaches for it; seldom it does not, and a second
  # driver tries again.
  local attempt
  for attempt in 1 2 3; do
    "$qm_wine" "$pf_driver" hold 100000 >>"$1/hold.log" 2>&1 &
    vd_pids+=($!)
    pf_parent=$(bl_await 30 pf_desktop_window) && break
    echo "Wine's desktop did not open (attempt $attempt): $(xwininfo -root -children | grep -c '^ *0x') windows" >>"$1/hold.log"
    kill "${vd_pids[-1]}" 2>/dev/null || true
  done
  [ -n "$pf_parent" ] || { vd_die "Wine's desktop did not open (see $1/hold.log)"; return 1; }
  bl_await 30 pf_drive tray >/dev/null || { vd_die "no taskbar"; return 1; }
  pf_work=$1
}

pf_desktop_window() { xwininfo -root -children | awk '/"Default - Wine desktop"/ { print $1 }'; }

pf_teardown() { wd_stop; }

pf_install() { cp -r "$top/dist/win64/." "$1/"; }

# pf_start DIR [VAR=VALUE...]: starts Quietus.exe in DIR, its process id in pf_pid, with a driver
# already waiting for the icon (pf_wait_icon).
pf_start() {
  pf_dir=$1; shift
  bl_await 10 pf_no_icon >/dev/null || { vd_die "an icon is still in the taskbar"; return 1; }
  bl_follow "$pf_work/icon.log" bl_stamp_each "$qm_wine" "$pf_driver" wait-tray-icon 120
  pf_icon_watcher=$bl_follower
  bl_await 30 grep -m1 waiting "$pf_work/icon.log" >/dev/null || { vd_die "the driver did not start"; return 1; }
  (cd "$pf_dir" && exec env "$@" "$qm_wine" Quietus.exe >>"$pf_dir/quietus.log" 2>&1) &
  pf_pid=$!
  vd_pids+=("$pf_pid")
}

pf_no_icon() { pf_drive wait-tray-icon 0 | grep -q ' ' || echo none; }

# pf_wait_icon SECONDS: waits until the taskbar holds the icon; pf_icon_at is the moment.
pf_wait_icon() {
  local out
  out=$(bl_await "$1" awk 'NF == 5 { print; exit }' "$pf_work/icon.log") || return 1
  read -r pf_icon_at pf_icon_l pf_icon_t pf_icon_r pf_icon_b <<<"$out"
  bl_unfollow "$pf_icon_watcher"
}

# pf_click_icon: a left click on the icon; bl_clicked holds the moment.
pf_click_icon() {
  xdotool mousemove $(((pf_icon_l + pf_icon_r) / 2)) $(((pf_icon_t + pf_icon_b) / 2))
  bl_clicked=$EPOCHREALTIME
  xdotool click 1
}

# pf_is_menu WINDOW OVERRIDE: the program's popup menu.
pf_is_menu() { [ "$2" = YES ] && xprop -id "$1" WM_CLASS 2>/dev/null | grep -q '"quietus.exe"'; }

# pf_menu_item WINDOW PERCENT: clicks the menu's item at PERCENT of its height (時刻の設定 18, 終了 83).
pf_menu_item() { bl_click_at_height "$1" "$2"; }

# pf_settings_opened WINDOW: the settings window is on screen; its handle and list for the driver.
pf_settings_opened() {
  pf_settings=$(pf_drive wait-window QuietusMachine 10 QuietusForm | cut -d' ' -f1) || return 1
  pf_list=$(pf_drive child "$pf_settings" ListBox "*" | cut -d' ' -f1)
}

# pf_click_control NAME: clicks a control of the settings window by its caption.
pf_click_control() {
  local rect tabs
  if [ "$1" = 詳細設定 ]; then
    tabs=$(pf_drive child "$pf_settings" SysTabControl32 "*" | cut -d' ' -f1)
    rect="x $(pf_drive item "$tabs" tab 2)"
  else
    rect=$(pf_drive child "$pf_settings" Button "$1")
  fi
  local _ l t r b
  read -r _ l t r b <<<"$rect"
  [ -n "$b" ] || return 1
  bl_click_screen $(((l + r) / 2)) $(((t + b) / 2))
}

# pf_rows_expect N, then the click, then pf_rows_at AFTER SECONDS: the moment the settings list
# first had N rows after AFTER, as a driver polling it every 5 ms saw it.
pf_rows_expect() {
  pf_rows=$1
  bl_follow "$pf_work/rows.log" bl_stamp_each "$qm_wine" "$pf_driver" wait-rows "$pf_list" "$1" 120
  pf_rows_watcher=$bl_follower
  bl_await 30 grep -m1 waiting "$pf_work/rows.log" >/dev/null
}
pf_rows_at() {
  bl_await "$2" awk -v n="$pf_rows" -v after="$1" '$1 > after && $2 == n { print $1; exit }' "$pf_work/rows.log"
  local status=$?
  bl_unfollow "$pf_rows_watcher"
  return $status
}

# pf_stop: ends the program from its menu (終了), which takes its icon out of the taskbar; a
# program that does not end is killed.
pf_stop() {
  local menu _ l t r b
  pf_click_icon
  if menu=$(pf_drive wait-window "" 20 "#32768"); then
    read -r _ l t r b <<<"$menu"
    bl_click_screen $(((l + r) / 2)) $((t + (b - t) * 83 / 100))
  fi
  for _ in $(seq 100); do kill -0 "$pf_pid" 2>/dev/null || break; sleep 0.2; done
  kill "$pf_pid" 2>/dev/null || true
  wait "$pf_pid" 2>/dev/null || true
}

# pf_servers: "NAME PID" of the prefix's server and desktop, which serve the program's timers
# and messages.
pf_servers() {
  local pid name
  for pid in $(pgrep -f 'wineserver|explorer\.exe'); do
    tr '\0' '\n' 2>/dev/null <"/proc/$pid/environ" | grep -qx "WINEPREFIX=$WINEPREFIX" || continue
    case $(tr '\0' ' ' 2>/dev/null <"/proc/$pid/cmdline") in
      *wineserver*) name=wineserver ;;
      *explorer.exe*) name=explorer.exe ;;
      *) continue ;;
    esac
    echo "$name $pid"
  done
}

# pf_warning_traced AFTER: Quietus.exe writes no trace.
pf_warning_traced() { return 1; }

# pf_warning_done: 中止 on the warning, then 終了.
pf_warning_done() {
  local warning _ l t r b
  warning=$(pf_drive wait-window "ｼｬｯﾄﾀﾞｳﾝ確認" 10 QuietusForm | cut -d' ' -f1)
  read -r _ l t r b <<<"$(pf_drive child "$warning" Button 中止)"
  [ -n "$b" ] && bl_click_screen $(((l + r) / 2)) $(((t + b) / 2))
  pf_drive wait-gone "ｼｬｯﾄﾀﾞｳﾝ確認" 10 || true
  pf_stop
}
