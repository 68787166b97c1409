#!/usr/bin/env python3
"""The package's copyright file is machine-readable and tells the truth.

    copyright.py COPYRIGHT SOURCE_DIR

Checks the Debian copyright format 1.0: the header, a Copyright and a
License in every Files paragraph, a text for every licence named (in the
file, or a short name of /usr/share/common-licenses with the text there),
patterns that match files of the source tree; and that the licences agree
with what the AppStream metadata declares for the project and for itself.
"""
import fnmatch
import os
import re
import sys
import xml.etree.ElementTree as ET

FORMAT = "https://www.debian.org/doc/packaging-manuals/copyright-format/1.0/"


def paragraphs(text):
    """Each paragraph as {field: value}, continuation lines joined by newlines."""
    result = []
    for block in re.split(r"\n\s*\n", text.strip("\n")):
        fields, last = {}, None
        for line in block.split("\n"):
            if line[:1] in (" ", "\t"):
                if last is None:
                    raise ValueError(f"continuation line without a field: {line!r}")
                fields[last] += "\n" + line.strip()
            else:
                name, sep, value = line.partition(":")
                if not sep or not re.fullmatch(r"[A-Za-z][A-Za-z0-9-]*", name):
                    raise ValueError(f"not a field: {line!r}")
                if name in fields:
                    raise ValueError(f"field {name} twice in one paragraph")
                last = name
                fields[name] = value.strip()
        result.append(fields)
    return result


def source_files(root):
    for folder, dirs, files in os.walk(root):
        dirs[:] = [d for d in dirs if not d.startswith(".") and d not in ("node_modules",)
                   and not d.startswith("build")]
        for name in files:
            yield os.path.relpath(os.path.join(folder, name), root)


def licence_of(path, files_paragraphs):
    """The licence the last matching Files paragraph gives, as the format says."""
    found = None
    for p in files_paragraphs:
        if any(fnmatch.fnmatchcase(path, pattern) for pattern in p["Files"].split()):
            found = p["License"].split("\n")[0].strip()
    return found


def main():
    copyright_path, root = sys.argv[1:3]
    faults = []
    with open(copyright_path, encoding="utf-8") as f:
        paras = paragraphs(f.read())
    header, rest = paras[0], paras[1:]
    if header.get("Format") != FORMAT:
        faults.append(f"Format is not {FORMAT}")
    if not header.get("Upstream-Name"):
        faults.append("no Upstream-Name")
    files_paras = [p for p in rest if "Files" in p]
    texts = {p["License"].split("\n")[0]: p["License"] for p in rest if "Files" not in p and "License" in p}
    if not files_paras or files_paras[0]["Files"].split() != ["*"]:
        faults.append("the first Files paragraph is not Files: *")

    tree = list(source_files(root))
    for p in files_paras:
        for field in ("Copyright", "License"):
            if not p.get(field):
                faults.append(f"Files: {p['Files']} has no {field}")
        for pattern in p["Files"].split():
            if not any(fnmatch.fnmatchcase(path, pattern) for path in tree):
                faults.append(f"Files: {pattern} matches nothing in the source")
        name = p.get("License", "").split("\n")[0].strip()
        has_text = "\n" in p.get("License", "") or "\n" in texts.get(name, "")
        if name and not has_text:
            faults.append(f"licence {name} has no text")
    for name, text in texts.items():
        if os.path.exists(f"/usr/share/common-licenses/{name}") is False and len(text.split("\n")) < 3:
            faults.append(f"licence {name} has too short a text and none in common-licenses")

    metainfo = os.path.join(root, "data/dromo.metainfo.xml")
    component = ET.parse(metainfo).getroot()
    declared = {"*": component.findtext("project_license"),
                "data/dromo.metainfo.xml": component.findtext("metadata_license")}
    for path, licence in declared.items():
        probe = "src/app/main.cpp" if path == "*" else path
        given = licence_of(probe, files_paras)
        if given != licence:
            faults.append(f"{probe}: the copyright file says {given}, the metadata {licence}")

    for fault in faults:
        print(fault)
    return 1 if faults else 0


if __name__ == "__main__":
    sys.exit(main())
