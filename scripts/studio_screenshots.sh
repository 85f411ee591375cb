#!/usr/bin/env bash
# Pictures of korund-studio for the README: the window after a Weibull and
# after a dynamic fatigue analysis of the examples (copies analysed by
# korund --batch in build/studio-shots/), drawn offscreen into
# docs/studio-*.png.
set -euo pipefail
cd "$(dirname "$0")/.."
build_dir="${KORUND_BUILD_DIR:-build}"

bash scripts/build.sh --target korund korund-studio
shots="$build_dir/studio-shots"
mkdir -p "$shots" docs
for pair in weibull:weibull-demo dynamic:dynamic-demo; do
  word="${pair%%:*}"
  example="${pair#*:}"
  cp "examples/$example.json" "$shots/$example.json"
  "$build_dir/bin/korund" "$word" --batch --notebook "$shots/$example.json" >/dev/null
  QT_QPA_PLATFORM=offscreen "$build_dir/bin/korund-studio" \
    --screenshot "docs/studio-$word.png" "$shots/$example.json"
  echo "docs/studio-$word.png"
done
