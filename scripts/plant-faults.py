#!/usr/bin/env python3
"""Plants one-line faults in the game's code, one at a time, and reports how many the tests catch.

    python3 scripts/plant-faults.py [--files GLOB ...] [--sample N] [--seed S] [--report FILE]
                                    [--only REPORT]

Each fault is one of: an integer constant one more or one less; a decimal constant's last digit
one more or one less; `<` and `<=` (or `>` and `>=`) swapped; a statement removed; two
neighbouring statements swapped. A random range's end is a constant like any other. For every
fault a copy of the sources (in build-faults/) is changed, the tests that play the game are
rebuilt and run: first the older ones (the journey tables and the stage tests played by the
harness), then the movies of tests/movies through `moody --verify`. A fault that does not
compile is left out; --only plants again just the survivors of an earlier report (after new
movies, say). The report gives the share caught by the older tests alone and by all of
them, per file, and lists the survivors.

It runs by hand (an hour or more for a few hundred faults), never in CI.
"""
import argparse
import glob
import os
import random
import re
import shutil
import signal
import subprocess
import sys
import time

ROOT = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
WORK = os.path.join(ROOT, "build-faults")
SRC = os.path.join(WORK, "src")
BUILD = os.path.join(WORK, "build")

OLD_TESTS = ["story_journeys_test", "stages_01_03_test", "stages_04_06_test", "stages_07_09_test",
             "title_test", "face_core_test", "cursor_core_test", "game_core_test",
             "escape_everywhere_test", "random_play_test"]
TARGETS = OLD_TESTS + ["moody"]

INT = re.compile(r"(?<![\w.])(\d+)(?![\w.])")
DEC = re.compile(r"(?<![\w.])(\d+\.\d+)(f?)(?![\w.])")
# Comparisons, written with a space on either side (casts and templates have none).
REL = re.compile(r" (<=|>=|<|>) ")


def code_part(line):
    """The line without a trailing // comment (strings in the scenes hold no //)."""
    at = line.find("//")
    return line if at < 0 else line[:at]


def is_simple_statement(line):
    text = line.strip()
    if not text.endswith(";") or text.startswith(("//", "#", "return", "break", "continue", "case")):
        return False
    if text.startswith(("int ", "const ", "float ", "double ", "bool ", "auto ", "static ",
                        "constexpr ", "using ", "struct ", "enum ", "}", "int32_t")):
        return False
    return "{" not in text and "}" not in text and text.count("(") == text.count(")")


def faults_in(path):
    """Every fault of the file, as (line index, description, new line or None to remove, swap)."""
    lines = open(path).read().split("\n")
    found = []
    depth = 0
    for i, line in enumerate(lines):
        code = code_part(line)
        stripped = code.strip()
        inside_code = depth > 0 or stripped.startswith("constexpr")
        depth += code.count("{") - code.count("}")
        if not stripped or stripped.startswith("#") or not inside_code:
            continue
        for m in DEC.finditer(code):
            text, suffix = m.group(1), m.group(2)
            whole, frac = text.split(".")
            for step in (1, -1):
                last = int(frac[-1]) + step
                if 0 <= last <= 9:
                    new = whole + "." + frac[:-1] + str(last)
                    found.append((i, f"{text}{suffix} -> {new}{suffix}",
                                  code[:m.start()] + new + suffix + code[m.end():] + line[len(code):],
                                  None))
        for m in INT.finditer(code):
            n = int(m.group(1))
            for new in (n + 1, n - 1):
                if new < 0:
                    continue
                found.append((i, f"{n} -> {new}",
                              code[:m.start()] + str(new) + code[m.end():] + line[len(code):], None))
        for m in REL.finditer(code):
            op = m.group(1)
            other = {"<": "<=", "<=": "<", ">": ">=", ">=": ">"}[op]
            found.append((i, f"{op} -> {other}", code[:m.start(1)] + other + code[m.end(1):] +
                          line[len(code):], None))
        if depth > 0 and is_simple_statement(code):
            found.append((i, "statement removed", "", None))
            # Two equal statements swapped are the same program: not a fault.
            if i + 1 < len(lines) and is_simple_statement(code_part(lines[i + 1])) and \
                    lines[i + 1].strip() != stripped and \
                    len(line) - len(line.lstrip()) == len(lines[i + 1]) - len(lines[i + 1].lstrip()):
                found.append((i, "swapped with the next statement", lines[i + 1], lines[i]))
    # The same fault written twice on a line (two `<`, a number twice): " #2" names the second.
    seen = {}
    for n, (i, what, new, swap) in enumerate(found):
        seen[(i, what)] = seen.get((i, what), 0) + 1
        if seen[(i, what)] > 1:
            found[n] = (i, f"{what} #{seen[(i, what)]}", new, swap)
    return found


def run(cmd, cwd=None, quiet=True):
    return subprocess.run(cmd, cwd=cwd, stdout=subprocess.DEVNULL if quiet else None,
                          stderr=subprocess.DEVNULL if quiet else None).returncode


