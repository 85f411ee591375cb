#!/usr/bin/env bash
# End-to-end speed: korund from process start to written notebook on
# generated worksheets (ten Weibull sets, six fatigue blocks) at several
# sizes, measured with /usr/bin/time -v on fresh copies; beside it the scipy
# fit-only script when python3-scipy is installed. Prints a table of CPU
# seconds (user + system), wall seconds, peak memory and the notebook size.
#
# Usage: scripts/bench.sh [SIZES...]   (default: 1000 10000 100000)
# Uses the build in $KORUND_BUILD_DIR (default build/); a Release build gives
# the figures worth quoting.
set -euo pipefail
cd "$(dirname "$0")/.."
build_dir="${KORUND_BUILD_DIR:-build}"
korund="$PWD/$build_dir/bin/korund"
sizes=("$@")
[ "${#sizes[@]}" -gt 0 ] || sizes=(1000 10000 100000)
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT

# "cpu wall peak_kb" of one command, from /usr/bin/time -v.
measure() {
  /usr/bin/time -v "$@" >/dev/null 2>"$work/time.txt" || true
  awk -F': ' '
    /User time/ {u = $2} /System time/ {s = $2} /Maximum resident/ {m = $2}
    /Elapsed \(wall clock\)/ {n = split($2, p, ":"); w = 0; for (i = 1; i <= n; i++) w = w * 60 + p[i]}
    END {printf "%.3f %.3f %d\n", u + s, w, m}' "$work/time.txt"
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
    # The best of three runs, each on a fresh copy.
    best=""
    for _ in 1 2 3; do
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
      read -r ref _ _ < <(measure "$py" bench/scipy_fit.py "$work/base.json")
      ratio=$(awk -v r="$ref" -v c="$cpu" 'BEGIN {printf "%.1fx", (c > 0 ? r / c : 0)}')
    fi
    printf "%-8s %9d %10s %9s %9s %10d %10s %9s\n" "$word" "$n" "$size_mb" "$cpu" "$wall" \
      "$((peak / 1024))" "$ref" "$ratio"
  done
done
