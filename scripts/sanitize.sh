#!/usr/bin/env bash
# Builds everything with AddressSanitizer and UndefinedBehaviorSanitizer (in
# build-asan/) and runs the whole ctest there. Any report fails the run;
# leaks inside the system's font and display libraries, which Qt loads and
# never frees, are suppressed by scripts/lsan.supp.
set -euo pipefail
cd "$(dirname "$0")/.."
build=build-asan

cmake -S . -B "$build" -DCMAKE_BUILD_TYPE=Debug -DKORUND_SANITIZE=ON -DKORUND_WERROR=ON >/dev/null
cmake --build "$build" -j2
export ASAN_OPTIONS="detect_leaks=1:abort_on_error=0:strict_string_checks=1"
export LSAN_OPTIONS="suppressions=$PWD/scripts/lsan.supp:print_suppressions=0"
export UBSAN_OPTIONS="print_stacktrace=1:halt_on_error=1"
cd "$build"
ctest --output-on-failure -j2 --timeout 600