def prepare(check=True):
    if os.path.isdir(SRC):
        shutil.rmtree(SRC)
    os.makedirs(SRC)
    files = subprocess.run(["git", "ls-files"], cwd=ROOT, capture_output=True, text=True).stdout.split()
    for f in files:
        dest = os.path.join(SRC, f)
        os.makedirs(os.path.dirname(dest), exist_ok=True)
        # A fresh time stamp: no object built from an earlier run's fault may pass for current.
        shutil.copy(os.path.join(ROOT, f), dest)
    # Optimised as the program is (the tests then run in seconds), without debugging information,
    # and linked by lld: each fault rebuilds one file and relinks a dozen programs.
    if run(["cmake", "-S", SRC, "-B", BUILD, "-DCMAKE_BUILD_TYPE=Release",
            "-DCMAKE_CXX_FLAGS_RELEASE=-O2", "-DMOODY_BENCH=OFF",
            "-DCMAKE_EXE_LINKER_FLAGS=-fuse-ld=lld"]) != 0:
        sys.exit("plant-faults: cmake failed")
    if build() != 0:
        sys.exit("plant-faults: the unchanged sources do not build")
    if check and (not tests_pass(OLD_TESTS) or not movies_pass()):
        sys.exit("plant-faults: the tests fail on the unchanged sources")


SURVIVOR = re.compile(r"^  (\S+):(\d+): (.+?): ")


def survivors_in(report):
    """The survivors a report lists, as (file, line index, description)."""
    found, listed = [], False
    for text in open(report):
        listed = listed or text.startswith("survivors:")
        m = SURVIVOR.match(text) if listed else None
        if m:
            found.append((m.group(1), int(m.group(2)) - 1, m.group(3)))
    return found


def planted(original, i, new, swap):
    """The file's text with the fault at line i: a line replaced, removed or swapped."""
    lines = original.split("\n")
    if swap is not None:
        lines[i], lines[i + 1] = new, swap
    elif new == "":
        del lines[i]
    else:
        lines[i] = new
    return "\n".join(lines)


def build():
    return run(["cmake", "--build", BUILD, "-j", str(os.cpu_count()), "--target"] + TARGETS)


def tests_pass(names):
    for name in names:
        if run([os.path.join(BUILD, "tests", name)]) != 0:
            return False
    return True


def movies_pass():
    movies = sorted(glob.glob(os.path.join(SRC, "tests", "movies", "*.movie")))
    return not movies or run([os.path.join(BUILD, "moody"), "--verify"] + movies) == 0


def main():
    parser = argparse.ArgumentParser(description=__doc__.split("\n")[0])
    parser.add_argument("--files", nargs="*", default=["game/scenes/*.cpp"])
    parser.add_argument("--sample", type=int, default=0, help="plant this many, chosen at random")
    parser.add_argument("--seed", type=int, default=1)
    parser.add_argument("--report", default=os.path.join(WORK, "report.txt"))
    parser.add_argument("--only", metavar="REPORT", help="plant again the survivors of a report")
    args = parser.parse_args()

    paths = sorted({p for pattern in args.files for p in glob.glob(os.path.join(ROOT, pattern))})
    faults = [(os.path.relpath(p, ROOT), *f) for p in paths for f in faults_in(p)]
    if args.only:
        wanted = set(survivors_in(args.only))
        # Reports written before faults were numbered name both of a line's twins alike.
        faults = [f for f in faults
                  if f[:3] in wanted or (f[0], f[1], f[2].split(" #")[0]) in wanted]
    print(f"{len(faults)} faults in {len(paths)} files")
    if args.sample and args.sample < len(faults):
        faults = random.Random(args.seed).sample(faults, args.sample)
    faults.sort()
    os.makedirs(WORK, exist_ok=True)
    # Stopped by a signal, the fault being tried is still put back.
    signal.signal(signal.SIGTERM, lambda *_: sys.exit(1))
    prepare()

    results = []  # (file, line, what, text, outcome) with outcome old / movies / survived
    started = time.time()
    for n, (rel, i, what, new, swap) in enumerate(faults, 1):
        path = os.path.join(SRC, rel)
        original = open(path).read()
        text = original.split("\n")[i].strip()
        open(path, "w").write(planted(original, i, new, swap))
        try:
            if build() != 0:
                outcome = "does not build"
            elif not tests_pass(OLD_TESTS):
                outcome = "old"
            elif not movies_pass():
                outcome = "movies"
            else:
                outcome = "survived"
        finally:
            open(path, "w").write(original)
            os.utime(path, None)
        results.append((rel, i + 1, what, text, outcome))
        print(f"[{n}/{len(faults)} {time.time() - started:.0f}s] {rel}:{i + 1} {what}: {outcome}",
              flush=True)
    build()

    counted = [r for r in results if r[4] != "does not build"]
    with open(args.report, "w") as out:
        def line(s=""):
            print(s)
            out.write(s + "\n")
        line(f"{len(counted)} faults planted ({len(results) - len(counted)} did not build)")
        per_file = {}
        for r in counted:
            per_file.setdefault(r[0], []).append(r[4])
        for rel, outcomes in sorted(per_file.items()):
            old = outcomes.count("old")
            caught = old + outcomes.count("movies")
            line(f"  {rel}: {len(outcomes)} planted, older tests {old} "
                 f"({100 * old / len(outcomes):.0f}%), all tests {caught} "
                 f"({100 * caught / len(outcomes):.0f}%)")
        old = sum(r[4] == "old" for r in counted)
        caught = sum(r[4] in ("old", "movies") for r in counted)
        if counted:
            line(f"caught by the older tests: {old} of {len(counted)} "
                 f"({100 * old / len(counted):.1f}%)")
            line(f"caught by all the tests:   {caught} of {len(counted)} "
                 f"({100 * caught / len(counted):.1f}%)")
        line("survivors:")
        for rel, ln, what, text, outcome in counted:
            if outcome == "survived":
                line(f"  {rel}:{ln}: {what}: {text}")


if __name__ == "__main__":
    main()
