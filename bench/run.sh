#!/usr/bin/env bash
# Measures start-up, the stopwatch and its start, the board, the set switch, shut-down, the weak draw and
# the settings file, runs the 200-kill fault loop, and writes the results
# into the table of bench/README.md (between its table markers).
#   bench/run.sh            (./tesselo.sh bench)
set -euo pipefail
cd "$(dirname "$0")/.."
ROOT=$PWD
BENCH_BUILD=${TESSELO_BENCH_BUILD_DIR:-$ROOT/build-bench}
KILLS=${TESSELO_BENCH_KILLS:-200}

B=$BENCH_BUILD/bench
# The benchmarks run from the build tree's sub-folders, not beside the plugins.
export TESSELO_PLUGIN_DIR=$BENCH_BUILD

# Everything with a window runs on its own Xvfb display, as a desktop would
# (this script runs itself again under xvfb-run for that part).
if [ "${1:-}" = --with-display ]; then
  export QT_QPA_PLATFORM=xcb
  "$B/bench_startup/bench_startup" "$B/bench_startup_program/bench_startup_program" \
    "$B/bench_startup_bare/bench_startup_bare" 15 "$B/bench_startup_parts/bench_startup_parts"
  "$B/bench_stopwatch/bench_stopwatch"
  "$B/bench_clockstart/bench_clockstart"
  "$B/bench_board/bench_board"
  "$B/bench_history/bench_history"
  "$B/bench_append/bench_append"
  exit 0
fi

cmake -S "$ROOT" -B "$BENCH_BUILD" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DTESSELO_BENCH=ON >/dev/null
cmake --build "$BENCH_BUILD" -j"$(nproc)" --target benchmarks test_fault_kill >/dev/null

rows=$(mktemp)
trap 'rm -f "$rows"' EXIT
echo "measuring with a window (a few minutes)..." >&2
xvfb-run -a -s "-screen 0 1280x1024x24" "$ROOT/bench/run.sh" --with-display >> "$rows"
"$B/bench_settings/bench_settings" >> "$rows"
"$B/bench_draw/bench_draw" >> "$rows"

echo "killing the program $KILLS times..." >&2
kill_start=$(date +%s)
if TESSELO_KILLS=$KILLS QT_QPA_PLATFORM=offscreen "$BENCH_BUILD/tests/test_fault_kill" > "$BENCH_BUILD/kill-loop.log" 2>&1; then
  kill_verdict=met
else
  kill_verdict="**missed** (see $(basename "$BENCH_BUILD")/kill-loop.log)"
fi
kill_seconds=$(( $(date +%s) - kill_start ))
echo "| kill -9 at random moments during set switches, accepts and hint edits | $KILLS kills in ${kill_seconds} s; Settings.ini whole and every key old or new after each | always | $kill_verdict |" >> "$rows"

machine="$(nproc) cores, $(grep -m1 'model name' /proc/cpuinfo | cut -d: -f2 | xargs), load average before the run: $(cut -d' ' -f1-3 /proc/loadavg)"
{
  echo "<!-- table: written by bench/run.sh -->"
  echo "Measured $(date -u '+%Y-%m-%d %H:%M UTC') with \`./tesselo.sh bench\` on $machine."
  echo
  echo "| What | Measured | Target | |"
  echo "|---|---|---|---|"
  cat "$rows"
  echo "<!-- /table -->"
} > "$BENCH_BUILD/table.md"

readme=$ROOT/bench/README.md
if grep -q '<!-- table' "$readme" 2>/dev/null; then
  # Replace the old table, keep the text around it.
  awk -v table="$BENCH_BUILD/table.md" '
    /<!-- table/ { while ((getline line < table) > 0) print line; skipping = 1; next }
    /<!-- \/table -->/ { skipping = 0; next }
    !skipping { print }' "$readme" > "$readme.new" && mv "$readme.new" "$readme"
else
  { echo "# Benchmarks"; echo; cat "$BENCH_BUILD/table.md"; } > "$readme"
fi
cat "$BENCH_BUILD/table.md"
