#!/usr/bin/env python3
"""The AppStream metadata shows pictures the repository has and names the
project's pages.

    metainfo.py METAINFO SCREENSHOTS_DIR

Each screenshot's image is published from SCREENSHOTS_DIR under the same file
name, so a picture renamed or dropped there without the metadata following
fails here; the homepage, bug tracker and help pages are named, as https.
"""
import os
import sys
import xml.etree.ElementTree as ET


def main():
    metainfo, shots = sys.argv[1:3]
    root = ET.parse(metainfo).getroot()
    faults = []
    urls = {u.get("type"): u.text or "" for u in root.findall("url")}
    for kind in ("homepage", "bugtracker", "help"):
        if not urls.get(kind, "").startswith("https://"):
            faults.append(f"no https {kind} URL")
    screenshots = root.findall("screenshots/screenshot")
    if not screenshots or sum(s.get("type") == "default" for s in screenshots) != 1:
        faults.append("not exactly one default screenshot")
    for s in screenshots:
        if not (s.findtext("caption") or "").strip():
            faults.append("a screenshot without a caption")
        for image in s.findall("image"):
            name = os.path.basename(image.text or "")
            if not os.path.isfile(os.path.join(shots, name)):
                faults.append(f"{image.text}: no {name} in {shots}")
    for fault in faults:
        print(fault)
    return 1 if faults else 0


if __name__ == "__main__":
    sys.exit(main())
