#!/usr/bin/env bash
# Installs the Debian 12 packages the project needs, only those missing.
# Usage: scripts/deps.sh [extra packages...]   (as root, or with sudo available)
set -euo pipefail

packages=(
    build-essential cmake pkg-config
    qt6-base-dev qt6-base-dev-tools libgl-dev
    qt6-charts-dev libqt6opengl6-dev
    libsqlite3-dev
    libuchardet-dev
    fonts-noto-cjk qt6-translations-l10n
    python3-xlrd
    # the install test: validating the menu entry and the metainfo,
    # building the Debian package (dpkg-shlibdeps, file)
    desktop-file-utils appstream dpkg-dev file
    "$@"
)

missing=()
for p in "${packages[@]}"; do
    if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed'; then
        missing+=("$p")
    fi
done
[ ${#missing[@]} -eq 0 ] && exit 0

sudo=""
[ "$(id -u)" -ne 0 ] && sudo="sudo"
echo "Installing: ${missing[*]}"
$sudo apt-get update -qq
DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}"
