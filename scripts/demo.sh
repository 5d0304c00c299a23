#!/bin/bash
# The main job as far as it exists: pack sample files through the archiver
# framework and show the command line it produced. Real archiver libraries
# beside the program (our own, in bin/) are found first; the recording test
# libraries stand in where a real one is missing.
set -euo pipefail
build=${1:-build}
work=$(mktemp -d "${TMPDIR:-/tmp}/vxdemo-XXXXXX")
PATH="$PATH:$PWD/$build/testlibs/full" "$build/bin/vxdemo" "$work" \
  samples.lzh samples.zip samples.cab samples.tgz samples.tar.bz2
echo "archives and samples are in $work:"
ls -l "$work"
