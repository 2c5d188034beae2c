#!/usr/bin/env python3
"""Cuts the catalog builder's test fixtures from the real sources that tools/build-data.sh
fetched, so that the fixtures are real rows in the real formats:

    python3 tools/catalog_builder/make_fixtures.py build/sources tests/data/tools

- stellarium/catalog.dat: the deep-sky catalogue's header and a few of its records, whole
  (unpacked, as build-data.sh hands it to the builder);
- stellarium/stars_0_0v0_8.cat, stellarium/stars_3_1v0_4.cat: the star files' headers and
  zone tables with a few stars of each kind kept in their zones;
- towns/cityMap.json: a few towns of city-timezones;
- zoneinfo/: the tzdata files of those towns' zones, from this machine;
- planets/nomenclature.dat: a dozen Moon and Mars lines of the gazetteer (unpacked), among
  them a far-side crater, names with accents and kinds the databases leave out;
- planets/mars_markers: xplanet's Mars marker lines of one other section and one lander;
- planets/minor.ini: the sections of an asteroid, a dwarf planet, a periodic comet, a
  parabolic comet and a spacecraft from stellarium-data's minor-body files.
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

GAZETTEER = {
    "Moon": ["Mare Crisium", "Tycho", "Montes Apenninus", "Korolev", "Büsching", "Catena Littrow", "Lacus Somniorum",
             "Oceanus Procellarum", "Rima Hadley", "Korolev Z", "Anděl"],
    "Mars": ["Olympus Mons", "Syrtis Major Planum", "Hellas Planitia", "Gale", "López", "Coprates Catena",
             "Valles Marineris", "Syrtis Major", "Arabia Terra", "Ius Chasma"],
}
MINOR_SECTIONS = ["[1014291998vf31]", "[Ceres]", "[TeslaRoadster]"]
MINOR_NAMES = ["1P/Halley (2061)", '"C/Alcock (1959f=1959VI)"']

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
    cut_planets(sources, out)


def ini_sections(text):
    sections, current = [], None
    for line in text.splitlines():
        if line.startswith("["):
            current = [line]
            sections.append(current)
        elif current is not None:
            current.append(line)
    return sections


def cut_planets(sources, out):
    import gzip
    (out / "planets").mkdir(parents=True, exist_ok=True)
    share = sources / "stellarium-data/root/usr/share/stellarium/data"
    lines = gzip.decompress((share / "nomenclature.dat").read_bytes()).decode("utf-8").splitlines()
    kept = ["# A few lines of the gazetteer: body, id, name, type code, latitude, east longitude, km"]
    for body, names in GAZETTEER.items():
        for name in names:
            hit = [l for l in lines if l.startswith(body + "\t") and ('_("%s",' % name) in l]
            kept.extend(hit[:1]) if hit else print(f"not found: {body} {name}")
    (out / "planets" / "nomenclature.dat").write_text("\n".join(kept) + "\n", encoding="utf-8")

    markers = (sources / "xplanet/root/usr/share/xplanet/markers/mars").read_text().splitlines()
    landing = markers.index(next(l for l in markers if "Landing Sites" in l))
    craters = markers.index(next(l for l in markers if l.startswith("#craters")))
    cut = markers[craters:craters + 2] + [""] + markers[landing:landing + 2] + ["", markers[-2]]
    (out / "planets" / "mars_markers").write_text("\n".join(cut) + "\n")

    chosen = []
    for file in ("ssystem_minor.ini", "ssystem_1000comets.ini"):
        for section in ini_sections((share / file).read_text(encoding="utf-8")):
            names = [l.split("=", 1)[1].strip() for l in section if l.replace(" ", "").startswith("name=")]
            if section[0].strip() in MINOR_SECTIONS or (names and names[0] in MINOR_NAMES):
                if section[0] not in [c[0] for c in chosen]:
                    chosen.append(section)
    (out / "planets" / "minor.ini").write_text("\n".join("\n".join(s) for s in chosen) + "\n", encoding="utf-8")


if __name__ == "__main__":
    if len(sys.argv) != 3:
        print(__doc__)
        sys.exit(2)
    main(sys.argv[1], sys.argv[2])
