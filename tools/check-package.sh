#!/usr/bin/env bash
# Checks a built Tesselo package: lintian reports no error, and the desktop
# entry and the AppStream metadata it carries validate (without the network).
#   tools/check-package.sh build/tesselo_1.0_amd64.deb
set -euo pipefail
deb=${1:?usage: $0 package.deb}
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
