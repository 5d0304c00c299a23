#!/usr/bin/env bash
# Checks the release VxArc.dll as the mail client sees it, with objdump: a
# 32-bit x86 module, exactly the fourteen VXC_* exports (undecorated),
# imports from system DLLs only, and the strings of its version resource.
#
#   scripts/check-dll.sh PATH/VxArc.dll
set -euo pipefail
dll=$1
objdump=${OBJDUMP:-i686-w64-mingw32-objdump}
dump=$("$objdump" -p "$dll")
fail() { echo "check-dll: $*" >&2; exit 1; }

grep -q 'file format pei-i386' <<<"$dump" || fail "$dll is not a 32-bit x86 module"

exports=$(sed -n '/\[Ordinal\/Name Pointer\] Table/,/^$/p' <<<"$dump" | sed -n 's/^\s*\[ *[0-9]*\] \(.*\)$/\1/p' | sort)
expected=$(printf '%s\n' VXC_OnStart VXC_OnExit VXC_OnMenuInit VXC_OnOpenFolder VXC_OnOpenMail \
  VXC_OnEveryMinute VXC_OnOpenCompose VXC_OnOutgoing VXC_OnKeyDispatch VXC_OnRetrieve VXC_OnSend \
  VXC_OnFinishRetrieve VXC_OnPlugInSetup VXC_OnPlugInInfo | sort)
[ "$exports" = "$expected" ] || fail "exports differ:"$'\n'"$(diff <(echo "$expected") <(echo "$exports") || true)"

imports=$(sed -n 's/^\s*DLL Name: \(.*\)$/\1/p' <<<"$dump" | tr '[:lower:]' '[:upper:]' | sort -u)
system="KERNEL32.DLL USER32.DLL GDI32.DLL SHELL32.DLL COMDLG32.DLL COMCTL32.DLL OLE32.DLL MSVCRT.DLL UCRTBASE.DLL"
for name in $imports; do
  [[ " $system " == *" $name "* ]] || fail "imports $name, which is not a system DLL"
done

# The version resource's strings are UTF-16: key, padding, value.
python3 - "$dll" <<'PY' || fail "version resource strings missing"
import re, sys
data = open(sys.argv[1], "rb").read()
values = {"FileDescription": "Vordex! 圧縮添付 plug-in", "FileVersion": "0.3.0.0", "InternalName": "VxArc.dll",
          "OriginalFilename": "VxArc.dll", "ProductVersion": "0.21", "CompanyName": "", "LegalTrademarks": "",
          "ProductName": "", "Comments": ""}
bad = []
for key, value in values.items():
    pattern = re.escape((key + "\0").encode("utf-16le")) + b"(?:\0\0)?" + re.escape((value + "\0").encode("utf-16le") if value else b"")
    if not re.search(pattern, data):
        bad.append(key)
if bad:
    print("check-dll: version strings not found:", ", ".join(bad), file=sys.stderr)
    sys.exit(1)
PY

echo "check-dll: $dll: i386, exports $(wc -l <<<"$exports") VXC_* names, imports $(echo $imports), version 0.3.0.0 (\"0.21\")"
