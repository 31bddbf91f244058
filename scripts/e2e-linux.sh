#!/usr/bin/env bash
# End to end, as a user sees it: dist/linux/quietus on virtual desktops (Xvfb, openbox, trayer),
# each with private D-Bus buses and python3-dbusmock's logind, the clock put just before a due
# entry with libfaketime. One desktop per exit method, run side by side; each checks the icon in
# the tray, a second copy's message, the warning opening on time with its title, the count, and
# the logind call at zero. Two more desktops have no XEmbed tray: a StatusNotifierItem tray on
# X11, and Weston's Wayland with that tray; each checks the item, its tip, pausing and the menu
# from the tray, the warning and the logind call, and on Wayland that no window shows unasked and
# that the warning's title bar holds its title alone, whole.
# On the log-off desktop the due entry is not in the file at start: another program adds it two
# seconds ahead while quietus runs, and the warning opens at its second all the same.
# One more puts a weekly entry for another day before Tuesday's sleep entry at the same minute:
# only Tuesday's fires, logind is asked to suspend, and the program stays in the tray. Another,
# with a notification daemon on its session bus, controls the running program from outside
# (--status, then --skip-next skips the next entry, whose warning does not open) and checks the
# notice five minutes ahead and its 今回は中止, pressed on the daemon: nothing is due after. The last
# reads the program as a screen reader does, through AT-SPI on the desktop's accessibility bus,
# and goes through every window by keyboard alone, down to the warning, which Esc aborts; Orca
# (where installed) reads that desktop too, and what it says is checked: the list after Tab in the
# settings window, the time-of-day dialog and its first focus, the warning unprompted and once.
# The first also walks the windows, registers the autostart entry, and saves a screenshot of every
# window (into the run's folder; set QM_SCREENSHOT_DIR=docs/screenshots/linux to refresh the
# README's pictures). On the GNOME desktop a stand-in for GNOME's session manager owns its name on
# the session bus: the due shut-down is asked of it (Shutdown, so that applications may object),
# and logind hears nothing. The idle desktop has only an inactivity entry of one minute: while
# xdotool moves the pointer every 20 s it does not fire; once the pointer rests, the warning opens a
# minute later and logind is asked at zero (the program's trace names the X server as the source).
set -euo pipefail
cd "$(dirname "$0")/.."
top=$PWD
# Usage: scripts/e2e-linux.sh ["NAME ..." | --all-but NAME...]   (default: every desktop)
# QM_LINUX_DIST: another installed build to run (default dist/linux, built when missing).
dist=${QM_LINUX_DIST:-dist/linux}
case $dist in /*) ;; *) dist=$top/$dist ;; esac
if [ -z "${QM_LINUX_DIST:-}" ] && [ ! -x dist/linux/quietus ]; then
  cmake --preset linux >/dev/null
  cmake --build --preset linux --target quietus
  cmake --install build/linux --prefix dist/linux --component quietus >/dev/null
fi
faketime_lib=/usr/lib/x86_64-linux-gnu/faketime/libfaketime.so.1
[ -f "$faketime_lib" ] || { echo "libfaketime is missing ($faketime_lib)" >&2; exit 1; }
work=$(mktemp -d /tmp/qm-e2e.XXXXXX)
shots=${QM_SCREENSHOT_DIR:-$work/screenshots}
case $shots in /*) ;; *) shots=$top/$shots ;; esac
mkdir -p "$shots"

# The due entry: 12 May 2026, 13:05. The clock starts `lead` seconds before it.
due_date="2026-05-12"
due_entry_time="26年05月12日 13時05分"
a11y_doomed="26年12月31日 23時59分"

# world NAME WORD EXPECTED LEAD TOUR [DESKTOP]: one desktop; writes NAME/result ("PASS ..." or
# "FAIL ..."). DESKTOP: xembed (X11 with trayer, the default), sni (X11 with a StatusNotifierItem
# tray and no XEmbed one) or wayland (Weston, the program a native Wayland client, with the
# StatusNotifierItem tray).
world() {
  local name=$1 word=$2 expected=$3 lead=$4 tour=$5 desktop=${6:-xembed}
  local dir=$work/$name
  mkdir -p "$dir/home/.config" "$dir/run" "$dir/prog"
  chmod 700 "$dir/run"
  vd_pids=()
  vd_on_exit ""
  fail() {
    # A display gone from under the run is no fault of the program (vd_stop_all says so too).
    vd_display_gone && { echo "STOPPED $name: the virtual display went away" >"$dir/result"; exit 1; }
    echo "FAIL $name: $*" | tee "$dir/result"
    exit 1
  }
  note() { echo "[$name] $*"; }

  cp -a "$dist/." "$dir/prog/"
  {
    case $name in
      # Monday's line at the same minute would win the tie if it fired on a Tuesday.
      weekday) printf '毎週月曜　　　　13時05分　ｼｬｯﾄﾀﾞｳﾝ\r\n毎週火曜　　　　13時05分　%s\r\n' "$word" ;;
      # The next entry at start is tonight's; the due one comes from outside (added_from_outside).
      logoff) printf '毎日実行　　　　23時59分　%s\r\n' "$word" ;;
      # The first entry is skipped from the command line before it falls due.
      notice) printf '26年05月12日 13時00分　再起動\r\n%s　%s\r\n' "$due_entry_time" "$word" ;;
      # The first line is there to be deleted by keyboard.
      a11y) printf '%s　再起動\r\n%s　%s\r\n' "$a11y_doomed" "$due_entry_time" "$word" ;;
      idle) printf '無操作時　　　　00時01分　%s\r\n' "$word" ;;
      *) printf '%s　%s\r\n' "$due_entry_time" "$word" ;;
    esac
    # On the tour, the widest entries too, and enough of them that the settings list scrolls.
    if [ "$tour" = tour ]; then
      for h in 00 01 02 03 04 05 06 07 08; do printf '毎日実行　　　　%s時00分　強制終了\r\n' "$h"; done
      printf '毎日実行　　　　23時59分　ログオフ\r\n'
    fi
  } | iconv -f UTF-8 -t CP932 > "$dir/prog/Dtddta.wet"

  local platform=
  if [ "$desktop" = wayland ]; then
    vd_start_weston "$dir" || fail "no Weston"
    platform=wayland
  else
    vd_start_display "$dir" || fail "no display"
  fi
  vd_start_buses "$dir" || fail "no buses"
  vd_start_logind "$dir/logind.log" || fail "no logind"
  vd_add_session c1
  if [ "$name" = gnome ]; then
    gnome_session_manager "$dir/session-manager.log" || fail "no stand-in GNOME session manager"
  fi
  if [ "$desktop" = xembed ]; then
    vd_start_tray "$dir" || fail "no tray"
  elif [ "$desktop" = sni ]; then
    debian_sni_host "$dir" || fail "no status-notifier-watcher and gtk-sni-tray-standalone"
  else
    vd_start_sni_host "$dir" || fail "no StatusNotifierItem host"
  fi

  # One faked clock for every process of the desktop, as an offset from the real one.
  local clock
  clock=$(printf '%+d' $(( $(date -d "$due_date 13:05:00 $lead seconds ago" +%s) - $(date +%s) )))
  faked() { env LD_PRELOAD="$faketime_lib" FAKETIME="$clock" FAKETIME_DONT_FAKE_MONOTONIC=1 "$@"; }
  if [ "$name" = notice ]; then
    vd_start_notifications "$dir/notify.log" faked || fail "no notification daemon"
    # A daemon that shows actions as buttons.
    dbus-send --bus="$DBUS_SESSION_BUS_ADDRESS" --print-reply --dest=org.freedesktop.Notifications \
      /org/freedesktop/Notifications org.freedesktop.DBus.Mock.AddMethod string:org.freedesktop.Notifications \
      string:GetCapabilities string: string:as "string:ret = ['body', 'actions']" >/dev/null || fail "no actions"
  fi
  local a11y=
  if [ "$name" = a11y ]; then
    # A screen reader listens on the desktop's accessibility bus before the program starts.
    vd_start_a11y "$dir" || fail "no accessibility bus"
    vd_start_a11y_listener "$dir/a11y-events.log" || fail "no screen reader"
    orca_start
    a11y=1
  fi
  run_quietus() {
    faked HOME="$dir/home" XDG_CONFIG_HOME="$dir/home/.config" XDG_RUNTIME_DIR="$dir/run" XDG_SESSION_ID=c1 \
      LANG=C.UTF-8 QM_UI_TRACE="$1" ${platform:+QT_QPA_PLATFORM=$platform} \
      ${a11y:+QT_LINUX_ACCESSIBILITY_ALWAYS_ON=1} "$dir/prog/quietus"
  }
  # The command line that asks the running program, on the same desktop and clock.
  control() {
    faked HOME="$dir/home" XDG_CONFIG_HOME="$dir/home/.config" XDG_RUNTIME_DIR="$dir/run" LANG=C.UTF-8 \
      "$dir/prog/quietus" "$@" 2>&1
  }
  run_quietus "$dir/trace" >"$dir/quietus.log" 2>&1 &
  local qpid=$!
  vd_pids+=("$qpid")
  if [ "$name" = logoff ]; then
    added_from_outside &
    vd_pids+=($!)
  fi
  if [ "$name" = notice ]; then
    vd_wait 15 vd_tray_icon >/dev/null || fail "no icon in the tray"
    skip_next
    notice_sent
    notice_cancelled
    return 0
  fi
  if [ "$name" = a11y ]; then
    vd_wait 15 vd_tray_icon >/dev/null || fail "no icon in the tray"
    a11y_tour
    return 0
  fi
  if [ "$name" = idle ]; then
    vd_wait 15 vd_tray_icon >/dev/null || fail "no icon in the tray"
    idle_entry
    return 0
  fi

  local seen
  if [ "$desktop" = xembed ]; then
    xembed_tray
    seen="icon, second copy"
  else
    sni_tray
    seen="item, tip, pause, menu"
    [ "$desktop" = sni ] && seen="item in gtk-sni-tray-standalone, tip, 一時停止 in its menu, pause, menu at the host's point"
  fi
  [ "$desktop" = wayland ] && seen="$seen, no window unasked"

  # The warning opens on time, titled with the method.
  local warning opened
  if [ "$desktop" = wayland ]; then
    vd_wait $((lead + 15)) grep -q " shown EndMessege " "$dir/trace" || fail "no warning"
  else
    warning=$(vd_wait_window $((lead + 15)) "${word}確認") || fail "no warning titled ${word}確認"
  fi
  opened=$(date +%s.%N)
  grep -q "^13:05:00 .* shown EndMessege \"${word}確認\"" "$dir/trace" || fail "the warning did not open at 13:05:00: $(grep EndMessege "$dir/trace" | head -1)"
  if [ "$name" = logoff ]; then
    [ -s "$dir/added" ] || fail "the due entry was not added while quietus ran"
    seen="$seen, the due entry added by quietus --add at $(cat "$dir/added")"
  fi
  note "warning ${word}確認 at 13:05:00"
  if [ "$desktop" != xembed ]; then
    # The menu opened from the tray closed when the warning opened.
    vd_wait 5 awk '/ shown EndMessege / { w = 1 } w && / menu TraySmple.mnuPopup closed$/ { f = 1 } END { exit !f }' \
      "$dir/trace" || fail "the tray's menu stayed open behind the warning"
    note "the menu closed as the warning opened"
  fi
  [ "$desktop" = wayland ] && wayland_warning_shot
  [ "$tour" = tour ] && { sleep 0.3; vd_shot "$warning" "$shots/warning-30.png"; }
  if [ "$tour" = tour ]; then
    vd_wait 40 grep -q 'text EndMessege.Label3 "5"$' "$dir/trace" || fail "the count did not reach 5"
    sleep 0.2
    vd_shot "$warning" "$shots/warning-5.png"
  fi

  # At zero, the right call, and the program ends (after sleep it stays in the tray).
  vd_wait 45 grep -qsE " (PowerOff|Reboot|Terminate|Suspend|Shutdown)( |$)" "$dir/logind.log" \
    "$dir/session-manager.log" || fail "no session-end call"
  local called after=
  called=$(date +%s.%N)
  case $word in
    スリープ)
      sleep 2
      kill -0 "$qpid" 2>/dev/null || fail "the program ended after the request"
      vd_tray_icon >/dev/null || fail "the icon left the tray after the request"
      after=", still in the tray" ;;
    *)
      vd_wait 10 bash -c "! kill -0 $qpid" || fail "the program did not end after the request"
      wait "$qpid" || fail "the program ended with status $? after the request" ;;
  esac
  local calls count
  calls=$( { grep -oE " (CanSuspend|Suspend|PowerOff|Reboot|Terminate)( False)?$" "$dir/logind.log" || true; } |
    sed 's/^ //' | paste -sd, -)
  [ "$calls" = "$expected" ] || fail "logind saw '$calls', not '$expected'"
  if [ "$name" = gnome ]; then
    local asked
    asked=$(grep -oE " [A-Za-z]+( .*)?$" "$dir/session-manager.log" | sed 's/^ //' | paste -sd, -)
    [ "$asked" = Shutdown ] || fail "the GNOME session manager was asked '$asked', not 'Shutdown'"
    calls="nothing, GNOME's session manager $asked"
  fi
  count=$(grep -oE 'text EndMessege.Label3 "[0-9]+"' "$dir/trace" | grep -oE '"[0-9]+"' | tr -d '"' | paste -sd' ' -)
  [ "$count" = "$(seq 29 -1 0 | paste -sd' ' -)" ] || fail "the count ran '$count'"
  grep -q 'colour EndMessege.Label3 #ff0000' "$dir/trace" || fail "the count did not turn red"
  # Every window shown measured its texts against their controls (the settings list's longest
  # rows beside its scroll bar included): none was cut.
  ! grep -m 3 ' clipped ' "$dir/trace" || fail "text clipped (above)"
  echo "PASS $name: $seen, ${word}確認 at 13:05:00, count 30..0, logind $calls $(awk "BEGIN { printf \"%.1f\", $called - $opened }") s after the warning opened$after" | tee "$dir/result"
}

# The inactivity entry (world's variables). The X server counts its idle time in real seconds and
# the program's clock is faked as an offset, so a minute is a minute to both. The pointer moves
# every 20 s for 80 s, past the minute an untouched desktop would have fired at; then it rests.
idle_entry() {
  local moved=0 x rested opened
  for x in 100 200 100 200; do
    xdotool mousemove "$x" "$x"
    moved=$(date +%s.%N)
    sleep 20
    ! grep -q ' shown EndMessege ' "$dir/trace" || fail "the warning opened while the pointer moved"
  done
  grep -q ' idle source X11$' "$dir/trace" || fail "the idle source is not the X server: $(grep 'idle source' "$dir/trace")"
  note "no warning in 80 s of pointer moves"
  vd_wait 60 grep -q " shown EndMessege \"${word}確認\"" "$dir/trace" || fail "no warning a minute after the last move"
  opened=$(date +%s.%N)
  rested=$(awk "BEGIN { printf \"%.0f\", $opened - $moved }")
  (( rested >= 59 && rested <= 63 )) || fail "the warning opened ${rested} s after the last move, not 60"
  vd_wait 45 grep -qs " PowerOff " "$dir/logind.log" || fail "no session-end call"
  vd_wait 10 bash -c "! kill -0 $qpid" || fail "the program did not end after the request"
  echo "PASS $name: idle source X11, no warning while the pointer moved (80 s), ${word}確認 ${rested} s after" \
    "it rested, logind $(grep -oE 'PowerOff.*$' "$dir/logind.log" | head -1)" | tee "$dir/result"
}

# gnome_session_manager LOG: a stand-in for GNOME's session manager on the private session bus
# (python3-dbusmock, logging every call) with the methods gnome-session has for ending the session:
# Logout(mode), Shutdown and Reboot (and no RequestShutdown, which MATE and Cinnamon add).
gnome_session_manager() {
  local service=org.gnome.SessionManager path=/org/gnome/SessionManager method
  /usr/bin/python3 -m dbusmock --session "$service" "$path" "$service" -l "$1" >/dev/null 2>&1 &
  vd_pids+=($!)
  vd_wait 15 vd_name_owned "$DBUS_SESSION_BUS_ADDRESS" "$service" || return 1
  for method in Logout:u Shutdown: Reboot:; do
    dbus-send --bus="$DBUS_SESSION_BUS_ADDRESS" --print-reply --dest="$service" "$path" \
      org.freedesktop.DBus.Mock.AddMethod string: "string:${method%%:*}" "string:${method#*:}" string: string: \
      >/dev/null || return 1
  done
}

# The notice five minutes before the entry: Notify on the session bus in the second 13:00:00
# (by the notification daemon's clock, the desktop's faked one), and only once (world's variables).
notice_sent() {
  local want='Notify "QuietusMachine" [0-9]+ "[^"]*" "QuietusMachine" "５分後にシャットダウンします。"'
  vd_wait $((lead - 300 + 10)) grep -q ' Notify ' "$dir/notify.log" || fail "no notice"
  sleep 1.5
  local notices at
  notices=$(grep ' Notify ' "$dir/notify.log")
  [ "$(wc -l <<<"$notices")" -eq 1 ] || fail "more than one notice: $notices"
  grep -qE "^[0-9.]+ $want" <<<"$notices" || fail "the notice reads: $notices"
  at=$(date -d "@${notices%% *}" +%T)
  [ "$at" = 13:00:00 ] || fail "the notice came at $at, not 13:00:00"
  ! grep -q ' shown EndMessege ' "$dir/trace" || fail "the skipped entry's warning opened"
  note "Notify at $at, no warning for the skipped 13:00"
}

# --status names the next entry, 13:00's restart; --skip-next skips it, after which --status names
# 13:05's shut-down (world's variables). Its warning not opening is checked with the notice.
skip_next() {
  local status
  status=$(control --status --json) || fail "--status: $status"
  grep -q '"time": "13:00", .*"word": "再起動"' <<<"$status" || fail "--status said: $status"
  status=$(control --skip-next) || fail "--skip-next: $status"
  status=$(control --status --json) || fail "--status: $status"
  grep -q '"time": "13:05", .*"word": "ｼｬｯﾄﾀﾞｳﾝ"' <<<"$status" || fail "after --skip-next --status said: $status"
  note "--status named 13:00 再起動, then after --skip-next 13:05 ｼｬｯﾄﾀﾞｳﾝ"
}

# The daemon reports the notice's 今回は中止 pressed (ActionInvoked with its key): the occurrence
# will not fire, and --status says nothing is due (world's variables).
notice_cancelled() {
  local notice key status
  notice=$(grep ' Notify ' "$dir/notify.log")
  key=$(grep -oP '"\K[^"]*(?=", "今回は中止")' <<<"$notice") || fail "the notice has no 今回は中止: $notice"
  grep -q '"10分延期"' <<<"$notice" || fail "the notice has no 10分延期: $notice"
  /usr/bin/python3 -c 'import dbus, sys
bus = dbus.bus.BusConnection(sys.argv[1])
bus.get_object("org.freedesktop.Notifications", "/org/freedesktop/Notifications").EmitSignal(
    "org.freedesktop.Notifications", "ActionInvoked", "us", [dbus.UInt32(1), sys.argv[2]],
    dbus_interface="org.freedesktop.DBus.Mock")' "$DBUS_SESSION_BUS_ADDRESS" "$key" || fail "no ActionInvoked"
  nothing_due() { control --status --json | grep -q '"next": null'; }
  vd_wait 5 nothing_due || fail "after 今回は中止 --status said: $(control --status)"
  echo "PASS $name: icon, --status, --skip-next (no warning at 13:00:00), Notify \"QuietusMachine\"" \
    "\"５分後にシャットダウンします。\" with 今回は中止 and 10分延期 at 13:00:00, 今回は中止 pressed: nothing due" |
    tee "$dir/result"
}

# add_entry FOLDER ENTRY: the program's own command line adds a line to the schedule in FOLDER
# while the resident quietus runs, as a script or an administrator would (`quietus --add`, which
# writes the whole new file beside the old one and renames it over it). The Windows end-to-end run
# writes the file by other means.
add_entry() {
  "$1/quietus" --add "$2" >/dev/null || fail "quietus --add \"$2\" failed"
}

# Once the icon shows (quietus is watching its folder by then), two seconds before the due
# minute on the desktop's clock, the due entry is added by the command line (world's variables).
added_from_outside() {
  local due_at
  due_at=$(( $(date -d "$due_date 13:05:00" +%s) - clock ))
  vd_wait 15 vd_tray_icon >/dev/null || fail "no icon in the tray"
  (( $(date +%s) < due_at - 3 )) || fail "the icon came too late to add the entry ahead of time"
  until (( $(date +%s%N) >= (due_at - 2) * 1000000000 )); do sleep 0.05; done
  add_entry "$dir/prog" "$due_entry_time　$word"
  faked date +%T.%2N >"$dir/added"
  note "the due entry added by quietus --add at $(cat "$dir/added")"
}

# What a screen reader reads, and the keyboard alone in each window (world's variables). The tray
# host opens the menu; 'a' (QTM About(&A)) opens the About window, where Tab reaches the home-page
# link (read as a link; Enter on it would start a browser, so the Qt back end's test presses it),
# and Esc closes it. The settings list is read by its name. In the settings window Tab reaches the
# calendar, Right (Orca reads that day alone) and Enter pick tomorrow and open the time-of-day
# dialog, whose Enter (登録) adds its entry; back in the list (Shift+Tab), Space and Delete take
# out the first entry, and Enter (設定) saves. The warning opens as an alert, announced once, its
# count read as it changes; Esc (中止) aborts it, and logind hears nothing. The tray's hidden
# window is never announced.
# tray_menu_keys KEY...: the tray menu opened with a click on the icon, and KEYs pressed in it.
# The trace says the menu opens just before it is mapped, so on a busy machine a key can come
# before the menu takes the keyboard; then the menu is still open, and it is closed and tried again.
tray_menu_keys() {
  local try closed
  for try in 1 2 3; do
    closed=$(grep -c ' menu TraySmple.mnuPopup closed$' "$dir/trace" || true)
    vd_click "$icon" 10 10 1
    vd_wait 5 grep -q ' menu TraySmple.mnuPopup opened$' "$dir/trace" || fail "the tray opened no menu"
    sleep 0.3
    xdotool key "$@"
    vd_wait 10 test "$(grep -c ' menu TraySmple.mnuPopup closed$' "$dir/trace")" -gt "$closed" && return 0
    xdotool key Escape
    vd_wait 10 test "$(grep -c ' menu TraySmple.mnuPopup closed$' "$dir/trace")" -gt "$closed" ||
      fail "the tray menu neither took its keys nor closed"
  done
  fail "the tray menu did not take its keys ($*)"
}

# a11y_press_menu_item NAME: the tray menu opened with a click on the icon, Down onto its first
# item NAME, and a screen reader's press action (AT-SPI) on the item it heard take the focus,
# which runs it and closes the menu, as Enter does. (A menu is no child of the application on the
# accessibility bus; readers meet its items through their events.)
a11y_press_menu_item() {
  local closed presser
  closed=$(grep -c ' menu TraySmple.mnuPopup closed$' "$dir/trace" || true)
  AT_SPI_BUS_ADDRESS=$vd_a11y_address timeout 15 /usr/bin/python3 - "$1" >"$dir/a11y-press.log" 2>&1 <<'PY' &
import sys, pyatspi
def heard(event):
    item = event.source
    if event.detail1 and item.getRole() == pyatspi.ROLE_MENU_ITEM and item.name == sys.argv[1]:
        item.queryAction().doAction(0)
        print("pressed", flush=True)
        pyatspi.Registry.stop()
pyatspi.Registry.registerEventListener(heard, "object:state-changed:focused")
print("listening", flush=True)
pyatspi.Registry.start()
PY
  presser=$!
  vd_pids+=("$presser")
  vd_wait 10 grep -q '^listening$' "$dir/a11y-press.log" || fail "the screen reader did not start"
  vd_click "$icon" 10 10 1
  vd_wait 5 grep -q ' menu TraySmple.mnuPopup opened$' "$dir/trace" || fail "the tray opened no menu"
  sleep 0.3
  xdotool key Down
  vd_wait 10 grep -q '^pressed$' "$dir/a11y-press.log" || fail "the screen reader heard no menu item $1 to press"
  vd_wait 5 test "$(grep -c ' menu TraySmple.mnuPopup closed$' "$dir/trace")" -gt "$closed" ||
    fail "the menu stayed open after the screen reader's press"
}

a11y_tour() {
  local icon about settings timeset warning saved
  icon=$(vd_tray_icon)
  a11y_reads tray 'frame "タスクトレイ常駐"' '  image "動作中"' '  image "停止中"'

  tray_menu_keys a
  about=$(vd_wait_window 10 バージョン情報) || fail "'a' in the menu opened no About window"
  a11y_reads about 'dialog "バージョン情報"' '  image "動作中"' '  label "QuietusMachine   ver1.0.01"'
  ! grep -q '^  link .* focused$' "$dir/a11y-about.txt" || fail "the About window opened with the focus on its link"
  vd_keys "$about" Tab
  a11y_reads about-tab '  link "http://www.cobaltfenwick.example/" description "CobaltfenwickのＨＰに行く" focused'
  vd_keys "$about" Escape
  vd_wait 5 grep -q ' unloaded About$' "$dir/trace" || fail "Esc did not close the About window"
  note "About: opened with its access key, read as a dialog, Tab on its link, closed with Esc"

  a11y_press_menu_item 時刻の設定
  settings=$(vd_wait_window 10 QuietusMachine) || fail "the screen reader's press on 時刻の設定 opened no settings window"
  a11y_reads settings 'dialog "QuietusMachine"' \
    'push button "設定" description "このボタンを押さないと設定が有効に成りません" default focused' 'push button "キャンセル"' \
    'page tab "日付で設定"' 'list "予定一覧"' "list item \"$a11y_doomed　再起動\"" "list item \"$due_entry_time　$word\""
  a11y_focused_once settings 'push button "設定" '
  orca_mark
  vd_keys "$settings" Tab
  orca_says 5 "SPEECH OUTPUT: '予定一覧.'"
  a11y_focused_once settings-list 'list "予定一覧"' 'list item "'
  vd_keys "$settings" Tab Tab Tab
  # Right on the calendar: Orca reads the day it lands on (tomorrow), not the whole week (read as
  # a table's row, it said every day from Sunday to Saturday).
  orca_mark
  vd_keys "$settings" Right
  orca_says 5 "SPEECH OUTPUT: '13."
  sleep 0.3
  [ -z "$orca" ] || ! orca_said | grep -vF "SPEECH OUTPUT: '13." | grep -qE "SPEECH OUTPUT: '1[0-6][.']" ||
    fail "Orca read more than the chosen day on the calendar: $(orca_said | paste -sd'|' -)"
  # The time-of-day dialog fills its lists (84 items) as it opens: a screen reader hears it and its
  # first focus all the same. Its controls named and shown are some 55 events; each item changing
  # the lists' text made it some 250, which Orca dropped as a deluge.
  local events_from=$(( $(wc -l <"$dir/a11y-events.log") + 1 )) events
  orca_mark
  vd_keys "$settings" Return
  timeset=$(vd_wait_window 10 時刻の設定) || fail "Enter on a calendar day opened no time-of-day dialog"
  orca_says 5 "SPEECH OUTPUT: '時刻の設定 dialog."
  orca_says 5 "SPEECH OUTPUT: 'シャットダウン."
  sleep 1
  events=$(tail -n +"$events_from" "$dir/a11y-events.log" | wc -l)
  [ "$events" -le 80 ] || fail "the time-of-day dialog sent $events accessibility events as it opened (a screen reader drops a deluge)"
  a11y_reads timeset 'dialog "時刻の設定"' 'push button "登録" default' 'radio button "シャットダウン"'
  vd_keys "$timeset" Return
  vd_wait 5 grep -q ' unloaded TimeSet$' "$dir/trace" || fail "Enter (登録) did not close the time-of-day dialog"
  vd_wait 5 list_rows 3 || fail "Enter (登録) added no entry"
  vd_keys "$settings" shift+Tab shift+Tab shift+Tab space Delete
  vd_wait 5 list_rows 2 || fail "Space and Delete deleted no entry"
  vd_keys "$settings" Return
  vd_wait 5 bash -c "! xdotool search --onlyvisible --name '^QuietusMachine\$' >/dev/null" || fail "Enter (設定) did not close the settings window"
  # The dialog offers the minute it opened in, a few seconds after 13:04:00.
  saved=$(iconv -f CP932 -t UTF-8 "$dir/prog/Dtddta.wet" | tr -d '\r' | paste -sd'|' -)
  [[ $saved =~ ^"$due_entry_time　$word|26年05月13日 13時0"[45]"分　ｼｬｯﾄﾀﾞｳﾝ"$ ]] ||
    fail "the saved schedule reads: $saved"
  note "settings and time-of-day dialog: by keyboard, an entry added and one deleted, saved${orca:+; Orca read Tab and the dialog}"
  orca_mark

  warning=$(vd_wait_window $((lead + 15)) "${word}確認") || fail "no warning titled ${word}確認"
  vd_wait 5 grep -q "^object:state-changed:showing 1 alert \"${word}確認\"$" "$dir/a11y-events.log" ||
    fail "the warning was not announced as an alert"
  vd_wait 5 grep -q ' text EndMessege.Label3 "27"$' "$dir/trace" || fail "the count did not reach 27"
  a11y_reads warning "alert \"${word}確認\"" '  label "設定時間が来ました"' '  push button "OK" default focused' \
    '  push button "中止"'
  ! grep -q '^alert .* description ' "$dir/a11y-warning.txt" || fail "the alert has a description, read after its labels a second time"
  # Orca speaks the warning unprompted: its title, its lines once, and the button with the focus.
  orca_says 5 "SPEECH OUTPUT: 'alert ${word}確認.'"
  orca_says 5 "${word}します。"
  orca_says 5 "SPEECH OUTPUT: 'OK push button.'"
  [ -z "$orca" ] || [ "$(orca_said | grep -c '設定時間が来ました')" -eq 1 ] ||
    fail "Orca read the warning's lines more than once: $(orca_said | paste -sd'|' -)"
  local shown names
  shown=$(grep -c "alert \"${word}確認\"$" "$dir/a11y-events.log" || true)
  names=$(grep -cE '^object:property-change:accessible-name 0 label "2[0-9]"$' "$dir/a11y-events.log" || true)
  [ "$shown" -eq 2 ] || fail "the alert was announced $shown times (showing and activate once each): $(grep 'alert' "$dir/a11y-events.log")"
  [ "$names" -ge 2 ] || fail "the count's changes were not reported as name changes"
  ! grep -m 3 'タスクトレイ常駐' "$dir/a11y-events.log" || fail "the tray's hidden window was announced (above)"
  note "warning: announced as the alert ${word}確認 once, with its lines; the count read as it changes"
  vd_keys "$warning" Escape
  vd_wait 5 grep -q ' unloaded EndMessege$' "$dir/trace" || fail "Esc (中止) did not abort the warning"
  sleep 1
  ! grep -qE " (PowerOff|Reboot|Terminate|Suspend)( |$)" "$dir/logind.log" || fail "logind was asked to end the session"
  kill -0 "$qpid" || fail "the program ended"
  echo "PASS $name: read as alert and dialogs by AT-SPI; About by its access key, Tab to its link and Esc, 時刻の設定 by the reader's press, settings and time-of-day dialog by Tab, arrows, Space, Delete and Enter, the warning aborted with Esc${orca:+; Orca said the warning unprompted, once}" | tee "$dir/result"
}

# Orca on the screen reader's desktop (world's variables): orca_start starts it where it is
# installed; where it is not, or cannot start, the AT-SPI checks run alone and the run says so.
# orca_mark notes how much Orca has said; orca_says SECONDS TEXT waits for TEXT in what it has
# said since (orca_said).
orca_start() {
  orca=
  local status=0
  vd_start_orca "$dir" || status=$?
  case $status in
    0) orca=1; note "Orca reads the desktop" ;;
    2) note "Orca is not installed: what it says is not checked" ;;
    *) echo "[$name] WARNING: Orca is installed but did not start (see $dir/orca.log): what it says is not checked" >&2 ;;
  esac
}
orca_mark() { [ -z "$orca" ] || orca_from=$(( $(wc -l <"$dir/orca-speech.log") + 1 )); }
orca_said() { tail -n +"$orca_from" "$dir/orca-speech.log"; }
orca_says() {
  [ -n "$orca" ] || return 0
  vd_wait "$1" bash -c 'tail -n +"$1" "$2" | grep -qF -- "$3"' _ "$orca_from" "$dir/orca-speech.log" "$2" ||
    fail "Orca did not say \"$2\"; it said: $(orca_said | paste -sd'|' -)"
}

# list_rows N: the settings list has N rows now.
list_rows() { grep ' rows TimeDateSet.List1 ' "$dir/trace" | tail -1 | grep -q " $1\$"; }

# a11y_reads NAME LINE...: the screen reader's tree of the program (kept as a11y-NAME.txt) has each
# LINE (ROLE "NAME" ..., as a11y-reader.py prints it).
a11y_reads() {
  local tree=$dir/a11y-$1.txt line; shift
  vd_a11y tree >"$tree" 2>&1 || fail "the screen reader could not read the program: $(tail -1 "$tree")"
  for line in "$@"; do
    grep -qF -- "$line" "$tree" || fail "the screen reader did not read '$line' (see $tree)"
  done
}

# a11y_focused_once NAME START...: in the screen reader's tree of the program (kept as
# a11y-NAME.txt), one object reads as focused (Qt said it of the current tab, the list's current
# row and the calendar's current day as well), and its line, unindented, starts with a START.
a11y_focused_once() {
  local tree=$dir/a11y-$1.txt focused start; shift
  vd_a11y tree >"$tree" 2>&1 || fail "the screen reader could not read the program: $(tail -1 "$tree")"
  focused=$(grep ' focused$' "$tree" | sed 's/^ *//' || true)
  [ "$(grep -c . <<<"$focused")" -eq 1 ] || fail "not one object reads as focused: $(paste -sd'|' - <<<"$focused")"
  for start in "$@"; do [[ $focused == "$start"* ]] && return; done
  fail "the focus reads on $focused (see $tree)"
}

