#!/usr/bin/env bash
# Screenshots of the real program under Xvfb, each taken in a fresh temporary
# program folder, in English and in Russian.
#
#   tools/screenshots.sh [state ...]    the given states (default: all of them)
#   tools/screenshots.sh gallery        the README gallery: screenshots/gallery/
#                                       with its README.md (not kept in git)
#
# Environment:
#   BUILD_DIR    where the tesselo executable and its Images/ are (default: build)
#   OUT_DIR      where the PNG files go (default: screenshots, or
#                screenshots/gallery for the gallery)
#   DISPLAY_NUM  the X display to start Xvfb on (default: 99)
#   LANGUAGES    the interface languages (default: "en ru")
#
# A state is a shell function state_<name>: it receives the main window's id
# and drives the program with xdotool (keys, clicks at client coordinates of
# the main window) and waits for what it needs. A state may also define
# settings_<name>, which prints extra lines for Settings.ini (with their
# section headers) before the program starts, and folder_<name>, which
# receives the program folder to lay out pictures before the start. A state
# that shows another window than the main one names it in SHOT_WINDOW.
#
# Every wait has a timeout (WAIT_SECONDS, default 20). A state whose wait runs
# out, or whose step shows no effect on the screen, fails: the other states
# are still shot, and the script ends with exit code 1, naming each failed
# state. Multi-step states (the exam) check each step before the next.
#
# The windows run under openbox, so dialogs have their frames and titles;
# every shot is the screen cut to the main window's frame, dialogs included
# (or to the window a state names).
set -euo pipefail
cd "$(dirname "$0")/.."
ROOT=$PWD
BUILD_DIR=${BUILD_DIR:-$ROOT/build}
DISPLAY_NUM=${DISPLAY_NUM:-99}
LANGUAGES=${LANGUAGES:-en ru}
WAIT_SECONDS=${WAIT_SECONDS:-20}

# ---- helpers for the states -------------------------------------------------------

WINDOW=""

# click X Y [button]: a click at client coordinates of the main window.
click() {
  xdotool mousemove --window "$WINDOW" "$1" "$2" click "${3:-1}"
  sleep 0.3
}

# Client coordinates of things on the main window (the left column is fixed).
PICTURE=(140 124)
RESULT_LINE=(140 272)
START=(53 350)
SET_SWITCH=(188 409)
BIN=(250 409)
CHECK_BOX=(24 472)
EXAM=(75 507)
ABOUT=(203 507)

# The thumbnail of tile n in the first rows of the three-column grid of a new
# window (800 pixels wide).
tile() {
  local n=$1
  echo $(( 280 + 168 * ((n - 1) % 3) + 38 )) $(( 14 + 86 * ((n - 1) / 3) + 38 ))
}

STATE=""

# fail message: reports why the state being shot failed, with the whole
# screen at that moment beside the pictures; the state returns 1.
fail() {
  echo "state $STATE ($LANGUAGE) failed: $*; the screen: $OUT_DIR/failed-$STATE-$LANGUAGE.png" >&2
  import -window root "$OUT_DIR/failed-$STATE-$LANGUAGE.png" 2>/dev/null || true
  return 1
}

# Waits (at most WAIT_SECONDS) until a window titled exactly $1 is shown.
wait_window() {
  local i
  for ((i = 0; i < WAIT_SECONDS * 10; i++)); do
    if xdotool search --onlyvisible --name "^$1\$" >/dev/null 2>&1; then
      sleep 0.4
      return 0
    fi
    sleep 0.1
  done
  fail "no window \"$1\" within $WAIT_SECONDS s"
}

# Waits (at most WAIT_SECONDS) until no window titled exactly $1 is shown.
wait_no_window() {
  local i
  for ((i = 0; i < WAIT_SECONDS * 10; i++)); do
    xdotool search --onlyvisible --name "^$1\$" >/dev/null 2>&1 || return 0
    sleep 0.1
  done
  fail "the window \"$1\" is still shown after $WAIT_SECONDS s"
}

# The id of the shown window titled exactly $1.
window_named() { xdotool search --onlyvisible --name "^$1\$" 2>/dev/null | head -n 1; }

# region X Y W H: a digest of that part of the main window's client area.
region() {
  local x y
  eval "$(xwininfo -id "$WINDOW" | awk -F: '
    /Absolute upper-left X/ {print "x=" $2+0}
    /Absolute upper-left Y/ {print "y=" $2+0}')"
  import -window root -crop "$3x$4+$((x + $1))+$((y + $2))" +repage rgb:- 2>/dev/null | md5sum
}

