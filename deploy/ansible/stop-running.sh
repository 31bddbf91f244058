#!/bin/sh
# Stops the programs started from one program file (those whose file was replaced meanwhile too),
# waits up to five seconds for each to end, and prints their process ids. Run as a user it sees
# only that user's processes; as root, everyone's. Other programs of the same name stay.
#
# Usage: stop-running.sh /path/to/quietus   (the linux.yml playbook runs it with the script module)
set -eu
exe=$1
stopped=
for link in /proc/[0-9]*/exe; do
  case "$(readlink "$link" 2>/dev/null)" in "$exe" | "$exe (deleted)") ;; *) continue ;; esac
  pid=${link#/proc/}
  pid=${pid%/exe}
  if kill "$pid" 2>/dev/null; then stopped="$stopped $pid"; fi
done
for pid in $stopped; do
  n=0
  while kill -0 "$pid" 2>/dev/null && [ "$n" -lt 50 ]; do
    sleep 0.1
    n=$((n + 1))
  done
done
printf '%s\n' "${stopped# }"
