#!/usr/bin/env bash
# The Debian package as installed: unpacks build/tesselo_*.deb into a
# temporary root, runs the program from it under Xvfb with HOME and the XDG
# folders in a temporary folder, opens the Progress window (a plugin from the
# package's plugin folder), ends it with SIGTERM, and checks where its files
# went: Settings.ini in the XDG config folder, the first run's pictures and
# the lock in the XDG data folder, nothing written into the unpacked root.
#   tests/package/installed_run.sh BUILD_DIR
# Exit 77 (skipped) without dpkg-deb or without a built package, unless
# TESSELO_REQUIRE_PACKAGE=1 (./tesselo.sh test sets it).
set -euo pipefail
build=${1:?usage: $0 BUILD_DIR}

skip() {
  if [ "${TESSELO_REQUIRE_PACKAGE:-0}" = 1 ]; then echo "FAIL: $*" >&2; exit 1; fi
  echo "skipped: $*"; exit 77
}
fail() { echo "FAIL: $*" >&2; exit 1; }

command -v dpkg-deb >/dev/null || skip "dpkg-deb is missing"
shopt -s nullglob
debs=("$build"/tesselo_*.deb)
[ ${#debs[@]} -ge 1 ] || skip "no package in $build (./tesselo.sh package)"
deb=${debs[-1]}

work=$(mktemp -d)
trap '[ "${KEEP:-0}" = 1 ] || rm -rf "$work"' EXIT
root=$work/root home=$work/home
dpkg-deb -x "$deb" "$root"
mkdir -p "$home" "$work/runtime"
chmod 700 "$work/runtime"
find "$root" -printf '%p %s %T@\n' | sort >"$work/root-before"

# Inside the display: start the program, wait for its window, open the
# Progress window with Ctrl+H, then SIGTERM, which saves as a close does.
cat >"$work/session.sh" <<'SESSION'
#!/usr/bin/env bash
set -u
program=$1 log=$2
# xvfb-run may hand over before its server takes connections.
for i in $(seq 1 100); do xdpyinfo >/dev/null 2>&1 && break; sleep 0.1; done
"$program" >"$log" 2>&1 &
pid=$!
wait_for() {   # wait_for NAME: a visible window of that title
  local i
  for i in $(seq 1 300); do
    xdotool search --onlyvisible --name "$1" 2>/dev/null | head -1 && return 0
    kill -0 "$pid" 2>/dev/null || return 1
    sleep 0.1
  done
  return 1
}
main=$(wait_for '^Tesselo \[') || { echo "no main window" >&2; kill "$pid" 2>/dev/null; exit 2; }
xdotool key --window "$main" ctrl+h
progress=$(wait_for '^(Progress|Прогресс)') || { echo "no Progress window" >&2; kill "$pid"; wait "$pid"; exit 3; }
kill -TERM "$pid"
wait "$pid"
SESSION
chmod +x "$work/session.sh"

run_session() {
  env -i PATH="$PATH" HOME="$home" XDG_CONFIG_HOME="$home/config" XDG_DATA_HOME="$home/data" \
    XDG_CACHE_HOME="$home/cache" XDG_RUNTIME_DIR="$work/runtime" LANG=C.UTF-8 QT_QPA_PLATFORM=xcb LIBGL_ALWAYS_SOFTWARE=1 \
    timeout 120 xvfb-run -a -n $((100 + RANDOM % 400)) -s "-screen 0 1280x1024x24" \
    "$work/session.sh" "$root/usr/bin/tesselo" "$work/log"
}
# Another X server started at the same moment on the machine can take the
# display number xvfb-run chose: that start is tried again once.
status=0
run_session || status=$?
if [ $status -ne 0 ] && grep -q 'could not connect to display' "$work/log"; then
  status=0
  run_session || status=$?
fi
[ $status -eq 0 ] || { cat "$work/log"; fail "the unpacked program did not run and end cleanly (status $status)"; }

find "$root" -printf '%p %s %T@\n' | sort >"$work/root-after"
diff "$work/root-before" "$work/root-after" || fail "the program wrote into the unpacked package"

settings=$home/config/tesselo/Settings.ini
[ -f "$settings" ] || fail "no Settings.ini in $home/config/tesselo"
grep -q '^\[Settings\]' "$settings" || fail "Settings.ini holds no [Settings] section"
data=$home/data/tesselo
# The first run shows the OLL set, whose pictures it writes.
[ -f "$data/Images/OLL/1.gif" ] && [ -f "$data/Images/OLL/57.gif" ] || fail "the first run's pictures are not in $data/Images"
[ -e "$data/.tesselo.lock" ] || fail "no lock in $data"
found=$(find "$home" -name digital.ttf -o -name 'Settings.ini*' ! -path "$settings")
[ -z "$found" ] || fail "files where none belong: $found"
echo "installed run: settings in $settings, data in $data, nothing written into the package"
