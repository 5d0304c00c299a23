#!/usr/bin/env python3
"""Lists, one a line, the user messages of the plug-in module: every Japanese
sentence in a string literal of its sources (src/plugin, src/forms,
src/archives, src/archivers), as it is shown (line breaks and surrounding
blanks dropped; a fragment joined to a name at run time stays a fragment).
The release package's readme must explain each one."""
import pathlib
import re
import sys

root = pathlib.Path(sys.argv[1] if len(sys.argv) > 1 else ".")
literal = re.compile(r'"((?:[^"\\\n]|\\.)*)"')
messages = []
for folder in ("plugin", "forms", "archives", "archivers"):
    for path in sorted((root / "src" / folder).glob("*.[ch]*")):
        text = path.read_text(encoding="utf-8")
        text = re.sub(r"//[^\n]*", "", text)  # comments are no messages
        for match in literal.finditer(text):
            value = match.group(1).replace("\\r", "").replace("\\n", "").strip()
            if re.search(r"[。？]", value) and value not in messages:
                messages.append(value)
print("\n".join(messages))
