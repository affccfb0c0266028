#!/usr/bin/env bash
# Builds Pinlet and runs every test. Usage: scripts/test.sh [build-folder] [ctest options]
set -euo pipefail
here="$(cd "$(dirname "$0")/.." && pwd)"
build="${1:-$here/build}"
shift || true
"$here/scripts/deps.sh"
cmake -S "$here" -B "$build" -G Ninja ${PINLET_CMAKE_ARGS:-} >/dev/null
cmake --build "$build" -j"$(nproc)"
cd "$build"
ctest --output-on-failure -j2 "$@"
