#!/usr/bin/env bash
# The README's graphs: analyses copies of the three example notebooks in
# batch mode and draws each one into docs/graphs/ (PNG). Rendering needs no
# display.
set -euo pipefail
cd "$(dirname "$0")/.."
build_dir="${KORUND_BUILD_DIR:-build}"

bash scripts/build.sh --target korund korund_notebook_tool
work="$build_dir/graphs"
mkdir -p "$work" docs/graphs
for word in weibull dynamic static; do
  cp "examples/$word-demo.json" "$work/$word.json"
  "$build_dir/bin/korund" "$word" --batch --notebook "$work/$word.json" >/dev/null
  "$build_dir/bin/korund-notebook" plot "$work/$word.json" --out "docs/graphs/$word.png" \
    --width 900 --height 650
done