# The buttons a step of the cycle changes: Start's caption turns to Stop at
# the start; Accept is enabled at Stop and disabled again by Accept or Discard.
START_BUTTON=(16 338 72 26)
ACCEPT_BUTTON=(98 338 72 26)

# until_changed what X Y W H before: waits (at most WAIT_SECONDS) until the
# region no longer shows before; fails the state otherwise.
until_changed() {
  local i
  for ((i = 0; i < WAIT_SECONDS * 5; i++)); do
    sleep 0.2
    [ "$(region "$2" "$3" "$4" "$5")" != "$6" ] && return 0
  done
  fail "$1: nothing changed on the screen within $WAIT_SECONDS s"
}

# step what X Y W H key: presses key and waits until the region shows a
# change; a key the program missed fails the state.
step() {
  local before
  before=$(region "$2" "$3" "$4" "$5")
  # The key goes to the window with the focus: make sure it is the main one.
  timeout 5 xdotool windowactivate --sync "$WINDOW" >/dev/null 2>&1 || true
  xdotool key "$6"
  until_changed "$1" "$2" "$3" "$4" "$5" "$before"
}

# One attempt from Start to the case's picture (the countdown is 2 s).
start_attempt() {
  step "start" "${START_BUTTON[@]}" space || return 1
  sleep "${1:-2.8}"
}
stop_attempt() { step "stop" "${ACCEPT_BUTTON[@]}" space; }
accept_attempt() { step "accept" "${ACCEPT_BUTTON[@]}" space; }

# t english russian: the text in the language being shot.
t() { if [ "$LANGUAGE" = ru ]; then echo "$2"; else echo "$1"; fi; }


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
  sample_hints
}

# A few of the built-in algorithms (a settings file made by hand has none).
sample_hints() {
  printf '[OLL hints]\n'
  printf "hint3=x U R' U' L U R U' Rw'\nhint5=R U2 R' U' R U' R'\n"
  printf "hint21=Lw' U' Rw' F R F' U' L U F\nhint27=R U2' R2' U' R U' R' U2' F R F'\n"
  printf '[PLL hints]\n'
  printf "hint8=R U R' F' R U R' U' R' F R2 U' R' U'\n"
}

sample_pll_results() {
  local n average best
  printf '[Results]\n'
  for n in $(seq 1 21); do
    average=$(( 3100 + (n * 1777) % 6100 ))
    best=$(( average * 3 / 4 ))
    printf 'pavg%d=%d,%03d\npbes%d=%d,%03d\npnes%d=%d\n' "$n" $((average / 1000)) $((average % 1000)) \
      "$n" $((best / 1000)) $((best % 1000)) "$n" $(( 2 + (n * 5) % 13 ))
  done
  printf '[Settings]\npal7=1\npal16=1\n'
  sample_hints
}

# Only the listed cases of the set stay enabled (keys al or pal).
only_cases() {
  local prefix=$1 count=$2 n
  shift 2
  printf '[Settings]\n'
  for n in $(seq 1 "$count"); do
    [[ " $* " == *" $n "* ]] || printf '%s%d=1\n' "$prefix" "$n"
  done
}

# A Hard folder holding one picture of the generated library (and its answer),
# so that the shot shows that picture.
one_hard_picture() {
  local dir=$1 family=$2 n=$3 file=$4
  rm -f "$dir/Images/$family"
  mkdir -p "$dir/Images/$family/$n"
  cp "$BUILD_DIR/Images/$family/$n/$file" "$dir/Images/$family/$n/"
  if [ -d "$BUILD_DIR/Images/$family/Answers" ]; then
    mkdir -p "$dir/Images/$family/Answers/$n"
    cp "$BUILD_DIR/Images/$family/Answers/$n/$file" "$dir/Images/$family/Answers/$n/"
  fi
}

settings_idle() { sample_results; }
state_idle() { :; }

state_countdown() {
  step "start" "${START_BUTTON[@]}" space
}

state_running() {
  start_attempt 3.2
}

settings_result() { sample_results; }
state_result() {
  start_attempt 3.4 || return 1
  stop_attempt
}

# A disabled tile: its veil washes the picture out, its bar turns grey.
settings_veil() { sample_results; }
state_veil() {
  # shellcheck disable=SC2046
  click $(tile 2)
  click $(tile 6)
  xdotool mousemove --window "$WINDOW" 140 600
}

