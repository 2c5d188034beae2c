#!/usr/bin/env python3
"""Spot check of a built data folder against the sources it was made from.

    python3 tools/catalog_builder/spot_check.py build/data build/sources

Compares a dozen deep-sky objects and bright stars with their source entries: positions
must agree within 1 arc second, magnitudes within 0.05. Exits 1 on any disagreement.
"""
import json
import math
import struct
import sys
from pathlib import Path

OBJECTS = [(42, 224), (42, 1952), (42, 869), (42, 7000), (42, 5139), (42, 6543), (29, 434),
           (29, 4725), (42, 3372), (42, 4594), (2, 33), (11, 399)]
STARS = [2491, 7001, 424, 2061, 1713, 5340, 6134, 7557]
PREFIX = {42: "NGC", 29: "IC", 2: "B", 11: "Cr"}


def records(path):
    data = Path(path).read_bytes()
    version, creator, count, size = struct.unpack_from("<4I", data, 0)
    return [data[16 + i * size:16 + (i + 1) * size] for i in range(count)]


def separation_arcsec(ra1, dec1, ra2, dec2):
    a1, a2, d1, d2 = (math.radians(x) for x in (ra1 * 15, ra2 * 15, dec1, dec2))
    h = math.sin((d2 - d1) / 2) ** 2 + math.cos(d1) * math.cos(d2) * math.sin((a2 - a1) / 2) ** 2
    return math.degrees(2 * math.asin(math.sqrt(min(1.0, h)))) * 3600


def main(data_dir, sources_dir):
    data_dir, sources_dir = Path(data_dir), Path(sources_dir)
    objects = {}
    for r in records(data_dir / "velkarion_obj_18k.ppc"):
        cat, num = struct.unpack_from("<II", r, 0)
        ra, dec, mag = struct.unpack_from("<fff", r, 16)
        objects[(cat, num)] = (ra, dec, mag)

    openngc = {}
    for line in (sources_dir / "openngc.tsv").read_text().splitlines():
        f = line.split("\t")
        ident = f[6]
        for prefix in ("NGC", "IC"):
            if ident.startswith(prefix) and ident[len(prefix):].isdigit():
                openngc[(42 if prefix == "NGC" else 29, int(ident[len(prefix):]))] = (
                    float(f[1]) / 15, float(f[2]), float(f[3]) if f[3] else 0.0)
    d3 = sources_dir / "d3-celestial" / "package" / "data"
    others = {}
    for feat in json.loads((d3 / "dsos.20.json").read_text())["features"]:
        fid = str(feat["id"])
        for code, prefix in PREFIX.items():
            head, _, number = fid.partition(" ")
            if head == prefix and number.isdigit():
                lon, lat = feat["geometry"]["coordinates"][:2]
                mag = float(feat["properties"]["mag"])
                others[(code, int(number))] = ((lon / 15) % 24, lat, 0.0 if mag >= 90 else mag)

    failures = 0
    print("object        source                      built                       sep\"   dmag")
    for key in OBJECTS:
        src = openngc.get(key) or others.get(key)
        built = objects.get(key)
        name = f"{PREFIX[key[0]]} {key[1]}"
        if not src or not built:
            print(f"{name:12}  missing (source {bool(src)}, built {bool(built)})")
            failures += 1
            continue
        sep = separation_arcsec(src[0], src[1], built[0], built[1])
        dmag = abs(src[2] - built[2])
        ok = sep <= 1.0 and dmag <= 0.05
        failures += not ok
        print(f"{name:12}  {src[0]:9.5f} {src[1]:+9.4f} {src[2]:5.2f}   {built[0]:9.5f} {built[1]:+9.4f} "
              f"{built[2]:5.2f}   {sep:5.2f} {dmag:5.2f} {'' if ok else 'FAIL'}")

    stars = {}
    for r in records(data_dir / "velkarion_default_stars.ppc"):
        hr, = struct.unpack_from("<h", r, 0)
        ra, dec = struct.unpack_from("<ff", r, 4)
        mag16, = struct.unpack_from("<h", r, 12)
        stars[hr] = (ra, dec, mag16 / 16)
    bsc = {}
    for line in (sources_dir / "xplanet" / "root" / "usr" / "share" / "xplanet" / "stars" / "BSC").read_text(
            errors="replace").splitlines():
        if line.startswith("#") or '"' not in line:
            continue
        dec, ra, mag = (float(x) for x in line.split('"')[0].split())
        hd = int(line.split('"')[2].split()[1])
        bsc[int(line.split('"')[2].split()[0])] = (ra, dec, mag, hd)
    hip_by_hd = {}
    for hip, v in json.loads((d3 / "starnames.json").read_text()).items():
        digits = "".join(c for c in v.get("hd", "") if c.isdigit())
        if digits:
            hip_by_hd[int(digits)] = int(hip)
    hip_pos = {}
    for feat in json.loads((d3 / "stars.8.json").read_text())["features"]:
        lon, lat = feat["geometry"]["coordinates"][:2]
        hip_pos[int(feat["id"])] = ((lon / 15) % 24, lat)
    print("\nstar      source (Hipparcos place, BSC V)   built                       sep\"   dmag")
    for hr in STARS:
        ra, dec, vmag, hd = bsc[hr]
        sra, sdec = hip_pos.get(hip_by_hd.get(hd), (ra, dec))
        b = stars.get(hr)
        if not b:
            print(f"HR {hr:5}  missing")
            failures += 1
            continue
        sep = separation_arcsec(sra, sdec, b[0], b[1])
        # Sixteenths of a magnitude are the file's resolution.
        dmag = abs(vmag - b[2])
        ok = sep <= 1.0 and dmag <= 1 / 32 + 1e-9
        failures += not ok
        print(f"HR {hr:5}  {sra:9.5f} {sdec:+9.4f} {vmag:5.2f}         {b[0]:9.5f} {b[1]:+9.4f} {b[2]:5.2f}   "
              f"{sep:5.2f} {dmag:5.2f} {'' if ok else 'FAIL'}")
    print(f"\n{failures} failed")
    return 1 if failures else 0


if __name__ == "__main__":
    if len(sys.argv) != 3:
        print(__doc__)
        sys.exit(2)
    sys.exit(main(sys.argv[1], sys.argv[2]))
