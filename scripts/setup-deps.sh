#!/usr/bin/env bash
# Installs the Debian 12 packages that building, running and testing Tallowmere need.
set -euo pipefail
SUDO=""
if [ "$(id -u)" -ne 0 ]; then SUDO="sudo"; fi
export DEBIAN_FRONTEND=noninteractive
$SUDO apt-get update
$SUDO apt-get install -y --no-install-recommends \
  build-essential cmake ninja-build pkg-config \
  qt6-base-dev qt6-base-dev-tools qt6-svg-dev libgl1-mesa-dev \
  qt6-tools-dev qt6-l10n-tools qt6-translations-l10n \
  libgtest-dev libgmock-dev libbenchmark-dev \
  fonts-liberation xvfb xauth poppler-utils \
  nginx-light tinyproxy dante-server \
  libssl-dev openssl ca-certificates \
  minisign \
  locales \
  clang libclang-rt-14-dev \
  desktop-file-utils appstream xdotool x11-utils man-db file \
  gettext po4a \
  lintian diffoscope-minimal