# A right click on a tile shows its picture and algorithm.
settings_preview() { sample_results; }
state_preview() {
  # shellcheck disable=SC2046
  click $(tile 5) 3
}

# The algorithm's pop-up menu, then the hint editor.
settings_editor() { sample_results; }
state_editor() {
  # shellcheck disable=SC2046
  click $(tile 5) 3
  click "${RESULT_LINE[@]}" 3
  xdotool key Down Return
  wait_window "$(t 'Edit algorithm 5' 'Изменение алгоритма 5')"
}

# The tile's pop-up menu's third item: the export's save dialog.
settings_exportdialog() { sample_results; }
state_exportdialog() {
  # shellcheck disable=SC2046
  click $(tile 5) 3
  click "${RESULT_LINE[@]}" 3
  xdotool key Down Down Down Return
  wait_window "$(t 'Export times for csTimer or TwistyTimer' 'Экспорт времён для csTimer или TwistyTimer')"
  SHOT_WINDOW=$(window_named "$(t 'Export times for csTimer or TwistyTimer' 'Экспорт времён для csTimer или TwistyTimer')")
}

# A csTimer export in the program folder: OLL and PLL training solves (the
# first pool setups of a few cases, timed twice), a DNF and a whole-cube solve.
folder_importsummary() {
  awk -v q='"' -v full="D2 F2 U' R2 B2 U L2 D' F2 U2 R' B' L F' R2 U2 F U' L2 B'" '
    BEGIN { start = 1796815000 }
    ($1 == "OLL" && $2 <= 6 || $1 == "PLL" && $2 <= 3) && !(($1 " " $2) in seen) {
      seen[$1 " " $2] = 1
      scramble = $0; sub(/^[A-Z]+ [0-9]+ /, "", scramble)
      for (k = 0; k < 2; k++) {
        solves = solves sep "[[0," 1200 + 37 * n "]," q scramble q "," q q "," start + 60 * n "]"
        sep = ","; n++
      }
    }
    END {
      solves = solves ",[[-1,2100]," q "R U R2" q "," q q "," start + 60 * n "]"
      solves = solves ",[[0,15300]," q full q "," q q "," start + 60 * n + 60 "]"
      print "{" q "session1" q ":[" solves "]," q "properties" q ":{}}"
    }' "$ROOT/resources/scramble-pool.txt" >"$1/csTimer.json"
}
settings_importsummary() { sample_results; }
state_importsummary() {
  local folder title
  folder=$(readlink "/proc/$APP_PID/cwd")
  title=$(t 'Import times from csTimer or TwistyTimer' 'Импорт времён из csTimer или TwistyTimer')
  # shellcheck disable=SC2046
  click $(tile 5) 3
  click "${RESULT_LINE[@]}" 3
  xdotool key Down Down Down Down Return
  wait_window "$title" || return 1
  xdotool type --delay 20 "$folder/csTimer.json"
  xdotool key Return
  wait_window Tesselo
}

settings_clear() { sample_results; }
state_clear() {
  click "${BIN[@]}"
  wait_window "$(t 'Clear results' 'Удаление статистики')"
}

# The Groups dialog, in OLL and in PLL at the Hard level (where the 2-side box
# shares the row of the Groups button).
GROUPS_BUTTON=(231 473)
settings_groups() { sample_results; }
state_groups() {
  click "${GROUPS_BUTTON[@]}"
  wait_window "$(t 'OLL groups' 'Группы OLL')"
}
settings_pllgroups() { settings_pllhard; }
state_pllgroups() {
  click "${GROUPS_BUTTON[@]}"
  wait_window "$(t 'PLL groups' 'Группы PLL')"
}

# PLL at the Hard level, with the 2-side recognition box ticked.
settings_pllhard() {
  printf '[Settings]\nmode=PLL\npmode=1\n1-layers=1\n'
  sample_pll_results
}
state_pllhard() { :; }

# An exam over three cases: one done, the second running.
settings_exam() { sample_results; only_cases al 57 3 21 27; }
state_exam() {
  click "${EXAM[@]}"
  wait_window "$(t 'Start exam' 'Начало экзамена')" || return 1
  xdotool key Return
  wait_no_window "$(t 'Start exam' 'Начало экзамена')" || return 1
  start_attempt || return 1
  stop_attempt || return 1
  accept_attempt || return 1
  start_attempt 3.5
}

