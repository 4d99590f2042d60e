#!/usr/bin/env python3
"""Plants faults in the product code one at a time and sees which the test suites catch.

Each fault is one small change at a random place (a flipped comparison, && for ||, a dropped
negation, a constant off by one, a deleted call). For each: the file is changed, the build is
run, the suites of the changed folder run, and the file is put back, whatever happens (also
on Ctrl-C; a copy of the original is kept beside it until it is restored, and the next run
restores any copy left behind).

    scripts/mutants.py [--build build] [--count 40] [--seed 1] [--only FOLDER] [--list]

The report ends with every fault the suites missed, so that a person can tell a fault that
changes nothing (the same behaviour by another route) from a hole in the tests.
"""
import argparse
import os
import random
import re
import signal
import subprocess
import sys
import time

ROOT = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
FOLDERS = ["control", "printerlist", "editor", "batch", "progress", "dataaccess", "support", "platform",
           "console", "hostapi"]
# The suites that guard each folder (CTest names as regular expressions).
SUITES = {
    "control": "tst_ctlfleet|tst_plugin|tst_console|tst_pagecommands|tst_editorcommands|tst_listexport",
    "printerlist": "tst_printergrid|tst_ctlfleet|tst_pagecommands|tst_listexport",
    "editor": "tst_frmprinter|tst_editor|tst_pagecommands",
    "batch": "tst_frmbatchupdate|tst_pagecommands",
    "progress": "tst_frmprogress|tst_progress|tst_pagecommands",
    "dataaccess": "tst_dataaccess|tst_siteintegrity|tst_siteaccess|tst_printerlist|tst_recordset|tst_history|tst_importexport|tst_editor_parsers",
    "support": "tst_clsregistry|tst_modfonts|tst_modlanguage|tst_modswgraphics|tst_modutilityfunctions|tst_ctlfleet",
    "platform": "tst_registry|tst_flexgrid|tst_clsregistry|tst_modutilityfunctions|tst_printergrid",
    "console": "tst_console",
    "hostapi": "tst_console|tst_plugin|tst_ctlfleet",
}
BACKUP_SUFFIX = ".mutant-original"

# (name, pattern, replacement); the pattern must match inside one line of code.
OPERATORS = [
    ("== to !=", r"(?<=[^=!<>])==(?=[^=])", "!="),
    ("!= to ==", r"!=(?=[^=])", "=="),
    ("< to <=", r"(?<=[\w)\]]) < (?=[\w(])", " <= "),
    ("<= to <", r" <= ", " < "),
    ("> to >=", r"(?<=[\w)\]]) > (?=[\w(])", " >= "),
    (">= to >", r" >= ", " > "),
    ("&& to ||", r" && ", " || "),
    ("|| to &&", r" \|\| ", " && "),
    ("drop !", r"(?<=[(\s])!(?=[\w(])", ""),
    ("constant + 1", r"(?<=[\s(,=\[])([1-9][0-9]{0,4})(?=[\s),;\]])", None),
    ("delete call", r"^(\s*)([A-Za-z_][\w:>.-]*\([^;{}]*\);)\s*$", None),
]


def product_files(only):
    files = []
    for folder in FOLDERS:
        if only and folder != only:
            continue
        base = os.path.join(ROOT, folder)
        for dirpath, _, names in os.walk(base):
            for n in names:
                if n.endswith(".cpp"):
                    files.append(os.path.relpath(os.path.join(dirpath, n), ROOT))
    return sorted(files)


def is_code(line):
    s = line.strip()
    return s and not s.startswith(("//", "#", "*", "/*")) and "QStringLiteral(\"" not in s[:20]


def candidates(path):
    """Every place in the file where an operator applies: (line number, operator index, match start)."""
    out = []
    with open(os.path.join(ROOT, path), encoding="utf-8") as f:
        lines = f.readlines()
    for i, line in enumerate(lines):
        if not is_code(line):
            continue
        code = line.split("//")[0]
        for k, (_, pattern, _) in enumerate(OPERATORS):
            for m in re.finditer(pattern, code):
                out.append((i, k, m.start()))
    return out


def apply(line, k, start):
    name, pattern, repl = OPERATORS[k]
    rx = re.compile(pattern)
    m = rx.search(line, start)
    if not m or m.start() != start:
        return None
    if name == "constant + 1":
        new = str(int(m.group(1)) + 1)
    elif name == "delete call":
        return m.group(1) + "/* deleted */\n"
    else:
        new = repl
    return line[:m.start()] + new + line[m.end():]


def restore_leftovers():
    for path in product_files(None):
        full = os.path.join(ROOT, path)
        if os.path.exists(full + BACKUP_SUFFIX):
            os.replace(full + BACKUP_SUFFIX, full)
            os.utime(full)
            print(f"restored {path} from a copy an interrupted run left behind")


def run(cmd, timeout):
    try:
        return subprocess.run(cmd, cwd=ROOT, stdout=subprocess.PIPE, stderr=subprocess.STDOUT, timeout=timeout).returncode
    except subprocess.TimeoutExpired:
        return "timeout"


def main():
    ap = argparse.ArgumentParser()
    ap.add_argument("--build", default="build")
    ap.add_argument("--count", type=int, default=40)
    ap.add_argument("--seed", type=int, default=1)
    ap.add_argument("--only")
    ap.add_argument("--list", action="store_true", help="only show the faults that would be planted")
    a = ap.parse_args()

    restore_leftovers()
    rng = random.Random(a.seed)
    files = product_files(a.only)
    sites = [(f, c) for f in files for c in candidates(f)]
    rng.shuffle(sites)

    env = dict(os.environ, QT_QPA_PLATFORM=os.environ.get("QT_QPA_PLATFORM", "offscreen"))
    results = []
    current = {}

    def put_back(*_):
        if current:
            os.replace(current["backup"], current["full"])
            # The copy keeps its old time, older than what the fault was built into: without
            # a new time the build would keep the faulty object and every later run tests it.
            os.utime(current["full"])
            current.clear()
        if _:
            print("interrupted; source restored")
            sys.exit(130)

    signal.signal(signal.SIGINT, put_back)
    signal.signal(signal.SIGTERM, put_back)

    for path, (line_no, k, start) in sites:
        if len(results) >= a.count:
            break
        full = os.path.join(ROOT, path)
        with open(full, encoding="utf-8") as f:
            lines = f.readlines()
        mutated = apply(lines[line_no], k, start)
        if mutated is None or mutated == lines[line_no]:
            continue
        folder = path.split("/")[0]
        label = f"{path}:{line_no + 1} {OPERATORS[k][0]}"
        diff = f"- {lines[line_no].strip()}\n+ {mutated.strip()}"
        if a.list:
            print(label + "\n" + diff)
            results.append(None)
            continue
        current.update(full=full, backup=full + BACKUP_SUFFIX)
        os.replace(full, current["backup"])
        try:
            with open(full, "w", encoding="utf-8") as f:
                f.writelines(lines[:line_no] + [mutated] + lines[line_no + 1:])
            t0 = time.time()
            built = run(["cmake", "--build", a.build], 900)
            if built == "timeout":
                # The build runs the console to register the page: a fault there can hang it.
                verdict = "hangs the build"
            elif built != 0:
                verdict = "does not build"
            else:
                tested = subprocess.run(["ctest", "--test-dir", a.build, "-R", SUITES[folder], "--timeout", "300", "-j2"],
                                        cwd=ROOT, env=env, stdout=subprocess.PIPE, stderr=subprocess.STDOUT)
                verdict = "caught" if tested.returncode != 0 else "MISSED"
        finally:
            put_back()
        results.append((label, diff, verdict))
        print(f"[{len(results):2}/{a.count}] {verdict:15} {label}  ({time.time() - t0:.0f} s)", flush=True)

    if a.list:
        return
    # The last build had the last fault in it: build the restored source once more.
    run(["cmake", "--build", a.build], 1800)
    built = [r for r in results if r[2] not in ("does not build", "hangs the build")]
    caught = sum(1 for r in built if r[2] == "caught")
    print(f"\n{caught} of {len(built)} faults that build were caught ({100 * caught // max(1, len(built))}%); "
          f"{len(results) - len(built)} did not build.")
    missed = [r for r in built if r[2] == "MISSED"]
    if missed:
        print("\nMissed (tell equivalent faults from holes in the tests):")
        for label, diff, _ in missed:
            print(f"{label}\n{diff}\n")


if __name__ == "__main__":
    main()
