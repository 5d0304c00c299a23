#!/bin/bash
# The main job: the substitute mail host runs the plug-in on the sample files
# shipped in samples/, with the dialog's commands piped in (add the files,
# choose ZIP, name the archive, attach; the self-extracting option that the
# plug-in may remember from an earlier run is switched off). The composed
# message is written to <build>/demo.eml; then Python's email package reads
# it back and tells what was attached.
set -euo pipefail
build=${1:-build}
here=$(cd "$(dirname "$0")/.." && pwd)
message="$build/demo.eml"
# The archive is made in a temporary folder of its own and deleted there
# once attached.
TMPDIR=$(mktemp -d "${TMPDIR:-/tmp}/vxarc-demo-XXXXXX")
export TMPDIR
trap 'rm -rf "$TMPDIR"' EXIT

echo "== vxhost: the dialog, driven by piped commands"
"$build/bin/vxhost" -o "$message" \
  --from "VxArc demo <demo@example.invalid>" --to "recipient@example.invalid" \
  --subject "サンプルファイルをお送りします" <<COMMANDS
add "$here/samples/readme.txt" "$here/samples/pixels.bin" "$here/samples/日本語のメモ.txt"
format zip
sfx off
name サンプル集.zip
attach
COMMANDS

echo
echo "== $message, as Python's email package reads it"
python3 "$here/scripts/mailparts.py" "$message"

cat <<EOF_TURN

== Your turn: the same job on your own files
    $build/bin/vxhost -o my.eml
then type the dialog's commands, one a line, for example:
    add /path/to/report.pdf /path/to/photo.jpg
    format zip
    attach
my.eml is the message with the archive attached; $build/bin/vxhost --help
lists every command (folder, drop, sfx on, result on, cancel ...).
EOF_TURN
