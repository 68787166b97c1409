#!/usr/bin/python3
"""The layer check's own test: small source trees, each with one kind of
fault or none, and what layers.py says of them."""
import os
import re
import subprocess
import sys
import tempfile
import unittest

sys.dont_write_bytecode = True  # no __pycache__ left in the source tree
sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import layers  # noqa: E402

GOOD = {
    "base/values/status.h": "#include <string>\n",
    "base/tasks/table.h": '#include "base/values/status.h"\n',
    "base/tasks/table.cpp": '#include "base/tasks/table.h"\n#include "base/values/status.h"\n',
    "gui/widgets/button.h": "#include <QtWidgets/QPushButton>\n#include <sys/stat.h>\n",
    "gui/mainwindow/frame.h": '#include "gui/widgets/button.h"\n#include "base/tasks/table.h"\n',
    # Down the map's drawing, across lines: window, capture, sheets, widgets.
    "gui/capture/offer.cpp": '#include "gui/dialogs/task/sheet.h"\n#include "gui/widgets/button.h"\n',
    "gui/dialogs/task/sheet.h": '#include "gui/dialogs/lists/entry.h"\n#include "gui/i18n/language.h"\n',
    "gui/dialogs/lists/entry.h": '#include "gui/widgets/button.h"\n',
    "gui/i18n/language.h": "#include <QString>\n",
    "base/download/worker.h": '#include "base/storage/store.h"\n#include "base/values/status.h"\n',
    "base/storage/store.h": '#include "base/tasks/table.h"\n',
    # An undrawn layer's folders include each other one way.
    "platform/x/a.h": '#include "platform/y/b.h"\n',
    "platform/y/b.h": "#include <string>\n",
}

# name, files added to (or replacing those of) the good tree, what the fault
# says (None: no fault).
CASES = [
    ("a tree whose folders point one way", {}, None),
    ("folders of an undrawn layer include each other", {
        "platform/y/b.h": '#include "platform/x/a.h"\n'},
     "cycle: platform/x -> platform/y -> platform/x"),
    ("three folders of an undrawn layer in a ring", {
        "engine/x/a.h": '#include "engine/y/b.h"\n',
        "engine/y/b.h": '#include "engine/z/c.h"\n',
        "engine/z/c.h": '#include "engine/x/a.h"\n'},
     "cycle: engine/x -> engine/y -> engine/z -> engine/x"),
    ("a folder of base includes one the map puts above it", {"base/text/url.cpp": '#include "base/tasks/table.h"\n'},
     "base/text/url.cpp:1: #include \"base/tasks/table.h\" (base/text may not include base/tasks: the map puts it above"),
    ("a folder of base includes one beside it", {
        "base/forms/check.h": "#include <string>\n",
        "base/download/worker.cpp": '#include "base/forms/check.h"\n'},
     "(base/download may not include base/forms: the map has them side by side"),
    ("the gui's language includes a widget", {"gui/i18n/language.cpp": '#include "gui/widgets/button.h"\n'},
     "(gui/i18n may not include gui/widgets: the map puts it above"),
    ("a widget includes the window", {"gui/widgets/button.cpp": '#include "gui/mainwindow/frame.h"\n'},
     "(gui/widgets may not include gui/mainwindow: the map puts it above"),
    ("a sheet includes the capture", {
        "gui/capture/offer.h": "#include <string>\n",
        "gui/dialogs/task/page.cpp": '#include "gui/capture/offer.h"\n'},
     "(gui/dialogs/task may not include gui/capture: the map puts it above"),
    ("a folder the map does not place", {"base/extra/more.cpp": '#include "base/values/status.h"\n'},
     "(base/extra is a folder the map does not place"),
    ("a placed folder includes one the map does not place", {
        "gui/extra/more.h": "#include <string>\n",
        "gui/mainwindow/frame.cpp": '#include "gui/extra/more.h"\n'},
     "(gui/extra is a folder the map does not place"),
    ("a project header in angle brackets", {"gui/widgets/menu.cpp": "#include <gui/mainwindow/frame.h>\n"},
     "gui/widgets/menu.cpp:1: #include <gui/mainwindow/frame.h> (a project header in angle brackets"),
    ("a lower layer's header in angle brackets", {"base/tasks/list.cpp": "#include <base/values/status.h>\n"},
     "(a project header in angle brackets"),
    ("a layer above in angle brackets", {"platform/paths.cpp": "#include <gui/mainwindow/frame.h>\n"},
     "(a project header in angle brackets"),
    ("a layer above", {"base/tasks/list.cpp": '#include "gui/widgets/button.h"\n'}, "base may not include gui"),
    ("Qt in base", {"base/tasks/list.cpp": "#include <QString>\n"}, "Qt in base"),
    ("a header that is not there", {"base/tasks/list.cpp": '#include "base/tasks/gone.h"\n'}, "no such header"),
    ("an include not written from src/", {"base/tasks/list.cpp": '#include "table.h"\n'}, "no layer named"),
]


def make_tree(root, files):
    for path, text in files.items():
        full = os.path.join(root, path)
        os.makedirs(os.path.dirname(full), exist_ok=True)
        with open(full, "w", encoding="utf-8") as f:
            f.write(text)


class LayersTest(unittest.TestCase):
    def test_each_tree_gets_its_verdict(self):
        for name, extra, fault in CASES:
            with self.subTest(name), tempfile.TemporaryDirectory() as src:
                make_tree(src, {**GOOD, **extra})
                faults = layers.check(src)
                if fault is None:
                    self.assertEqual(faults, [])
                else:
                    self.assertEqual(len(faults), 1, faults)
                    self.assertIn(fault, faults[0])

    def test_the_command_fails_on_a_bad_tree_and_passes_a_good_one(self):
        script = os.path.join(os.path.dirname(os.path.abspath(__file__)), "layers.py")
        for extra, code in [({}, 0), ({"base/values/status.cpp": '#include "base/tasks/table.h"\n'}, 1),
                            ({"gui/i18n/language.cpp": '#include "gui/widgets/button.h"\n'}, 1),
                            ({"gui/widgets/menu.cpp": "#include <gui/mainwindow/frame.h>\n"}, 1)]:
            with self.subTest(extra=extra), tempfile.TemporaryDirectory() as src:
                make_tree(src, {**GOOD, **extra})
                run = subprocess.run([sys.executable, script, src], capture_output=True, text=True)
                self.assertEqual(run.returncode, code, run.stdout)


def drawing_after(text, lead):
    """The folders of the first drawing (a fenced block) after the line that
    begins `lead`, line by line: each line's words before its description."""
    block = text[text.index(lead):].split("```")[1]
    return [re.split(r"\s{3,}", line.strip())[0].split() for line in block.splitlines() if line.strip()]


class MapTest(unittest.TestCase):
    def test_the_check_keeps_the_order_the_map_draws(self):
        root = os.path.dirname(os.path.dirname(os.path.dirname(os.path.abspath(__file__))))
        with open(os.path.join(root, "docs", "ARCHITECTURE.md"), encoding="utf-8") as f:
            text = f.read()
        self.assertEqual(drawing_after(text, "- Inside base the folders include one way"), layers.ORDER["base"])
        self.assertEqual(drawing_after(text, "  The gui's folders do the same"), layers.ORDER["gui"])


if __name__ == "__main__":
    unittest.main()
