#!/usr/bin/env bash
# Screenshots of the real program under Xvfb, each taken in a fresh temporary
# program folder, in English and in Russian.
#
#   tools/screenshots.sh [state ...]
#
# Without arguments every state below is taken. Environment:
#   BUILD_DIR   where the tesselo executable is (default: build)
#   OUT_DIR     where the PNG files go (default: screenshots)
#   DISPLAY_NUM the X display to start Xvfb on (default: 99)
#   LANGUAGES   the interface languages (default: "en ru")
#
# A state is a shell function state_<name>: it receives the window id and
# drives the program there with xdotool (keys, clicks) and waits for what it
# needs. A state may also define settings_<name>, which prints extra lines
# for Settings.ini (with its section headers) before the program starts.
set -euo pipefail
cd "$(dirname "$0")/.."
ROOT=$PWD
BUILD_DIR=${BUILD_DIR:-$ROOT/build}
OUT_DIR=${OUT_DIR:-$ROOT/screenshots}
DISPLAY_NUM=${DISPLAY_NUM:-99}
LANGUAGES=${LANGUAGES:-en ru}

# ---- the states -----------------------------------------------------------------

# Some practice on the board: varied averages, bests and counts, a few cases
# disabled.
sample_results() {
  local n average best
  printf '[Results]\n'
  for n in $(seq 1 57); do
    average=$(( 2400 + (n * 1373) % 5200 ))
    best=$(( average * 7 / 10 ))
    printf 'avg%d=%d,%03d\nbes%d=%d,%03d\nnes%d=%d\n' "$n" $((average / 1000)) $((average % 1000)) \
      "$n" $((best / 1000)) $((best % 1000)) "$n" $(( 3 + (n * 7) % 19 ))
  done
  printf '[Settings]\nal4=1\nal11=1\nal23=1\n'
}

settings_idle() { sample_results; }
state_idle() { :; }

state_countdown() {
  xdotool key space
  sleep 0.4
}

state_running() {
  xdotool key space
  sleep 3.2
}

settings_result() { sample_results; }
state_result() {
  xdotool key space
  sleep 3.4
  xdotool key space
  sleep 0.4
}

ALL_STATES=(idle countdown running result)

# ---- machinery ----------------------------------------------------------------------

need() {
  local missing=()
  command -v Xvfb >/dev/null || missing+=(xvfb)
  command -v xdotool >/dev/null || missing+=(xdotool)
  command -v import >/dev/null || missing+=(imagemagick)
  [ ${#missing[@]} -eq 0 ] && return 0
  local sudo=""
  [ "$(id -u)" -ne 0 ] && sudo="sudo"
  $sudo apt-get update -qq
  DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq "${missing[@]}"
}

XVFB_PID=""
APP_PID=""
WORK_DIRS=()

cleanup() {
  [ -n "$APP_PID" ] && kill "$APP_PID" 2>/dev/null || true
  [ -n "$XVFB_PID" ] && kill "$XVFB_PID" 2>/dev/null || true
  local dir
  for dir in "${WORK_DIRS[@]}"; do rm -rf "$dir"; done
}
trap cleanup EXIT

start_display() {
  Xvfb ":$DISPLAY_NUM" -screen 0 1280x1024x24 -nolisten tcp >/dev/null 2>&1 &
  XVFB_PID=$!
  export DISPLAY=":$DISPLAY_NUM"
  local i
  for i in $(seq 50); do
    xdpyinfo >/dev/null 2>&1 && return 0
    xdotool getmouselocation >/dev/null 2>&1 && return 0
    sleep 0.1
  done
  echo "Xvfb did not start on $DISPLAY" >&2
  exit 1
}

# Prints the program folder prepared for one language and state.
prepare_folder() {
  local language=$1 state=$2 dir
  dir=$(mktemp -d /tmp/tesselo-shot.XXXXXX)
  WORK_DIRS+=("$dir")
  cp "$BUILD_DIR/tesselo" "$dir/"
  {
    printf '[Settings]\r\nLanguage=%s\r\n' "$language"
    if declare -F "settings_$state" >/dev/null; then
      "settings_$state" | sed 's/\r\{0,1\}$/\r/'
    fi
  } >"$dir/Settings.ini"
  echo "$dir"
}

shoot() {
  local language=$1 state=$2 dir window
  dir=$(prepare_folder "$language" "$state")
  (cd "$dir" && QT_QPA_PLATFORM=xcb exec ./tesselo >"$dir/log" 2>&1) &
  APP_PID=$!
  window=$(xdotool search --sync --onlyvisible --name '^Tesselo \[' | head -n 1)
  sleep 0.5
  xdotool windowfocus --sync "$window" 2>/dev/null || true
  "state_$state" "$window"
  import -window "$window" "$OUT_DIR/${state}-${language}.png"
  kill "$APP_PID" 2>/dev/null || true
  wait "$APP_PID" 2>/dev/null || true
  APP_PID=""
  echo "$OUT_DIR/${state}-${language}.png"
}

main() {
  need
  [ -x "$BUILD_DIR/tesselo" ] || { echo "no $BUILD_DIR/tesselo: build first (./tesselo.sh build)" >&2; exit 1; }
  mkdir -p "$OUT_DIR"
  local states=("$@")
  [ ${#states[@]} -eq 0 ] && states=("${ALL_STATES[@]}")
  start_display
  local language state
  for language in $LANGUAGES; do
    for state in "${states[@]}"; do
      declare -F "state_$state" >/dev/null || { echo "unknown state: $state" >&2; exit 2; }
      shoot "$language" "$state"
    done
  done
}

main "$@"
