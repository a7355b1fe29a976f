#!/usr/bin/env python3
"""Finds random games that catch the faults the movies let through, to add to the movies.

    python3 scripts/hunt-seeds.py REPORT [--games N]

REPORT is a report of scripts/plant-faults.py. Each of its survivors is planted again, one at a
time, in a copy of the sources (build-hunt/), and the seeded random games 1 to N are recorded
with it and without it (record_movies --games). A game whose movie differs sees the fault: its
movie, recorded from the true code, goes out of step under the fault. The report lists the
seeds that see each survivor and a small set of seeds that between them see all those any game
sees; add those to the seeds of tests/movies/record_movies.cpp and record the movies anew.
Survivors no game sees are likely the same program written another way, or out of reach of a
random hand. By hand, never in CI.
"""
import argparse
import filecmp
import importlib.util
import os
import shutil
import sys

HERE = os.path.dirname(os.path.abspath(__file__))
plant_faults_file = importlib.util.spec_from_file_location(
    "plant_faults", os.path.join(HERE, "plant-faults.py"))
pf = importlib.util.module_from_spec(plant_faults_file)
plant_faults_file.loader.exec_module(pf)
pf.WORK = os.path.join(pf.ROOT, "build-hunt")
pf.SRC = os.path.join(pf.WORK, "src")
pf.BUILD = os.path.join(pf.WORK, "build")
pf.TARGETS = ["record_movies"]

def record(games, into):
    shutil.rmtree(into, ignore_errors=True)
    os.makedirs(into)
    tool = os.path.join(pf.BUILD, "tests", "record_movies")
    return pf.run([tool, "--games", "1", str(games), into]) == 0


def main():
    parser = argparse.ArgumentParser(description=__doc__.split("\n")[0])
    parser.add_argument("report")
    parser.add_argument("--games", type=int, default=1000)
    args = parser.parse_args()

    survivors = pf.survivors_in(args.report)
    os.makedirs(pf.WORK, exist_ok=True)
    pf.signal.signal(pf.signal.SIGTERM, lambda *_: sys.exit(1))
    pf.prepare(check=False)
    truth = os.path.join(pf.WORK, "true")
    record(args.games, truth)

    seen_by = {}
    for rel, i, what in survivors:
        fault = next((f for f in pf.faults_in(os.path.join(pf.ROOT, rel))
                      if f[0] == i and f[1] == what), None)
        if fault is None:
            print(f"{rel}:{i + 1} {what}: no longer in the code")
            continue
        path = os.path.join(pf.SRC, rel)
        original = open(path).read()
        open(path, "w").write(pf.planted(original, i, *fault[2:]))
        try:
            faulty = os.path.join(pf.WORK, "faulty")
            seeds = []
            if pf.build() == 0 and record(args.games, faulty):
                seeds = [s for s in range(1, args.games + 1)
                         if not filecmp.cmp(os.path.join(truth, f"random_{s}.movie"),
                                            os.path.join(faulty, f"random_{s}.movie"), False)]
        finally:
            open(path, "w").write(original)
            os.utime(path, None)
        seen_by[(rel, i + 1, what)] = seeds
        print(f"{rel}:{i + 1} {what}: seen by {len(seeds)} games {seeds[:8]}", flush=True)

    # Greedy: the seed that sees most survivors not yet seen, until none is left to see.
    unseen = {k for k, v in seen_by.items() if v}
    chosen = []
    while unseen:
        best = max(range(1, args.games + 1),
                   key=lambda s: sum(s in seen_by[k] for k in unseen))
        chosen.append(best)
        unseen = {k for k in unseen if best not in seen_by[k]}
    print(f"seen by some game: {sum(bool(v) for v in seen_by.values())} of {len(seen_by)}")
    print(f"seeds that see them all: {chosen}")
    for k, v in seen_by.items():
        if not v:
            print(f"  seen by none: {k[0]}:{k[1]} {k[2]}")


if __name__ == "__main__":
    main()
