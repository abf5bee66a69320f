#!/usr/bin/env bash
# package.sh [DIR]: builds the Debian package of r4xx-terminal in DIR (default build-package) with
# Debian's hardening flags, checks its desktop entry and AppStream metadata, and prints the path
# of the .deb.
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
dir=${1:-$top/build-package}
umask 022

"$top/scripts/install-deps.sh"
"$top/scripts/install-deps.sh" dpkg-dev file appstream desktop-file-utils

desktop-file-validate "$top/packaging/r4xx-terminal.desktop"
appstreamcli validate --no-net --pedantic "$top/packaging/"*.metainfo.xml >/dev/null

export DEB_BUILD_MAINT_OPTIONS=hardening=+all
export CCACHE_BASEDIR="$top" CCACHE_NOHASHDIR=1
launcher=()
command -v ccache >/dev/null && launcher=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache)
# The flags come from dpkg-buildflags alone, as in Debian's own packages (build type None).
cmake -S "$top" -B "$dir" -G Ninja "${launcher[@]}" \
  -DCMAKE_BUILD_TYPE=None \
  -DCMAKE_CXX_FLAGS="$(dpkg-buildflags --get CPPFLAGS) $(dpkg-buildflags --get CXXFLAGS)" \
  -DCMAKE_EXE_LINKER_FLAGS="$(dpkg-buildflags --get LDFLAGS)" \
  -DCMAKE_INSTALL_PREFIX=/usr \
  -DCMAKE_STRIP="$top/packaging/debian-strip.sh" \
  -DR4XX_UDEV_RULES_DIR=/lib/udev/rules.d \
  -DCMAKE_SKIP_INSTALL_ALL_DEPENDENCY=ON >/dev/null
# Only what the package holds; the tests and the demo program are not built here.
cmake --build "$dir" -j "$(nproc)" --target r4xx-terminal r4xx-cli r4xx-documents
(cd "$dir" && cpack -G DEB >/dev/null)
ls "$dir"/r4xx-terminal_*.deb
