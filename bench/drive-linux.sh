# The Linux program (dist/linux/quietus) on a virtual desktop, as the program benchmarks drive it;
# sourced after scripts/virtual-desktop.sh and bench/bench-lib.sh. bench/drive-wine.sh offers the
# same functions for Quietus.exe under Wine.
#
# Xvfb with no window manager (a window is shown when it is mapped), trayer as the tray, private
# D-Bus buses and python3-dbusmock's logind, so that no session end ever reaches the machine.
# The settings window's controls are clicked at their places in its definition (twips / 15 at the
# display's 96 dpi). QM_PROGRAM_DIR names another program folder to run instead of dist/linux (a
# build to compare with).

# shellcheck shell=bash disable=SC2034,SC2154,SC2016  # shares variables with the scripts that source it; awk programs in single quotes
pf_dist=${QM_PROGRAM_DIR:-$top/dist/linux}
pf_name="${QM_PROGRAM_DIR:-dist/linux}/quietus (Qt $(dpkg-query -W -f '${Version}' libqt6core6 2>/dev/null | cut -d+ -f1))"

# pf_check: what the runs need is there.
pf_check() {
  [ -x "$pf_dist/quietus" ] || { echo "no $pf_dist/quietus (scripts/run.sh or the linux preset builds it)" >&2; return 1; }
  local tool
  for tool in Xvfb trayer xdotool xev xwininfo xprop dbus-daemon; do
    command -v $tool >/dev/null || { echo "$tool is missing (scripts/deps.sh installs it)" >&2; return 1; }
  done
}

# pf_teardown: nothing beyond what vd_stop_all ends.
pf_teardown() { :; }

# pf_setup WORK
pf_setup() {
  QM_NO_WM=1 vd_start_display "$1" || return 1
  vd_start_buses "$1" || return 1
  vd_start_logind "$1/logind.log" || return 1
  vd_add_session c1
  vd_start_tray "$1" || return 1
  pf_parent=$(xwininfo -root | awk '/Window id:/ { print $4 }')
}

# pf_install DIR: the program in DIR, with a home of its own beside it.
pf_install() {
  mkdir -p "$1/home/.config" "$1/run"
  chmod 700 "$1/run"
  cp -a "$pf_dist/." "$1/"
}

# pf_start DIR [VAR=VALUE...]: starts the program in DIR; its process id in pf_pid. Its trace
# (QM_UI_TRACE) is DIR/trace, followed into DIR/trace.stamped.
pf_start() {
  pf_dir=$1; shift
  : >"$pf_dir/trace"
  bl_stamp_lines "$pf_dir/trace" "$pf_dir/trace.stamped"
  pf_follower=$bl_follower
  env HOME="$pf_dir/home" XDG_CONFIG_HOME="$pf_dir/home/.config" XDG_RUNTIME_DIR="$pf_dir/run" XDG_SESSION_ID=c1 \
    LANG=C.UTF-8 QM_UI_TRACE="$pf_dir/trace" "$@" "$pf_dir/quietus" >>"$pf_dir/quietus.log" 2>&1 &
  pf_pid=$!
  vd_pids+=("$pf_pid")
}

# pf_wait_icon SECONDS: waits until the icon sits in the tray; pf_icon_at is the moment.
pf_wait_icon() { pf_icon=$(bl_await "$1" vd_tray_icon) && pf_icon_at=$EPOCHREALTIME; }

# pf_click_icon: a left click on the icon; bl_clicked holds the moment.
pf_click_icon() {
  xdotool mousemove --window "$pf_icon" 10 10
  bl_clicked=$EPOCHREALTIME
  xdotool click 1
}

# pf_is_menu WINDOW OVERRIDE: the program's popup menu.
pf_is_menu() { [ "$2" = YES ] && xprop -id "$1" WM_CLASS 2>/dev/null | grep -q '"quietus"'; }

# pf_menu_item WINDOW PERCENT: clicks the menu's item at PERCENT of its height (時刻の設定 18, 終了 83).
pf_menu_item() { bl_click_at_height "$1" "$2"; }

# pf_settings_opened WINDOW: the settings window is on screen; its controls can be found.
pf_settings_opened() { pf_settings=$1; }

# pf_click_control NAME: clicks a control of the settings window by its caption, at the middle of
# the place its definition in forms/settings_window.cpp gives it (the tabs, drawn by Qt, at their
# places on this display).
pf_click_control() {
  local x y
  if [ "$1" = 詳細設定 ]; then
    x=215 y=12
  else
    read -r x y <<<"$(perl -0ne 'print int(($1 + $3 / 2) / 15), " ", int(($2 + $4 / 2) / 15) if
      /\.caption = "\Q'"$1"'\E",[^}]*?\.rect = \{(\d+), (\d+), (\d+), (\d+)\}/' "$top/forms/settings_window.cpp")"
    [ -n "$y" ] || { vd_die "no control $1 in the settings window's definition"; return 1; }
  fi
  xdotool mousemove --window "$pf_settings" "$x" "$y"
  sleep 0.2
  bl_clicked=$EPOCHREALTIME
  xdotool click 1
}

# pf_rows_expect N, then the click, then pf_rows_at AFTER SECONDS: the moment the settings list
# first had N rows after AFTER, from the program's trace.
pf_rows_expect() { pf_rows=$1; }
pf_rows_at() {
  bl_await "$2" awk -v n="$pf_rows" -v after="$1" \
    '$1 > after && $4 == "rows" && $5 == "TimeDateSet.List1" && $6 == n { print $1; exit }' "$pf_dir/trace.stamped"
}

# pf_stop: ends the program (its icon goes with its window).
pf_stop() {
  kill "$pf_pid" 2>/dev/null || true
  wait "$pf_pid" 2>/dev/null || true
  bl_unfollow "$pf_follower"
}

# pf_servers: "NAME PID" of the processes that wake on the program's behalf (none to count here:
# the X server and the tray host wake only when asked to draw).
pf_servers() { :; }

# pf_warning_traced AFTER: the moment the trace said the warning is shown.
pf_warning_traced() {
  bl_await 5 awk -v after="$1" '$1 > after && $4 == "shown" && $5 == "EndMessege" { print $1; exit }' "$pf_dir/trace.stamped"
}

# pf_warning_done: the warning timed, the program goes.
pf_warning_done() { pf_stop; }
