#!/usr/bin/env bash
# Configures and builds into build/ (or $KORUND_BUILD_DIR). Extra arguments
# go to the build step, e.g. "--target korund".
set -euo pipefail
cd "$(dirname "$0")/.."
build_dir="${KORUND_BUILD_DIR:-build}"

cmake -S . -B "$build_dir" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DKORUND_WERROR=ON
cmake --build "$build_dir" -j2 "$@"
