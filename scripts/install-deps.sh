#!/usr/bin/env bash
# Installs the system packages Quillo needs to build and test, only those missing.
# Debian (bookworm or later); run as root or through sudo.
set -euo pipefail

# Extra packages may be named on the command line (make bench asks for ffmpeg).
packages=(
  cmake make g++ clang libclang-rt-14-dev googletest libgtest-dev
  g++-mingw-w64-i686 binutils-mingw-w64-i686
  # The 64-bit toolchain and Wine run the Windows tests on kernels without 32-bit support.
  g++-mingw-w64-x86-64 binutils-mingw-w64-x86-64
  wine wine32 wine64 fonts-wine xvfb xauth x11-utils imagemagick time
  # Wine takes its ANSI code page from the locale: ja_JP gives code page 932.
  locales
  # make dist: the archives and a check of the man page.
  zip man-db
  "$@"
)

need_i386=0
dpkg --print-foreign-architectures | grep -qx i386 || need_i386=1

missing=()
for p in "${packages[@]}"; do
  status=$(dpkg-query -W -f='${Status}' "$p" 2>/dev/null || true)
  # wine32 is an i386 package; ask for it by its architecture.
  [ "$p" = wine32 ] && status=$(dpkg-query -W -f='${Status}' wine32:i386 2>/dev/null || true)
  case "$status" in *"ok installed"*) ;; *) missing+=("$p") ;; esac
done

has_japanese_locale() { locale -a 2>/dev/null | grep -qix 'ja_JP.utf-\?8'; }

add_japanese_locale() {
  has_japanese_locale && return 0
  echo "install-deps: generating the ja_JP.UTF-8 locale for the code page 932 tests"
  $SUDO localedef -i ja_JP -f UTF-8 ja_JP.UTF-8
}

SUDO=""
[ "$(id -u)" = 0 ] || SUDO=sudo

if [ "$need_i386" = 0 ] && [ "${#missing[@]}" = 0 ]; then
  add_japanese_locale
  exit 0
fi

export DEBIAN_FRONTEND=noninteractive

if [ "$need_i386" = 1 ]; then
  echo "install-deps: enabling the i386 architecture for wine32"
  $SUDO dpkg --add-architecture i386
fi
echo "install-deps: installing ${missing[*]}"
$SUDO apt-get update -qq
# shellcheck disable=SC2068
$SUDO apt-get install -y -qq --no-install-recommends ${missing[@]/wine32/wine32:i386} >/dev/null
add_japanese_locale
echo "install-deps: done"
