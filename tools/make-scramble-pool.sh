#!/usr/bin/env bash
# Regenerates resources/scramble-pool.txt, the setup scrambles the program
# draws from, with the optimal solver of Debian's `rubiks` package.
#
#   tools/make-scramble-pool.sh [ROUNDS] [LIMIT]
#
# Up to ROUNDS seeded random targets a case (default 12), LIMIT seconds of
# search a target (default 30); a case stops getting targets once its
# solutions are plenty (ENOUGH different ones, default 24). The H and N perms
# (PLL 4, 19, 20) rarely finish within such a limit: they get their own
# targets (the case with each last U turn) and SLOW_LIMIT seconds each
# (default 900). A PLL case has only a few optimal setups once the side and
# the U turns at the ends are left out, so the cases still short of 12
# different setups then get targets a face turn away from the case (NUDGED
# rounds, default 30), whose setups are a turn longer.
#
# The setups of the pool so far stay candidates, and what is solved stays in
# the work folder build/scramble-pool: an interrupted or repeated run adds to
# what was found. Every setup is checked on the cube model; a well-known
# algorithm (a built-in hint or one of tools/ll-cases.csv and
# tools/well-known-algorithms.txt, from any side, mirrored or undone) never
# goes in. One solver process, at nice 19: about an
# hour of CPU for a pool from nothing. The run stops with an error when the
# solver fails.
set -euo pipefail
cd "$(dirname "$0")/.."

ROUNDS=${1:-12}
ENOUGH=${ENOUGH:-24}
LIMIT=${2:-30}
SLOW_LIMIT=${SLOW_LIMIT:-900}
NUDGED=${NUDGED:-30}
SLOW_CASES="4 19 20"
SEED=17
KEEP=14/13
LIST=tools/ll-cases.csv
MORE=tools/well-known-algorithms.txt
WORK=build/scramble-pool
POOL=resources/scramble-pool.txt

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
pool=build/tools/tesselo_scramblepool

solve() { python3 tools/solve-targets.py "$@"; }

# The pool from every solution so far; the cases short of 12 setups are
# listed in $WORK/short.txt.
collect() {
    awk '!/^#/' "$WORK"/*solutions.txt | "$pool" collect "$KEEP" "$LIST" "$MORE" "$POOL" \
        > "$WORK/pool.txt" 2> "$WORK/collect.log"
    sed -n 's/^\(OLL\|PLL\) \([0-9]*\): only [0-9]* setups$/\1 \2/p' "$WORK/collect.log" > "$WORK/short.txt"
    tail -n 1 "$WORK/collect.log"
}

"$pool" targets "$SEED" "$ROUNDS" > "$WORK/targets.txt"
solve "$WORK/targets.txt" "$WORK/solutions.txt" --limit "$LIMIT" --enough "$ENOUGH"
# shellcheck disable=SC2086
"$pool" cases PLL $SLOW_CASES > "$WORK/slow-targets.txt"
solve "$WORK/slow-targets.txt" "$WORK/slow-solutions.txt" --limit "$SLOW_LIMIT"
collect
for set in OLL PLL; do
    cases=$(awk -v set="$set" '$1 == set { print $2 }' "$WORK/short.txt")
    [ -n "$cases" ] || continue
    # shellcheck disable=SC2086
    "$pool" nudged "$SEED" "$NUDGED" "$set" $cases > "$WORK/nudged-$set-targets.txt"
    solve "$WORK/nudged-$set-targets.txt" "$WORK/nudged-$set-solutions.txt" --limit "$LIMIT" --enough "$ENOUGH"
done
collect
mv "$WORK/pool.txt" "$POOL"
echo "$POOL: $(wc -l < "$POOL") setups"
if [ -s "$WORK/short.txt" ]; then
    echo "still short of 12 setups: $(tr '\n' ' ' < "$WORK/short.txt")(more NUDGED rounds give more)" >&2
    exit 1
fi
