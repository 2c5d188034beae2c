#!/usr/bin/env python3
"""Seeded monkey runs of the headless program: each run starts from the home form and
gives random taps (screen and menu band), keys and waits at scale 2, and fails when an
internal message box reaches the user ("NULL Obj ptr", "Bad id", "Failed to allocate",
...), when the program crashes, or when it does not end in time. A failing run is printed
as the command line that reproduces it.

    tools/monkey.py [--program build/velkarion] [--runs 100] [--seed 1] [--steps 40]
                    [--jobs 4] [--timeout 120]

`make monkey` runs it on the build; it is not part of the tests.
"""
import argparse
import os
import random
import re
import subprocess
import sys
import tempfile
from concurrent.futures import ThreadPoolExecutor

# The program's own boxes for a missing control, list, window or buffer: never for a user.
INTERNAL = re.compile(
    r"NULL Obj ptr|NULL List ptr|NULL popup Wnd|Bad id|Failed to allocate|WinHandled Null|WinDest Null|"
    r"clipBounds Null")
SCALE = 2
WIDTH, HEIGHT, BAND = 240 * SCALE, 320 * SCALE, 30 * SCALE
KEYS = ["escape", "return", "up", "down", "left", "right", "pageup", "pagedown", "back", "tab", "space",
        "1", "5", "9", "0", "-", ".", ":", "a", "m", "z"]


def script(seed, steps):
    rng = random.Random(seed)
    args = ["--headless", "--scale", str(SCALE), "--at", "2026-03-%02d %02d:%02d" % (
        rng.randint(1, 28), rng.randint(0, 23), rng.randint(0, 59))]
    for _ in range(rng.randint(steps // 2, steps)):
        r = rng.random()
        if r < 0.78:
            # Mostly the screen; a fifth of the taps on the menu band below it.
            y = rng.randrange(HEIGHT, HEIGHT + BAND) if rng.random() < 0.2 else rng.randrange(HEIGHT)
            args += ["--tap", "%d,%d" % (rng.randrange(WIDTH), y)]
        elif r < 0.93:
            args += ["--key", rng.choice(KEYS)]
        else:
            args += ["--wait", str(rng.choice([200, 700, 1500, 4000]))]
    return args


def run(program, seed, steps, timeout):
    args = script(seed, steps)
    with tempfile.TemporaryDirectory(prefix="velkarion-monkey-") as home:
        env = dict(os.environ, VELKARION_HOME=home)
        try:
            p = subprocess.run([program] + args, env=env, capture_output=True, text=True, errors="replace",
                               timeout=timeout)
        except subprocess.TimeoutExpired:
            return seed, args, "did not end within %d s" % timeout
    found = INTERNAL.search(p.stdout) or INTERNAL.search(p.stderr)
    if found:
        line = next(l for l in (p.stdout + p.stderr).splitlines() if INTERNAL.search(l))
        return seed, args, "internal box: " + line.strip()
    if p.returncode not in (0,):
        return seed, args, "exit status %d\n%s" % (p.returncode, p.stderr[-2000:])
    return seed, args, None


def main():
    parser = argparse.ArgumentParser(description=__doc__, formatter_class=argparse.RawDescriptionHelpFormatter)
    parser.add_argument("--program", default="build/velkarion")
    parser.add_argument("--runs", type=int, default=100)
    parser.add_argument("--seed", type=int, default=1)
    parser.add_argument("--steps", type=int, default=40)
    parser.add_argument("--jobs", type=int, default=4)
    parser.add_argument("--timeout", type=int, default=120)
    a = parser.parse_args()
    if not os.access(a.program, os.X_OK):
        sys.exit("monkey: no program at %s (build it first)" % a.program)
    seeds = range(a.seed, a.seed + a.runs)
    failures = []
    with ThreadPoolExecutor(max_workers=a.jobs) as pool:
        for seed, args, why in pool.map(lambda s: run(a.program, s, a.steps, a.timeout), seeds):
            if why:
                failures.append(seed)
                print("seed %d: %s\n  %s %s" % (seed, why, a.program, " ".join(args)), flush=True)
    print("%d runs, %d failed%s" % (a.runs, len(failures), (": seeds " + " ".join(map(str, failures))) if failures else ""))
    sys.exit(1 if failures else 0)


if __name__ == "__main__":
    main()