# The icon in trayer's tray, and a second copy that says so and ends (world's variables).
xembed_tray() {
  vd_wait 15 vd_tray_icon >/dev/null || fail "no icon in the tray"
  local icon
  icon=$(vd_tray_icon)
  note "icon in the tray ($icon)"
  # The tray's hidden window stays wholly off the screen: openbox leaves no patch of it in a corner.
  local hidden
  hidden=$(xdotool search --name '^タスクトレイ常駐$' 2>/dev/null | head -1)
  [ -n "$hidden" ] || fail "the tray's hidden window is not there"
  xwininfo -id "$hidden" | awk '/Absolute upper-left X/ { x = $4 } /Absolute upper-left Y/ { y = $4 }
    /Width:/ { w = $2 } /Height:/ { h = $2 } END { exit !(x + w <= 0 && y + h <= 0) }' ||
    fail "a part of the tray's hidden window shows on the screen: $(xwininfo -id "$hidden" | grep -E 'Absolute|Width|Height' | tr -s ' ' | tr '\n' ' ')"

  # A second copy says so and ends; the first runs on.
  run_quietus "$dir/trace2" >"$dir/quietus2.log" 2>&1 &
  local second=$!
  local box
  box=$(vd_wait_window 10 QuietusMachine) || fail "the second copy showed no message"
  grep -q 'message "QuietusMachine" "既に起動されています"' "$dir/trace2" || fail "the second copy's message is wrong"
  [ "$tour" = tour ] && vd_shot "$box" "$shots/already-running.png"
  # A key can arrive before the box takes the focus; press again while the box is there (once it
  # has gone, a key would reach the first copy's warning if that has opened meanwhile).
  for _ in 1 2 3 4 5; do
    vd_keys "$box" Return 2>/dev/null || break
    vd_wait 1 bash -c "! kill -0 $second" && break
  done
  vd_wait 10 bash -c "! kill -0 $second" || fail "the second copy did not end"
  wait "$second" || fail "the second copy ended with an error"
  kill -0 "$qpid" || fail "the first copy ended"
  note "second copy: 既に起動されています"

  [ "$tour" = tour ] && tour_windows "$dir" "$icon"
  return 0
}

