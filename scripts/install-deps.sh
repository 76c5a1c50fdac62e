#!/usr/bin/env bash
# Installs the system packages Quillo needs to build and test, only those
# missing, and the ja_JP.UTF-8 locale. Debian (bookworm or later); run as root
# or through sudo. Every `make` run asks this script once: it alone decides what
# is missing, and returns at once when nothing is.
#
# A mirror caught mid-sync is the usual way a first install fails: one index
# (often an i386 one of the security suite) has the wrong size, `apt-get update`
# exits 100, and the amd64 candidates then come from a suite whose i386 half is
# missing, so Multi-Arch packages (wine32) cannot be resolved. The script retries
# the update, goes on with the lists it has, and falls back to the release's own
# suite as the target release.
set -euo pipefail
# (Pipes into grep read all of their input: `grep -q` stops at the first
# match, and the writer it cuts off would fail the pipeline.)

# Pauses between tries; the test of the fallbacks sets it to 0.
retry_pause=${QUILLO_APT_RETRY_PAUSE:-5}
os_release=${QUILLO_OS_RELEASE:-/etc/os-release}

say() { echo "install-deps: $*"; }

# The fuzzers need clang's runtime of the very clang they build with.
clang_runtime() {
  local major=""
  if command -v clang >/dev/null; then
    major=$(clang -dumpversion 2>/dev/null | cut -d. -f1)
  else
    # The candidate of the `clang` package, "1:14.0-55.7~deb12u1", is major 14.
    major=$(apt-cache policy clang 2>/dev/null | sed -n 's/^ *Candidate: *\([0-9]*:\)\{0,1\}\([0-9]*\).*/\2/p')
  fi
  echo "libclang-rt-${major:-14}-dev"
}

base_packages=(
  cmake make g++ clang googletest libgtest-dev
  g++-mingw-w64-i686 binutils-mingw-w64-i686
  # The 64-bit toolchain and Wine run the Windows tests on kernels without 32-bit support.
  g++-mingw-w64-x86-64 binutils-mingw-w64-x86-64
  wine wine32:i386 wine64 fonts-wine xvfb xauth x11-utils imagemagick time
  # Wine takes its ANSI code page from the locale: ja_JP gives code page 932.
  locales
  # make dist: the archives and a check of the man page.
  zip man-db
)

installed() {
  case "$(dpkg-query -W -f='${Status}' "$1" 2>/dev/null || true)" in
    *"ok installed"*) return 0 ;;
    *) return 1 ;;
  esac
}

# Extra packages may be named on the command line (make bench asks for ffmpeg).
missing_packages() {
  local p
  for p in "${base_packages[@]}" "$(clang_runtime)" "$@"; do
    installed "$p" || echo "$p"
  done
}

has_japanese_locale() { locale -a 2>/dev/null | grep -ix 'ja_JP.utf-\?8' >/dev/null; }

SUDO=""
[ "$(id -u)" = 0 ] || SUDO=sudo

# Retries a failed update, then goes on with whatever lists it fetched: an
# index that is still missing only matters if the install needs it.
update_lists() {
  local try output
  for try in 1 2 3; do
    if output=$($SUDO apt-get update -qq 2>&1); then
      return 0
    fi
    if [ "$try" -lt 3 ]; then
      say "apt-get update failed (try $try of 3), trying again in ${retry_pause}s"
      sleep "$retry_pause"
    fi
  done
  say "going on with the package lists apt has: $(grep -m1 '^E:' <<<"$output" || echo "apt-get update failed")"
}

install_packages() { $SUDO apt-get install -y -qq --no-install-recommends "$@" 2>&1 >/dev/null; }

# Names the packages that cannot be had, each with apt's reason.
explain_failure() {
  local release=$1 p reason
  shift
  say "cannot install these packages:" >&2
  for p in "$@"; do
    if reason=$($SUDO apt-get install -s -qq -t "$release" "$p" 2>&1 >/dev/null); then
      continue
    fi
    reason=$(grep -m1 -E "^E:|Depends:|Unable to locate" <<<"$reason" | sed 's/^ *//')
    echo "  $p: ${reason:-apt-get could not install it}" >&2
  done
}

main() {
  local missing=() p need_i386=0
  while IFS= read -r p; do missing+=("$p"); done < <(missing_packages "$@")
  dpkg --print-foreign-architectures | grep -x i386 >/dev/null || need_i386=1

  if [ "$need_i386" = 1 ] || [ "${#missing[@]}" != 0 ]; then
    export DEBIAN_FRONTEND=noninteractive
    if [ "$need_i386" = 1 ]; then
      say "enabling the i386 architecture for wine32"
      $SUDO dpkg --add-architecture i386
    fi
    update_lists
    # clang's runtime can only be named once the lists know clang.
    missing=()
    while IFS= read -r p; do missing+=("$p"); done < <(missing_packages "$@")
    say "installing ${missing[*]}"
    local output release
    if ! output=$(install_packages "${missing[@]}"); then
      release=$(. "$os_release" && echo "${VERSION_CODENAME:-}")
      [ -n "$release" ] || { echo "$output" >&2; say "the install failed and $os_release names no release" >&2; exit 1; }
      say "the install could not be resolved ($(grep -m1 '^E:' <<<"$output" || echo "apt-get failed")); trying again from $release alone"
      if ! output=$(install_packages -t "$release" "${missing[@]}"); then
        echo "$output" >&2
        explain_failure "$release" "${missing[@]}"
        exit 1
      fi
    fi
  fi

  if ! has_japanese_locale; then
    say "generating the ja_JP.UTF-8 locale for the code page 932 tests"
    $SUDO localedef -i ja_JP -f UTF-8 ja_JP.UTF-8
  fi
  [ "${#missing[@]}" = 0 ] || say "done"
}

main "$@"
