#!/usr/bin/env bash
# The command line as a process: the program copied into a program folder of its own (the
# schedule lives beside the executable), then --add, --list, --next, --delete-past and refusals
# (a bad entry, a mistyped option that must not start the tray program, output that cannot be
# written), checking their output to the byte (UTF-8), their exit statuses and the schedule file's
# bytes (Shift_JIS, CR LF); on Linux, that Qt's own options still reach Qt and that
# --install-desktop-entry refuses what it cannot write; then many --add processes at once, none
# of whose entries may be lost. A Windows program runs under Wine (scripts/wine-run.sh) with its output
# redirected to files, as a script on Windows would take it.
#
# Usage: scripts/e2e-command-line.sh PROGRAM
#   PROGRAM: dist/linux/quietus or build/linux/platform/qt/quietus, or a Quietus.exe of the
#   win64 preset (dist/win64, build/win64/platform/win32); CTest runs it on the built program.
set -euo pipefail
scripts=$(cd "$(dirname "$0")" && pwd)
[ $# -eq 1 ] && [ -f "$1" ] || { echo "usage: $0 PROGRAM (quietus or Quietus.exe)" >&2; exit 1; }
program=$(realpath "$1")
name=$(basename "$program")

work=$(mktemp -d /tmp/quietus-cli.XXXXXX)
trap 'rm -rf "$work"' EXIT
mkdir "$work/program"
cp "$program" "$work/program/$name"  # a copy: the program folder is where the real file lies
schedule=$work/program/Dtddta.wet
run=("$work/program/$name")
case $name in
  *.exe)
    run=("$scripts/wine-run.sh" "$work/program/$name")
    export LC_ALL=C.UTF-8  # Wine hands the arguments on in the locale's encoding
    ;;
esac

fail() {
  printf 'e2e-command-line: FAILED: %s\n' "$*" >&2
  exit 1
}
note() { printf '  %-58s ok\n' "$1"; }

# qm ARGS...: runs the program; its status in $status, its output in $work/out and $work/err.
limit=120
qm() {
  set +e
  timeout "$limit" "${run[@]}" "$@" >"$work/out" 2>"$work/err"  # a tray program started by mistake ends here
  status=$?
  set -e
}

# expect WHAT STATUS OUT: the status and all of standard output; nothing on standard error.
expect() {
  [ "$status" -eq "$2" ] || fail "$1: status $status, not $2 ($(cat "$work/err"))"
  printf '%s' "$3" | cmp -s - "$work/out" || fail "$1: standard output was: $(cat "$work/out")"
  [ ! -s "$work/err" ] || fail "$1: standard error was: $(cat "$work/err")"
  note "$1"
}

# refused WHAT TEXT: status 2, nothing on standard output, one line holding TEXT on standard error.
refused() {
  [ "$status" -eq 2 ] || fail "$1: status $status, not 2 ($(cat "$work/err"))"
  [ ! -s "$work/out" ] || fail "$1: standard output was: $(cat "$work/out")"
  [ "$(wc -l <"$work/err")" -eq 1 ] && grep -qF -- "$2" "$work/err" || fail "$1: standard error was: $(cat "$work/err")"
}

# expect_file LINE...: the schedule file holds these lines, in Shift_JIS, each ended by CR LF.
expect_file() {
  printf '%s\r\n' "$@" | iconv -f UTF-8 -t CP932 >"$work/expected"
  cmp -s "$work/expected" "$schedule" || fail "the schedule file's bytes: $(xxd "$schedule" | head -5)"
}

printf 'The command line: %s\n' "$program"

# Dated entries only, the last day the two-digit year can hold and one long past: what is due
# does not depend on today.
qm --add "29年12月31日 23時59分　再起動"
expect "--add a line as the windows write it" 0 $'予定を追加しました: 29年12月31日 23時59分　再起動\n'
qm --add --at 7:05 --date 2029-12-30 --method shutdown
expect "--add --at --date --method" 0 $'予定を追加しました: 29年12月30日 07時05分　ｼｬｯﾄﾀﾞｳﾝ\n'
qm --add "98年12月05日 12時00分　ログオフ"
expect "--add a past entry" 0 $'予定を追加しました: 98年12月05日 12時00分　ログオフ\n'
expect_file "29年12月31日 23時59分　再起動" "29年12月30日 07時05分　ｼｬｯﾄﾀﾞｳﾝ" "98年12月05日 12時00分　ログオフ"
note "the file: Shift_JIS, CR LF"

qm --list
expect "--list marks the entry due next" 0 \
  $'  29年12月31日 23時59分　再起動\n* 29年12月30日 07時05分　ｼｬｯﾄﾀﾞｳﾝ\n  98年12月05日 12時00分　ログオフ\n'
qm --next
expect "--next" 0 $'2029-12-30 07:05 29年12月30日 07時05分　ｼｬｯﾄﾀﾞｳﾝ\n'

qm --delete-past
expect "--delete-past" 0 $'過去の日付の予定を1件削除しました\n'
expect_file "29年12月31日 23時59分　再起動" "29年12月30日 07時05分　ｼｬｯﾄﾀﾞｳﾝ"
note "the file without the past entry"

