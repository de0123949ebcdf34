#!/usr/bin/env bash
# Builds the libFuzzer targets with clang and runs each for a while.
#   fuzz/run.sh [seconds per target] [target ...]
# Seeds come from fuzz/corpus/<target>/ (hex text for binary files); what the
# fuzzer learns accumulates in build-fuzz/corpus/<target>/, and an input that
# breaks a property is saved under build-fuzz/findings/.
set -euo pipefail
cd "$(dirname "$0")/.."
ROOT=$PWD
FUZZ_BUILD=${TESSELO_FUZZ_BUILD_DIR:-$ROOT/build-fuzz}
SECONDS_PER_TARGET=${1:-60}
shift || true
TARGETS=("$@")
[ ${#TARGETS[@]} -gt 0 ] || TARGETS=(settings timetext bmpreader history import importmerge)

CC=clang-14 CXX=clang++-14 cmake -S "$ROOT/fuzz" -B "$FUZZ_BUILD" -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build "$FUZZ_BUILD" -j"$(nproc)" >/dev/null

# Binary seeds are kept as hex text in the repo.
prepare_corpus() {
  local target=$1 seeds=$ROOT/fuzz/corpus/$1 work=$FUZZ_BUILD/corpus/$1 seed
  mkdir -p "$work"
  for seed in "$seeds"/*; do
    [ -e "$seed" ] || continue
    case "$seed" in
      *.hex) xxd -r -p "$seed" > "$work/$(basename "${seed%.hex}").seed" ;;
      *) cp "$seed" "$work/$(basename "$seed").seed" ;;
    esac
  done
}

failed=0
mkdir -p "$FUZZ_BUILD/findings" "$FUZZ_BUILD/logs"
for target in "${TARGETS[@]}"; do
  prepare_corpus "$target"
  log=$FUZZ_BUILD/logs/$target.log
  echo "fuzz_$target: ${SECONDS_PER_TARGET}s"
  if "$FUZZ_BUILD/fuzz_$target" -max_total_time="$SECONDS_PER_TARGET" -timeout=10 -rss_limit_mb=2048 \
       -max_len=65536 -print_final_stats=1 -artifact_prefix="$FUZZ_BUILD/findings/$target-" \
       "$FUZZ_BUILD/corpus/$target" > "$log" 2>&1; then
    grep -E '^stat::number_of_executed_units|^#[0-9]+.*DONE' "$log" | tail -2 | sed 's/^/  /'
  else
    failed=1
    echo "  fuzz_$target found a fault; see $log"
    grep -E 'property broken|ERROR: |SUMMARY' -A3 "$log" | head -20 | sed 's/^/  /'
  fi
done
exit $failed
