#!/usr/bin/env bash
# The main job on the bundled example: a Weibull analysis of a copy of
# examples/weibull-demo.json, in batch mode. The summary and the result
# table are printed; the analysed notebook and a transcript of the boxes stay
# in build/demo/.
set -euo pipefail
cd "$(dirname "$0")/.."
build_dir="${KORUND_BUILD_DIR:-build}"

bash scripts/build.sh --target korund korund_notebook_tool
demo="$build_dir/demo"
mkdir -p "$demo"
cp examples/weibull-demo.json "$demo/weibull-demo.json"
rm -f "$demo/transcript.jsonl"
"$build_dir/bin/korund" weibull --batch --notebook "$demo/weibull-demo.json" \
  --transcript "$demo/transcript.jsonl"
echo
echo "Main results (methods, labels and the result columns of sets 1 to 3):"
"$build_dir/bin/korund-notebook" show "$demo/weibull-demo.json" --columns 19-23
echo
echo "Results: $demo/weibull-demo.json (transcript: $demo/transcript.jsonl)"
