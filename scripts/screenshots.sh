#!/usr/bin/env bash
# Builds korund-screenshots and draws every dialog kind of the Qt back end
# offscreen into docs/screenshots/*.png (linked from the README).
set -euo pipefail
cd "$(dirname "$0")/.."
build_dir="${KORUND_BUILD_DIR:-build}"

bash scripts/build.sh --target korund-screenshots
QT_QPA_PLATFORM=offscreen "$build_dir/bin/korund-screenshots" docs/screenshots
