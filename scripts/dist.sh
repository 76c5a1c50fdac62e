#!/usr/bin/env bash
# make dist: packs the programs that build/win32 and build/native hold (the
# ones `make test` ran) into build/dist/. The same commit gives the same bytes
# wherever and whenever it is packed: every time stored is the commit's.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
dist=$root/build/dist
stage=$dist/stage
version=$("$root/scripts/project-version.sh" "$root/build/native")
win_version=$("$root/scripts/project-version.sh" "$root/build/win32")
[ "$version" = "$win_version" ] || { echo "dist: build/native is $version, build/win32 $win_version: rebuild" >&2; exit 1; }
export SOURCE_DATE_EPOCH=${SOURCE_DATE_EPOCH:-$(git -C "$root" log -1 --format=%ct)}
export TZ=UTC LC_ALL=C

# Small enough to mail: a size that grows past these means something heavy was linked in.
check_size() {  # check_size FILE LIMIT_BYTES
  local size
  size=$(stat -c %s "$1")
  if [ "$size" -gt "$2" ]; then
    echo "dist: $(basename "$1") is $size bytes, over its limit of $2" >&2
    exit 1
  fi
  printf 'dist: %-11s %7d bytes (limit %d)\n' "$(basename "$1")" "$size" "$2"
}
check_size "$root/build/win32/Quillo.exe" 250000
# srt2rt.exe's was 300,000 until retiming and the reading limits came (about
# 45 KB of our own code, no library): raised once, for them.
check_size "$root/build/win32/srt2rt.exe" 360000

crlf() { sed 's/$/\r/' "$1"; }  # Notepad's line ends
# README.txt holds accented messages: a byte-order mark tells every Notepad it is UTF-8.
readme() { printf '\xEF\xBB\xBF'; crlf "$1"; }

rm -rf "$dist"
win=quillo-$version-win32
linux=srt2rt-$version-linux-$(uname -m)
mkdir -p "$stage/$win" "$stage/$linux"
cp "$root/build/win32/Quillo.exe" "$root/build/win32/srt2rt.exe" "$stage/$win/"
readme "$root/docs/README.txt" >"$stage/$win/README.txt"
crlf "$root/LICENSE" >"$stage/$win/LICENSE.txt"
cp "$root/build/native/srt2rt" "$root/LICENSE" "$stage/$linux/"
"$root/scripts/man-page.sh" "$version" "$SOURCE_DATE_EPOCH" >"$stage/$linux/srt2rt.1"
if command -v man >/dev/null; then
  warnings=$(LC_ALL=C.UTF-8 MANWIDTH=80 man --warnings -l "$stage/$linux/srt2rt.1" 2>&1 >/dev/null)
  [ -z "$warnings" ] || { echo "dist: the man page renders with warnings:" >&2; echo "$warnings" >&2; exit 1; }
fi

# Modes and times as the archive should hold them, not as this checkout has them.
find "$stage" -type d -exec chmod 755 {} +
find "$stage" -type f -exec chmod 644 {} +
chmod 755 "$stage/$win/"*.exe "$stage/$linux/srt2rt"
find "$stage" -exec touch -h -d "@$SOURCE_DATE_EPOCH" {} +

(cd "$stage" && find "$win" | sort | zip -X -q -@ "$dist/$win.zip")
tar -C "$stage" --sort=name --mtime="@$SOURCE_DATE_EPOCH" --owner=0 --group=0 --numeric-owner \
  --format=gnu -cf - "$linux" | gzip -n -9 >"$dist/$linux.tar.gz"
rm -rf "$stage"
(cd "$dist" && sha256sum "$win.zip" "$linux.tar.gz" >SHA256SUMS)
git -C "$root" rev-parse HEAD >"$root/build/dist.commit"  # which commit build/dist holds
echo "dist: build/dist/$win.zip, build/dist/$linux.tar.gz and SHA256SUMS:"
sed 's/^/  /' "$dist/SHA256SUMS"