# debian_sni_host DIR: Debian's StatusNotifierItem tray, status-notifier-watcher and
# gtk-sni-tray-standalone's bar along the bottom of the display, which shows an item's D-Bus menu
# on the right button and never calls ContextMenu. Qt looks for a host once, as the icon is made.
debian_sni_host() {
  status-notifier-watcher >"$1/sni-watcher.log" 2>&1 &
  vd_pids+=($!)
  vd_wait 10 vd_name_owned "$DBUS_SESSION_BUS_ADDRESS" org.kde.StatusNotifierWatcher || return 1
  gtk-sni-tray-standalone --bottom --end --size 32 >"$1/sni-tray.log" 2>&1 &
  vd_pids+=($!)
  vd_wait 10 sni_host_registered
}

sni_host_registered() {
  dbus-send --bus="$DBUS_SESSION_BUS_ADDRESS" --print-reply --dest=org.kde.StatusNotifierWatcher /StatusNotifierWatcher \
    org.freedesktop.DBus.Properties.Get string:org.kde.StatusNotifierWatcher string:IsStatusNotifierHostRegistered |
    grep -q 'boolean true'
}

# The right button on the icon in Debian's bar (32 px along the bottom, the icon its only drawing)
# shows the item's D-Bus menu; its first item, 一時停止, pauses (world's variables).
host_menu_pauses() {
  local w h x y menus
  vd_wait 5 sni_icon_drawn || fail "gtk-sni-tray-standalone drew no icon"
  IFS=x+ read -r w h x y <<<"$(convert "$dir/sni-bar.png" -format '%@' info:)"
  menus=$(xdotool search --onlyvisible --class gtk-sni-tray-standalone | wc -l)
  xdotool mousemove $((x + w / 2)) $((736 + y + h / 2)) click 3
  vd_wait 5 test "$(xdotool search --onlyvisible --class gtk-sni-tray-standalone | wc -l)" -gt "$menus" ||
    fail "the right button on the icon in gtk-sni-tray-standalone showed no menu"
  sleep 0.3
  xdotool key Down Return
  vd_wait 5 sni_reads "$paused" || fail "一時停止 in the host's menu left the item at '$(vd_sni item)', not '$paused'"
  note "gtk-sni-tray-standalone: the right button's menu, 一時停止: $paused"
}

