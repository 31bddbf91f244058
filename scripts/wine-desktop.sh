# A Japanese Windows desktop under Wine, for runs of Quietus.exe on a virtual display; sourced by
# e2e-win32.sh and the benchmarks, after wine-env.sh and virtual-desktop.sh.
#
#   wd_start WORK   a private ja_JP.UTF-8 locale, Xvfb with no window manager (Wine's own desktop,
#                   explorer, is the whole screen), private D-Bus buses, and a fresh prefix in
#                   WORK/prefix whose virtual desktop has a taskbar to hold the program's icon
#   wd_stop         ends the prefix's programs and its server

# shellcheck shell=bash disable=SC2154  # qm_wine comes from wine-env.sh
wd_start() {
  local work=$1
  export WINEPREFIX=$work/prefix WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="

  # Wine takes the Windows code page from the locale, and the command line's bytes from the C
  # library's; a private copy of ja_JP.UTF-8 serves both without touching the system.
  mkdir -p "$work/locale"
  if localedef -i ja_JP -f UTF-8 "$work/locale/ja_JP.UTF-8" >/dev/null 2>&1 || [ -d "$work/locale/ja_JP.UTF-8" ]; then
    export LOCPATH=$work/locale
    { export LANG=ja_JP.UTF-8 LC_ALL=ja_JP.UTF-8; } 2>/dev/null  # bash itself may not see the copy
  else
    export LANG=ja_JP.UTF-8 LC_ALL=C.UTF-8
  fi

  QM_NO_WM=1 vd_start_display "$work/display" || { vd_die "Xvfb did not start"; return 1; }
  vd_start_buses "$work/display" || { vd_die "no private D-Bus buses"; return 1; }

  "$qm_wine" wineboot.exe -i >/dev/null 2>&1 || true
  wineserver -w
  # Wine's own fonts (caption buttons, symbols) and a Japanese UI font, as a Japanese Windows has
  # them; a virtual desktop with a taskbar, whose notification area holds the program's icon. An
  # address the program opens (the About window's link) goes through Wine's winebrowser to `true`,
  # never to a browser of the machine's.
  if [ -d /usr/share/wine/fonts ]; then cp /usr/share/wine/fonts/*.ttf "$WINEPREFIX/drive_c/windows/Fonts/" 2>/dev/null || true; fi
  # The IPA faces stand in for the MS Gothics and Minchos, Noto CJK for the rest.
  ln -sf /usr/share/fonts/opentype/ipafont-*/*.ttf "$WINEPREFIX/drive_c/windows/Fonts/" 2>/dev/null || true
  cat >"$work/setup.reg" <<'EOF'
REGEDIT4

[HKEY_CURRENT_USER\Software\Wine\Explorer]
"Desktop"="Default"

[HKEY_CURRENT_USER\Software\Wine\Explorer\Desktops]
"Default"="1024x768"

[HKEY_CURRENT_USER\Software\Wine\WineBrowser]
"Browsers"="true"
"Mailers"="true"

[HKEY_LOCAL_MACHINE\Software\Microsoft\Windows NT\CurrentVersion\FontSubstitutes]
"MS Shell Dlg"="Noto Sans CJK JP"
"MS Shell Dlg 2"="Noto Sans CJK JP"
"MS UI Gothic"="Noto Sans CJK JP"
"Tahoma"="Noto Sans CJK JP"
"MS PGothic"="IPAPGothic"
"MS Gothic"="IPAGothic"
"MS PMincho"="IPAPMincho"
"MS Mincho"="IPAMincho"
EOF
  "$qm_wine" regedit /S "$work/setup.reg" >/dev/null 2>&1
  wineserver -w
}

# (Only for a prefix of the run's own: with no WINEPREFIX, wineserver would take the user's ~/.wine.)
wd_stop() { [ -z "${WINEPREFIX:-}" ] || wineserver -k >/dev/null 2>&1 || true; }
