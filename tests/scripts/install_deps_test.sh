#!/usr/bin/env bash
# install-deps against a stand-in apt-get that fails as a mirror caught
# mid-sync does: the update cannot fetch one index, and the install cannot be
# resolved until the release's own suite is the target release.
set -uo pipefail
script=$(cd "$(dirname "$0")/../.." && pwd)/scripts/install-deps.sh
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
failures=0
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }

mkdir "$work/bin"
stand_in() { printf '#!/bin/bash\n%s\n' "$2" >"$work/bin/$1"; chmod +x "$work/bin/$1"; }
# Every call is logged; $work/installed lists what dpkg knows as installed.
stand_in apt-get 'echo "apt-get $*" >>"$WORK/calls"
case "$1" in
  update) echo "E: Failed to fetch .../binary-i386/Packages.xz  File has unexpected size (374820 != 376004). Mirror sync in progress?" >&2; exit 100 ;;
esac
if [[ " $* " == *" -t bookworm "* ]]; then
  for p in "$@"; do [[ " $UNINSTALLABLE " == *" $p "* ]] && { echo "E: Unable to locate package $p" >&2; exit 100; }; done
  exit 0
fi
echo " zlib1g:i386 : Depends: libc6:i386 but it is not going to be installed" >&2
echo "E: Unable to correct problems, you have held broken packages." >&2
exit 100'
stand_in dpkg-query 'grep -qx "${@: -1}" "$WORK/installed" 2>/dev/null && echo "install ok installed"; exit 0'
stand_in dpkg 'case "$1" in --print-foreign-architectures) cat "$WORK/arches" 2>/dev/null ;; esac; exit 0'
stand_in clang 'echo 16.0.6'
stand_in locale 'echo ja_JP.utf8'
stand_in sudo 'exec "$@"'
stand_in id 'echo 0'
printf 'VERSION_CODENAME=bookworm\n' >"$work/os-release"
export WORK=$work PATH="$work/bin:$PATH" QUILLO_APT_RETRY_PAUSE=0 QUILLO_OS_RELEASE=$work/os-release
export UNINSTALLABLE=""

# A mirror mid-sync: three updates, the install again from bookworm alone, done.
out=$("$script" 2>&1) || fail "mid-sync mirror: exit $?: $out"
[ "$(grep -c '^apt-get update' "$work/calls")" = 3 ] || fail "mid-sync mirror: update not tried 3 times"
grep -q 'going on with the package lists apt has: E: Failed to fetch' <<<"$out" || fail "mid-sync mirror: no word of the missing index: $out"
grep -q 'trying again from bookworm alone' <<<"$out" || fail "mid-sync mirror: no fallback to bookworm: $out"
grep -q '^apt-get install .*-t bookworm.* wine32:i386 .*libclang-rt-16-dev' "$work/calls" ||
  fail "mid-sync mirror: the fallback install is not what was missing: $(cat "$work/calls")"

# Truly unavailable: exit 1, naming the package and apt's reason.
rm -f "$work/calls"
UNINSTALLABLE=wine32:i386 out=$("$script" 2>&1) && fail "unavailable package: exit 0"
grep -q '^  wine32:i386: E: Unable to locate package wine32:i386' <<<"$out" ||
  fail "unavailable package: not named with its reason: $out"

# Nothing missing: apt is not asked at all.
rm -f "$work/calls"
{ sed -n '/^base_packages=(/,/^)/p' "$script" | grep -v '^ *#' | tr ' ' '\n' | grep -v -e '^base_packages=(' -e '^)' -e '^$'
  echo libclang-rt-16-dev; } >"$work/installed"
echo i386 >"$work/arches"
out=$("$script" 2>&1) || fail "all installed: exit $?: $out"
[ ! -e "$work/calls" ] || fail "all installed: apt-get was called: $(cat "$work/calls")"

echo "install-deps fallbacks: $((3 - failures)) passed, $failures failed"
[ "$failures" = 0 ]
