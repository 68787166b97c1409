#!/usr/bin/python3
"""Runs clang-tidy, with the checks .clang-tidy names, over every source file
of src/ as the build compiles it (its compile database), and fails on any
finding, naming each. A file that passed before is not read again while its
text, the headers it includes (as the build's dependency record lists them),
its compile command, the checks and clang-tidy stay the same: a run after a
small change costs seconds, not the minutes of a first run. Usage: tidy.py
SOURCE_DIR BUILD_DIR [JOBS]."""
import concurrent.futures
import hashlib
import json
import os
import shlex
import shutil
import subprocess
import sys
import time

PASSED = "clang-tidy-passed"  # in the build folder: the keys of files that passed


def tool():
    return shutil.which("clang-tidy-14") or shutil.which("clang-tidy")


def sources(source_dir, build_dir):
    """The source files of src/ in the compile database, each once, with the
    object the build makes of it: [(file, command, object)]."""
    with open(os.path.join(build_dir, "compile_commands.json"), encoding="utf-8") as f:
        database = json.load(f)
    src = os.path.join(os.path.realpath(source_dir), "src") + os.sep
    seen, found = set(), []
    for entry in database:
        path = os.path.realpath(os.path.join(entry["directory"], entry["file"]))
        if not path.startswith(src) or not path.endswith(".cpp") or path in seen:
            continue
        seen.add(path)
        words = shlex.split(entry["command"])
        target = words[words.index("-o") + 1] if "-o" in words else ""
        found.append((path, entry["command"], target))
    return found


def dependencies(build_dir):
    """What each object of the build was made from, by the build's own record
    ({object: [real paths]}); empty where ninja keeps none."""
    run = subprocess.run(["ninja", "-C", build_dir, "-t", "deps"], capture_output=True, text=True)
    deps, current, real = {}, None, {}
    for line in run.stdout.splitlines():
        if line and not line.startswith(" "):
            current = line.split(":", 1)[0]
            deps[current] = []
        elif line.strip() and current is not None:
            path = line.strip()
            if path not in real:
                real[path] = os.path.realpath(os.path.join(build_dir, path))
            deps[current].append(real[path])
    return deps


class Keys:
    """A file's key: everything its verdict depends on, hashed."""

    def __init__(self, source_dir, settings):
        self.root = os.path.realpath(source_dir) + os.sep
        self.settings = settings
        self.memo = {}

    def stamp(self, path):
        if path not in self.memo:
            try:
                if path.startswith(self.root):
                    with open(path, "rb") as f:
                        self.memo[path] = hashlib.sha256(f.read()).hexdigest()
                else:  # the system's headers change only with their packages
                    info = os.stat(path)
                    self.memo[path] = "%d %d" % (info.st_size, info.st_mtime_ns)
            except OSError:
                self.memo[path] = "gone"
        return self.memo[path]

    def of(self, path, command, made_from):
        if not made_from:
            return None  # not built yet: no record of its headers
        h = hashlib.sha256(self.settings.encode())
        h.update(command.encode())
        for dep in sorted(set(made_from) | {path}):
            h.update(("\n%s %s" % (dep, self.stamp(dep))).encode())
        return h.hexdigest()


def check(clang_tidy, build_dir, path):
    run = subprocess.run([clang_tidy, "-p", build_dir, "--quiet", "--extra-arg=-Wno-everything", path],
                         capture_output=True, text=True)
    return run.returncode, run.stdout.strip()


def main():
    source_dir, build_dir = sys.argv[1], sys.argv[2]
    jobs = int(sys.argv[3]) if len(sys.argv) > 3 else min(2, os.cpu_count() or 1)
    clang_tidy = tool()
    if clang_tidy is None:
        print("tidy: clang-tidy is not installed (scripts/install-deps.sh installs it)")
        return 2
    started = time.monotonic()
    version = subprocess.run([clang_tidy, "--version"], capture_output=True, text=True).stdout
    with open(os.path.join(source_dir, ".clang-tidy"), encoding="utf-8") as f:
        keys = Keys(source_dir, version + f.read())
    deps = dependencies(build_dir)
    passed_file = os.path.join(build_dir, PASSED)
    try:
        with open(passed_file, encoding="utf-8") as f:
            passed_before = set(f.read().split())
    except OSError:
        passed_before = set()

    files = sources(source_dir, build_dir)
    keyed = [(path, keys.of(path, command, deps.get(target, []))) for path, command, target in files]
    passed = {key for _, key in keyed if key in passed_before}
    pending = [(path, key) for path, key in keyed if key is None or key not in passed_before]
    findings = {}
    with concurrent.futures.ThreadPoolExecutor(max_workers=jobs) as pool:
        runs = {pool.submit(check, clang_tidy, build_dir, path): (path, key) for path, key in pending}
        for done in concurrent.futures.as_completed(runs):
            path, key = runs[done]
            code, output = done.result()
            if code == 0 and not output:
                if key is not None:
                    passed.add(key)
            else:
                findings[path] = output or "clang-tidy ended with status %d" % code
    with open(passed_file, "w", encoding="utf-8") as f:
        f.write("\n".join(sorted(passed)) + "\n")

    shown = set()
    for path in sorted(findings):
        # A header's finding comes once for every file that includes it.
        if findings[path] not in shown:
            shown.add(findings[path])
            print(findings[path])
    print("tidy: %d files, %d read again, %d with findings, %.0f s" %
          (len(files), len(pending), len(findings), time.monotonic() - started))
    return 1 if findings else 0


if __name__ == "__main__":
    sys.exit(main())