cp "$schedule" "$work/before"
qm --add "29年02月29日 12時00分　再起動"
refused "an impossible date" '有り得ない日付です'
cmp -s "$work/before" "$schedule" || fail "an impossible date: the file changed"
note "an impossible date: one line, status 2, the file as it was"

# A mistyped option is refused at once: the tray program it once started never ended by itself.
limit=30
qm --lsit
limit=120
[ "$status" -ne 124 ] || fail "--lsit started the tray program"
refused "--lsit" '不明なオプションです: --lsit'
note "--lsit: refused at once, one line, status 2"

set +e
"${run[@]}" --list >/dev/full 2>"$work/err"
status=$?
set -e
: >"$work/out"
refused "--list >/dev/full" '標準出力に書き込めませんでした'
note "--list to a full device: status 2"

case $name in
  *.exe) ;;
  *)
    # Qt's own options start the tray program, through Qt: a platform Qt has no plugin for ends
    # it in Qt's own words, before any window.
    set +e
    { (ulimit -c 0 && timeout 30 "${run[@]}" -platform qm-none) >"$work/out" 2>"$work/err"; } 2>/dev/null
    status=$?
    set -e
    [ "$status" -ne 0 ] && [ "$status" -ne 2 ] && [ "$status" -ne 124 ] && grep -q 'qm-none' "$work/err" ||
      fail "-platform did not reach Qt: status $status, standard error: $(cat "$work/err")"
    note "-platform reaches Qt"

    # A menu entry it cannot write: no folder to write to, or a program path Exec cannot hold.
    printf 'x' >"$work/no-folder"
    export XDG_DATA_HOME=$work/no-folder
    qm --install-desktop-entry
    refused "--install-desktop-entry, unwritable" '書き込めませんでした'
    mkdir "$work/"$'\xff'
    cp "$program" "$work/"$'\xff'"/$name"
    export XDG_DATA_HOME=$work/data
    set +e
    "$work/"$'\xff'"/$name" --install-desktop-entry >"$work/out" 2>"$work/err"
    status=$?
    set -e
    unset XDG_DATA_HOME
    refused "--install-desktop-entry, a path not UTF-8" 'Exec'
    [ ! -e "$work/data" ] || fail "--install-desktop-entry, a path not UTF-8: wrote $(find "$work/data")"
    note "--install-desktop-entry refuses what it cannot write: status 2"
    ;;
esac

# Writers at once: every --add that says it saved (status 0) is in the file, once, after the lines
# that were there; every refused one (status 2) is not; the file is whole and no temporary file is
# left. Quietus.exe starts slowly under Wine, so fewer of them, over a long schedule whose saves
# take a while.
case $name in
  *.exe) writers=10 filler=20000 ;;
  *) writers=50 filler=500 ;;
esac
awk -v n="$filler" 'BEGIN { for (i = 0; i < n; i++) printf "99年01月01日 %02d時%02d分　ログオフ\r\n", int(i / 60) % 24, i % 60 }' |
  iconv -f UTF-8 -t CP932 >>"$schedule"
cp "$schedule" "$work/before"
pids=()
for ((i = 0; i < writers; i++)); do
  printf '29年11月%02d日 %02d時%02d分　再起動\n' $((i / 24 + 1)) $((i % 24)) $((i % 60)) >"$work/entry.$i"
  timeout 300 "${run[@]}" --add "$(cat "$work/entry.$i")" >"$work/add.$i.out" 2>"$work/add.$i.err" &
  pids+=($!)
done
: >"$work/saved"
refused=0
for i in "${!pids[@]}"; do
  set +e
  wait "${pids[$i]}"
  status=$?
  set -e
  entry=$(cat "$work/entry.$i")
  case $status in
    0) printf '%s\n' "$entry" >>"$work/saved" ;;
    2)
      refused=$((refused + 1))
      [ "$(wc -l <"$work/add.$i.err")" -eq 1 ] || fail "a refused writer: standard error was: $(cat "$work/add.$i.err")"
      ;;
    *) fail "writer $i: status $status ($(cat "$work/add.$i.err"))" ;;
  esac
done
[ -s "$work/saved" ] || fail "of $writers writers at once none saved: $(cat "$work/add.0.err")"
size=$(stat -c %s "$work/before")
head -c "$size" "$schedule" | cmp -s - "$work/before" || fail "writers at once: the lines before them changed"
tail -c +$((size + 1)) "$schedule" | iconv -f CP932 -t UTF-8 >"$work/added" || fail "writers at once: not Shift_JIS"
[ "$(grep -c $'\r$' "$work/added")" -eq "$(wc -l <"$work/added")" ] && [ "$(tail -c 2 "$schedule" | xxd -p)" = 0d0a ] ||
  fail "writers at once: a line without CR LF"
tr -d '\r' <"$work/added" | sort | cmp -s - <(sort "$work/saved") ||
  fail "writers at once: the file's new lines are not those saved: $(tr -d '\r' <"$work/added" | sort | diff - <(sort "$work/saved"))"
! ls "$work/program" | grep -q '\.tmp$' || fail "writers at once: a temporary file was left: $(ls "$work/program")"
note "$writers --add at once: $(wc -l <"$work/saved") saved, $refused refused, none lost"

# A resident program picking up --add at once is shown by scripts/e2e-linux.sh (the log-off
# desktop adds its due entry with --add two seconds ahead, and the warning must open at its second).

printf 'The command line: all checks passed\n'
