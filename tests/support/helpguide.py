#!/usr/bin/env python3
"""The guide holds together: every link and picture of docs/help reaches a
file (and a section of it) that exists, and every page is reached from the
first one.

    helpguide.py HELP_DIR
"""
import os
import sys
from html.parser import HTMLParser
from urllib.parse import unquote, urlsplit


class Page(HTMLParser):
    def __init__(self):
        super().__init__()
        self.ids, self.links = set(), []

    def handle_starttag(self, tag, attrs):
        attrs = dict(attrs)
        if "id" in attrs:
            self.ids.add(attrs["id"])
        for name in ("href", "src"):
            if attrs.get(name):
                self.links.append(attrs[name])


def parse(path):
    page = Page()
    with open(path, encoding="utf-8") as f:
        page.feed(f.read())
    return page


def main():
    folder = os.path.abspath(sys.argv[1])
    pages = {name: parse(os.path.join(folder, name)) for name in sorted(os.listdir(folder)) if name.endswith(".html")}
    faults, reached, todo = [], {"index.html"}, ["index.html"]
    while todo:
        name = todo.pop()
        for link in pages[name].links:
            parts = urlsplit(link)
            if parts.scheme or parts.netloc:
                continue  # the web, not the guide
            target = os.path.normpath(os.path.join(folder, unquote(parts.path))) if parts.path else \
                os.path.join(folder, name)
            if not os.path.isfile(target):
                faults.append(f"{name}: {link} names no file")
                continue
            local = os.path.relpath(target, folder)
            if parts.fragment and (local not in pages or parts.fragment not in pages[local].ids):
                faults.append(f"{name}: {link} names no section")
            if local in pages and local not in reached:
                reached.add(local)
                todo.append(local)
    for name in sorted(set(pages) - reached):
        faults.append(f"{name} is reached from no page of the guide")
    for fault in faults:
        print(fault)
    return 1 if faults else 0


if __name__ == "__main__":
    sys.exit(main())
