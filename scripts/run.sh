#!/usr/bin/env bash
# Builds Pinlet and starts it. Without a display it starts a virtual one (Xvfb with a tray),
# saves a screenshot after a few seconds and prints its path.
# PINLET_RUN_SECONDS=N ends the program after N seconds (for unattended runs).
set -euo pipefail
here="$(cd "$(dirname "$0")/.." && pwd)"
build="$here/build"
"$here/scripts/deps.sh"
cmake -S "$here" -B "$build" -G Ninja >/dev/null
cmake --build "$build" -j"$(nproc)" --target Pinlet
pids=()
cleanup() { for p in "${pids[@]}"; do kill "$p" 2>/dev/null || true; done; }
trap cleanup EXIT
virtual=0
if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ]; then
    exec 3< <(exec Xvfb -displayfd 1 -screen 0 1280x800x24 -nolisten tcp 2>/dev/null)
    pids+=($!)
    read -r num <&3
    export DISPLAY=":$num"
    trayer --edge bottom --align right --width 10 --height 24 >/dev/null 2>&1 &
    pids+=($!)
    virtual=1
    echo "Started a virtual display $DISPLAY"
fi
"$build/bin/Pinlet" "$@" &
app=$!
pids+=("$app")
if [ "$virtual" = 1 ]; then
    sleep 3
    mkdir -p "$here/shots"
    shot="$here/shots/pinlet-$(date +%Y%m%d-%H%M%S).png"
    import -window root "$shot" && echo "Screenshot: $shot"
fi
if [ -n "${PINLET_RUN_SECONDS:-}" ]; then
    sleep "$PINLET_RUN_SECONDS"
    kill "$app" 2>/dev/null || true
fi
wait "$app" || true
