#!/usr/bin/python3
"""Fails when an include breaks the layering. Every quoted include under
src/ names its layer from the one include root ("base/tasks/tasktable.h")
and resolves there; each layer includes only its own headers and those of
the layers below it; base (the standard library only) and the engine (base
and libcurl) never include Qt. Usage: layers.py SRC_DIR. Prints each
offending line as FILE:LINE: TEXT."""
import os
import re
import sys

# The layers each layer's quoted includes may name.
ALLOWED = {
    "base": ["base"],
    "engine": ["engine", "base"],
    "platform": ["platform", "base"],
    "gui": ["gui", "platform", "base"],
    "monitor": ["monitor", "platform", "base"],
    "app": ["app", "gui", "platform", "engine", "base"],
}
WITHOUT_QT = {"base", "engine"}
QUOTED = re.compile(r'^\s*#\s*include\s+"([^"]+)"')
ANGLED = re.compile(r'^\s*#\s*include\s+<([^>]+)>')
QT_HEADER = re.compile(r"^(Q[A-Za-z]|qt|Qt)")


def check_line(src, layer, line):
    """The fault in one line, or None."""
    angled = ANGLED.match(line)
    if angled and layer in WITHOUT_QT and QT_HEADER.match(angled.group(1)):
        return "Qt in %s" % layer
    quoted = QUOTED.match(line)
    if not quoted:
        return None
    header = quoted.group(1)
    if header.startswith("moc_") or header.endswith(".moc"):
        return None
    named = header.split("/", 1)[0]
    if named not in ALLOWED:
        return "no layer named; write it from src/"
    if named not in ALLOWED[layer]:
        return "%s may not include %s" % (layer, named)
    if not os.path.exists(os.path.join(src, header)):
        return "no such header under src/"
    return None


def check(src):
    faults = []
    for layer in ALLOWED:
        for folder, _, files in os.walk(os.path.join(src, layer)):
            for name in sorted(files):
                if not name.endswith((".h", ".cpp")):
                    continue
                path = os.path.join(folder, name)
                with open(path, encoding="utf-8") as f:
                    for number, line in enumerate(f, 1):
                        fault = check_line(src, layer, line)
                        if fault:
                            faults.append("%s:%d: %s (%s)" % (path, number, line.strip(), fault))
    return faults


def main():
    faults = check(sys.argv[1])
    for fault in faults:
        print(fault)
    print("%d includes that break the layering" % len(faults))
    return 1 if faults else 0


if __name__ == "__main__":
    sys.exit(main())
