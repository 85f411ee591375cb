#!/usr/bin/env bash
# Runs one libFuzzer target for a while: builds it with clang (in
# build-fuzz/), starts from its committed seed corpus in fuzz/corpus/TARGET
# and keeps what it finds in build-fuzz/corpus/TARGET. A crash leaves its
# input as build-fuzz/crash-* and ends with a non-zero status.
#
# Usage: scripts/fuzz.sh TARGET SECONDS
#   TARGET: notebook_file, csv, xlsx, number, command_line, notebook_tool
#           (korund-notebook select, new, set, plot --out) or transcript
# Needs Debian's clang and libclang-rt-14-dev.
set -euo pipefail
cd "$(dirname "$0")/.."
target="${1:?target: notebook_file, csv, xlsx, number, command_line, notebook_tool or transcript}"
seconds="${2:?seconds}"
build=build-fuzz

CC=clang CXX=clang++ cmake -S . -B "$build" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DKORUND_FUZZ=ON \
  -DBUILD_TESTING=OFF >/dev/null
cmake --build "$build" -j2 --target "fuzz_$target"
mkdir -p "$build/corpus/$target"
seeds=()
[ -d "fuzz/corpus/$target" ] && seeds=("fuzz/corpus/$target")
cd "$build"
"./fuzz/fuzz_$target" -max_total_time="$seconds" -max_len=1048576 -rss_limit_mb=4096 \
  "corpus/$target" "${seeds[@]/#/../}"
