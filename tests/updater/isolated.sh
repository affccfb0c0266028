#!/bin/sh
# Runs a test in a process namespace of its own where the system allows it (as root), so
# that ending programs by name can touch nothing outside the test.
if unshare --pid --fork --mount-proc true 2>/dev/null; then
    exec unshare --pid --fork --mount-proc --kill-child "$@"
fi
exec "$@"
