#!/usr/bin/python3
"""Fails when a layer includes a header from above it: base (the standard
library only) and the engine (base and libcurl) never include Qt, and every
quoted include of theirs names a header of their own layer or one below.
Usage: layers.py SRC_DIR. Prints each offending line as FILE:LINE: TEXT."""
import os
import re
import sys

# Which folders under src/ each layer's quoted includes may resolve in.
ALLOWED = {
    "base": ["base"],
    "engine": ["engine", "base"],
}
QUOTED = re.compile(r'^\s*#\s*include\s+"([^"]+)"')
ANGLED = re.compile(r'^\s*#\s*include\s+<([^>]+)>')
FORBIDDEN_SYSTEM = re.compile(r"^(Q[A-Za-z]|qt|Qt)")


def check(src):
    faults = []
    for layer, allowed in ALLOWED.items():
        root = os.path.join(src, layer)
        for folder, _, files in os.walk(root):
            for name in files:
                if not name.endswith((".h", ".cpp")):
                    continue
                path = os.path.join(folder, name)
                with open(path, encoding="utf-8") as f:
                    for number, line in enumerate(f, 1):
                        quoted = QUOTED.match(line)
                        angled = ANGLED.match(line)
                        if angled and FORBIDDEN_SYSTEM.match(angled.group(1)):
                            faults.append("%s:%d: %s (Qt in %s)" % (path, number, line.strip(), layer))
                        if quoted:
                            header = quoted.group(1)
                            here = os.path.join(folder, header)
                            found = os.path.exists(here) and os.path.realpath(here).startswith(
                                os.path.realpath(root) + os.sep)
                            found = found or any(os.path.exists(os.path.join(src, a, header)) for a in allowed)
                            if not found:
                                faults.append("%s:%d: %s (not a header of %s)" % (path, number, line.strip(),
                                                                                  " or ".join(allowed)))
    return faults


def main():
    faults = check(sys.argv[1])
    for fault in faults:
        print(fault)
    print("%d includes from above their layer" % len(faults))
    return 1 if faults else 0


if __name__ == "__main__":
    sys.exit(main())
