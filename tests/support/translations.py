#!/usr/bin/env python3
"""Checks the shipped translations against the sources.

    translations.py LUPDATE SOURCE_ROOT TS_FILE...

lupdate collects every text the sources mark for translation into a file
of its own; each shipped .ts must then hold exactly those texts (none
missing, none left over from texts that are gone), each finished, with the
same placeholders and the same number of accelerator marks as its source.
French texts keep the non-breaking space before ":", ";", "?" and "!".
Exits 1 and lists every fault.
"""
import os
import re
import subprocess
import sys
import tempfile
import xml.etree.ElementTree as ET

PLACEHOLDER = re.compile(r"%(?:L?[1-9]|n)")
# "&" before a character marks an accelerator; "&&" is a literal ampersand.
ACCELERATOR = re.compile(r"&(?!&)(?=\S)")
FRENCH_SPACE = re.compile(r"(?<![\u00a0\u202f])[:;?!](?=\s|$)")


def messages(path):
    """(context, source, comment) -> translation element, for one .ts file."""
    found = {}
    for context in ET.parse(path).getroot().iter("context"):
        name = context.findtext("name")
        for message in context.iter("message"):
            key = (name, message.findtext("source"), message.findtext("comment") or "")
            found[key] = message.find("translation")
    return found


def accelerators(text):
    return len(ACCELERATOR.findall(text.replace("&&", "")))


def check_message(language, key, translation):
    context, source, _ = key
    where = f"{language}: {context}: {source!r}"
    if translation is None:
        return [f"{where}: no translation"]
    kind = translation.get("type")
    if kind in ("obsolete", "vanished"):
        return [f"{where}: obsolete entry (the text is gone from the sources)"]
    text = translation.text or ""
    faults = []
    if kind == "unfinished":
        faults.append(f"{where}: unfinished")
    if not text.strip():
        faults.append(f"{where}: empty translation")
        return faults
    if sorted(PLACEHOLDER.findall(source)) != sorted(PLACEHOLDER.findall(text)):
        faults.append(f"{where}: placeholders differ in {text!r}")
    if accelerators(source) != accelerators(text):
        faults.append(f"{where}: accelerator marks differ in {text!r}")
    if language == "fr" and FRENCH_SPACE.search(text):
        faults.append(f"{where}: no non-breaking space before punctuation in {text!r}")
    return faults


def current_texts(lupdate, root):
    with tempfile.TemporaryDirectory() as folder:
        fresh = os.path.join(folder, "fresh.ts")
        sources = [os.path.join(root, "src", layer) for layer in ("gui", "platform", "app")]
        subprocess.run([lupdate, "-silent", "-no-obsolete", "-locations", "none", "-I",
                        os.path.join(root, "src"), *sources, "-ts", fresh], check=True)
        return set(messages(fresh))


def main():
    lupdate, root, shipped = sys.argv[1], sys.argv[2], sys.argv[3:]
    wanted = current_texts(lupdate, root)
    if not wanted:
        print("lupdate found no texts at all")
        return 1
    faults = []
    for path in shipped:
        language = os.path.basename(path).rsplit("_", 1)[-1].split(".")[0]
        have = messages(path)
        for key in sorted(wanted - set(have)):
            faults.append(f"{language}: {key[0]}: {key[1]!r}: missing")
        for key in sorted(set(have) - wanted):
            faults.append(f"{language}: {key[0]}: {key[1]!r}: obsolete entry (the text is gone from the sources)")
        for key in sorted(wanted & set(have)):
            faults.extend(check_message(language, key, have[key]))
    for fault in faults:
        print(fault)
    print(f"{len(wanted)} texts, {len(shipped)} languages, {len(faults)} faults")
    return 1 if faults else 0


if __name__ == "__main__":
    sys.exit(main())
