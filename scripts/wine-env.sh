# Sourced by the other scripts: the Wine set-up every run of a Windows build uses.
# Sets QUILLO_WIN_ARCH (win32, or win64 where the kernel runs no 32-bit code),
# QUILLO_WINE (the loader), and a private, quiet WINEPREFIX under build/.
QUILLO_ROOT=${QUILLO_ROOT:-$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)}

if [ -z "${QUILLO_WIN_ARCH:-}" ]; then
  # Some kernels are built without 32-bit support: Wine's 32-bit loader then
  # cannot start, and the 64-bit build of the same sources is what we test.
  if [ -x /usr/lib/wine/wine ] && /usr/lib/wine/wine --version >/dev/null 2>&1; then
    QUILLO_WIN_ARCH=win32
  else
    QUILLO_WIN_ARCH=win64
  fi
fi
if [ "$QUILLO_WIN_ARCH" = win32 ]; then
  QUILLO_WINE=${QUILLO_WINE:-/usr/lib/wine/wine}
else
  QUILLO_WINE=${QUILLO_WINE:-/usr/lib/wine/wine64}
fi
export QUILLO_ROOT QUILLO_WIN_ARCH QUILLO_WINE
export WINEPREFIX=${WINEPREFIX:-$QUILLO_ROOT/build/wineprefix-$QUILLO_WIN_ARCH}
export WINEDEBUG=${WINEDEBUG:--all}
# No Mono or Gecko install prompts.
export WINEDLLOVERRIDES=${WINEDLLOVERRIDES:-mscoree,mshtml=}
export WINESERVER=${WINESERVER:-/usr/lib/wine/wineserver64}
[ -x "$WINESERVER" ] || WINESERVER=/usr/lib/wine/wineserver32

# Creates the prefix once, with the crash dialog off so that a failing test
# ends instead of waiting for someone to click, and the in-process UI tests'
# windows unmanaged: on a virtual screen without a window manager a managed
# window takes two seconds to open. (Quillo.exe keeps its frame for `make run`;
# its GUI tests switch it for their own run.) Wine draws caption buttons with
# Marlett, and Debian's Wine does not find the copy in fonts-wine by itself: the
# close box would show a bare "r". Bump the marker's version when the settings
# change, so existing prefixes take them.
quillo_wine_prefix() {
  local marker="$WINEPREFIX/.quillo-ready" version=3
  if [ "$(cat "$marker" 2>/dev/null)" != "$version" ]; then
    mkdir -p "$WINEPREFIX"
    "$QUILLO_WINE" wineboot -i >/dev/null 2>&1 || true
    "$QUILLO_WINE" reg add 'HKCU\Software\Wine\WineDbg' /v ShowCrashDialog /t REG_DWORD /d 0 /f \
      >/dev/null 2>&1
    "$QUILLO_WINE" reg add 'HKCU\Software\Wine\AppDefaults\ui_tests.exe\X11 Driver' \
      /v Managed /t REG_SZ /d N /f >/dev/null 2>&1
    if [ -f /usr/share/wine/fonts/marlett.ttf ]; then
      cp /usr/share/wine/fonts/marlett.ttf "$WINEPREFIX/drive_c/windows/Fonts/"
    fi
    "$WINESERVER" -w
    echo "$version" >"$marker"
  fi
}
