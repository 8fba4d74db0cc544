#!/usr/bin/env bash
# Installs what the build, the tests and the screenshots need on Debian 12.
# Quick when everything is present: dpkg is asked first, apt only when needed.
set -euo pipefail

packages=(
  build-essential cmake ninja-build pkg-config
  qt6-base-dev qt6-base-dev-tools libqt6svg6 qt6-image-formats-plugins qt6-translations-l10n
  libgl1-mesa-dev
  qt6-webengine-dev libqt6webenginecore6-bin
  libcurl4-openssl-dev zlib1g-dev libssl-dev
  libgumbo-dev duktape-dev
  libgtest-dev libgmock-dev libcpp-httplib-dev libbenchmark-dev
  fonts-wqy-microhei
  xvfb xauth xdotool openssl curl
  clang libclang-rt-14-dev
)

missing=()
for p in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed'; then
    missing+=("$p")
  fi
done

if [ ${#missing[@]} -gt 0 ]; then
  if [ "$(id -u)" -ne 0 ]; then
    echo "missing packages: ${missing[*]} (run as root to install them)" >&2
    exit 1
  fi
  export DEBIAN_FRONTEND=noninteractive
  apt-get update -qq
  apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi
