#!/usr/bin/env python3
"""Plants faults in the code one at a time and tells which of them the tests catch.

usage: scripts/mutate.py [--filter TEXT] [--exclude-label LABEL] [--keep] [LIST ...]

Each LIST (default: every tests/mutants/*.txt) holds faults in this form:

    @ src/table/frm_main.cpp | Deal forgets to clear the result box
    - txtInfo.SetText("");
    +

"-" gives text that must occur exactly once in the file (or add "#N" after the file name to
take its N-th occurrence), "+" what replaces it (nothing: the text is dropped). Lines that start
with "#" are comments.

The work happens in a scratch copy of the tree (tracked and new files, as they stand now), so an
interrupted run never leaves a fault behind. The copy is built once; each fault is planted,
built incrementally, and the whole suite is run, stopping at the first failing test. A fault that
does not compile is counted apart, as invalid. Exit status: 0 when every valid fault was caught.
"""

import argparse
import glob
import os
import re
import shutil
import subprocess
import sys
import tempfile
import time

ROOT = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))


class Mutant:
    def __init__(self, source, line, path, occurrence, what):
        self.source = source  # list file and line, for messages
        self.line = line
        self.path = path
        self.occurrence = occurrence
        self.what = what
        self.before = None
        self.after = None

    def label(self):
        return f"{self.path}: {self.what}"


def parse(list_file):
    mutants = []
    current = None
    with open(list_file, encoding="utf-8") as f:
        for number, raw in enumerate(f, 1):
            line = raw.rstrip("\n")
            if not line.strip() or line.startswith("#"):
                continue
            if line.startswith("@ "):
                head, _, what = line[2:].partition("|")
                head = head.strip()
                occurrence = None  # the text must then occur exactly once
                m = re.fullmatch(r"(.*)#(\d+)", head)
                if m:
                    head, occurrence = m.group(1).strip(), int(m.group(2))
                current = Mutant(list_file, number, head, occurrence, what.strip())
                mutants.append(current)
            elif line.startswith("- ") or line == "-":
                current.before = line[2:]
            elif line.startswith("+ ") or line == "+":
                current.after = line[2:]
            else:
                sys.exit(f"{list_file}:{number}: cannot read: {line}")
    for m in mutants:
        if m.before is None or m.after is None:
            sys.exit(f"{m.source}:{m.line}: a fault needs a '-' and a '+' line")
    return mutants


def plant(text, m):
    start = -1
    for _ in range(m.occurrence or 1):
        start = text.find(m.before, start + 1)
        if start < 0:
            return None
    if m.occurrence is None and text.find(m.before, start + 1) >= 0:
        return None  # ambiguous: name the occurrence
    return text[:start] + m.after + text[start + len(m.before):]


def run(cmd, cwd, timeout=None):
    return subprocess.run(cmd, cwd=cwd, stdout=subprocess.PIPE, stderr=subprocess.STDOUT,
                          text=True, timeout=timeout)


def copy_tree(dest):
    files = run(["git", "ls-files", "-co", "--exclude-standard"], ROOT).stdout.split("\n")
    for rel in files:
        if not rel or not os.path.isfile(os.path.join(ROOT, rel)):
            continue
        target = os.path.join(dest, rel)
        os.makedirs(os.path.dirname(target), exist_ok=True)
        shutil.copy2(os.path.join(ROOT, rel), target)


def first_failure(output):
    for line in output.splitlines():
        m = re.search(r"Test\s+#\d+: (\S+) \.*\*?\*?\*?(Failed|Timeout|Exception|.*SEGFAULT|"
                      r"Subprocess aborted|Child aborted)", line)
        if m:
            return m.group(1)
    return "the suite"


def main():
    parser = argparse.ArgumentParser(description=__doc__.split("\n")[0])
    parser.add_argument("lists", nargs="*")
    parser.add_argument("--filter", default="", help="only faults whose file or text has this")
    parser.add_argument("--exclude-label", action="append", default=[],
                        help="skip tests with this label (repeatable)")
    parser.add_argument("--keep", action="store_true", help="keep the scratch copy")
    args = parser.parse_args()

    lists = args.lists or sorted(glob.glob(os.path.join(ROOT, "tests", "mutants", "*.txt")))
    mutants = [m for f in lists for m in parse(f)
               if args.filter in m.path or args.filter in m.what]
    if not mutants:
        sys.exit("no faults to plant")

    work = tempfile.mkdtemp(prefix="cp_mutate_")
    build = os.path.join(work, "build")
    jobs = str(os.cpu_count() or 2)
    ctest = ["ctest", "--test-dir", build, "-j", jobs, "--stop-on-failure", "--timeout", "120"]
    for label in args.exclude_label:
        ctest += ["-LE", label]
    try:
        print(f"copying the tree to {work} and building it", flush=True)
        copy_tree(work)
        r = run(["cmake", "-S", work, "-B", build, "-G", "Ninja",
                 "-DCMAKE_BUILD_TYPE=RelWithDebInfo", "-DCP_WITH_BENCH=OFF"], work)
        if r.returncode != 0 or run(["cmake", "--build", build], work).returncode != 0:
            sys.exit("the unchanged tree does not build")
        r = run(ctest, work)
        if r.returncode != 0:
            print(r.stdout)
            sys.exit("the unchanged tree fails its tests")

        caught, missed, invalid = [], [], []
        for i, m in enumerate(mutants, 1):
            path = os.path.join(work, m.path)
            try:
                with open(path, encoding="utf-8") as f:
                    original = f.read()
            except OSError:
                invalid.append((m, "no such file"))
                print(f"[{i}/{len(mutants)}] INVALID  {m.label()} (no such file)", flush=True)
                continue
            planted = plant(original, m)
            if planted is None:
                invalid.append((m, "text not found once"))
                print(f"[{i}/{len(mutants)}] INVALID  {m.label()} (text not found once)",
                      flush=True)
                continue
            started = time.time()
            try:
                with open(path, "w", encoding="utf-8") as f:
                    f.write(planted)
                if run(["cmake", "--build", build], work).returncode != 0:
                    invalid.append((m, "does not build"))
                    verdict = "INVALID  (does not build)"
                else:
                    r = run(ctest, work)
                    if r.returncode != 0:
                        caught.append(m)
                        verdict = f"caught   by {first_failure(r.stdout)}"
                    else:
                        missed.append(m)
                        verdict = "MISSED"
            finally:
                with open(path, "w", encoding="utf-8") as f:
                    f.write(original)
            print(f"[{i}/{len(mutants)}] {verdict}  {m.label()}  "
                  f"({time.time() - started:.0f} s)", flush=True)
        # Leave the copy as it was built, so that --keep gives a usable tree.
        run(["cmake", "--build", build], work)

        valid = len(caught) + len(missed)
        print()
        print(f"caught {len(caught)} of {valid} planted faults"
              f" ({100.0 * len(caught) / valid if valid else 0:.0f}%);"
              f" {len(invalid)} could not be planted")
        for m in missed:
            print(f"  missed: {m.label()}  [{os.path.relpath(m.source, ROOT)}:{m.line}]")
        for m, why in invalid:
            print(f"  invalid: {m.label()} ({why})  [{os.path.relpath(m.source, ROOT)}:{m.line}]")
        return 0 if not missed else 1
    finally:
        if args.keep:
            print(f"scratch copy kept in {work}")
        else:
            shutil.rmtree(work, ignore_errors=True)


if __name__ == "__main__":
    sys.exit(main())
