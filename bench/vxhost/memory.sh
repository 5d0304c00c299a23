#!/usr/bin/env bash
# Peak memory of vxhost attaching a folder of 200 MB in whole-folder mode
# (ZIP), against ZIP32J.DLL packing the same folder on its own: what the
# host, the plug-in and the message writing add on top of the archiver
# library. Not a test: it prints figures and asserts nothing.
#
#   bench/vxhost/memory.sh [BUILD] [SIZE_MB]
set -euo pipefail
build=$(cd "${1:-build}" && pwd)
size_mb=${2:-200}
work=$(mktemp -d "${TMPDIR:-/tmp}/vxhost-memory-XXXXXX")
trap 'rm -rf "$work"' EXIT
mkdir -p "$work/folder/sub" "$work/temp" "$work/plugins"
# A plug-in folder of its own: the settings the run leaves stay there.
cp "$build/bin/VxArc.dll" "$work/plugins/"

# Half random bytes (stored as they are), half text (compresses well), in
# files of 10 MB.
python3 - "$work/folder" "$size_mb" <<'PY'
import os, sys
folder, total = sys.argv[1], int(sys.argv[2])
for i in range(total // 10):
    path = os.path.join(folder, "sub" if i % 2 else "", f"file{i:02d}.{'bin' if i % 2 else 'txt'}")
    with open(path, "wb") as f:
        if i % 2:
            f.write(os.urandom(10 << 20))
        else:
            line = b"line %d of a text that compresses well\n"
            n = 0
            while f.tell() < (10 << 20):
                f.write(line % n); n += 1
PY
peak() {  # peak resident memory (KiB) of a command, its output discarded
  /usr/bin/time -f %M -o "$work/peak" "$@" < "$work/commands" > "$work/log" 2>&1 || { cat "$work/log"; exit 1; }
  cat "$work/peak"
}

printf 'format zip\nsfx off\nfolder %s\n' "$work/folder" > "$work/commands"
host=$(TMPDIR="$work/temp" peak "$build/bin/vxhost" --plugins "$work/plugins" -o "$work/mail.eml")
mail=$(stat -c %s "$work/mail.eml")
rm -f "$work/mail.eml"
library=$(peak "$build/bin/bench_pack_alone" "$work/alone.zip" "$work/folder")
archive=$(stat -c %s "$work/alone.zip")

echo "folder: ${size_mb} MB; ZIP archive: $((archive >> 20)) MB; message: $((mail >> 20)) MB"
echo "peak memory, vxhost attaching the folder:      $((host >> 10)) MB"
echo "peak memory, ZIP32J.DLL packing it on its own: $((library >> 10)) MB"
echo "vxhost beyond the archiver library:            $(((host - library) >> 10)) MB"
