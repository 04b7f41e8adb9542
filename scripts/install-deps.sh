#!/usr/bin/env bash
# Installs the Debian 12 packages that Pagero needs to build, run and test.
set -euo pipefail
SUDO=""
if [ "$(id -u)" != 0 ]; then SUDO="sudo"; fi
export DEBIAN_FRONTEND=noninteractive
$SUDO apt-get update -qq
$SUDO apt-get install -y -qq --no-install-recommends \
  build-essential cmake pkg-config g++ git \
  qt6-base-dev qt6-multimedia-dev libqt6opengl6-dev \
  libgl-dev libxkbcommon-dev \
  libturbojpeg0-dev libjpeg62-turbo-dev \
  libmagick++-6.q16-dev imagemagick \
  libtiff-dev libexif-dev libheif-dev libwebp-dev libraw-dev \
  libheif-examples webp \
  libc-ares-dev libssl-dev openssl \
  libsane-dev sane-utils \
  libfluidsynth-dev timgm6mb-soundfont \
  qtkeychain-qt6-dev \
  gstreamer1.0-plugins-base gstreamer1.0-plugins-good \
  sox ffmpeg \
  pulseaudio pulseaudio-utils \
  fonts-dejavu-core \
  libgtest-dev \
  python3 python3-aiosmtpd \
  xvfb xauth xclip libxcb1-dev \
  desktop-file-utils appstream \
  poppler-utils cups-daemon cups-client printer-driver-cups-pdf >/dev/null
