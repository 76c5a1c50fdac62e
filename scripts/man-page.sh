#!/usr/bin/env bash
# Prints srt2rt's man page with its version and date filled in.
# Usage: man-page.sh VERSION EPOCH   (the date is the commit's, for reproducible builds)
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
date=$(TZ=UTC date -d "@$2" +%Y-%m-%d)
sed -e "s/@VERSION@/$1/g" -e "s/@DATE@/$date/g" "$root/cli/srt2rt.1"
