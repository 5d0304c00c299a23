#!/usr/bin/env bash
# The release package for Windows users: <win32 build>/dist/VxArc-<version>.zip
# with the release module as built and readme.txt, whose UTF-8 source
# (dist/readme.txt) is turned into code page 932 with CR LF line ends, as
# Windows users' editors expect it.
#
#   scripts/dist.sh BUILD-WIN32 VERSION
set -euo pipefail
build=$1
version=$2
here=$(cd "$(dirname "$0")/.." && pwd)
dll="$build/bin/VxArc.dll"
[ -f "$dll" ] || { echo "dist: $dll is missing (build the Windows module first)" >&2; exit 1; }

mkdir -p "$build/dist"
package="$(cd "$build/dist" && pwd)/VxArc-$version.zip"
stage=$(mktemp -d "${TMPDIR:-/tmp}/vxarc-dist-XXXXXX")
trap 'rm -rf "$stage"' EXIT
cp "$dll" "$stage/VxArc.dll"
iconv -f UTF-8 -t CP932 "$here/dist/readme.txt" | sed 's/\r*$/\r/' > "$stage/readme.txt"
rm -f "$package"
(cd "$stage" && zip -X -q "$package" VxArc.dll readme.txt)
echo "dist: $package"
