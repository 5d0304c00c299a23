#!/usr/bin/env python3
"""Checks the release package: exactly VxArc.dll and readme.txt; the DLL
byte for byte the build's; the readme code page 932 text with CR LF line
ends that names every archiver library and stub file the plug-in uses and
explains every user message of the module (scripts/module-messages.py).

    check-dist.py PACKAGE.zip BUILT-VxArc.dll SOURCE-TREE"""
import pathlib
import re
import subprocess
import sys
import zipfile

package, dll, root = sys.argv[1], pathlib.Path(sys.argv[2]), pathlib.Path(sys.argv[3])
problems = []

with zipfile.ZipFile(package) as z:
    names = sorted(z.namelist())
    if names != ["VxArc.dll", "readme.txt"]:
        problems.append(f"the package holds {names}, not exactly VxArc.dll and readme.txt")
    module = z.read("VxArc.dll") if "VxArc.dll" in names else b""
    readme = z.read("readme.txt") if "readme.txt" in names else b""

if module != dll.read_bytes():
    problems.append(f"VxArc.dll differs from {dll}")

try:
    text = readme.decode("cp932")
except UnicodeDecodeError as e:
    problems.append(f"readme.txt is not code page 932 text: {e}")
    text = ""
if readme.count(b"\n") == 0 or readme.count(b"\r\n") != readme.count(b"\n") or readme.count(b"\r") != readme.count(b"\n"):
    problems.append("readme.txt does not end every line in CR LF")
if not readme.endswith(b"\r\n"):
    problems.append("readme.txt does not end with a line end")

# Library and stub files: the names the format back-ends the plug-in
# packs with (and its library check) load or look for.
sources = sorted((root / "src/forms").glob("*.cpp")) + [root / f"src/archivers/{u}.cpp" for u in ("LHA32", "ZIP32", "CAB32", "TAR32")]
files = []
for source in sources:
    for name in re.findall(r'"([A-Za-z0-9_]+\.(?:DLL|dll|dat|exe))"', source.read_text(encoding="utf-8")):
        if name not in files:
            files.append(name)
if not files:
    problems.append("no library names found in the sources")
messages = subprocess.run([sys.executable, str(root / "scripts/module-messages.py"), str(root)], check=True,
                          capture_output=True, text=True).stdout.split("\n")
for needed in files + [m for m in messages if m] + ["0.30", "VxArc.ini", "ArchiveType", "IsSfx", "ShowResult", "WarnSizeMB"]:
    if needed not in text:
        problems.append(f"readme.txt does not name {needed!r}")

for p in problems:
    print("check-dist:", p, file=sys.stderr)
if problems:
    sys.exit(1)
print(f"check-dist: {package}: VxArc.dll as built, readme.txt in code page 932 with CR LF, "
      f"{len(files)} library files and {len([m for m in messages if m])} messages named")
