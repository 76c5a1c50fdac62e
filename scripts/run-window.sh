#!/usr/bin/env bash
# Opens Quillo's window (`make run`). Where there is no display, shows it on a
# virtual screen instead, converts the bundled sample through it as a user
# would, and keeps screenshots of the window and its About box, all under
# build/demo/: the checkout stays clean. `--screenshots` (make screenshots)
# runs the same demo and refreshes the README's pictures in docs/.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
source "$root/scripts/wine-env.sh"
# QUILLO_BUILD_DIR points at another build tree of the Windows programs.
arch_dir=${QUILLO_BUILD_DIR:-$root/build/$QUILLO_WIN_ARCH}

mode=${1:-}
if [ "$mode" = --screenshots ]; then
  exec "$root/scripts/with-display.sh" "$0" --demo --screenshots
fi
if [ "$mode" != --demo ]; then
  if [ -n "${DISPLAY:-}" ]; then
    quillo_wine_prefix
    echo "run-window: starting $arch_dir/Quillo.exe under Wine"
    exec "$QUILLO_WINE" "$arch_dir/Quillo.exe"
  fi
  echo "run-window: no display (DISPLAY is not set): showing the window on a virtual screen"
  echo "run-window: and converting examples/sample.srt through it instead."
  exec "$root/scripts/with-display.sh" "$0" --demo
fi

# --demo: runs under with-display.sh, which provides the screen and the Wine session.
refresh_docs=0
[ "${2:-}" = --screenshots ] && refresh_docs=1
sample="$root/examples/sample.srt"
demo_dir="$root/build/demo"
document="$demo_dir/sample.rt"
demo="$arch_dir/tests/gui/gui_demo.exe"
for needed in "$sample" "$demo" "$arch_dir/Quillo.exe"; do
  [ -f "$needed" ] || { echo "run-window: $needed is missing (run make build)" >&2; exit 1; }
done
mkdir -p "$demo_dir"
rm -f "$document"

# Wine's name for a Unix path: the whole file system is drive Z:.
windows_path() {
  local path
  path=$(realpath -m "$1")
  echo "Z:${path//\//\\}"
}

cd "$demo_dir"
coproc DEMO {
  QUILLO_EXE=$(windows_path "$arch_dir/Quillo.exe") \
    "$QUILLO_WINE" "$demo" "$(windows_path "$sample")" "$(windows_path "$document")" 2>&1
}
demo_out=${DEMO[0]}
demo_in=${DEMO[1]}
converted=0
# The demo answers within seconds; Wine's own helpers may keep the pipe open
# after it has ended, so the loop stops at the last word instead of at EOF.
while IFS= read -r -t 60 line <&"$demo_out"; do
  line=${line%$'\r'}
  case "$line" in
    shot\ *)
      read -r _ name left top width height <<<"$line"
      import -window root -display "$DISPLAY" -crop "${width}x${height}+${left}+${top}" \
        +repage "$demo_dir/$name.png"
      [ "$refresh_docs" = 0 ] || cp "$demo_dir/$name.png" "$root/docs/$name.png"
      echo taken >&"$demo_in"
      ;;
    converted)
      converted=1
      break
      ;;
    *)
      echo "$line"
      [[ "$line" == gui_demo:* ]] && break
      ;;
  esac
done
wait "$DEMO_PID" 2>/dev/null || true

if [ "$converted" != 1 ]; then
  echo "run-window: the demo did not complete" >&2
  exit 1
fi
echo "run-window: converted examples/sample.srt through the window:"
echo "  document:    ${document#"$root"/}"
if [ "$refresh_docs" = 1 ]; then
  echo "  screenshots: build/demo/window.png, build/demo/about.png, copied to docs/"
else
  echo "  screenshots: build/demo/window.png, build/demo/about.png (make screenshots refreshes docs/)"
fi
