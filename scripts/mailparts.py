#!/usr/bin/env python3
"""Reads an Internet message with Python's email package and tells what is
attached: file name, MIME type, size and, for archives, the member list.

  mailparts.py MESSAGE [--extract DIR] [--json | --tsv]

--extract writes each attachment, decoded, into DIR under its file name.
--json prints one JSON object instead of text; --tsv one fact a line, its
fields separated by tabs (from, to, subject, body, then "attachment", file
name, MIME type, size and the name parameter of the content type for each
attachment, and "defect" lines). The exit status is 1 when the
message or one of its parts has defects (the parser had to guess).
"""
import argparse
import email
import email.policy
import io
import json
import os
import shutil
import subprocess
import sys
import tarfile
import tempfile
import zipfile


def members_of(name, data):
    """(member name, size) pairs of an archive, or None when not known."""
    try:
        with zipfile.ZipFile(io.BytesIO(data)) as z:
            return [(i.filename, i.file_size) for i in z.infolist()]
    except zipfile.BadZipFile:
        pass
    try:
        with tarfile.open(fileobj=io.BytesIO(data)) as t:
            return [(m.name, m.size) for m in t.getmembers()]
    except tarfile.TarError:
        pass
    lower = name.lower()
    tools = {".lzh": ["lhasa", "l"], ".cab": ["cabextract", "-l"]}
    for ext, command in tools.items():
        if lower.endswith(ext) and shutil.which(command[0]):
            with tempfile.NamedTemporaryFile(suffix=ext) as f:
                f.write(data)
                f.flush()
                out = subprocess.run(command + [f.name], capture_output=True, text=True)
            return [(line, None) for line in out.stdout.splitlines() if line.strip()]
    return None


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("message")
    parser.add_argument("--extract")
    parser.add_argument("--json", action="store_true")
    parser.add_argument("--tsv", action="store_true")
    args = parser.parse_args()

    with open(args.message, "rb") as f:
        msg = email.message_from_binary_file(f, policy=email.policy.default)
    defects = []
    result = {"from": str(msg["From"]), "to": str(msg["To"]), "subject": str(msg["Subject"]),
              "body": "", "attachments": [], "defects": defects}
    body = msg.get_body(preferencelist=("plain",))
    if body is not None:
        result["body"] = body.get_content()
    for part in msg.walk():
        defects += [str(d) for d in part.defects]
    for part in msg.iter_attachments():
        data = part.get_payload(decode=True) or b""
        name = part.get_filename() or ""
        entry = {"filename": name, "content_type": part.get_content_type(), "size": len(data),
                 "name_param": part.get_param("name", header="content-type")}
        if isinstance(entry["name_param"], tuple):
            entry["name_param"] = email.utils.collapse_rfc2231_value(entry["name_param"])
        members = members_of(name, data)
        if members is not None:
            entry["members"] = members
        if args.extract:
            os.makedirs(args.extract, exist_ok=True)
            with open(os.path.join(args.extract, os.path.basename(name) or "attachment"), "wb") as out:
                out.write(data)
        result["attachments"].append(entry)

    if args.json:
        print(json.dumps(result, ensure_ascii=False))
    elif args.tsv:
        for key in ("from", "to", "subject", "body"):
            print(f"{key}\t" + result[key].replace("\\", "\\\\").replace("\r", "\\r").replace("\n", "\\n"))
        for a in result["attachments"]:
            print(f"attachment\t{a['filename']}\t{a['content_type']}\t{a['size']}\t{a['name_param']}")
        for d in defects:
            print(f"defect\t{d}")
    else:
        print(f"Message from {result['from']} to {result['to']}, subject: {result['subject']}")
        if not result["attachments"]:
            print("Nothing attached.")
        for i, a in enumerate(result["attachments"], 1):
            print(f"Attachment {i}: {a['filename']}")
            print(f"  MIME type: {a['content_type']}")
            print(f"  size:      {a['size']} bytes")
            if "members" in a:
                print("  members:")
                for member, size in a["members"]:
                    print(f"    {member:<32} {size} bytes" if size is not None else f"    {member}")
        for d in defects:
            print(f"defect: {d}")
    return 1 if defects else 0


if __name__ == "__main__":
    sys.exit(main())
