#!/usr/bin/env bash
# Checks a built Tesselo package: lintian reports no error, and the desktop
# entry and the AppStream metadata it carries validate (without the network).
#   tools/check-package.sh build/tesselo_1.0_amd64.deb
#   tools/check-package.sh build      the package in that folder; exit 77
#                                     (skipped) when there is none or the
#                                     tools are missing, unless
#                                     TESSELO_REQUIRE_PACKAGE=1
set -euo pipefail
deb=${1:?usage: $0 package.deb|build-folder}
skip() {
  if [ "${TESSELO_REQUIRE_PACKAGE:-0}" = 1 ]; then echo "FAIL: $*" >&2; exit 1; fi
  echo "skipped: $*"; exit 77
}
for tool in dpkg-deb lintian desktop-file-validate appstreamcli; do
  command -v $tool >/dev/null || skip "$tool is missing"
done
if [ -d "$deb" ]; then
  shopt -s nullglob
  debs=("$deb"/tesselo_*.deb)
  [ ${#debs[@]} -ge 1 ] || skip "no package in $deb (./tesselo.sh package)"
  deb=${debs[-1]}
  shopt -u nullglob
fi
root=$(mktemp -d)
trap 'rm -rf "$root"' EXIT
dpkg-deb -x "$deb" "$root"

# lintian complains of being run as root; the package is only read.
echo "lintian:"
status=0
report=$(lintian --fail-on error --tag-display-limit 0 "$deb" 2>&1) || status=$?
grep -v '^running with root privileges' <<<"$report" || true
[ $status -eq 0 ] || { echo "lintian reports errors" >&2; exit 1; }

shopt -s nullglob
entries=("$root"/usr/share/applications/*.desktop)
metainfo=("$root"/usr/share/metainfo/*.metainfo.xml)
[ ${#entries[@]} -eq 1 ] || { echo "expected one desktop entry, found ${#entries[@]}" >&2; exit 1; }
[ ${#metainfo[@]} -eq 1 ] || { echo "expected one metainfo file, found ${#metainfo[@]}" >&2; exit 1; }
echo "desktop-file-validate:"
desktop-file-validate "${entries[0]}"
echo "appstreamcli validate:"
appstreamcli validate --no-net "${metainfo[0]}"
echo "package checked: $deb"
