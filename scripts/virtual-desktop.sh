# Virtual desktops for the Linux program, sourced by run-linux.sh, e2e-linux.sh and
# bench/idle-footprint.sh: Xvfb with openbox (when installed) and trayer as the tray host, or
# Weston's headless Wayland compositor; a StatusNotifierItem tray stand-in; private D-Bus buses,
# the accessibility bus with Orca on it, python3-dbusmock's logind and notification daemon, and
# helpers to find, drive and photograph windows.
# Everything started here is remembered and ended by vd_stop_all, by process id.

# shellcheck shell=bash
vd_pids=()
vd_here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)

vd_die() { echo "virtual desktop: $*" >&2; return 1; }

# vd_wait SECONDS COMMAND...: retries COMMAND every 0.1 s until it succeeds or time runs out.
vd_wait() {
  local deadline=$(( $(date +%s%N) / 1000000 + $1 * 1000 )); shift
  until "$@" 2>/dev/null; do
    [ $(( $(date +%s%N) / 1000000 )) -lt $deadline ] || return 1
    sleep 0.1
  done
}

# vd_start_display DIR: Xvfb on a free display number (exported as DISPLAY), and a window manager
# so that windows get title bars; DIR keeps the display's files.
vd_start_display() {
  local dir=$1 attempt
  mkdir -p "$dir"
  # Desktops started side by side may race for a display number; a server that cannot be
  # reached is replaced by another.
  for attempt in 1 2 3; do
    : > "$dir/display"
    Xvfb -displayfd 9 -screen 0 1024x768x24 -nolisten tcp 9>"$dir/display" >>"$dir/xvfb.log" 2>&1 &
    vd_pids+=($!)
    if vd_wait 10 test -s "$dir/display"; then
      DISPLAY=":$(head -1 "$dir/display")"
      export DISPLAY
      vd_wait 5 xprop -root -len 0 >/dev/null && break
    fi
    kill "${vd_pids[-1]}" 2>/dev/null || true
    [ $attempt -lt 3 ] || { vd_die "Xvfb did not start"; return 1; }
  done
  vd_xvfb=${vd_pids[-1]}
  if command -v openbox >/dev/null && [ -z "${QM_NO_WM:-}" ]; then
    openbox --sm-disable --config-file "$vd_here/openbox-rc.xml" >"$dir/openbox.log" 2>&1 &
    vd_pids+=($!)
    # Title bars are a nicety: without a window manager everything still works.
    vd_wait 10 vd_has_wm || echo "virtual desktop: openbox did not start; going on without it" >&2
  fi
}

# vd_display_gone: the display started here has ended under what runs on it (another user or
# run took the server down): a run that stops then says so, rather than blaming the program.
vd_display_gone() {
  [ -n "${vd_xvfb:-}" ] && { ! kill -0 "$vd_xvfb" 2>/dev/null || ! timeout 5 xdpyinfo >/dev/null 2>&1; }
}

vd_has_wm() { xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q 'window id'; }

# vd_start_tray DIR: trayer at the bottom right, as the system tray of the display.
vd_start_tray() {
  trayer --edge bottom --align right --widthtype request --height 32 --SetDockType true \
    --SetPartialStrut true --expand true >"$1/trayer.log" 2>&1 &
  vd_pids+=($!)
  vd_wait 10 vd_tray_panel >/dev/null || vd_die "trayer did not start"
}

# vd_start_weston DIR: Weston's headless compositor (a 1024x768 output drawn by pixman, so that
# screenshots work; --debug lets weston-screenshooter take them) as the Wayland display, exported
# as WAYLAND_DISPLAY with DISPLAY unset. XDG_RUNTIME_DIR becomes DIR/run, where the socket lives.
vd_start_weston() {
  local dir=$1
  export XDG_RUNTIME_DIR=$dir/run
  mkdir -p "$XDG_RUNTIME_DIR"
  chmod 700 "$XDG_RUNTIME_DIR"
  weston --backend=headless-backend.so --use-pixman --debug --width=1024 --height=768 \
    --socket=wayland-qm --idle-time=0 --log="$dir/weston.log" >/dev/null 2>&1 &
  vd_pids+=($!)
  vd_wait 10 test -S "$XDG_RUNTIME_DIR/wayland-qm" || { vd_die "weston did not start"; return 1; }
  export WAYLAND_DISPLAY=wayland-qm
  unset DISPLAY
}