settings_examresult() { settings_exam; }
state_examresult() {
  local i
  click "${EXAM[@]}"
  wait_window "$(t 'Start exam' 'Начало экзамена')" || return 1
  xdotool key Return
  wait_no_window "$(t 'Start exam' 'Начало экзамена')" || return 1
  for i in 1 2 3; do
    start_attempt "$(( i + 1 )).$(( i * 3 ))" || return 1
    stop_attempt || return 1
    if [ "$i" = 2 ]; then
      step "discard" "${ACCEPT_BUTTON[@]}" Escape || return 1
    elif [ "$i" = 1 ]; then
      accept_attempt || return 1
    else
      xdotool key space   # the last Accept ends the exam with its result box
    fi
  done
  wait_window Tesselo
}

state_about() {
  click "${ABOUT[@]}"
  wait_window "$(t 'About' 'О программе')" || return 1
  sleep 1
}

# The Hard pictures: an OLL question seen from above-front-right, a PLL
# question seen from two sides and its answer.
settings_ollhard() { printf '[Settings]\nomode=1\n'; only_cases al 57 21; }
folder_ollhard() { one_hard_picture "$1" OLL-2 21 6.gif; }
state_ollhard() { start_attempt 3.1; }

settings_pllsides() { printf '[Settings]\nmode=PLL\npmode=1\n1-layers=1\n'; only_cases pal 21 8; }
folder_pllsides() { one_hard_picture "$1" PLL-2-sides 8 2.gif; }
state_pllsides() { start_attempt 3.1; }

settings_pllanswer() { settings_pllsides; }
folder_pllanswer() { folder_pllsides "$1"; }
state_pllanswer() {
  start_attempt 3.1 || return 1
  stop_attempt
}

# Weeks of practice in History.csv: OLL 21 getting faster, and a few times
# of most other cases (some have none).
sample_history() {
  awk -v exams="${2:-}" 'BEGIN {
    srand(7); print "time,set,case,level,recognition,seconds,exam"
    day = 1796515200
    for (i = 0; i < 60; i++) {
      t = 2.6 - 1.2 * i / 60 + rand() * 0.9
      printf "%s,OLL,21,%s,top,%.3f,%d\n", strftime("%Y-%m-%dT%H:%M:%SZ", day + i * 4000, 1), (i % 4 ? "Easy" : "Hard"), t, (exams != "" && i % 7 == 3)
    }
    for (n = 1; n <= 57; n++) {
      if (n % 9 == 4) continue
      for (k = 0; k < 3 + n % 5; k++)
        printf "%s,OLL,%d,Easy,top,%.3f,0\n", strftime("%Y-%m-%dT%H:%M:%SZ", day + 300000 + n * 100 + k, 1), n, 1.5 + (n * 37 % 40) / 10 + rand()
    }
    printf "2026-12-0\n"
  }' >"$1/History.csv"
}

# History.csv under today's header: case 21's times, two of three with the
# recognition marked (with "split"), and naming drill answers over a dozen
# cases, some right, some wrong, some given up (with "drill").
recognition_history() {
  awk -v what="$2" 'BEGIN {
    srand(11); print "time,set,case,level,recognition,seconds,exam,scramble,mode,split,answer,result"
    day = 1796515200
    for (i = 0; i < 60; i++) {
      r = 1.1 - 0.5 * i / 60 + rand() * 0.4; t = r + 1.4 - 0.6 * i / 60 + rand() * 0.5
      stamp = strftime("%Y-%m-%dT%H:%M:%SZ", day + i * 4000, 1)
      if (what == "split" && i % 3)
        printf "%s,OLL,21,Easy,top,%.3f,0,,split,%.3f,,\n", stamp, t, r
      else
        printf "%s,OLL,21,Easy,top,%.3f,0,,time,,,\n", stamp, t
    }
    for (n = 1; what == "drill" && n <= 57; n += 4)
      for (k = 0; k < 4 + n % 9; k++) {
        stamp = strftime("%Y-%m-%dT%H:%M:%SZ", day + 300000 + n * 100 + k, 1)
        miss = rand() < (n % 5) / 12
        if (miss && k % 2)
          printf "%s,OLL,%d,Easy,top,,0,,name,,,gave-up\n", stamp, n
        else if (miss)
          printf "%s,OLL,%d,Easy,top,,0,,name,,%d,wrong\n", stamp, n, (n + 7) % 57 + 1
        else {
          t = 0.6 + (n * 29 % 20) / 10 + rand() * 0.5
          printf "%s,OLL,%d,Easy,top,%.3f,0,,name,%.3f,%d,ok\n", stamp, n, t, t, n
        }
      }
  }' >"$1/History.csv"
}

