#!/usr/bin/env python3
"""Cuts the catalog builder's test fixtures from the real sources that tools/build-data.sh
fetched, so that the fixtures are real rows in the real formats:

    python3 tools/catalog_builder/make_fixtures.py build/sources tests/data/tools

- stellarium/catalog.dat: the deep-sky catalogue's header and a few of its records, whole
  (unpacked, as build-data.sh hands it to the builder);
- stellarium/stars_0_0v0_8.cat, stellarium/stars_3_1v0_4.cat: the star files' headers and
  zone tables with a few stars of each kind kept in their zones;
- towns/cityMap.json: a few towns of city-timezones;
- zoneinfo/: the tzdata files of those towns' zones, from this machine.
"""
import json
import shutil
import struct
import sys
from pathlib import Path

import dso_catalogue

# Deep-sky records to keep, by (field, number): M31, the Orion Nebula, the North America
# Nebula, a dark nebula of Barnard and Lynds, another Lynds cloud, a young star known only
# to Lynds (its "magnitude" an opacity class too), an NGC object without a
# magnitude, objects only this catalogue has (Trumpler 14, Stock 2, a Ruprecht cluster), an
# Abell cluster, a galaxy known by UGC only, M40.
KEEP_DSO = [("NGC", 224), ("NGC", 1976), ("NGC", 7000), ("B", 33), ("LDN", 1622), ("LDN", 1036), ("NGC", 6991),
            ("Tr", 14), ("St", 2), ("Ru", 44), ("ACO", 1656), ("UGC", 3580), ("M", 40), ("NGC", 5866)]

# Stars to keep: Hipparcos numbers of the bright file, and the first stars of the faint one.
KEEP_HIP = {32349, 91262, 11767, 27989, 24436, 71683, 30438, 26727, 25930}
KEEP_FAINT = 3

TOWNS = ["Paris", "Kathmandu", "Sydney", "Chaghcharan", "New York", "Adelaide"]


def cut_stars(path, keep):
    data = Path(path).read_bytes()
    magic, kind, major, minor, level = struct.unpack_from("<5I", data, 0)
    zones = 20 << (2 * level)
    counts = struct.unpack_from("<%dI" % zones, data, 32)
    size = {0: 28, 1: 10, 2: 6}[kind]
    at = 32 + 4 * zones
    kept_counts, kept = [], []
    for count in counts:
        n = 0
        for _ in range(count):
            star = data[at:at + size]
            at += size
            if keep(kind, star):
                kept.append(star)
                n += 1
        kept_counts.append(n)
    return data[:32] + struct.pack("<%dI" % zones, *kept_counts) + b"".join(kept)


def main(sources, out):
    sources, out = Path(sources), Path(out)
    (out / "stellarium").mkdir(parents=True, exist_ok=True)
    header, records = dso_catalogue.read((sources / "stellarium-dso.dat").read_bytes())
    chosen = []
    for field, number in KEEP_DSO:
        for r, raw in records:
            value = r[field]
            if value == number or value == str(number):
                chosen.append(raw)
                break
        else:
            print(f"not found: {field} {number}")
    (out / "stellarium" / "catalog.dat").write_bytes(header + b"".join(chosen))

    stars = sources / "stellarium-data/root/usr/share/stellarium/stars/default"
    hip = lambda kind, s: kind == 0 and (s[0] | s[1] << 8 | s[2] << 16) in KEEP_HIP
    (out / "stellarium" / "stars_0_0v0_8.cat").write_bytes(cut_stars(stars / "stars_0_0v0_8.cat", hip))
    left = [KEEP_FAINT]

    def first(kind, s):
        left[0] -= 1
        return left[0] >= 0
    (out / "stellarium" / "stars_3_1v0_4.cat").write_bytes(cut_stars(stars / "stars_3_1v0_4.cat", first))

    towns = json.loads((sources / "city-timezones/package/data/cityMap.json").read_text())
    kept = [t for name in TOWNS for t in towns if t["city"] == name][:len(TOWNS) + 2]
    (out / "towns").mkdir(parents=True, exist_ok=True)
    (out / "towns" / "cityMap.json").write_text(json.dumps(kept, indent=2, ensure_ascii=False) + "\n")
    for zone in sorted({t["timezone"] for t in kept}):
        target = out / "zoneinfo" / zone
        target.parent.mkdir(parents=True, exist_ok=True)
        shutil.copyfile(Path("/usr/share/zoneinfo") / zone, target)


if __name__ == "__main__":
    if len(sys.argv) != 3:
        print(__doc__)
        sys.exit(2)
    main(sys.argv[1], sys.argv[2])
