#!/usr/bin/env python3
"""Spot check of a built data folder against the sources it was made from.

    python3 tools/catalog_builder/spot_check.py build/data build/sources

Compares deep-sky objects, bright stars and Hipparcos stars of the level files with their
source entries, within the steps of the fields: positions within 1 arc second (stellar
entries: within their whole seconds), magnitudes within 0.05 (stellar entries: 1/32),
sizes within 0.01', position angles exactly, distances within 1e-5 relative. Exits 1 on
any disagreement.
"""
import json
import math
import struct
import sys
from pathlib import Path

import dso_catalogue

# NGC and IC objects: place, magnitude, size and angle from OpenNGC (the catalogue's angle
# where OpenNGC has none), distance from the deep-sky catalogue.
OPENNGC_OBJECTS = [(42, 224), (42, 1952), (42, 869), (42, 7000), (42, 5139), (42, 6543), (29, 434),
                   (29, 4725), (42, 3372), (42, 4594), (42, 4486), (42, 1976)]
# Objects only the deep-sky catalogue has: every field from it.
CATALOGUE_OBJECTS = [(11, 42), (61, 3), (46, 58), (65, 139), (56, 16), (52, 25), (34, 1036), (64, 107),
                     (1, 566), (48, 130), (10, 184), (42, 6991)]
# Objects of d3-celestial's catalogues (place and magnitude from it).
D3_OBJECTS = [(2, 33), (11, 399)]
STARS = [2491, 7001, 424, 2061, 1713, 5340, 6134, 7557]
HIPPARCOS = [32349, 91262, 11767, 24436, 27989, 71683, 30438, 69673, 97649, 80763, 1, 120404]

CODES = {"NGC": 42, "IC": 29, "B": 2, "Sh2": 52, "VdB": 64, "RCW": 46, "LDN": 34, "Cr": 11, "Mel": 39,
         "UGC": 61, "ACO": 1, "Ced": 10, "Tr": 59, "St": 56, "Ru": 48, "VdBHa": 65}
D3_PREFIX = {"B": 2, "Cr": 11, "LDN": 34, "ACO": 1, "Ced": 10, "RCW": 46, "UGC": 61, "VdB": 64, "Sh": 52,
             "NGC": 42, "IC": 29}
DARK = 12


def records(path):
    data = Path(path).read_bytes()
    version, creator, count, size = struct.unpack_from("<4I", data, 0)
    return [data[16 + i * size:16 + (i + 1) * size] for i in range(count)]


def separation_arcsec(ra1, dec1, ra2, dec2):
    a1, a2, d1, d2 = (math.radians(x) for x in (ra1 * 15, ra2 * 15, dec1, dec2))
    h = math.sin((d2 - d1) / 2) ** 2 + math.cos(d1) * math.cos(d2) * math.sin((a2 - a1) / 2) ** 2
    return math.degrees(2 * math.asin(math.sqrt(min(1.0, h)))) * 3600


def read_catalogue(path):
    """The deep-sky catalogue: by (code, number), the first object carrying it."""
    out = {}
    for f, _ in dso_catalogue.read(Path(path).read_bytes())[1]:
        o = {"ra": (math.degrees(f["ra"]) / 15) % 24, "dec": math.degrees(f["dec"]), "type": f["type"],
             "a": f["major"] * 60, "b": f["minor"] * 60, "angle": f["angle"] % 180}
        mag = f["vmag"] if f["vmag"] < 90 else f["bmag"]
        # Objects of the dark-cloud catalogues alone carry an opacity class there.
        elsewhere = any(f[name] for name in dso_catalogue.DESIGNATIONS if name not in ("B", "LDN"))
        o["mag"] = mag if mag < 90 and f["type"] not in (DARK, 23) and elsewhere else 0.0
        galaxy = f["type"] <= 3 or f["type"] == 33
        o["dist"] = f["dist"] if f["dist"] > 0 else 1 / f["plx"] if f["plx"] > 0 else (
            299792.458 * f["z"] / 71 * 1000 if galaxy and 0.003 < f["z"] < 1 else 0.0)
        keys = []
        for name in dso_catalogue.DESIGNATIONS:
            value = f[name]
            if name in CODES and value and (not isinstance(value, str) or value.isdigit()):
                keys.append((CODES[name], int(value)))
        # The builder's order: the numbered catalogues, then Cederblad and Abell, then the rest.
        o["keys"] = keys
        for k in keys:
            out.setdefault(k, o)
    return out


