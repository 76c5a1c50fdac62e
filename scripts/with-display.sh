#!/usr/bin/env bash
# Runs a command with a private virtual screen (Xvfb) and Wine session, then
# stops both, so no process outlives the command. Usage: with-display.sh CMD...
set -euo pipefail
source "$(dirname "$0")/wine-env.sh"

# Xvfb picks a free display itself and writes its number once it accepts
# connections, so two runs at once never take the same one.
fifo_dir=$(mktemp -d "${TMPDIR:-/tmp}/quillo-display.XXXXXX")
mkfifo "$fifo_dir/display"
Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp 3>"$fifo_dir/display" >/dev/null 2>&1 &
xvfb_pid=$!
cleanup() {
  "$WINESERVER" -k >/dev/null 2>&1 || true
  kill "$xvfb_pid" >/dev/null 2>&1 || true
  wait "$xvfb_pid" 2>/dev/null || true
  rm -rf "$fifo_dir"
}
trap cleanup EXIT
display=""
read -r -t 30 display <"$fifo_dir/display" || true
[ -n "$display" ] || { echo "with-display: Xvfb did not start" >&2; exit 1; }
# It answers from now on; ask once, so a display that cannot be used fails here.
for _ in $(seq 50); do
  xdpyinfo -display ":$display" >/dev/null 2>&1 && break
  sleep 0.1
done
export DISPLAY=":$display"
quillo_wine_prefix
# One Wine session for the whole command: each program then starts in a
# fraction of a second instead of booting the session again.
"$WINESERVER" -p
"$QUILLO_WINE" cmd /c exit >/dev/null 2>&1 || true
"$@"
