#!/usr/bin/env bash
# Regenerates resources/scramble-pool.txt, the setup scrambles the program
# draws from, with the optimal solver of Debian's `rubiks` package.
#
#   tools/make-scramble-pool.sh [ROUNDS] [LIMIT]
#
# ROUNDS seeded random targets a case (default 12), LIMIT seconds of search a
# target (default 30). About 45 CPU-minutes with the defaults; the work folder
# build/scramble-pool keeps what was solved, so an interrupted run continues
# where it stopped. The same seed gives the same targets, so a rerun gives the
# same pool.
set -euo pipefail
cd "$(dirname "$0")/.."

ROUNDS=${1:-12}
LIMIT=${2:-30}
SEED=17
KEEP=16
WORK=build/scramble-pool

if ! command -v rubiks_optimal >/dev/null; then
    echo "rubiks_optimal is missing: apt-get install rubiks" >&2
    exit 1
fi
[ -d build ] || cmake -S . -B build -DCMAKE_BUILD_TYPE=RelWithDebInfo
cmake --build build -j2 --target tesselo_scramblepool
mkdir -p "$WORK"
build/tools/tesselo_scramblepool targets "$SEED" "$ROUNDS" > "$WORK/targets.txt"
python3 tools/solve-targets.py "$WORK/targets.txt" "$WORK/solutions.txt" --workers 2 --limit "$LIMIT"
# Only the solutions of this run's targets: a longer earlier run may have
# left more in the work folder.
TARGETS=$(wc -l < "$WORK/targets.txt")
awk -v last="$TARGETS" '/^# done/ { if ($3 <= last) printf "%s", block; block = ""; next }
    { block = block $0 "\n" }' "$WORK/solutions.txt" |
    build/tools/tesselo_scramblepool collect "$KEEP" > "$WORK/pool.txt"
mv "$WORK/pool.txt" resources/scramble-pool.txt
echo "resources/scramble-pool.txt: $(wc -l < resources/scramble-pool.txt) setups"
