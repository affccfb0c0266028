#!/usr/bin/env bash
# Start-up benchmark of Pinlet on a virtual display. Prints time to the main window and idle memory.
set -euo pipefail
here="$(cd "$(dirname "$0")/.." && pwd)"
build="${1:-$here/build}"
cmake -S "$here" -B "$build" -G Ninja >/dev/null
cmake --build "$build" --target bench_startup Pinlet >/dev/null
exec "$here/tests/run-on-xvfb.sh" "$build/bin/bench_startup"