# "With exam times" in the Progress window (its box in Russian, its text in English).
PROGRESS_EXAM_BOX=(105 18)

# Ctrl+H: waits for the Progress window, filled in, and shoots it.
open_progress() {
  local title
  title=$(t 'Progress' 'Прогресс')
  xdotool key ctrl+h
  wait_window "$title" || return 1
  SHOT_WINDOW=$(window_named "$title")
  sleep 0.6   # the file is read in the background: a small one at once
}

# The Progress window of the case just accepted (Ctrl+H after the attempt).
settings_progresscase() { sample_results; only_cases al 57 21; }
folder_progresscase() { sample_history "$1"; }
state_progresscase() {
  start_attempt 3.4 || return 1
  stop_attempt || return 1
  accept_attempt || return 1
  open_progress
}

# The same with the exam times in: drawn hollow.
settings_progressexam() { settings_progresscase; }
folder_progressexam() { sample_history "$1" exam; }
state_progressexam() {
  local main before
  state_progresscase || return 1
  main=$WINDOW
  WINDOW=$SHOT_WINDOW   # the checks below look at the Progress window
  before=$(region 0 0 300 40)
  # Clicked, then the pointer off the controls: only the tick can change the row.
  xdotool mousemove --window "$SHOT_WINDOW" "${PROGRESS_EXAM_BOX[@]}" click 1 mousemove --window "$SHOT_WINDOW" 60 300
  until_changed "tick \"With exam times\"" 0 0 300 40 "$before" || return 1
  WINDOW=$main
  sleep 0.5
}

# A case without times: drawn, its time discarded, then Ctrl+H.
settings_progressempty() { sample_results; only_cases al 57 13; }
folder_progressempty() { sample_history "$1"; }
state_progressempty() {
  start_attempt 3.4 || return 1
  stop_attempt || return 1
  step "discard" "${ACCEPT_BUTTON[@]}" Escape || return 1
  open_progress
}

# The whole set: Ctrl+H before any case was drawn.
settings_progressset() { sample_results; }
folder_progressset() { sample_history "$1"; }
state_progressset() { open_progress; }

# A case whose recognition was timed apart: its two means and the marks as
# a series of their own.
settings_progresssplit() { settings_progresscase; }
folder_progresssplit() { recognition_history "$1" split; }
state_progresssplit() { state_progresscase; }

# The Recognition view: the naming drill's answers, the worst named first.
PROGRESS_RECOGNITION_BUTTON=(690 18)
settings_progressrecognition() { sample_results; }
folder_progressrecognition() { recognition_history "$1" drill; }
state_progressrecognition() {
  local main before
  open_progress || return 1
  main=$WINDOW
  WINDOW=$SHOT_WINDOW
  before=$(region 0 40 700 80)
  xdotool mousemove --window "$SHOT_WINDOW" "${PROGRESS_RECOGNITION_BUTTON[@]}" click 1 mousemove --window "$SHOT_WINDOW" 60 500
  until_changed "open the Recognition view" 0 40 700 80 "$before" || return 1
  WINDOW=$main
  sleep 0.5
}

# Setup scrambles: the next case's scramble in Idle, its Easy picture at Stop.
settings_scrambleidle() { printf '[Settings]\nScramble=1\n'; sample_results; }
state_scrambleidle() { :; }
settings_scramblestop() { settings_scrambleidle; }
state_scramblestop() {
  start_attempt 3.4 || return 1
  stop_attempt
}

# The scramble at the smallest window and in a maximised one: the frame's
# lettering at both ends of the window's sizes.
settings_scramblemin() { printf '[Position]\nX=0\nY=0\nWidth=800\nHeight=600\n'; settings_scrambleidle; }
state_scramblemin() { :; }
settings_scramblemax() { printf '[Position]\nmax=1\n'; settings_scrambleidle; }
state_scramblemax() { :; }
# A give-up on the empty frame: the case's picture, name and algorithm (of
# the cases with a sample hint).
settings_scramblegiveup() { settings_scrambleidle; only_cases al 57 5 21 27; }
state_scramblegiveup() {
  start_attempt 3.4 || return 1
  click "${PICTURE[@]}"
  xdotool mousemove --window "$WINDOW" 140 600
}
# "Another scramble" pressed twice: a new setup for the same case.
settings_scrambleanother() { settings_scrambleidle; }
state_scrambleanother() {
  step "another scramble" 36 20 208 168 n || return 1
  click 140 249
  xdotool mousemove --window "$WINDOW" 140 600
}

