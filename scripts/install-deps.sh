#!/usr/bin/env bash
# install-deps.sh [package...]: installs the Debian packages the terminal needs to build, run and
# test, or the packages named; only the missing ones.
set -euo pipefail

packages=(
  cmake ninja-build g++ pkg-config ccache
  qt6-base-dev qt6-base-private-dev qt6-translations-l10n libusb-dev
  qt6-charts-dev libqt6opengl6-dev
  libgtest-dev libgmock-dev libboost-dev libbenchmark-dev
  umockdev libumockdev-dev
  fonts-dejavu-core
  clang-14 libfuzzer-14-dev
)
if [ $# -gt 0 ]; then
  packages=("$@")
fi

missing=()
for package in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q 'install ok installed' \
    || missing+=("$package")
done

if [ ${#missing[@]} -gt 0 ]; then
  echo "Installing: ${missing[*]}"
  export DEBIAN_FRONTEND=noninteractive
  apt-get update -q
  apt-get install -y -q --no-install-recommends "${missing[@]}"
fi