# vd_wayland_shot FILE: the whole Wayland screen.
vd_wayland_shot() {
  local shots
  shots=$(mktemp -d)
  (cd "$shots" && weston-screenshooter) && mv "$shots"/wayland-screenshot-*.png "$1"
  rm -rf "$shots"
  test -s "$1"
}

# vd_start_sni_host DIR: a StatusNotifierItem tray (watcher and host) on the session bus, as KDE
# Plasma or GNOME's AppIndicator extension has; DIR/sni.log logs what the items do.
vd_start_sni_host() {
  /usr/bin/python3 "$vd_here/sni-host.py" serve "$1/sni.log" >/dev/null 2>&1 &
  vd_pids+=($!)
  vd_wait 10 grep -q watching "$1/sni.log" || vd_die "the StatusNotifierItem host did not start"
}

# vd_sni item|activate|context-menu: reads or clicks the item registered with that host.
vd_sni() { /usr/bin/python3 "$vd_here/sni-host.py" "$@"; }

# (awk reads to the end: a reader that stops early breaks the pipe, which pipefail counts as failure.)
vd_tray_panel() { xwininfo -root -tree | awk '/"panel" "trayer"/ && !id { id = $1 } END { if (!id) exit 1; print id }'; }

# The window of quietus's icon inside the tray, or failure when the icon is not there.
vd_tray_icon() {
  local panel
  panel=$(vd_tray_panel) || return 1
  xwininfo -tree -id "$panel" | awk '/\("quietus" / && !id { id = $1 } END { if (!id) exit 1; print id }'
}

# vd_bus DIR NAME: a private bus (its own dbus-daemon); its address goes into vd_address.
# (Not a command substitution: the daemon would hold its output open, and the subshell would
# forget the daemon's process id.)
vd_bus() {
  local file="$1/$2.address"
  dbus-daemon --config-file="$vd_here/private-bus.conf" --nofork --print-address=9 9>"$file" >/dev/null 2>&1 &
  vd_pids+=($!)
  vd_wait 10 test -s "$file" || vd_die "dbus-daemon did not start" || return 1
  vd_address=$(head -1 "$file")
}

# vd_start_buses DIR: a private session bus and a private stand-in for the system bus, so that no
# call ever reaches the machine's own.
vd_start_buses() {
  vd_bus "$1" session || return 1
  export DBUS_SESSION_BUS_ADDRESS=$vd_address
  vd_bus "$1" system || return 1
  export DBUS_SYSTEM_BUS_ADDRESS=$vd_address
}

# vd_start_a11y DIR: the accessibility bus of the private session bus (at-spi-bus-launcher, which
# starts the bus's own dbus-daemon, and the AT-SPI registry on it); DIR/run holds its socket.
# Programs find it through the session bus; vd_a11y reads it.
vd_start_a11y() {
  local dir=$1 launcher registry
  mkdir -p "$dir/run" && chmod 700 "$dir/run"
  XDG_RUNTIME_DIR=$dir/run /usr/libexec/at-spi-bus-launcher --launch-immediately >"$dir/a11y-bus.log" 2>&1 &
  launcher=$!
  vd_pids+=("$launcher")
  vd_wait 10 vd_name_owned "$DBUS_SESSION_BUS_ADDRESS" org.a11y.Bus || { vd_die "at-spi-bus-launcher did not start"; return 1; }
  vd_a11y_address=$(dbus-send --bus="$DBUS_SESSION_BUS_ADDRESS" --print-reply=literal --dest=org.a11y.Bus \
    /org/a11y/bus org.a11y.Bus.GetAddress | tr -d ' ')
  [ -n "$vd_a11y_address" ] || { vd_die "the accessibility bus has no address"; return 1; }
  # The registry starts when first asked for; readers and Qt ask it which events to send.
  dbus-send --bus="$vd_a11y_address" --print-reply --dest=org.freedesktop.DBus / \
    org.freedesktop.DBus.StartServiceByName string:org.a11y.atspi.Registry uint32:0 >/dev/null ||
    { vd_die "the AT-SPI registry did not start"; return 1; }
  # The bus's daemon (the launcher's child) and the registry (which the bus names) are each ended
  # by their own id, rather than left to their parents' exit.
  registry=$(dbus-send --bus="$vd_a11y_address" --print-reply=literal --dest=org.freedesktop.DBus / \
    org.freedesktop.DBus.GetConnectionUnixProcessID string:org.a11y.atspi.Registry | awk '{ print $2 }')
  vd_pids+=($registry $(pgrep -P "$launcher" || true))
}

# vd_a11y tree: a screen reader's view of quietus on that bus (a11y-reader.py). Only the reader is
# told the bus's address: Qt 6.4 does not register with a bus named in AT_SPI_BUS_ADDRESS, and
# finds this one through the session bus instead.
vd_a11y() { AT_SPI_BUS_ADDRESS=$vd_a11y_address /usr/bin/python3 "$vd_here/a11y-reader.py" "$@"; }

# vd_start_a11y_listener LOG: a screen reader listening on that bus, writing what it hears to LOG.
vd_start_a11y_listener() {
  AT_SPI_BUS_ADDRESS=$vd_a11y_address /usr/bin/python3 "$vd_here/a11y-reader.py" listen "$1" >"$1.err" 2>&1 &
  vd_pids+=($!)
  vd_wait 10 grep -q '^listening$' "$1" || vd_die "the screen reader did not start"
}

# vd_start_orca DIR: Orca, the screen reader, on that accessibility bus, with a home and settings
# of its own under DIR/orca-home, writing what it says to DIR/orca-speech.log (orca-speech.py: no
# speech-dispatcher or sound device, so nothing waits on one). Status 2 when Orca is not
# installed, 1 when it did not start listening within 15 s (DIR/orca.log says why).
vd_start_orca() {
  local dir=$1 home=$1/orca-home
  /usr/bin/python3 -c 'import orca.orca_platform' 2>/dev/null || return 2
  mkdir -p "$home"
  HOME=$home XDG_CONFIG_HOME=$home/.config XDG_DATA_HOME=$home/.local/share XDG_CACHE_HOME=$home/.cache \
    GSETTINGS_BACKEND=memory /usr/bin/python3 "$vd_here/orca-speech.py" "$home/.local/share/orca" \
    "$dir/orca-speech.log" >"$dir/orca.log" 2>&1 &
  vd_pids+=($!)
  vd_wait 15 grep -q "^SPEECH OUTPUT: 'Screen reader on.'" "$dir/orca-speech.log"
}

# vd_start_logind LOG: python3-dbusmock's logind on the private system bus, logging every call;
# Debian's own Python, since another one earlier on PATH may lack the module.
vd_start_logind() {
  /usr/bin/python3 -m dbusmock --template logind -l "$1" >/dev/null 2>&1 &
  vd_pids+=($!)
  vd_wait 15 vd_name_owned "$DBUS_SYSTEM_BUS_ADDRESS" org.freedesktop.login1 || vd_die "the mock logind did not start"
}

# vd_start_notifications LOG [COMMAND...]: python3-dbusmock's notification daemon on the private
# session bus, logging every call; COMMAND (env with a faked clock, say) runs it.
vd_start_notifications() {
  local log=$1; shift
  "$@" /usr/bin/python3 -m dbusmock --template notification_daemon -l "$log" >/dev/null 2>&1 &
  vd_pids+=($!)
  vd_wait 15 vd_name_owned "$DBUS_SESSION_BUS_ADDRESS" org.freedesktop.Notifications ||
    vd_die "the mock notification daemon did not start"
}