# Time recognition: a letter marks the end of recognition while the
# stopwatch runs; the stop shows recognition + execution. Also under a setup
# scramble.
mark_recognition() {
  sleep "${1:-0.9}"
  xdotool key j
  sleep 0.3
}
settings_splitmark() { printf '[Settings]\nSplit=1\n'; sample_results; }
state_splitmark() {
  start_attempt 2.2 || return 1
  mark_recognition 0.9
  sleep 0.8
}
settings_splitstop() { settings_splitmark; }
state_splitstop() {
  start_attempt 2.2 || return 1
  mark_recognition 0.9
  sleep 1.2
  stop_attempt
}
settings_scramblesplit() { printf '[Settings]\nScramble=1\nSplit=1\n'; sample_results; }
state_scramblesplit() { state_splitstop; }

# The draw choice opened, with rounds chosen: the round in the status bar.
settings_drawchoice() { printf '[Settings]\nDraw=round\n'; sample_results; }
state_drawchoice() {
  click 203 531
}

# "Name the case": the box ticked in Idle (at the window's smallest size), a
# PLL case named wrongly (Jb shown, "Ga" typed: the right name and picture),
# also under a setup scramble, an OLL case named right with its number and
# Enter (OLL 21 is the standard 40), a give-up.
NAMING_BOX=(24 550)
settings_nameidle() { printf '[Position]\nX=0\nY=0\nWidth=800\nHeight=600\n'; sample_results; }
state_nameidle() { click "${NAMING_BOX[@]}"; }
settings_nametyped() { sample_results; only_cases al 57 21; }
state_nametyped() {
  click "${NAMING_BOX[@]}" || return 1
  start_attempt 3.0 || return 1
  xdotool key 4
  sleep 0.5
}
settings_nameright() { settings_nametyped; }
state_nameright() {
  state_nametyped || return 1
  xdotool key 0
  sleep 0.3
  step "answer" "${START_BUTTON[@]}" Return
}
settings_namewrong() { printf '[Settings]\nmode=PLL\n'; sample_pll_results; only_cases pal 21 8; }
state_namewrong() {
  click "${NAMING_BOX[@]}" || return 1
  start_attempt 3.0 || return 1
  xdotool key g
  step "answer" "${START_BUTTON[@]}" a
}
settings_namescramble() { printf '[Settings]\nmode=PLL\nScramble=1\n'; sample_pll_results; only_cases pal 21 8; }
state_namescramble() { state_namewrong; }
settings_namegiveup() { settings_namewrong; }
state_namegiveup() {
  click "${NAMING_BOX[@]}" || return 1
  start_attempt 3.0 || return 1
  step "give up" "${START_BUTTON[@]}" Escape
}

ALL_STATES=(idle countdown running result veil preview editor clear groups pllgroups pllhard exam examresult about
  ollhard pllsides pllanswer progresscase progressexam progressempty progressset progresssplit progressrecognition
  scrambleidle scramblestop scramblemin scramblemax scramblegiveup scrambleanother drawchoice splitmark splitstop scramblesplit exportdialog importsummary
  nameidle nametyped nameright namewrong namescramble namegiveup)

# The gallery: each state with its caption.
GALLERY=(
  "idle|The board: tiles with their averages, bests, counts and bars"
  "running|An attempt: the case's picture and the stopwatch"
  "result|Stopped: the time against the best"
  "veil|Two cases disabled with a left click"
  "preview|A right click on a tile: its picture and algorithm"
  "editor|A right click on the algorithm: the hint editor"
  "clear|Clearing the results"
  "pllhard|PLL at the Hard level with 2-side recognition"
  "exam|An exam: one case done, the next running"
  "examresult|The exam's result"
  "about|The About window"
  "ollhard|OLL Hard: a question seen from above-front-right"
  "pllsides|PLL Hard, 2-side recognition: the question"
  "pllanswer|PLL Hard, 2-side recognition: its answer at Stop"
  "progresscase|Ctrl+H after an attempt: every time of the case, its averages and best"
  "progressexam|The same with the exam times in, drawn hollow"
  "progressempty|A case without times"
  "progressset|Ctrl+H before any attempt: the set's cases, slowest first"
  "progresssplit|A case with recognition timed apart: recognition and execution"
  "progressrecognition|The Recognition view: the naming drill's cases, worst named first"
  "scrambleidle|Setup scramble: the next case to set up on a real cube"
  "scramblestop|Setup scramble: the case's picture as the answer at Stop"
  "scramblegiveup|Setup scramble: a click on the frame gives up and shows the case"
  "drawchoice|The draw choice: each case once, the round in the status bar"
  "exportdialog|Export…: the file type picks csTimer or TwistyTimer"
  "importsummary|Import…: what came in per case, what was left out and why"
)

