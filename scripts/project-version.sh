#!/usr/bin/env bash
# Prints the project version as CMake configured it into a build folder.
# Usage: project-version.sh BUILD_DIR
set -euo pipefail
version=$(sed -n 's/^CMAKE_PROJECT_VERSION:STATIC=//p' "$1/CMakeCache.txt")
[ -n "$version" ] || { echo "no project version in $1/CMakeCache.txt: configure it first" >&2; exit 1; }
echo "$version"
