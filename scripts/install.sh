#!/usr/bin/env bash
# make install: srt2rt and its man page under PREFIX (with DESTDIR in front).
# Usage: install.sh DESTDIR_AND_PREFIX
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
target=$1
version=$("$root/scripts/project-version.sh" "$root/build/native")
epoch=$(git -C "$root" log -1 --format=%ct 2>/dev/null || date +%s)
install -D -m 755 "$root/build/native/srt2rt" "$target/bin/srt2rt"
install -d "$target/share/man/man1"
"$root/scripts/man-page.sh" "$version" "$epoch" >"$target/share/man/man1/srt2rt.1"
chmod 644 "$target/share/man/man1/srt2rt.1"
echo "installed $target/bin/srt2rt and $target/share/man/man1/srt2rt.1"
