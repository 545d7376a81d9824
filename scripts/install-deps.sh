#!/usr/bin/env bash
# Installs every Debian package the build, the program and the tests need.
# Safe to run again: it installs only what is missing.
set -euo pipefail

PACKAGES=(
  build-essential cmake ninja-build ccache pkg-config
  qt6-base-dev qt6-base-dev-tools qt6-webengine-dev qt6-webengine-dev-tools
  qt6-webchannel-dev qt6-base-private-dev libqt6opengl6-dev libgl-dev libxcb1-dev
  libmpv-dev libcurl4-openssl-dev libcpp-httplib-dev libssl-dev
  libgtest-dev libgmock-dev libbenchmark-dev
  clang libclang-rt-14-dev
  clang-format clang-tidy
  ffmpeg fonts-wqy-microhei qt6-translations-l10n python3
  libxss-dev libwayland-dev wayland-protocols qt6-wayland sway grim wtype
  xvfb xauth trayer xdotool imagemagick x11-apps x11-utils x11-xserver-utils libxfixes3 openbox dbus-daemon dbus-bin
  python3-dbus python3-gi
  dpkg-dev desktop-file-utils appstream lintian
)

missing=()
for p in "${PACKAGES[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done
if [ ${#missing[@]} -eq 0 ]; then
  exit 0
fi

SUDO=""
[ "$(id -u)" -eq 0 ] || SUDO="sudo"
export DEBIAN_FRONTEND=noninteractive
$SUDO apt-get update -qq
$SUDO apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