sni_icon_drawn() {
  vd_shot_area 0 736 1024 32 "$dir/sni-bar.png"
  [ "$(convert "$dir/sni-bar.png" -format '%[fx:maxima>0]' info:)" = 1 ]
}

# sni_menus: how often the tray's menu has opened and closed.
sni_menus() { echo "$(grep -c ' menu TraySmple.mnuPopup opened$' "$dir/trace") $(grep -c ' menu TraySmple.mnuPopup closed$' "$dir/trace")"; }

# The item in the StatusNotifierItem tray as its host reads it (STATUS|TIP|ICON NAME|LIGHT), its
# tip naming the entry a minute ahead while it runs: on Debian's tray the host's menu pauses; the secondary button (ContextMenu) pauses and resumes, the
# primary one (Activate) opens the menu, at the host's point on X11, and a second Activate closes
# it; the menu opened by a third is left open for the warning to close (world's variables).
sni_tray() {
  local caption=$word
  [ "$word" = ｼｬｯﾄﾀﾞｳﾝ ] && caption=シャットダウン  # as its option and the notice name it
  local running="Active|QuietusMachineは動作中です
次回: ${due_date:5:2}月${due_date:8:2}日 13時05分 $caption（あと1分）||green"
  local paused="Active|QuietusMachineは停止中です||red"
  if [ "$desktop" = sni ]; then
    vd_wait 15 sni_reads "$running" || fail "no item in gtk-sni-tray-standalone reads '$running'"
  else
    vd_wait 15 grep -q '^registered ' "$dir/sni.log" || fail "no item registered with the StatusNotifierItem host"
    vd_wait 5 sni_reads "$running" || fail "the item reads '$(vd_sni item)', not '$running'"
  fi
  note "item registered: $running"
  [ "$desktop" = wayland ] && wayland_idle_shot
  if [ "$desktop" = sni ]; then
    host_menu_pauses
    vd_sni context-menu
    vd_wait 5 sni_reads "$running" || fail "ContextMenu left the paused item at '$(vd_sni item)'"
  fi
  vd_sni context-menu
  vd_wait 5 sni_reads "$paused" || fail "ContextMenu left the item at '$(vd_sni item)', not '$paused'"
  vd_sni context-menu
  vd_wait 5 sni_reads "$running" || fail "a second ContextMenu left the item at '$(vd_sni item)'"
  note "ContextMenu paused and resumed"
  vd_sni activate 300 200
  vd_wait 5 test "$(sni_menus)" = "1 0" || fail "Activate opened no menu"
  if [ "$desktop" = sni ]; then
    vd_wait 5 bash -c "xdotool search --onlyvisible --class quietus getwindowgeometry %@ | grep -q 'Position: 300,200 '" ||
      fail "Activate(300, 200) opened the menu elsewhere: $(xdotool search --onlyvisible --class quietus getwindowgeometry %@ | grep Position | paste -sd' ' -)"
  fi
  vd_sni activate 300 200
  vd_wait 5 test "$(sni_menus)" = "1 1" || fail "a second Activate left the menu open ($(sni_menus) opened, closed)"
  vd_sni activate 300 200
  vd_wait 5 test "$(sni_menus)" = "2 1" || fail "a third Activate opened no menu or did not keep it open ($(sni_menus) opened, closed)"
  note "Activate opened the menu, a second one closed it"
}

