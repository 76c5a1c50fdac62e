#!/usr/bin/env bash
# Runs a command with a private virtual screen (Xvfb) and Wine session, then
# stops both, so no process outlives the command. Usage: with-display.sh CMD...
set -euo pipefail
source "$(dirname "$0")/wine-env.sh"

display=90
while [ -e "/tmp/.X${display}-lock" ] || [ -e "/tmp/.X11-unix/X${display}" ]; do
  display=$((display + 1))
done
Xvfb ":$display" -screen 0 1024x768x24 -nolisten tcp >/dev/null 2>&1 &
xvfb_pid=$!
cleanup() {
  "$WINESERVER" -k >/dev/null 2>&1 || true
  kill "$xvfb_pid" >/dev/null 2>&1 || true
  wait "$xvfb_pid" 2>/dev/null || true
}
trap cleanup EXIT
for _ in $(seq 100); do
  [ -e "/tmp/.X11-unix/X${display}" ] && break
  sleep 0.1
done
export DISPLAY=":$display"
quillo_wine_prefix
# One Wine session for the whole command: each program then starts in a
# fraction of a second instead of booting the session again.
"$WINESERVER" -p
"$QUILLO_WINE" cmd /c exit >/dev/null 2>&1 || true
"$@"
