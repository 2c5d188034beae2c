#!/usr/bin/env python3
"""Writes the label positions of the constellation table (catalog/constellations.cpp).

Source: data/constellations.json of the npm package d3-celestial (BSD-3-Clause), which
gives one label point per constellation as [longitude degrees (-180..180), declination
degrees]. The data builder fetches the package; pass its data folder:

    tools/make_constellation_labels.py build/sources/d3-celestial/package/data

Right ascension is stored in thousandths of an hour, declination in hundredths of a
degree, both rounded. Serpens has two parts there; the table's one entry takes the first
(Serpens Caput). Entries the table holds twice take the same point.
"""
import json
import re
import sys
from pathlib import Path

TABLE = Path(__file__).resolve().parent.parent / "catalog" / "constellations.cpp"
ROW = re.compile(r'\{"(\w+)", "([^"]*)", -?\d+, -?\d+\}')


def main():
    if len(sys.argv) != 2:
        sys.exit(__doc__)
    features = json.loads((Path(sys.argv[1]) / "constellations.json").read_text())["features"]
    points = {}
    for feature in features:
        points.setdefault(feature["id"], feature["geometry"]["coordinates"])
    source = TABLE.read_text()
    missing = []

    def replace(match):
        abbreviation, name = match.group(1), match.group(2)
        if abbreviation not in points:
            missing.append(abbreviation)
            return match.group(0)
        longitude, declination = points[abbreviation]
        ra = round((longitude % 360.0) / 15.0 * 1000.0) % 24000
        dec = round(declination * 100.0)
        return f'{{"{abbreviation}", "{name}", {ra}, {dec}}}'

    source = ROW.sub(replace, source)
    if missing:
        sys.exit("no label point for " + ", ".join(missing))
    TABLE.write_text(source)


if __name__ == "__main__":
    main()