sni_reads() { [ "$(vd_sni item)" = "$1" ]; }

# With only the tray icon, nothing of the program is in view on Wayland: no pixel of a Qt window's
# background (Fusion's #EFEFEF) on the screen.
wayland_idle_shot() {
  local box
  sleep 1
  vd_wayland_shot "$dir/idle.png" || fail "no screenshot"
  box=$(convert "$dir/idle.png" -alpha off -fill black +opaque '#EFEFEF' -format '%@' info: 2>/dev/null)
  case $box in 0x0+*) note "nothing in view beside the tray icon" ;; *) fail "a window is in view ($box, $dir/idle.png)" ;; esac
}

# With the warning open, the only window in view is the warning (213x165 below its title bar,
# inside its frame line). Weston draws no frames, so the program draws the title bar itself: the
# title centred and whole, and nothing else in the bar (Qt's own frame showed minimise and
# maximise buttons on this fixed-size window and cut its title at 確; nor may the count be closed).
wayland_warning_shot() {
  local box w h
  sleep 1
  vd_wayland_shot "$dir/warning.png" || fail "no screenshot"
  cp "$dir/warning.png" "$shots/wayland-warning.png"
  box=$(convert "$dir/warning.png" -alpha off -fill black +opaque '#EFEFEF' -format '%@' info: 2>/dev/null)
  IFS=x+ read -r w h _ <<<"$box"
  [ "$w" -eq 213 ] && [ "$h" -ge 165 ] && [ "$h" -le 215 ] ||
    fail "the screen shows more than the warning, or a wider one ($box, $dir/warning.png)"
  note "only the warning in view ($box)"
  local pieces off
  read -r pieces off < <(title_bar_ink "$dir/warning.png" "$box") || fail "nothing in the warning's title bar ($dir/warning.png)"
  [ "$pieces" -eq 1 ] || fail "the warning's title bar shows $pieces things, not its title alone ($dir/warning.png)"
  [ "${off#-}" -le 3 ] || fail "the warning's title is $off px off the bar's middle: cut? ($dir/warning.png)"
  note "the title bar holds the title alone, centred ($off px)"
  seen="$seen, title bar"
}

