#!/usr/bin/python3
"""The layer check's own test: small source trees, each with one kind of
fault or none, and what layers.py says of them."""
import os
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
}

# name, files added to (or replacing those of) the good tree, what the fault
# says (None: no fault).
CASES = [
    ("a tree whose folders point one way", {}, None),
    ("two folders include each other", {"base/values/status.cpp": '#include "base/tasks/table.h"\n'},
     "cycle: base/tasks -> base/values -> base/tasks"),
    ("three folders in a ring", {
        "base/x/a.h": '#include "base/y/b.h"\n',
        "base/y/b.h": '#include "base/z/c.h"\n',
        "base/z/c.h": '#include "base/x/a.h"\n'},
     "cycle: base/x -> base/y -> base/z -> base/x"),
    ("a cycle among the gui's folders", {"gui/widgets/button.cpp": '#include "gui/mainwindow/frame.h"\n'},
     "cycle: gui/mainwindow -> gui/widgets -> gui/mainwindow"),
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
                            ({"gui/widgets/menu.cpp": "#include <gui/mainwindow/frame.h>\n"}, 1)]:
            with self.subTest(extra=extra), tempfile.TemporaryDirectory() as src:
                make_tree(src, {**GOOD, **extra})
                run = subprocess.run([sys.executable, script, src], capture_output=True, text=True)
                self.assertEqual(run.returncode, code, run.stdout)


if __name__ == "__main__":
    unittest.main()
