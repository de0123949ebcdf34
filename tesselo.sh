#!/usr/bin/env bash
# Tesselo: build, run and test.
#   ./tesselo.sh run    install what is missing, build, start the program
#   ./tesselo.sh test   install what is missing, build, run every test
#   ./tesselo.sh build  install what is missing and build
#   ./tesselo.sh fuzz   fuzz the file and text parsers (fuzz/run.sh)
set -euo pipefail
cd "$(dirname "$0")"
ROOT=$PWD
BUILD_DIR=${TESSELO_BUILD_DIR:-$ROOT/build}

PACKAGES=(
  cmake g++ make pkg-config
  qt6-base-dev qt6-base-dev-tools libqt6opengl6-dev
  libgl1-mesa-dev libglu1-mesa-dev libgl1-mesa-dri
  libgif-dev fonts-dseg fonts-wine
  xvfb xauth
)

# Only the fuzz verb needs clang's libFuzzer.
FUZZ_PACKAGES=(clang-14 libclang-rt-14-dev xxd)

missing_packages() {
  local p
  for p in "$@"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || echo "$p"
  done
}

install_packages() {
  local missing
  missing=$(missing_packages "${PACKAGES[@]}" "$@")
  [ -z "$missing" ] && return 0
  echo "Installing: $missing"
  local sudo=""
  if [ "$(id -u)" -ne 0 ]; then sudo="sudo"; fi
  $sudo apt-get update -qq
  # shellcheck disable=SC2086
  DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq $missing
}

build() {
  install_packages
  cmake -S "$ROOT" -B "$BUILD_DIR" -DCMAKE_BUILD_TYPE="${BUILD_TYPE:-RelWithDebInfo}" ${CMAKE_ARGS:-} >/dev/null
  cmake --build "$BUILD_DIR" -j"$(nproc)"
}

case "${1:-}" in
  build) build ;;
  run)
    build
    exec "$BUILD_DIR/tesselo"
    ;;
  test)
    build
    # Tests that need a display bring their own Xvfb through xvfb-run (see tests/CMakeLists.txt).
    ctest --test-dir "$BUILD_DIR" --output-on-failure -j"$(nproc)" ${CTEST_ARGS:-}
    ;;
  fuzz)
    # ./tesselo.sh fuzz [seconds per target] [target ...]
    install_packages "${FUZZ_PACKAGES[@]}"
    shift
    fuzz/run.sh "$@"
    ;;
  *)
    echo "usage: $0 run|test|build|fuzz" >&2
    exit 2
    ;;
esac