vd_name_owned() {
  dbus-send --bus="$1" --print-reply --dest=org.freedesktop.DBus / org.freedesktop.DBus.NameHasOwner "string:$2" |
    grep -q 'boolean true'
}

# vd_add_session ID: a session of this user in the mock logind.
vd_add_session() {
  dbus-send --bus="$DBUS_SYSTEM_BUS_ADDRESS" --print-reply --dest=org.freedesktop.login1 /org/freedesktop/login1 \
    org.freedesktop.DBus.Mock.AddSession "string:$1" string:seat0 "uint32:$(id -u)" "string:$(id -un)" boolean:true >/dev/null
}

# vd_window NAME: the id of the mapped window whose title is exactly NAME.
vd_window() {
  local id
  for id in $(xdotool search --onlyvisible --name "^$1\$" 2>/dev/null); do
    echo "$id"
    return 0
  done
  return 1
}

# vd_wait_window SECONDS NAME: waits for the window and prints its id.
vd_wait_window() {
  local deadline=$(( $(date +%s) + $1 ))
  while [ "$(date +%s)" -le $deadline ]; do
    vd_window "$2" && return 0
    sleep 0.1
  done
  return 1
}

# vd_click ID X Y [BUTTON]: clicks at pixel X, Y of the window's client area.
vd_click() {
  xdotool mousemove --window "$1" "$2" "$3" click "${4:-1}"
  sleep 0.3
}

# vd_keys ID KEY...: types keys into the window, after giving it the focus (through the window
# manager when one runs, else directly). When the window is gone, no key is typed: it would go to
# whichever window has the focus instead (a warning that opened meanwhile, say) even where the
# caller ignores the failure.
vd_keys() {
  local id=$1; shift
  if vd_has_wm; then
    xdotool windowactivate --sync "$id" || return 1
  else
    xdotool windowraise "$id" windowfocus --sync "$id" || return 1
  fi
  xdotool key "$@"
  sleep 0.3
}

# vd_shot ID FILE: the window with its frame, when a window manager draws one.
vd_shot() {
  local frame
  frame=$(xwininfo -id "$1" -children 2>/dev/null | awk '/Parent window id/ { print $4 }')
  if [ -n "$frame" ] && [ "$frame" != "$(xwininfo -root | awk '/Window id/ { print $4 }')" ]; then
    import -window "$frame" "$2"
  else
    import -window "$1" "$2"
  fi
}

# vd_shot_area X Y W H FILE: part of the screen.
vd_shot_area() { import -window root -crop "$3x$4+$1+$2" +repage "$5"; }

# vd_on_exit [COMMAND]: ends everything started here (then runs COMMAND) when this shell exits.
# Subshells of command substitutions may run the trap too; only the shell that set it acts.
vd_on_exit() {
  vd_owner=$BASHPID
  # shellcheck disable=SC2064  # COMMAND is the caller's, taken as it is now
  trap "vd_stop_all \$?; ${1:-:}" EXIT
}

# vd_stop_all [STATUS]: ends everything started here; a run that failed (STATUS other than 0)
# because its display went away is told so.
vd_stop_all() {
  [ "${vd_owner:-$BASHPID}" = "$BASHPID" ] || return 0
  if [ "${1:-0}" -ne 0 ] && vd_display_gone; then
    echo "virtual desktop: the virtual display went away (Xvfb on $DISPLAY ended mid-run); the run stopped there, with no fault found in the program" >&2
  fi
  local pid
  for pid in "${vd_pids[@]}"; do kill "$pid" 2>/dev/null || true; done
  for pid in "${vd_pids[@]}"; do wait "$pid" 2>/dev/null || true; done
  vd_pids=()
  vd_xvfb=
}
