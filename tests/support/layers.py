#!/usr/bin/python3
"""Fails when an include breaks the layering. Every quoted include under
src/ names its layer from the one include root ("base/tasks/tasktable.h")
and resolves there; each layer includes only its own headers and those of
the layers below it; inside base and the gui each folder includes only the
folders the map (docs/ARCHITECTURE.md) puts below it; base (the standard
library only) and the engine (base and libcurl) never include Qt. Usage:
layers.py SRC_DIR. Prints each offending line as FILE:LINE: TEXT."""
import collections
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
# The folders of a layer from the top down, as the map draws them: a folder
# includes only folders on lines below its own; folders on one line know
# nothing of each other. A layer drawn here has no other folders; the folders
# of a layer not drawn here only must not include each other in a cycle.
ORDER = {
    "base": [["download", "forms", "capture"], ["storage"], ["commands"], ["view"], ["tasks"], ["sync"], ["ports"],
             ["text"], ["values"]],
    "gui": [["mainwindow"], ["capture"], ["dialogs/task"], ["dialogs/options"], ["dialogs/lists"], ["widgets"],
            ["i18n"]],
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
    # A project header in angle brackets would be looked up in the system's
    # folders first, and escapes the quoted-include rules below.
    if angled and angled.group(1).split("/", 1)[0] in ALLOWED and os.path.exists(os.path.join(src, angled.group(1))):
        return "a project header in angle brackets; write it in quotes"
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


def line_of(layer, folder):
    """The line of the layer's drawing a folder (\"base/tasks\") is on, or None."""
    inside = folder[len(layer) + 1:]
    for number, line in enumerate(ORDER[layer]):
        if inside in line:
            return number
    return None


def order_fault(layer, own, to):
    """Why the folder `own` may not include the folder `to` of its layer, or None."""
    own_line, to_line = line_of(layer, own), line_of(layer, to)
    for folder, line in ((own, own_line), (to, to_line)):
        if line is None:
            return "%s is a folder the map does not place; add it to the drawing first" % folder
    if own_line == to_line:
        return "%s may not include %s: the map has them side by side" % (own, to)
    if own_line > to_line:
        return "%s may not include %s: the map puts it above" % (own, to)
    return None


def folder_cycles(edges):
    """The cycles among folders, one per strongly connected group of two or
    more: each the group's folders and one cycle through its first as a
    list of (from, to, example include) steps. `edges` maps a
    folder to {folder it includes: first include that does}."""
    index, low, stack, on_stack, groups = {}, {}, [], set(), []

    def visit(node):  # Tarjan's strongly connected components
        index[node] = low[node] = len(index)
        stack.append(node)
        on_stack.add(node)
        for to in sorted(edges.get(node, {})):
            if to not in index:
                visit(to)
                low[node] = min(low[node], low[to])
            elif to in on_stack:
                low[node] = min(low[node], index[to])
        if low[node] == index[node]:
            group = set()
            while True:
                member = stack.pop()
                on_stack.discard(member)
                group.add(member)
                if member == node:
                    break
            if len(group) > 1:
                groups.append(group)

    for node in sorted(edges):
        if node not in index:
            visit(node)
    return [(sorted(group), cycle_in(edges, group)) for group in groups]


def cycle_in(edges, group):
    """One closed walk through a strongly connected group, as steps."""
    start = min(group)
    # Breadth-first from start back to start inside the group.
    before = {}
    queue = collections.deque([start])
    while queue:
        node = queue.popleft()
        for to in sorted(edges.get(node, {})):
            if to not in group:
                continue
            if to == start:
                path = [(node, to)]
                while node != start:
                    path.insert(0, (before[node], node))
                    node = before[node]
                return [(a, b, edges[a][b]) for a, b in path]
            if to not in before:
                before[to] = node
                queue.append(to)
    return []


def check(src):
    faults = []
    for layer in ALLOWED:
        edges = collections.defaultdict(dict)
        for folder, _, files in sorted(os.walk(os.path.join(src, layer))):
            for name in sorted(files):
                if not name.endswith((".h", ".cpp")):
                    continue
                path = os.path.join(folder, name)
                own = os.path.dirname(os.path.relpath(path, src))
                with open(path, encoding="utf-8") as f:
                    for number, line in enumerate(f, 1):
                        fault = check_line(src, layer, line)
                        quoted = QUOTED.match(line)
                        if not fault and quoted and quoted.group(1).startswith(layer + "/"):
                            to = os.path.dirname(quoted.group(1))
                            if to != own and layer in ORDER:
                                fault = order_fault(layer, own, to)
                            elif to != own:
                                edges[own].setdefault(to, "%s:%d: %s" % (path, number, line.strip()))
                        if fault:
                            faults.append("%s:%d: %s (%s)" % (path, number, line.strip(), fault))
        for group, cycle in folder_cycles(edges):
            steps = " -> ".join([a for a, _, _ in cycle] + [cycle[0][0]])
            faults.append("folders include each other in a cycle: %s (all of %s reach each other)\n    %s" %
                          (steps, ", ".join(group), "\n    ".join(example for _, _, example in cycle)))
    return faults


def main():
    faults = check(sys.argv[1])
    for fault in faults:
        print(fault)
    print("%d faults in the layering" % len(faults))
    return 1 if faults else 0


if __name__ == "__main__":
    sys.exit(main())