def main(data_dir, sources_dir):
    data_dir, sources_dir = Path(data_dir), Path(sources_dir)
    objects = {}
    for r in records(data_dir / "velkarion_obj_18k.ppc"):
        cat, num = struct.unpack_from("<II", r, 0)
        ra, dec, mag, a, b = struct.unpack_from("<5f", r, 16)
        flag, = struct.unpack_from("<h", r, 36)
        dist, = struct.unpack_from("<f", r, 40)
        objects[(cat, num)] = dict(ra=ra, dec=dec, mag=mag, a=a, b=b, angle=flag, dist=dist * 0.014084507)
    # A Barnard or Lynds cloud's "magnitude" in any source is its opacity class.
    dark_with_magnitude = sorted(k for k, o in objects.items() if k[0] in (CODES["B"], CODES["LDN"]) and o["mag"] != 0)

    openngc = {}
    for line in (sources_dir / "openngc.tsv").read_text().splitlines():
        f = line.split("\t")
        ident = f[6]
        for prefix in ("NGC", "IC"):
            if ident.startswith(prefix) and ident[len(prefix):].isdigit() and not (f[1] == "0.0" and f[2] == "0.0"):
                openngc[(42 if prefix == "NGC" else 29, int(ident[len(prefix):]))] = dict(
                    ra=float(f[1]) / 15, dec=float(f[2]), mag=float(f[3]) if f[3] else 0.0,
                    a=float(f[7]) if f[7] else 0.0, angle=round(float(f[9])) % 180 if f[9] else None)
    catalogue = read_catalogue(sources_dir / "stellarium-dso.dat")
    d3 = sources_dir / "d3-celestial" / "package" / "data"
    d3_objects = {}
    for feat in json.loads((d3 / "dsos.20.json").read_text())["features"]:
        head, _, number = str(feat["id"]).partition(" ")
        if head in D3_PREFIX and number.isdigit():
            lon, lat = feat["geometry"]["coordinates"][:2]
            mag = float(feat["properties"]["mag"])
            dark = feat["properties"]["type"] == "dn" or head in ("B", "LDN")
            d3_objects[(D3_PREFIX[head], int(number))] = dict(ra=(lon / 15) % 24, dec=lat,
                                                              mag=0.0 if mag >= 90 or dark else mag)

    failures = 0

    def compare(key, expected, fields):
        nonlocal failures
        built = objects.get(key)
        if not built or not expected:
            print(f"{key}: missing (source {bool(expected)}, built {bool(built)})")
            failures += 1
            return
        problems = []
        sep = separation_arcsec(expected["ra"], expected["dec"], built["ra"], built["dec"])
        if sep > 1.0:
            problems.append(f'place {sep:.2f}"')
        if "mag" in fields and abs(expected["mag"] - built["mag"]) > 0.05:
            problems.append(f'magnitude {expected["mag"]} / {built["mag"]:.2f}')
        if "a" in fields and abs(expected["a"] - built["a"]) > 0.01:
            problems.append(f'size {expected["a"]:.2f} / {built["a"]:.2f}')
        if "angle" in fields and expected["angle"] != built["angle"]:
            problems.append(f'angle {expected["angle"]} / {built["angle"]}')
        if "dist" in fields and abs(expected["dist"] - built["dist"]) > 1e-5 * max(1.0, expected["dist"]):
            problems.append(f'distance {expected["dist"]:.3f} / {built["dist"]:.3f} kpc')
        failures += bool(problems)
        print(f"{str(key):14} mag {built['mag']:6.2f} size {built['a']:7.2f}' angle {built['angle']:3} "
              f"distance {built['dist']:10.3f} kpc  {'; '.join(problems) or 'ok'}")

    print("objects of OpenNGC (distance from the deep-sky catalogue)")
    for key in OPENNGC_OBJECTS:
        src = dict(openngc.get(key) or {})
        cat = catalogue.get(key)
        if src and cat:
            if src["angle"] is None:
                src["angle"] = cat["angle"]
            if src["a"] == 0:
                src["a"] = cat["a"]
            src["dist"] = cat["dist"]
        compare(key, src if src and cat else None, ("mag", "a", "angle", "dist"))
    print("objects only the deep-sky catalogue has")
    for key in CATALOGUE_OBJECTS:
        cat = catalogue.get(key)
        clean = cat and not any(k in openngc or k in d3_objects for k in cat["keys"]) and cat["keys"][0] == key
        if cat and not clean:
            print(f"{key}: not an object of the catalogue alone; pick another")
            failures += 1
            continue
        compare(key, cat, ("mag", "a", "angle", "dist"))
    print("objects of d3-celestial")
    for key in D3_OBJECTS:
        compare(key, d3_objects.get(key), ("mag",))

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

    # Hipparcos stars of the 110K level: whole seconds of time and arc, sixteenths of a
    # magnitude (0 for anything brighter), B-V in tenths.
    entries = {}
    for r in records(data_dir / "velkarion_hip_110k.ppc"):
        for k in range(len(r) // 12):
            number, h, m, s, d, am, asec, mag16, colour = struct.unpack_from("<I6bBb", r, 12 * k)
            if number:
                entries[number] = (h + m / 60 + s / 3600, d + am / 60 + asec / 3600, mag16 / 16, colour / 10)
    source = {}
    for feat in json.loads((d3 / "stars.14.json").read_text())["features"]:
        lon, lat = feat["geometry"]["coordinates"][:2]
        p = feat["properties"]
        source[int(feat["id"])] = ((lon / 15) % 24, lat, float(p["mag"]), float(p["bv"]) if p.get("bv") else 0.0)
    print("\nHIP       source                              level file                          ok")
    for hip in HIPPARCOS:
        src, built = source.get(hip), entries.get(hip)
        if not src or not built:
            print(f"HIP {hip:6}  missing (source {bool(src)}, built {bool(built)})")
            failures += 1
            continue
        dra = abs(src[0] - built[0]) * 3600
        dra = min(dra, 86400 - dra)
        ok = (dra <= 0.5 + 1e-6 and abs(src[1] - built[1]) * 3600 <= 0.5 + 1e-6 and
              abs(max(0.0, src[2]) - built[2]) <= 1 / 32 + 1e-9 and abs(src[3] - built[3]) <= 0.05 + 1e-9)
        failures += not ok
        print(f"HIP {hip:6}  {src[0]:9.5f} {src[1]:+9.4f} {src[2]:5.2f} {src[3]:+5.2f}   "
              f"{built[0]:9.5f} {built[1]:+9.4f} {built[2]:5.2f} {built[3]:+5.2f}   {'ok' if ok else 'FAIL'}")
    print(f"\ndark clouds (Barnard, Lynds) carrying a magnitude: {len(dark_with_magnitude)}")
    for key in dark_with_magnitude:
        print(f"{str(key):14} mag {objects[key]['mag']:6.2f}  FAIL")
    failures += len(dark_with_magnitude)
    print(f"\n{failures} failed")
    return 1 if failures else 0


if __name__ == "__main__":
    if len(sys.argv) != 3:
        print(__doc__)
        sys.exit(2)
    sys.exit(main(sys.argv[1], sys.argv[2]))