# title_bar_ink FILE BOX: what is drawn in the title bar at the top of the window inside BOX
# (WxH+X+Y): how many separate pieces (columns with ink, gaps of at most 6 px inside a piece), and
# how far the piece over the middle lies from it (centre to centre, in px).
title_bar_ink() {
  local w x y
  IFS=x+ read -r w _ x y <<<"$2"
  convert "$1" -alpha off -crop "${w}x22+$x+$((y + 3))" +repage -colorspace gray -depth 8 txt:- |
    awk -F'[,:() ]+' -v w="$w" 'NR > 1 && (!($1 in v) || $3 < v[$1]) { v[$1] = $3 } END {
      n = 0; last = -100
      for (i = 0; i < w; i++) {
        if (v[i] >= 200) continue
        if (i - last > 7) { n++; from[n] = i }
        to[n] = i; last = i
      }
      if (n == 0) exit 1
      for (k = 1; k <= n; k++) if (from[k] <= w / 2 + 10 && to[k] >= w / 2 - 10) mid = k
      if (!mid) exit 1
      print n, int((from[mid] + to[mid] + 1) / 2 - w / 2) }'
}

# The windows a user reaches from the tray, each photographed; the autostart entry registered.
tour_windows() {
  local dir=$1 icon=$2
  # The icon running and paused (right click toggles), and the menu (left click).
  # The tray (trayer's panel at the bottom right) with a margin above and to the left.
  local ax ay aw ah
  read -r ax ay aw ah <<<"$(xwininfo -id "$(vd_tray_panel)" |
    awk '/Absolute upper-left X/ {x=$4} /Absolute upper-left Y/ {y=$4} /Width/ {w=$2} /Height/ {h=$2} END {print x-16, y-16, w+16, h+16}')"
  vd_shot_area "$ax" "$ay" "$aw" "$ah" "$shots/tray-running.png"
  local shown
  shown=$(xdotool search --onlyvisible --class quietus | wc -l)
  vd_click "$icon" 10 10 3
  sleep 0.5
  # The item's D-Bus menu is for hosts that show menus; Qt's XEmbed icon must not pop it up.
  [ "$(xdotool search --onlyvisible --class quietus | wc -l)" -eq "$shown" ] || fail "the right button opened a menu"
  vd_shot_area "$ax" "$ay" "$aw" "$ah" "$shots/tray-paused.png"
  vd_click "$icon" 10 10 3
  sleep 0.3
  vd_click "$icon" 10 10 1
  sleep 0.5
  vd_shot_area 764 608 260 160 "$shots/menu.png"
  xdotool key Down Return
  local settings
  settings=$(vd_wait_window 10 QuietusMachine) || fail "the settings window did not open"
  sleep 0.5
  vd_shot "$settings" "$shots/settings-date.png"
  vd_click "$settings" 130 12
  vd_shot "$settings" "$shots/settings-timer.png"
  vd_click "$settings" 215 12
  vd_shot "$settings" "$shots/settings-detail.png"

  # スタートアップに登録: the autostart entry starts quietus in the program folder.
  vd_click "$settings" 128 84
  local entry=$dir/home/.config/autostart/QuietusMachine.desktop
  vd_wait 5 test -s "$entry" || fail "no autostart entry"
  local want
  want=$(printf '[Desktop Entry]\nType=Application\nName=QuietusMachine\nExec="%s/prog/quietus"\nTerminal=false' "$dir")
  [ "$(cat "$entry")" = "$want" ] || fail "the autostart entry reads: $(cat "$entry")"
  note "autostart entry $entry"

  # QuietusMachine　About: the About window.
  vd_click "$settings" 128 132
  local about
  about=$(vd_wait_window 10 バージョン情報) || fail "the About window did not open"
  sleep 0.3
  vd_shot "$about" "$shots/about.png"
  if vd_has_wm; then
    # Its close box (Alt+F4 through the window manager) unloads it.
    vd_keys "$about" alt+F4
    vd_wait 5 bash -c '! xdotool search --onlyvisible --name "^バージョン情報$" >/dev/null' || fail "the About window did not close"
  fi
  xdotool windowraise "$settings"

  # A day on the calendar: the time-of-day dialog.
  vd_click "$settings" 20 12
  vd_click "$settings" 128 124
  local timeset
  timeset=$(vd_wait_window 10 時刻の設定) || fail "the time-of-day dialog did not open"
  sleep 0.3
  vd_shot "$timeset" "$shots/timeset.png"
  vd_click "$timeset" 128 188   # キャンセル
  vd_click "$settings" 340 164  # キャンセル
  note "menu, settings (three tabs), About and time-of-day dialog photographed"
}

