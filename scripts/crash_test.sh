#!/usr/bin/env bash
# Kills korund with SIGKILL at random moments of a large Weibull run, many
# times, and checks after each kill that the notebook is the old file or the
# new one, that no lock is left, and that the next run leaves no temporary
# file behind. Then the same for korund-notebook importing a large CSV file
# (the write-back the studio's save shares), killed by SIGKILL or SIGTERM; a
# SIGTERM must leave neither the lock file nor a temporary file at once.
#
# Usage: scripts/crash_test.sh [RUNS]   (default 100; needs a built korund
# and korund-notebook)
set -euo pipefail
cd "$(dirname "$0")/.."
build_dir="${KORUND_BUILD_DIR:-build}"
korund="$PWD/$build_dir/bin/korund"
notebook_tool="$PWD/$build_dir/bin/korund-notebook"
runs="${1:-100}"
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT

# After the run that follows a kill: no temporary file may be left.
check_no_temporary() {
  local left
  left=$(find "$work" -maxdepth 1 -name '.nb.json.korund-tmp-*' | wc -l)
  if [ "$left" -ne 0 ]; then
    echo "$1: $left temporary file(s) survived the next run"
    failures=$((failures + 1))
  fi
}

# Ten sets of 20,000 strengths: long enough to be killed during the write.
python3 - "$work/old.json" <<'PY'
import json, random, sys
rng = random.Random(7)
cols = {str(c): {"title": "raw %d" % c,
                 "cells": ["set"] + [round(rng.weibullvariate(4.5, 6), 4) for _ in range(20000)]}
        for c in range(1, 11)}
nb = {"format": "korund-notebook", "version": 1, "current": "Data 1",
      "items": [{"type": "section", "name": "Section 1"},
                {"type": "worksheet", "name": "Data 1", "columns": cols}]}
json.dump(nb, open(sys.argv[1], "w"), indent=1)
PY

# The new file, from a run that is left alone.
cp "$work/old.json" "$work/new.json"
start=$(date +%s%N)
XDG_CONFIG_HOME="$work/config" "$korund" weibull --batch --notebook "$work/new.json" >/dev/null 2>&1
run_ms=$(( ($(date +%s%N) - start) / 1000000 ))
old_sum=$(sha256sum < "$work/old.json")
new_sum=$(sha256sum < "$work/new.json")

kept_old=0 kept_new=0 mid_write=0 failures=0
for ((i = 1; i <= runs; i++)); do
  cp "$work/old.json" "$work/nb.json"
  XDG_CONFIG_HOME="$work/config" "$korund" weibull --batch --notebook "$work/nb.json" \
    >/dev/null 2>&1 &
  pid=$!
  # Anywhere in the second half of a run, where the file is written.
  delay_ms=$(( run_ms / 2 + RANDOM % (run_ms / 2 + 20) ))
  sleep "$(printf '%d.%03d' $((delay_ms / 1000)) $((delay_ms % 1000)))"
  kill -9 "$pid" 2>/dev/null || true
  wait "$pid" 2>/dev/null || true
  if [ -n "$(find "$work" -maxdepth 1 -name '.nb.json.korund-tmp-*')" ]; then
    mid_write=$((mid_write + 1))  # killed while the new file was being written
  fi
  sum=$(sha256sum < "$work/nb.json")
  if [ "$sum" = "$old_sum" ]; then
    kept_old=$((kept_old + 1))
  elif [ "$sum" = "$new_sum" ]; then
    kept_new=$((kept_new + 1))
  else
    echo "run $i: the notebook is neither the old nor the new file"
    failures=$((failures + 1))
  fi
  # The next run must get the lock and leave no temporary file behind.
  cp "$work/old.json" "$work/nb.json"
  if ! XDG_CONFIG_HOME="$work/config" "$korund" weibull --batch --notebook "$work/nb.json" \
      >/dev/null 2>&1; then
    echo "run $i: the next run failed (a stale lock?)"
    failures=$((failures + 1))
  fi
  check_no_temporary "run $i"
done
echo "$runs kills ($mid_write while writing): $kept_old left the old file," \
  "$kept_new the new one, $failures failures"

# Import: 800,000 strengths into column 2 of the same notebook.
python3 -c "
import random
rng = random.Random(8)
print('\n'.join('%.4f' % rng.uniform(1, 9) for _ in range(800000)))" > "$work/in.csv"
cp "$work/old.json" "$work/new.json"
start=$(date +%s%N)
"$notebook_tool" import "$work/new.json" "$work/in.csv" --column 2 >/dev/null 2>&1
run_ms=$(( ($(date +%s%N) - start) / 1000000 ))
new_sum=$(sha256sum < "$work/new.json")
import_old=0 import_new=0 import_mid=0
for ((i = 1; i <= runs; i++)); do
  cp "$work/old.json" "$work/nb.json"
  "$notebook_tool" import "$work/nb.json" "$work/in.csv" --column 2 >/dev/null 2>&1 &
  pid=$!
  delay_ms=$(( RANDOM % (run_ms + 20) ))
  sleep "$(printf '%d.%03d' $((delay_ms / 1000)) $((delay_ms % 1000)))"
  signal=$([ $((RANDOM % 2)) -eq 0 ] && echo KILL || echo TERM)
  kill -s "$signal" "$pid" 2>/dev/null || true
  wait "$pid" 2>/dev/null || true
  left=$(find "$work" -maxdepth 1 \( -name '.nb.json.korund-tmp-*' -o -name 'nb.json.lock' \) | wc -l)
  if [ "$signal" = TERM ] && [ "$left" -ne 0 ]; then
    echo "import run $i: SIGTERM left a lock or temporary file"
    failures=$((failures + 1))
  elif [ "$left" -ne 0 ]; then
    import_mid=$((import_mid + 1))
  fi
  sum=$(sha256sum < "$work/nb.json")
  if [ "$sum" = "$old_sum" ]; then
    import_old=$((import_old + 1))
  elif [ "$sum" = "$new_sum" ]; then
    import_new=$((import_new + 1))
  else
    echo "import run $i: the notebook is neither the old nor the new file"
    failures=$((failures + 1))
  fi
  # The next edit takes the lock over and removes what a kill left.
  if ! "$notebook_tool" select "$work/nb.json" "Data 1" >/dev/null 2>&1; then
    echo "import run $i: the next run failed (a stale lock?)"
    failures=$((failures + 1))
  fi
  check_no_temporary "import run $i"
done
echo "$runs import kills ($import_mid left a lock or temporary file to the next run):" \
  "$import_old left the old file, $import_new the new one; $failures failures in all"
[ "$failures" -eq 0 ]
