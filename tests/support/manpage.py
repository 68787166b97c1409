#!/usr/bin/env python3
"""A manual page is sound and complete for its program.

    manpage.py PAGE PROGRAM VERSION

Fails when groff or man warn about PAGE, when its title line names another
version than VERSION, or when an option that `PROGRAM --help` lists is missing
from the page as a reader sees it: an option added to the program without a
word in its manual fails here.
"""
import re
import subprocess
import sys

OPTION = re.compile(r"(?<![\w-])(--?[a-z][a-z0-9-]*)")


def run(args, **kw):
    return subprocess.run(args, capture_output=True, text=True, timeout=60, **kw)


def main():
    page, program, version = sys.argv[1:4]
    faults = []
    for check in (["groff", "-man", "-ww", "-z", page], ["man", "--warnings", "-l", page]):
        result = run(check, env={"PATH": "/usr/bin:/bin", "LC_ALL": "C.UTF-8", "MANWIDTH": "80"})
        if result.returncode != 0 or result.stderr.strip():
            faults.append(f"{' '.join(check[:-1])}: {result.stderr.strip() or result.returncode}")

    with open(page, encoding="utf-8") as f:
        title = next((line for line in f if line.startswith(".TH ")), "")
    if f"{version}\"" not in title:
        faults.append(f"title line names no version {version}: {title.strip()}")

    rendered = run(["groff", "-man", "-Tascii", "-P-cbou", page]).stdout
    words = set(OPTION.findall(rendered))
    helped = run([program, "--help"])
    if helped.returncode != 0:
        faults.append(f"{program} --help ended with {helped.returncode}")
    options = sorted(set(OPTION.findall(helped.stdout)))
    if not options:
        faults.append(f"{program} --help lists no options")
    for option in options:
        if option not in words:
            faults.append(f"{option} ({program} --help) is not in {page}")

    for fault in faults:
        print(fault)
    return 1 if faults else 0


if __name__ == "__main__":
    sys.exit(main())
