#!/usr/bin/env bash
# Tesselo: build, run and test.
#   ./tesselo.sh run    install what is missing, build, start the program
#   ./tesselo.sh test   install what is missing, build, build the package, run
#                       every test (the package's among them), then
#                       every test again under the address and UB sanitizers,
#                       then a short fuzzing run of the parsers
#   ./tesselo.sh build  install what is missing and build
#   ./tesselo.sh fuzz   fuzz the file and text parsers (fuzz/run.sh)
#   ./tesselo.sh bench  measure speed and fault tolerance into bench/README.md
#   ./tesselo.sh package  build the Debian package tesselo_<version>_<arch>.deb
#                       into the build folder and check it with lintian,
#                       desktop-file-validate and appstreamcli
set -euo pipefail
cd "$(dirname "$0")"
ROOT=$PWD
BUILD_DIR=${TESSELO_BUILD_DIR:-$ROOT/build}

PACKAGES=(
  cmake g++ make pkg-config
  qt6-base-dev qt6-base-dev-tools libqt6opengl6-dev qt6-charts-dev
  libgl1-mesa-dev libglu1-mesa-dev libgl1-mesa-dri
  libgif-dev libfontconfig-dev fonts-dseg fonts-wine libxcb1-dev libxcb-damage0-dev
  xvfb xauth openbox x11-utils x11-xkb-utils xdotool
)

# The package's own tools: cpack's DEB generator reads the libraries' packages
# with dpkg-shlibdeps (dpkg-dev); the checks of the package.
PACKAGE_PACKAGES=(dpkg-dev lintian desktop-file-utils appstream)

# clang's libFuzzer, for the fuzzing run (./tesselo.sh fuzz, and briefly in test).
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

# The whole test suite again, built with AddressSanitizer and
# UndefinedBehaviorSanitizer: any report fails the run. Leaks inside the
# system's graphics and font libraries are suppressed in
# tests/sanitizer/lsan.supp; the program's own never are.
sanitized_tests() {
  local asan_dir=${TESSELO_ASAN_BUILD_DIR:-$ROOT/build-asan}
  cmake -S "$ROOT" -B "$asan_dir" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DTESSELO_SANITIZE=ON >/dev/null
  # Paths relative to the tree in ccache's keys: a fresh clone elsewhere
  # (as CI makes) reuses what an earlier build of the same sources compiled.
  CCACHE_BASEDIR=$ROOT CCACHE_NOHASHDIR=true cmake --build "$asan_dir" -j"$(nproc)"
  export ASAN_OPTIONS=detect_leaks=1:strict_init_order=1:detect_stack_use_after_return=1
  export UBSAN_OPTIONS=halt_on_error=1:print_stacktrace=1
  export LSAN_OPTIONS=suppressions=$ROOT/tests/sanitizer/lsan.supp:print_suppressions=0
  ctest --test-dir "$asan_dir" --output-on-failure -j"$(nproc)" -E '^test_gl_' -LE package ${CTEST_ARGS:-}
  sanitized_gl_tests "$asan_dir"
}

# Mesa unloads its driver when the display closes, just before the leak
# check: what the driver still held then shows as leaks "in an unknown
# module". Keeping the driver loaded (preloaded, with the sanitizer's runtime
# first as it requires) lets the check tell them from the program's own.
sanitized_gl_tests() {
  local asan_dir=$1 test runtime driver options failed=0
  driver=$(find /usr/lib -name swrast_dri.so -print -quit 2>/dev/null || true)
  for test in $(find "$asan_dir/tests" -maxdepth 1 -type f -executable -name 'test_gl_*' | sort); do
    runtime=$(ldd "$test" | awk '/libasan/ {print $3}')
    echo "sanitized: $(basename "$test")"
    # The window without OpenGL (Qt's xcb platform without its OpenGL
    # integration, and offscreen) now and then leaves a 152-byte block
    # allocated inside Qt Core whose stack ends there; it is run for memory
    # errors and undefined behaviour only. The same window's code with a cube
    # is leak-checked in test_gl_about.
    local options=$ASAN_OPTIONS
    [ "$(basename "$test")" = test_gl_about_without_opengl ] && options+=":detect_leaks=0"
    if ! timeout 600 xvfb-run -a -s "-screen 0 1280x1024x24" \
        env ASAN_OPTIONS="$options" QT_QPA_PLATFORM=xcb LIBGL_ALWAYS_SOFTWARE=1 TESSELO_PLUGIN_DIR="$asan_dir" LD_PRELOAD="$runtime${driver:+ $driver}" "$test" \
        > "$asan_dir/$(basename "$test").log" 2>&1; then
      cat "$asan_dir/$(basename "$test").log"
      failed=1
    fi
  done
  return $failed
}

# The .deb, built from the same build as everything else: the program finds
# its files relative to its executable, in whichever layout it is.
package() {
  install_packages "${PACKAGE_PACKAGES[@]}"
  build
  (cd "$BUILD_DIR" && cpack --config CPackConfig.cmake)
  tools/check-package.sh "$BUILD_DIR"/tesselo_*.deb
}

case "${1:-}" in
  build) build ;;
  run)
    build
    exec "$BUILD_DIR/tesselo"
    ;;
  test)
    build
    # The Debian package too: the tests labelled "package" run it unpacked
    # and check it, and here must not be skipped.
    install_packages "${PACKAGE_PACKAGES[@]}"
    (cd "$BUILD_DIR" && cpack --config CPackConfig.cmake >/dev/null)
    # Tests that need a display bring their own Xvfb through xvfb-run (see tests/CMakeLists.txt).
    TESSELO_REQUIRE_PACKAGE=1 ctest --test-dir "$BUILD_DIR" --output-on-failure -j"$(nproc)" ${CTEST_ARGS:-}
    [ "${TESSELO_SKIP_SANITIZERS:-0}" = 1 ] || sanitized_tests
    # A short fuzzing smoke run of the parsers from the seeds in fuzz/corpus
    # (./tesselo.sh fuzz runs longer).
    install_packages "${FUZZ_PACKAGES[@]}"
    fuzz/run.sh "${TESSELO_FUZZ_SECONDS:-15}"
    ;;
  fuzz)
    # ./tesselo.sh fuzz [seconds per target] [target ...]
    install_packages "${FUZZ_PACKAGES[@]}"
    shift
    fuzz/run.sh "$@"
    ;;
  bench)
    # Measures speed and the kill loop; writes the table of bench/README.md.
    install_packages
    bench/run.sh
    ;;
  package) package ;;
  *)
    echo "usage: $0 run|test|build|fuzz|bench|package" >&2
    exit 2
    ;;
esac
