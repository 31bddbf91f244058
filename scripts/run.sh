#!/usr/bin/env bash
# Builds QuietusMachine for this Linux desktop and starts it in the tray. With no display it
# starts a virtual one with a tray host, runs the program there and saves a screenshot.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/deps.sh run
exec scripts/run-linux.sh "$@"
