#!/usr/bin/env python3
"""Fails when a file includes a folder above its own.

The folders link one way:
    platform <- core <- theories <- astro <- catalog <- shell <- subsystems <- app
The subsystems (chart, scope, objects, moon, planets, eclipses, satellites, settings)
stand side by side. tests/<folder> and bench/ may include their folder and everything
below it. Run from `make test` (as a CTest case) with the source root as argument.
"""
import os
import re
import sys

SUBSYSTEMS = ["chart", "scope", "objects", "moon", "planets", "eclipses", "satellites", "settings"]
RANK = {"platform": 0, "core": 1, "theories": 2, "astro": 3, "catalog": 4, "shell": 5, "app": 7}
RANK.update({name: 6 for name in SUBSYSTEMS})
# Tools made at set-up time use the computations and the catalogs, never the interface.
TOOL_RANK = RANK["catalog"]
INCLUDE = re.compile(r'^\s*#\s*include\s*"([a-z_]+)/')


def own_rank(relative):
    parts = relative.split(os.sep)
    if parts[0] in RANK:
        return parts[0], RANK[parts[0]]
    if parts[0] == "tests" and len(parts) > 1 and parts[1] in RANK:
        return "tests/" + parts[1], RANK[parts[1]]
    if parts[0] == "tools" or (parts[0] == "tests" and len(parts) > 1 and parts[1] == "tools"):
        return "tools", TOOL_RANK
    return None, None


def main():
    root = sys.argv[1] if len(sys.argv) > 1 else "."
    faults = []
    for top in list(RANK) + ["tests", "tools"]:
        for folder, _, files in os.walk(os.path.join(root, top)):
            for name in files:
                if not name.endswith((".h", ".cpp")):
                    continue
                path = os.path.join(folder, name)
                relative = os.path.relpath(path, root)
                owner, rank = own_rank(relative)
                if owner is None:
                    continue
                with open(path, encoding="utf-8", errors="replace") as handle:
                    for number, line in enumerate(handle, 1):
                        match = INCLUDE.match(line)
                        if not match:
                            continue
                        target = match.group(1)
                        if target in RANK and RANK[target] > rank:
                            faults.append(f"{relative}:{number}: {owner} includes {target}/ (a folder above it)")
    for fault in faults:
        print(fault)
    if faults:
        print(f"{len(faults)} include(s) go upwards; the folders link one way: "
              "platform, core, theories, astro, catalog, shell, the subsystems, app.")
        return 1
    return 0


if __name__ == "__main__":
    sys.exit(main())
