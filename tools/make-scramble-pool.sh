#!/usr/bin/env bash
# Regenerates resources/scramble-pool.txt, the setup scrambles the program
# draws from, with the optimal solver of Debian's `rubiks` package.
#
#   tools/make-scramble-pool.sh [ROUNDS] [LIMIT]
#
# Up to ROUNDS seeded random targets a case (default 40), LIMIT seconds of
# search a target (default 30); a case stops getting targets once its
# solutions are plenty (ENOUGH different ones, default 24). The H and N perms (PLL 4, 19, 20) rarely finish within
# such a limit: they get their own targets (the case with each last U turn)
# and SLOW_LIMIT seconds each (default 900). About an hour of CPU in all; the
# work folder build/scramble-pool keeps what was solved, so an interrupted run
# continues where it stopped. The targets are fixed (seeded), so a rerun on an
# idle machine gives the same pool; under load a search cut by its time limit
# may find fewer setups.
set -euo pipefail
cd "$(dirname "$0")/.."

ROUNDS=${1:-40}
ENOUGH=${ENOUGH:-24}
LIMIT=${2:-30}
SLOW_LIMIT=${SLOW_LIMIT:-900}
SLOW_CASES="4 19 20"
SEED=17
KEEP=16
WORK=build/scramble-pool

# The solver is needed here only: the build and the tests read the pool.
if ! command -v rubiks_optimal >/dev/null; then
    sudo=""
    [ "$(id -u)" -ne 0 ] && sudo="sudo"
    $sudo apt-get update -qq
    DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq rubiks
fi
[ -d build ] || cmake -S . -B build -DCMAKE_BUILD_TYPE=RelWithDebInfo
cmake --build build -j2 --target tesselo_scramblepool
mkdir -p "$WORK"
build/tools/tesselo_scramblepool targets "$SEED" "$ROUNDS" > "$WORK/targets.txt"
python3 tools/solve-targets.py "$WORK/targets.txt" "$WORK/solutions.txt" --limit "$LIMIT" \
    --enough "$ENOUGH"
# shellcheck disable=SC2086
build/tools/tesselo_scramblepool cases PLL $SLOW_CASES > "$WORK/slow-targets.txt"
python3 tools/solve-targets.py "$WORK/slow-targets.txt" "$WORK/slow-solutions.txt" --limit "$SLOW_LIMIT"
# Only the solutions of this run's targets: a longer earlier run may have
# left more in the work folder.
TARGETS=$(wc -l < "$WORK/targets.txt")
{
    awk -v last="$TARGETS" '/^# done/ { if ($3 <= last) printf "%s", block; block = ""; next }
        { block = block $0 "\n" }' "$WORK/solutions.txt"
    cat "$WORK/slow-solutions.txt"
} | build/tools/tesselo_scramblepool collect "$KEEP" > "$WORK/pool.txt"
mv "$WORK/pool.txt" resources/scramble-pool.txt
echo "resources/scramble-pool.txt: $(wc -l < resources/scramble-pool.txt) setups"
