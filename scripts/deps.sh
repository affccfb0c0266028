#!/usr/bin/env bash
# Installs the Debian 12 packages that building, running and testing Pinlet need.
# Quick when they are present already. Run as root (or with sudo available).
set -euo pipefail
PACKAGES=(
    build-essential cmake ninja-build pkg-config util-linux
    qt6-base-dev qt6-base-dev-tools qt6-webengine-dev libgl-dev
    liblnk-dev libbfio-dev libx11-dev libxcb1-dev libatspi2.0-dev
    xvfb xauth x11-utils xdotool trayer imagemagick fonts-dejavu-core
    nginx-light curl desktop-file-utils dpkg-dev file
    dbus at-spi2-core chromium firefox-esr
)
missing=()
for p in "${PACKAGES[@]}"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done
[ ${#missing[@]} -eq 0 ] && exit 0
SUDO=""
[ "$(id -u)" -ne 0 ] && SUDO="sudo"
echo "Installing: ${missing[*]}"
export DEBIAN_FRONTEND=noninteractive
$SUDO apt-get update -qq
$SUDO apt-get install -y -qq "${missing[@]}" >/dev/null
