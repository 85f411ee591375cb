#!/usr/bin/env bash
# Installs what the build needs (Debian/Ubuntu). Does nothing when it is all
# there already, so it is safe to run before every build.
set -euo pipefail

packages=(cmake g++ make libcli11-dev libgtest-dev libgmock-dev
          googletest libbenchmark-dev python3 pkg-config qt6-base-dev qt6-svg-dev
          libqcustomplot-dev libxlsxwriter-dev libzip-dev libpugixml-dev libexpat1-dev libfmt-dev
          rapidjson-dev fonts-dejavu-core desktop-file-utils)

missing=()
for p in "${packages[@]}"; do
  dpkg -s "$p" >/dev/null 2>&1 || missing+=("$p")
done
if [ "${#missing[@]}" -eq 0 ]; then
  exit 0
fi

echo "Installing: ${missing[*]}"
if [ "$(id -u)" -eq 0 ]; then
  sudo=()
else
  sudo=(sudo)
fi
"${sudo[@]}" apt-get update
"${sudo[@]}" apt-get install -y --no-install-recommends "${missing[@]}"
