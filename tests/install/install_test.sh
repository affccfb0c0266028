#!/usr/bin/env bash
# Installs into a temporary prefix and runs the installed programs as a user would, from
# another current folder: the portable program folder when it can be written, the XDG data
# folder when it cannot. Also builds the .deb and checks its contents and the menu entry.
# Usage: install_test.sh <build-folder>   (needs an X display: run it under run-on-xvfb.sh)
set -u
build="$1"
pass=0
fail=0
check() { # check <description> <command...>
    local what="$1"; shift
    if "$@"; then pass=$((pass + 1)); echo "ok - $what"; else fail=$((fail + 1)); echo "not ok - $what"; fi
}
wait_for() { # wait_for <seconds> <command...>
    local end=$((SECONDS + $1)); shift
    until "$@"; do [ $SECONDS -ge $end ] && return 1; sleep 0.2; done
}
window_shown() { xdotool search --onlyvisible --name "$1" >/dev/null 2>&1; }

work=$(mktemp -d)
chmod 755 "$work"
pids=()
cleanup() { for p in "${pids[@]}"; do kill -9 "$p" 2>/dev/null; done; rm -rf "$work"; }
trap cleanup EXIT

prefix="$work/prefix"
cmake --install "$build" --prefix "$prefix" >/dev/null
folder="$prefix/lib/pinlet"
check "programs, help and sample settings are in the program folder" \
    test -x "$folder/Pinlet" -a -x "$folder/PinletUpdate" -a -f "$folder/PinletWebView.so" -a -f "$folder/Update.ini"
if [ -f "$build/../src/help/Pinlet.html" ] || ls "$folder"/*.html >/dev/null 2>&1; then
    check "the help file is in the program folder" test -f "$folder/Pinlet.html"
fi
check "the menu entry is valid" desktop-file-validate "$prefix/share/applications/pinlet.desktop"
check "the menu entry starts the installed program" \
    grep -qx "Exec=$folder/Pinlet" "$prefix/share/applications/pinlet.desktop"
check "icons in every size" test -f "$prefix/share/icons/hicolor/48x48/apps/pinlet.png" \
    -a -f "$prefix/share/icons/hicolor/256x256/apps/pinlet.png" -a -f "$prefix/share/icons/hicolor/scalable/apps/pinlet.svg"

# A portable install: started through the command link from another folder, it keeps its
# files in the program folder.
export XDG_RUNTIME_DIR="$work/runtime"
mkdir -p "$XDG_RUNTIME_DIR" && chmod 700 "$XDG_RUNTIME_DIR"
(cd / && exec "$prefix/bin/pinlet") &
pids+=($!)
check "the installed Pinlet shows its window" wait_for 30 window_shown '^Pinlet$'
check "its files are in the program folder" wait_for 10 test -f "$folder/Fav.Dat" -a -f "$folder/Config.INI"
kill -TERM "${pids[-1]}"; wait "${pids[-1]}" 2>/dev/null
check "SIGTERM ends it with code 0" test $? -eq 0
(cd / && exec "$prefix/bin/pinlet-update") &
pids+=($!)
check "the installed updater shows its wizard" wait_for 30 window_shown '^Pinlet Update$'
kill -9 "${pids[-1]}" 2>/dev/null

# A folder the user cannot write (a system-wide install): data go to the XDG data folder,
# and the updater leaves the files to the package manager.
if id nobody >/dev/null 2>&1 && [ "$(id -u)" -eq 0 ] && command -v runuser >/dev/null; then
    home="$work/home"
    mkdir -p "$home" "$work/rt-nobody"
    chown nobody "$home" "$work/rt-nobody"
    chmod 700 "$work/rt-nobody"
    rm -f "$folder/Fav.Dat" "$folder/Config.INI"
    as_nobody() { runuser -u nobody -- env HOME="$home" XDG_DATA_HOME="$home/data" XDG_RUNTIME_DIR="$work/rt-nobody" DISPLAY="$DISPLAY" "$@"; }
    (cd / && as_nobody "$prefix/bin/pinlet") &
    pids+=($!)
    check "a user who cannot write the program folder sees Pinlet" wait_for 30 window_shown '^Pinlet$'
    check "and Pinlet keeps the files in the XDG data folder" \
        wait_for 10 test -f "$home/data/Pinlet/Fav.Dat" -a -f "$home/data/Pinlet/Config.INI"
    check "nothing was written to the program folder" test ! -e "$folder/Fav.Dat" -a ! -e "$folder/Config.INI"
    pkill -9 -u nobody -x Pinlet 2>/dev/null
    (cd / && as_nobody "$prefix/bin/pinlet-update") &
    pids+=($!)
    check "the updater says the package manager updates this copy" wait_for 30 window_shown '^PinletUpdate$'
    check "and shows no wizard" bash -c "! xdotool search --onlyvisible --name '^Pinlet Update\$' >/dev/null"
    pkill -9 -u nobody -x PinletUpdate 2>/dev/null
else
    echo "skip - runs as root only: the read-only program folder is checked as the user nobody"
fi

# The Debian package.
if (cd "$build" && cpack -G DEB >/dev/null 2>&1); then
    deb=$(ls "$build"/pinlet_*.deb | head -n1)
    contents=$(dpkg-deb --contents "$deb" | awk '{print $6}')
    for f in ./usr/lib/pinlet/Pinlet ./usr/lib/pinlet/PinletUpdate ./usr/lib/pinlet/PinletWebView.so ./usr/lib/pinlet/Update.ini \
             ./usr/bin/pinlet ./usr/share/applications/pinlet.desktop \
             ./usr/share/icons/hicolor/48x48/apps/pinlet.png ./usr/share/icons/hicolor/scalable/apps/pinlet.svg; do
        check "the package holds $f" grep -qx -- "$f" <<<"$contents"
    done
else
    check "the .deb builds" false
fi

echo "install: $pass passed, $fail failed"
[ "$fail" -eq 0 ]
