#!/usr/bin/env bash
# Runs one test program on a virtual X display of its own, with a tray host, and cleans up.
set -u
exec 3< <(exec Xvfb -displayfd 1 -screen 0 1280x800x24 -nolisten tcp 2>/dev/null)
xvfb=$!
read -r -t 20 num <&3 || { echo "Xvfb did not start"; exit 1; }
export DISPLAY=":$num"
trayer --edge bottom --align right --width 10 --height 24 >/dev/null 2>&1 &
tray=$!
unset WAYLAND_DISPLAY
"$@"
rc=$?
kill "$tray" 2>/dev/null
kill "$xvfb" 2>/dev/null
wait 2>/dev/null
exit $rc