# ---- machinery ----------------------------------------------------------------------

need() {
  local missing=()
  command -v Xvfb >/dev/null || missing+=(xvfb)
  command -v xdotool >/dev/null || missing+=(xdotool)
  command -v import >/dev/null || missing+=(imagemagick)
  command -v openbox >/dev/null || missing+=(openbox)
  command -v xprop >/dev/null || missing+=(x11-utils)
  [ ${#missing[@]} -eq 0 ] && return 0
  local sudo=""
  [ "$(id -u)" -ne 0 ] && sudo="sudo"
  $sudo apt-get update -qq
  DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq "${missing[@]}"
}

XVFB_PID=""
WM_PID=""
APP_PID=""
WORK_DIRS=()

cleanup() {
  [ -n "$APP_PID" ] && kill "$APP_PID" 2>/dev/null || true
  [ -n "$WM_PID" ] && kill "$WM_PID" 2>/dev/null || true
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
    xdpyinfo >/dev/null 2>&1 && break
    sleep 0.1
  done
  xdpyinfo >/dev/null 2>&1 || { echo "Xvfb did not start on $DISPLAY" >&2; exit 1; }
  openbox >/dev/null 2>&1 &
  WM_PID=$!
  for i in $(seq 50); do
    xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q 'window id' && return 0
    sleep 0.1
  done
  echo "openbox did not start on $DISPLAY" >&2
  exit 1
}

# Prints the program folder prepared for one language and state.
prepare_folder() {
  local language=$1 state=$2 dir family
  dir=$(mktemp -d /tmp/tesselo-shot.XXXXXX)
  WORK_DIRS+=("$dir")
  cp "$BUILD_DIR/tesselo" "$dir/"
  # The About window's cube view and the Progress window, loaded beside the program.
  cp "$BUILD_DIR/tesselo_cube.so" "$BUILD_DIR/tesselo_progress.so" "$dir/"
  # The generated Hard picture library, as the build lays it out.
  mkdir -p "$dir/Images"
  for family in OLL-2 PLL-2 PLL-2-sides; do
    [ -d "$BUILD_DIR/Images/$family" ] && ln -s "$BUILD_DIR/Images/$family" "$dir/Images/$family"
  done
  if declare -F "folder_$state" >/dev/null; then
    "folder_$state" "$dir"
  fi
  # The program reads the first section of a name only: the pieces a state
  # prints (several [Settings] among them) are merged into one each.
  {
    printf '[Settings]\nLanguage=%s\n' "$language"
    if declare -F "settings_$state" >/dev/null; then
      "settings_$state"
    fi
  } | awk '/^\[/ { section = $0; if (!(section in seen)) { seen[section] = 1; order[++count] = section }; next }
           { body[section] = body[section] $0 "\n" }
           END { for (i = 1; i <= count; i++) printf "%s\n%s", order[i], body[order[i]] }' |
    sed 's/\r\{0,1\}$/\r/' >"$dir/Settings.ini"
  echo "$dir"
}

# The screen cut to the main window and its frame; the dialogs, centred on
# the main window, are inside it.
capture() {
  local window=$1 file=$2 x y width height left right top bottom
  eval "$(xwininfo -id "$window" | awk -F: '
    /Absolute upper-left X/ {print "x=" $2+0}
    /Absolute upper-left Y/ {print "y=" $2+0}
    /^ *Width/ {print "width=" $2+0}
    /^ *Height/ {print "height=" $2+0}')"
  read -r left right top bottom < <(xprop -id "$window" _NET_FRAME_EXTENTS | sed 's/.*= //; s/,//g')
  import -window root -crop "$((width + left + right))x$((height + top + bottom))+$((x - left))+$((y - top))" \
    +repage "$file"
}

# Shoots one state; returns 1 when the program did not come up or the state
# failed (the picture is not kept then).
shoot() {
  local language=$1 state=$2 dir i
  LANGUAGE=$language
  STATE=$state
  dir=$(prepare_folder "$language" "$state")
  (cd "$dir" && QT_QPA_PLATFORM=xcb exec ./tesselo >"$dir/log" 2>&1) &
  APP_PID=$!
  WINDOW=""
  for ((i = 0; i < WAIT_SECONDS * 10; i++)); do
    WINDOW=$(xdotool search --onlyvisible --name '^Tesselo \[' 2>/dev/null | head -n 1)
    [ -n "$WINDOW" ] && break
    sleep 0.1
  done
  local ok=1
  if [ -z "$WINDOW" ]; then
    fail "the main window did not show within $WAIT_SECONDS s" || ok=0
  else
    sleep 0.8
    timeout 10 xdotool windowactivate --sync "$WINDOW" >/dev/null 2>&1 || true
    SHOT_WINDOW=""
    "state_$state" "$WINDOW" || ok=0
  fi
  [ $ok = 1 ] && capture "${SHOT_WINDOW:-$WINDOW}" "$OUT_DIR/${state}-${language}.png"
  kill "$APP_PID" 2>/dev/null || true
  wait "$APP_PID" 2>/dev/null || true
  APP_PID=""
  [ $ok = 1 ] || { rm -f "$OUT_DIR/${state}-${language}.png"; return 1; }
  echo "$OUT_DIR/${state}-${language}.png"
}

# The gallery's README: each state in the languages shot, side by side.
write_gallery_readme() {
  local entry state caption language
  {
    echo "# Tesselo screenshots"
    echo
    echo "Made by \`tools/screenshots.sh gallery\` from the program built in \`${BUILD_DIR#"$ROOT"/}\`."
    echo
    printf '|'; for language in $LANGUAGES; do printf ' %s |' "$language"; done; echo
    printf '|'; for language in $LANGUAGES; do printf ' --- |'; done; echo
    for entry in "${GALLERY[@]}"; do
      state=${entry%%|*}
      caption=${entry#*|}
      printf '| **%s** |' "$caption"; for language in ${LANGUAGES#* }; do printf ' |'; done; echo
      printf '|'; for language in $LANGUAGES; do printf ' ![%s](%s-%s.png) |' "$state" "$state" "$language"; done; echo
    done
    if [ -f "$OUT_DIR/easy.png" ]; then
      echo
      echo "## The pictures"
      echo
      echo "Every Easy picture, and the Hard pictures of a few cases, as the build draws them:"
      echo
      echo "![Easy pictures](easy.png)"
      echo
      echo "![Hard pictures](hard.png)"
    fi
  } >"$OUT_DIR/README.md"
  echo "$OUT_DIR/README.md"
}

FAILED=()

run_states() {
  local language state
  for language in $LANGUAGES; do
    for state in "$@"; do
      declare -F "state_$state" >/dev/null || { echo "unknown state: $state" >&2; exit 2; }
      shoot "$language" "$state" || FAILED+=("$state ($language)")
    done
  done
}

main() {
  local states=("$@") gallery=0 entry
  if [ "${1:-}" = gallery ]; then
    gallery=1
    states=()
    for entry in "${GALLERY[@]}"; do states+=("${entry%%|*}"); done
  fi
  OUT_DIR=${OUT_DIR:-$ROOT/screenshots$([ $gallery = 1 ] && echo /gallery || true)}
  need
  [ -x "$BUILD_DIR/tesselo" ] || { echo "no $BUILD_DIR/tesselo: build first (./tesselo.sh build)" >&2; exit 1; }
  mkdir -p "$OUT_DIR"
  [ ${#states[@]} -eq 0 ] && states=("${ALL_STATES[@]}")
  start_display
  run_states "${states[@]}"
  if [ $gallery = 1 ]; then
    local sheet
    for sheet in easy hard; do
      [ -f "$BUILD_DIR/contact-sheets/$sheet.png" ] && cp "$BUILD_DIR/contact-sheets/$sheet.png" "$OUT_DIR/"
    done
    write_gallery_readme
  fi
  if [ ${#FAILED[@]} -gt 0 ]; then
    echo "failed states: ${FAILED[*]}" >&2
    exit 1
  fi
}

main "$@"
