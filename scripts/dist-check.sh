#!/usr/bin/env bash
# make dist-check: `make dist` in two fresh clones of HEAD, in folders of
# different names and one after the other, must give identical archives. When
# this checkout's own build/dist was packed from HEAD unchanged, the programs
# `make test` ran must be those same bytes too.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
jobs=${JOBS:-2}
scratch=$(mktemp -d "${TMPDIR:-/tmp}/quillo-dist-check.XXXXXX")
trap 'rm -rf "$scratch"' EXIT

pack() {  # pack FOLDER: a clean clone of HEAD, its programs built and packed
  git clone -q --no-hardlinks "$root" "$1"
  echo "== dist-check: make dist in ${1#$scratch/}"
  (cd "$1" && make -s dist TESTS=OFF JOBS="$jobs" >"$1.log" 2>&1) || {
    tail -30 "$1.log" >&2
    echo "dist-check: make dist failed in a clean clone" >&2
    exit 1
  }
}
pack "$scratch/first/quillo"
pack "$scratch/second/a-longer-folder-name/q"

first=$scratch/first/quillo/build/dist
second=$scratch/second/a-longer-folder-name/q/build/dist
if ! cmp -s "$first/SHA256SUMS" "$second/SHA256SUMS"; then
  echo "dist-check: two builds of $(git -C "$root" rev-parse --short HEAD) differ:" >&2
  diff "$first/SHA256SUMS" "$second/SHA256SUMS" >&2 || true
  exit 1
fi
echo "dist-check: two clean builds are identical:"
sed 's/^/  /' "$first/SHA256SUMS"

packed=$(cat "$root/build/dist.commit" 2>/dev/null || true)
if [ -f "$root/build/dist/SHA256SUMS" ] && [ "$packed" = "$(git -C "$root" rev-parse HEAD)" ] &&
  [ -z "$(git -C "$root" status --porcelain)" ]; then
  if ! cmp -s "$first/SHA256SUMS" "$root/build/dist/SHA256SUMS"; then
    echo "dist-check: build/dist differs from the clean builds: what was tested is not what ships" >&2
    diff "$first/SHA256SUMS" "$root/build/dist/SHA256SUMS" >&2 || true
    exit 1
  fi
  echo "dist-check: and so is build/dist, whose programs make test ran"
elif [ -f "$root/build/dist/SHA256SUMS" ]; then
  echo "dist-check: build/dist was not compared: it was packed from another commit, or the checkout has changes"
fi
