#!/usr/bin/env bash
# Checks the release VxArc.dll as the mail client sees it, with objdump: a
# 32-bit x86 module, exactly the fourteen VXC_* exports (undecorated),
# imports from system DLLs only, the strings of its version resource, and,
# in its machine code, that every export and DllMain return with the stack
# cleanup of the Windows API calling convention for their arguments (the
# module cannot be run on this machine: its kernel runs no 32-bit code).
#
#   scripts/check-dll.sh PATH/VxArc.dll [LINK-MAP]
# The link map (default: VxArc.map in the build folder above bin/) tells
# where DllMain lies in the stripped module.
set -euo pipefail
dll=$1
map=${2:-$(dirname "$dll")/../VxArc.map}
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

# Bytes of arguments each function removes from the stack ("ret N"): four
# per 32-bit argument, as the host calls them. The export names must be the
# module definition file's.
def_names=$(sed -n 's/^ *\(VXC_[A-Za-z]*\) *$/\1/p' "$(dirname "$0")/../src/plugin/VxArc.def" | sort)
[ "$def_names" = "$expected" ] || fail "src/plugin/VxArc.def does not list the fourteen exports"
"$objdump" -d "$dll" > "${TMPDIR:-/tmp}/check-dll.$$.dis"
trap 'rm -f "${TMPDIR:-/tmp}/check-dll.$$.dis"' EXIT
python3 - "$dll" "${TMPDIR:-/tmp}/check-dll.$$.dis" "$map" <<'PY' || fail "stack cleanup differs from the calling convention"
import os, re, subprocess, sys
dll, disassembly, link_map = sys.argv[1:4]
argument_bytes = {
    "VXC_OnStart": 0, "VXC_OnExit": 0, "VXC_OnMenuInit": 12, "VXC_OnOpenFolder": 4, "VXC_OnOpenMail": 4,
    "VXC_OnEveryMinute": 0, "VXC_OnOpenCompose": 8, "VXC_OnOutgoing": 8, "VXC_OnKeyDispatch": 12,
    "VXC_OnRetrieve": 8, "VXC_OnSend": 4, "VXC_OnFinishRetrieve": 4, "VXC_OnPlugInSetup": 4,
    "VXC_OnPlugInInfo": 4,
}
headers = subprocess.run([os.environ.get("OBJDUMP", "i686-w64-mingw32-objdump"), "-p", dll], capture_output=True,
                         text=True, check=True).stdout
base = int(re.search(r"^ImageBase\s+([0-9a-f]+)", headers, re.M).group(1), 16)
rvas = [int(r, 16) for r in re.findall(r"\[\s*\d+\] \+base\[\s*\d+\] ([0-9a-f]+) Export RVA", headers)]
names = dict(re.findall(r"^\s*\[\s*(\d+)\] (VXC_\w+)$", headers, re.M))
functions = {name: base + rvas[int(index)] for index, name in names.items()}
functions["entry point"] = base + int(re.search(r"^AddressOfEntryPoint\s+([0-9a-f]+)", headers, re.M).group(1), 16)
if not os.path.exists(link_map):
    sys.exit(f"check-dll: no link map {link_map} (it is written when the module is linked)")
dllmain = re.search(r"^\s+0x([0-9a-f]+)\s+_?DllMain@\d+$", open(link_map).read(), re.M)
if not dllmain:
    sys.exit(f"check-dll: DllMain is not in the link map {link_map}")
functions["DllMain"] = int(dllmain.group(1), 16)
argument_bytes.update({"entry point": 12, "DllMain": 12})

# address -> (mnemonic, operands), in order
code = []
for line in open(disassembly):
    m = re.match(r"^\s*([0-9a-f]+):\t(?:[0-9a-f]{2} )+\s*\t(\S+)\s*(.*)$", line)
    if m:
        code.append((int(m.group(1), 16), m.group(2), m.group(3).strip()))
index = {address: i for i, (address, _, _) in enumerate(code)}

def returns(start):
    """The ret instructions of the function at start: read on until a ret or
    jmp that no branch seen so far jumps beyond."""
    found, reach = [], start
    i = index[start]
    while i < len(code):
        address, mnemonic, operands = code[i]
        target = re.match(r"^(?:0x)?([0-9a-f]+)\b", operands)
        if mnemonic.startswith("j") and target and not operands.startswith("*"):
            reach = max(reach, int(target.group(1), 16))
        if mnemonic.startswith("ret"):
            found.append(int(operands.lstrip("$"), 16) if operands else 0)
        if (mnemonic.startswith("ret") or mnemonic == "jmp") and address >= reach:
            return found
        i += 1
    return found

bad = []
for name, start in sorted(functions.items()):
    if start not in index:
        bad.append(f"{name}: no instruction at {start:#x}")
        continue
    got = returns(start)
    if not got or any(n != argument_bytes[name] for n in got):
        bad.append(f"{name}: returns with ret {got}, expected ret {argument_bytes[name]}")
for b in bad:
    print("check-dll:", b, file=sys.stderr)
sys.exit(1 if bad else 0)
PY

echo "check-dll: $dll: i386, exports $(wc -l <<<"$exports") VXC_* names, imports $(echo $imports), version 0.3.0.0 (\"0.21\"), every export and DllMain return with the stack cleanup of their arguments"