source scripts/virtual-desktop.sh
started=$(date +%s)
pids=()
# One desktop per method (or only those named on the command line, or all but those named after
# --all-but).
declare -A words=([shutdown]="ｼｬｯﾄﾀﾞｳﾝ" [forced]="強制終了" [restart]="再起動" [logoff]="ログオフ" [weekday]="スリープ")
declare -A calls=([shutdown]="PowerOff False" [forced]="PowerOff False" [restart]="Reboot False" [logoff]="Terminate"
                  [weekday]="CanSuspend,Suspend False" [gnome]="")
all="shutdown forced restart logoff sni wayland weekday notice a11y gnome idle"
if [ "${1:-}" = --all-but ]; then
  shift
  for left_out in "$@"; do all=$(tr ' ' '\n' <<<"$all" | grep -vx "$left_out" | paste -sd' ' -); done
  set -- "$all"
fi
for names in "${@:-$all}"; do
  for name in $names; do
    case $name in
      shutdown) world shutdown "${words[$name]}" "${calls[$name]}" 50 tour & pids+=($!) ;;
      # The other desktops: the StatusNotifierItem tray on X11, and Wayland.
      sni) world sni "${words[restart]}" "${calls[restart]}" 20 quick sni & pids+=($!) ;;
      wayland) world wayland "${words[shutdown]}" "${calls[shutdown]}" 15 quick wayland & pids+=($!) ;;
      # The clock starts 20 s before the notice, five minutes before the entry.
      notice) world notice "${words[shutdown]}" "" 320 quick & pids+=($!) ;;
      # A screen reader's view and the keyboard alone; the warning is aborted.
      a11y) world a11y "${words[shutdown]}" "" 60 quick & pids+=($!) ;;
      # A GNOME session manager on the session bus: the shut-down is asked of it, not of logind.
      gnome) world gnome "${words[shutdown]}" "${calls[gnome]}" 12 quick & pids+=($!) ;;
      # Only an inactivity entry, kept from firing by pointer moves, then not.
      idle) world idle "${words[shutdown]}" "" 0 quick & pids+=($!) ;;
      *) world "$name" "${words[$name]}" "${calls[$name]}" 12 quick & pids+=($!) ;;
    esac
  done
done
status=0
for pid in "${pids[@]}"; do wait "$pid" || status=1; done

echo
cat "$work"/*/result 2>/dev/null || true
echo "End-to-end run: $(( $(date +%s) - started )) s; screenshots in $shots"
if [ $status -ne 0 ]; then
  echo "Kept for a look: $work" >&2
  exit 1
fi
rm -rf "$work"
