#!/usr/bin/env bash
# The main job on the bundled example: a Weibull analysis of a copy of
# examples/weibull-demo.json, in batch mode, which also draws the graph. The
# summary and the results table are printed; the analysed notebook, the
# graph (PNG) and a transcript of the boxes stay in build/demo/.
set -euo pipefail
cd "$(dirname "$0")/.."
build_dir="${KORUND_BUILD_DIR:-build}"

bash scripts/build.sh --target korund korund_notebook_tool
demo="$build_dir/demo"
mkdir -p "$demo"
cp examples/weibull-demo.json "$demo/weibull-demo.json"
rm -f "$demo/transcript.jsonl" "$demo/weibull-demo.png"
"$build_dir/bin/korund" weibull --batch --notebook "$demo/weibull-demo.json" \
  --transcript "$demo/transcript.jsonl" --plot "$demo/weibull-demo.png"
echo
echo "Results table:"
"$build_dir/bin/korund-notebook" results "$demo/weibull-demo.json" --format md --glossary
echo
echo "Graph: $demo/weibull-demo.png"
echo "Notebook: $demo/weibull-demo.json (transcript: $demo/transcript.jsonl)"
