#!/usr/bin/env bash
# Builds the Debian package: the programs alone (build-package/, no tests),
# installed under /usr and packed by cpack into
# build-package/korund_VERSION_ARCH.deb. Its Depends come from
# dpkg-shlibdeps (Debian package dpkg-dev).
#
# Install it with: sudo apt-get install ./build-package/korund_*.deb
set -euo pipefail
cd "$(dirname "$0")/.."
build=build-package

if ! command -v dpkg-shlibdeps >/dev/null; then
  echo "scripts/package.sh needs dpkg-shlibdeps: apt-get install dpkg-dev" >&2
  exit 1
fi
cmake -S . -B "$build" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DKORUND_WERROR=ON -DBUILD_TESTING=OFF
cmake --build "$build" -j2
(cd "$build" && cpack -G DEB)
ls "$build"/korund_*.deb
