#!/usr/bin/env bash
# Installs the Debian packages Kinetrope needs to build, run and test.
# Idempotent: only missing packages are installed.
set -euo pipefail

packages=(
  # build
  cmake ninja-build g++ pkg-config git
  qt6-base-dev qt6-base-dev-tools libqt6opengl6-dev libgl-dev
  libmpv-dev libpulse-dev
  libgstreamer1.0-dev libgstreamer-plugins-base1.0-dev
  # icons, the Debian package
  librsvg2-bin dpkg-dev file
  # run, as the package's Depends and Recommends (cmake/Packaging.cmake); the xcb platform
  # plugin is in libqt6gui6, the sound server's sink in -good
  libgl1-mesa-dri fonts-dejavu-core
  gstreamer1.0-plugins-base gstreamer1.0-plugins-good gstreamer1.0-plugins-bad
  # DVD: MPEG-2 video, AC-3 and MPEG sound (libav), LPCM sound (ugly)
  gstreamer1.0-libav gstreamer1.0-plugins-ugly
  # test: media generation (ffmpeg; dvdauthor and its spumux author a DVD), virtual display, session bus, MPRIS client, sound server
  ffmpeg dvdauthor mpv xvfb xauth x11-utils xdotool trayer dbus-bin dbus-daemon playerctl pulseaudio pulseaudio-utils
  # test: the install tree's validators, a Wayland compositor with XWayland
  desktop-file-utils appstream shared-mime-info lintian weston xwayland
)

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done

if [ ${#missing[@]} -eq 0 ]; then
  exit 0
fi

echo "Installing: ${missing[*]}"
SUDO=""
[ "$(id -u)" -eq 0 ] || SUDO="sudo"
export DEBIAN_FRONTEND=noninteractive
$SUDO apt-get update -qq
$SUDO apt-get install -y -qq --no-install-recommends "${missing[@]}"
