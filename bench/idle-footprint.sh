#!/usr/bin/env bash
# Resident memory and CPU of the idle Linux program beside KShutdown's (Debian's kshutdown), both
# sitting in the tray of one virtual desktop (Xvfb, trayer, a private session bus) with nothing due.
# After a settling pause each is sampled from /proc over the same window (30 s unless given):
# VmRSS and VmHWM from status, Pss from smaps_rollup, CPU from utime + stime in stat.
# Usage: bench/idle-footprint.sh [SECONDS]
set -euo pipefail
cd "$(dirname "$0")/.."
top=$PWD
seconds=${1:-30}
command -v kshutdown >/dev/null || { echo "kshutdown is not installed (apt-get install kshutdown)" >&2; exit 1; }
if [ ! -x dist/linux/quietus ]; then
  cmake --preset linux >/dev/null
  cmake --build --preset linux --target quietus
  cmake --install build/linux --prefix dist/linux --component quietus >/dev/null
fi

source scripts/virtual-desktop.sh
work=$(mktemp -d /tmp/qm-idle.XXXXXX)
vd_on_exit 'rm -rf "$work"'
vd_start_display "$work"
vd_start_buses "$work"
vd_start_tray "$work"
mkdir -p "$work/home" "$work/run" "$work/prog"
chmod 700 "$work/run"
export HOME=$work/home XDG_CONFIG_HOME=$work/home/.config XDG_RUNTIME_DIR=$work/run

# quietus as it usually idles: an every-day entry armed; only the tray window is loaded, its due
# check waking once a second.
cp -a dist/linux/. "$work/prog/"
printf '毎日実行　　　　03時00分　ｼｬｯﾄﾀﾞｳﾝ\r\n' | iconv -f UTF-8 -t CP932 > "$work/prog/Dtddta.wet"
"$work/prog/quietus" >"$work/quietus.log" 2>&1 &
quietus=$!
vd_pids+=($quietus)
# KShutdown started into its tray icon, with no window, as it idles after log-in.
kshutdown --init >"$work/kshutdown.log" 2>&1 &
kshutdown=$!
vd_pids+=($kshutdown)

sleep 5
for pid in $quietus $kshutdown; do kill -0 "$pid" || { echo "a program ended early" >&2; exit 1; }; done

ticks() { awk '{ print $14 + $15 }' "/proc/$1/stat"; }
kb() { awk -v key="$2:" '$1 == key { print $2 }' "$1"; }
hz=$(getconf CLK_TCK)
q0=$(ticks $quietus) k0=$(ticks $kshutdown) t0=$(date +%s.%N)
sleep "$seconds"
q1=$(ticks $quietus) k1=$(ticks $kshutdown) t1=$(date +%s.%N)

row() {
  local name=$1 pid=$2 c0=$3 c1=$4
  local rss hwm pss cpu
  rss=$(kb "/proc/$pid/status" VmRSS)
  hwm=$(kb "/proc/$pid/status" VmHWM)
  pss=$(kb "/proc/$pid/smaps_rollup" Pss)
  cpu=$(awk -v c="$((c1 - c0))" -v hz="$hz" -v t0="$t0" -v t1="$t1" 'BEGIN { printf "%.2f", 100 * c / hz / (t1 - t0) }')
  printf '| %-9s | %8.1f | %8.1f | %8.1f | %7s |\n' "$name" "$(awk "BEGIN{print $rss/1024}")" \
    "$(awk "BEGIN{print $pss/1024}")" "$(awk "BEGIN{print $hwm/1024}")" "$cpu"
  eval "${name}_rss=$rss"
}
echo "Idle for ${seconds} s on a virtual desktop ($(nproc) cores, $(uname -r)):"
echo
echo "| Program   | RSS MiB  | PSS MiB  | Peak MiB | CPU %   |"
echo "|-----------|----------|----------|----------|---------|"
row quietus $quietus "$q0" "$q1"
row kshutdown $kshutdown "$k0" "$k1"
echo
awk -v q="$quietus_rss" -v k="$kshutdown_rss" 'BEGIN { printf "quietus uses %.0f%% of KShutdown'"'"'s resident memory (goal: at most 50%%).\n", 100 * q / k }'
