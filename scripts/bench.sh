#!/usr/bin/env bash
# End-to-end speed: korund from process start to written notebook on
# generated worksheets (ten Weibull sets, six fatigue blocks) at several
# sizes, measured with getrusage on fresh copies; beside it the scipy
# fit-only script when python3-scipy is installed. Prints a table of CPU
# seconds (user + system), wall seconds, peak memory and the notebook size.
#
# Usage: scripts/bench.sh [SIZES...]   (default: 1000 5000 10000 100000)
#        scripts/bench.sh memory        peak memory only: imports and korund on
#                                       large inputs, with the ratio to the file
# KORUND_BENCH_RUNS: runs of each program per size, the best counts (7).
# Uses the build in $KORUND_BUILD_DIR (default build/); a Release build gives
# the figures worth quoting.
set -euo pipefail
cd "$(dirname "$0")/.."
build_dir="${KORUND_BUILD_DIR:-build}"
korund="$PWD/$build_dir/bin/korund"
sizes=("$@")
[ "${#sizes[@]}" -gt 0 ] || sizes=(1000 5000 10000 100000)
notebook_tool="$PWD/$build_dir/bin/korund-notebook"
runs="${KORUND_BENCH_RUNS:-7}"
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT

# The system's own python3 when there is one: a version manager's shim
# would run (and count) processes of its own.
measure_py=python3
[ -x /usr/bin/python3 ] && measure_py=/usr/bin/python3

# "cpu wall peak_kb" of one command: the child's user + system time, wall
# time and peak resident memory from getrusage, to the microsecond.
measure() {
  "$measure_py" - "$@" <<'PY'
import resource, subprocess, sys, time
# What python3's own start-up ran (a version manager's shim) counts too.
before = resource.getrusage(resource.RUSAGE_CHILDREN)
start = time.monotonic()
subprocess.run(sys.argv[1:], stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
wall = time.monotonic() - start
r = resource.getrusage(resource.RUSAGE_CHILDREN)
cpu = r.ru_utime + r.ru_stime - before.ru_utime - before.ru_stime
print("%.3f %.3f %d" % (cpu, wall, r.ru_maxrss))
PY
}

# Debian's python3-scipy belongs to /usr/bin/python3, which need not be the
# first python3 on PATH.
scipy=no
for py in python3 /usr/bin/python3; do
  if "$py" -c "import scipy" 2>/dev/null; then
    scipy=yes
    break
  fi
done

# Peak memory (/usr/bin/time -v, "Maximum resident set size") of runs on
# large inputs, beside the input's size: the reading must cost what is kept,
# not what the file could be made to cost.
memory() {
  local bench="$PWD/bench"
  python3 "$bench/make_memory_inputs.py" csv "$work/in.csv"
  python3 "$bench/make_memory_inputs.py" xlsx "$work/in.xlsx"
  python3 "$bench/make_memory_inputs.py" unknown "$work/unknown.json"
  python3 "$bench/make_bench_notebook.py" weibull 100000 "$work/w100k.json"
  # "peak_MB status" of one command.
  peak() {
    /usr/bin/time -v "$@" 2>&1 >/dev/null |
      awk -F': ' '/Maximum resident/ {kb = $2} /Exit status/ {s = $2} END {print int(kb / 1024), s}'
  }
  row() {  # what, input, output, command...
    local what="$1" input="$2" output="$3"
    shift 3
    read -r mb status < <(peak "$@")
    awk -v w="$what" -v i="$(stat -c %s "$input")" -v o="$(stat -c %s "$output")" -v m="$mb" \
      -v s="$status" 'BEGIN {printf "%-44s %9.1f %10.1f %8d %7.1fx %6d\n", w, i / 1048576,
        o / 1048576, m, m * 1048576 / i, s}'
  }
  printf "%-44s %9s %10s %8s %8s %6s\n" run "input MB" "output MB" "peak MB" ratio status
  "$notebook_tool" new "$work/a.json" >/dev/null
  row "import 40 MB CSV, 4 M lines (refused)" "$work/in.csv" "$work/a.json" \
    "$notebook_tool" import "$work/a.json" "$work/in.csv"
  "$notebook_tool" new "$work/b.json" >/dev/null
  "$notebook_tool" set "$work/b.json" J1 5 >/dev/null
  row "import XLSX of 1 M x 4 numbers (refused)" "$work/in.xlsx" "$work/b.json" \
    "$notebook_tool" import "$work/b.json" "$work/in.xlsx"
  cp "$work/unknown.json" "$work/u.json"
  row "korund weibull, 64 MB unknown member" "$work/unknown.json" "$work/u.json" \
    env XDG_CONFIG_HOME="$work/config" "$korund" weibull --batch --notebook "$work/u.json"
  cp "$work/w100k.json" "$work/w.json"
  row "korund weibull, 10 x 100,000 values" "$work/w100k.json" "$work/w.json" \
    env XDG_CONFIG_HOME="$work/config" "$korund" weibull --batch --notebook "$work/w.json"
}
if [ "${1:-}" = memory ]; then
  memory
  exit 0
fi

printf "%-8s %9s %10s %9s %9s %10s %10s %9s\n" analysis values/set "file MB" "CPU s" "wall s" "peak MB" "scipy CPU" ratio
for kind in weibull fatigue; do
  word=$([ "$kind" = weibull ] && echo weibull || echo dynamic)
  for n in "${sizes[@]}"; do
    python3 bench/make_bench_notebook.py "$kind" "$n" "$work/base.json"
    size_mb=$(awk -v b="$(stat -c %s "$work/base.json")" 'BEGIN {printf "%.1f", b / 1048576}')
    # The best of seven runs, each on a fresh copy: on a shared machine noise
    # only ever adds. The scipy script gets as many.
    best=""
    for _ in $(seq "$runs"); do
      cp "$work/base.json" "$work/nb.json"
      read -r cpu wall peak < <(XDG_CONFIG_HOME="$work/config" measure "$korund" "$word" --batch \
        --notebook "$work/nb.json")
      if [ -z "$best" ] || awk -v a="$cpu" -v b="${best%% *}" 'BEGIN {exit !(a < b)}'; then
        best="$cpu $wall $peak"
      fi
    done
    read -r cpu wall peak <<<"$best"
    ref="-" ratio="-"
    if [ "$scipy" = yes ] && [ "$kind" = weibull ]; then
      ref=""
      for _ in $(seq "$runs"); do
        read -r r _ _ < <(measure "$py" bench/scipy_fit.py "$work/base.json")
        if [ -z "$ref" ] || awk -v a="$r" -v b="$ref" 'BEGIN {exit !(a < b)}'; then ref="$r"; fi
      done
      ratio=$(awk -v r="$ref" -v c="$cpu" 'BEGIN {printf "%.1fx", (c > 0 ? r / c : 0)}')
    fi
    printf "%-8s %9d %10s %9s %9s %10d %10s %9s\n" "$word" "$n" "$size_mb" "$cpu" "$wall" \
      "$((peak / 1024))" "$ref" "$ratio"
  done
done
echo
memory
