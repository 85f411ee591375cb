#!/usr/bin/env bash
# End-to-end speed: korund from process start to written notebook on
# generated worksheets (ten Weibull sets, six fatigue blocks) at several
# sizes, measured with getrusage on fresh copies; beside it the scipy
# fit-only script when python3-scipy is installed. Prints a table of CPU
# seconds (user + system), wall seconds, peak memory and the notebook size.
#
# Usage: scripts/bench.sh [SIZES...]   (default: 1000 5000 10000 100000)
# KORUND_BENCH_RUNS: runs of each program per size, the best counts (7).
# Uses the build in $KORUND_BUILD_DIR (default build/); a Release build gives
# the figures worth quoting.
set -euo pipefail
cd "$(dirname "$0")/.."
build_dir="${KORUND_BUILD_DIR:-build}"
korund="$PWD/$build_dir/bin/korund"
sizes=("$@")
[ "${#sizes[@]}" -gt 0 ] || sizes=(1000 5000 10000 100000)
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
