#!/usr/bin/python3
"""Writes the C++ tables of the nutation series and the constellation boundaries.

Inputs (public data, with their sources in the files' headers):
  /work/shared/data/astro/nutation_iau1980.txt
  /work/shared/data/astro/constellation_boundaries_roman1987.txt
Outputs (committed):
  astro/tables/nutation_iau1980.cpp
  astro/tables/constellation_boundaries_roman1987.cpp

Run from anywhere:  /usr/bin/python3 tools/make_apparent_tables.py [data folder]
"""
import os
import sys

ROOT = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
DATA = sys.argv[1] if len(sys.argv) > 1 else "/work/shared/data/astro"

# Constellation numbers are rows of the constellation list; Cancer stands at 11 and 22 and
# the boundaries use 22, Serpens is one number for both parts.
CONSTELLATIONS = (
    "And Ant Aps Aql Aqr Ari Ara Aur Boo Cae Cam Cnc Cap Car Cas Cen Cep Cet Cha Cir CMa CMi "
    "Cnc Col Com CrA CrB Crt Cru Crv CVn Cyg Del Dor Dra Equ Eri For Gem Gru Her Hor Hya Hyi "
    "Ind Lac Leo Lep Lib LMi Lup Lyn Lyr Men Mic Mon Mus Nor Oct Oph Ori Pav Peg Per Phe Pic "
    "PsA Psc Pup Pyx Ret Scl Sco Sct Ser Sex Sge Sgr Tau Tel TrA Tri Tuc UMa UMi Vel Vir Vol Vul"
).split()
assert len(CONSTELLATIONS) == 89


def read_rows(name):
    path = os.path.join(DATA, name)
    header, rows = [], []
    with open(path) as f:
        for line in f:
            line = line.rstrip("\n")
            if line.startswith("#"):
                header.append(line[1:].strip())
            elif line.strip():
                rows.append(line.split())
    return header, rows


def constellation_number(abbrev):
    if abbrev == "Cnc":
        return 22
    return CONSTELLATIONS.index(abbrev)


# ---------------------------------------------------------------------------------------
# Nutation


def build_argument_steps(targets):
    """Finds an order in which every series argument is the sum or difference of two
    arguments found before it, starting from l, l', 2F, D, Omega. Vectors count in those
    five base angles (so the F multiplier is halved)."""
    base = [(1, 0, 0, 0, 0), (0, 1, 0, 0, 0), (0, 0, 1, 0, 0), (0, 0, 0, 1, 0), (0, 0, 0, 0, 1)]
    slots = list(base)
    index = {v: i for i, v in enumerate(slots)}
    steps = []

    def add(a, b, sign):
        v = tuple(x + sign * y for x, y in zip(slots[a], slots[b]))
        assert v not in index and any(v)
        index[v] = len(slots)
        slots.append(v)
        steps.append((a, b, sign))

    # The small multiples first: 2l, 3l, 2l', 2D, 2Omega.
    add(0, 0, 1)
    add(5, 0, 1)
    add(1, 1, 1)
    add(3, 3, 1)
    add(4, 4, 1)

    def split(v):
        for a in range(len(slots)):
            for b in range(len(slots)):
                for sign in (1, -1):
                    if tuple(x + sign * y for x, y in zip(slots[a], slots[b])) == v:
                        return a, b, sign
        return None

    pending = [t for t in targets if t not in index]
    while pending:
        progress = False
        for t in list(pending):
            s = split(t)
            if s:
                add(*s)
                pending.remove(t)
                progress = True
        if progress:
            continue
        # No target is one step away: add the intermediate that opens the most targets.
        best, best_count = None, -1
        n = len(slots)
        for a in range(n):
            for b in range(n):
                for sign in (1, -1):
                    v = tuple(x + sign * y for x, y in zip(slots[a], slots[b]))
                    if v in index or not any(v):
                        continue
                    known = set(index) | {v}
                    count = 0
                    for t in pending:
                        minus = tuple(x - y for x, y in zip(t, v))
                        plus = tuple(x + y for x, y in zip(t, v))
                        back = tuple(y - x for x, y in zip(t, v))
                        if minus in known or plus in known or back in known:
                            count += 1
                    if count > best_count:
                        best, best_count = (a, b, sign), count
        add(*best)
    return slots, steps


def number_text(x):
    text = repr(float(x))
    return text


def make_nutation():
    header, rows = read_rows("nutation_iau1980.txt")
    assert len(rows) == 106, len(rows)
    terms = []
    for r in rows:
        n, nl, nlp, nf, nd, nom = (int(x) for x in r[:6])
        psi, psi_t, eps, eps_t = (float(x) for x in r[6:10])
        assert nf % 2 == 0
        terms.append(((nl, nlp, nf // 2, nd, nom), (nl, nlp, nf, nd, nom), psi, psi_t, eps, eps_t))
    slots, steps = build_argument_steps([t[0] for t in terms])
    slot_of = {v: i for i, v in enumerate(slots)}

    longitude = [(i, slot_of[t[0]], t[2]) for i, t in enumerate(terms)]
    longitude_rate = [(i, slot_of[t[0]], t[3]) for i, t in enumerate(terms) if t[3] != 0]
    obliquity = [(i, slot_of[t[0]], t[4]) for i, t in enumerate(terms) if t[4] != 0]
    obliquity_rate = [(i, slot_of[t[0]], t[5]) for i, t in enumerate(terms) if t[5] != 0]
    assert (len(longitude), len(longitude_rate), len(obliquity), len(obliquity_rate)) == (106, 14, 64, 8)

    out = []
    out.append("// Generated by tools/make_apparent_tables.py; do not edit.")
    out.append("//")
    out.append("// The IAU 1980 theory of nutation, all 106 terms, from nutation_iau1980.txt:")
    for h in header[:3]:
        out.append("//   " + h)
    out.append("// Coefficients in units of 0.0001 arc second (rates per Julian century).")
    out.append('#include "astro/precession_nutation.h"')
    out.append("")
    out.append("// Multipliers of l, l', F, D, Omega for every term, in the published order.")
    out.append("const std::int8_t kNutationMultipliers[][5] = {")
    for t in terms:
        out.append("    {%s}," % ", ".join("%d" % x for x in t[1]))
    out.append("};")
    out.append("")
    out.append("// Slots 0 to 4 are l, l', 2F, D, Omega; each step makes the next slot as")
    out.append("// slot a + sign * slot b.")
    out.append("const NutationArgumentStep kNutationArgumentSteps[] = {")
    for a, b, sign in steps:
        out.append("    {%d, %d, %d}," % (a, b, sign))
    out.append("};")

    def coefficient_list(name, count_name, items):
        out.append("")
        out.append("const NutationCoefficient %s[] = {" % name)
        for term, slot, value in items:
            out.append("    {%d, %d, %s}," % (term, slot, number_text(value)))
        out.append("};")

    coefficient_list("kNutationLongitude", "kNutationLongitudeCount", longitude)
    coefficient_list("kNutationLongitudeRate", "kNutationLongitudeRateCount", longitude_rate)
    coefficient_list("kNutationObliquity", "kNutationObliquityCount", obliquity)
    coefficient_list("kNutationObliquityRate", "kNutationObliquityRateCount", obliquity_rate)

    path = os.path.join(ROOT, "astro", "tables", "nutation_iau1980.cpp")
    with open(path, "w") as f:
        f.write("\n".join(out) + "\n")
    print("wrote %s: %d steps (%d slots)" % (path, len(steps), len(slots)))
    return len(steps)


# ---------------------------------------------------------------------------------------
# Constellation boundaries


def scaled(value_text):
    # The published values have 4 decimals (5.8333 h stands for 5 h 50 m): round, never
    # truncate, when turning them into seconds.
    v = float(value_text) * 3600.0
    return int(round(v))


def make_constellations():
    header, rows = read_rows("constellation_boundaries_roman1987.txt")
    assert len(rows) == 357, len(rows)
    table = []
    for r in rows:
        ra_low, ra_high, dec_low, abbrev = scaled(r[0]), scaled(r[1]), scaled(r[2]), r[3]
        assert 0 <= ra_low < ra_high <= 86400
        table.append((ra_low, ra_high, dec_low, constellation_number(abbrev), abbrev))
    for prev, cur in zip(table, table[1:]):
        assert cur[2] <= prev[2]
    assert table[0][:4] == (0, 86400, 316800, 84)
    assert table[-1][:4] == (0, 86400, -324000, 58)
    assert len({t[3] for t in table}) == 88

    out = []
    out.append("// Generated by tools/make_apparent_tables.py; do not edit.")
    out.append("//")
    out.append("// Constellation boundaries from constellation_boundaries_roman1987.txt:")
    for h in header[:2]:
        out.append("//   " + h)
    out.append("// Right ascension in seconds of time, declination in arc seconds, both rounded from")
    out.append("// the published 4 decimals; equinox B1875.0; the last column is the constellation number.")
    out.append('#include "astro/constellation_boundaries.h"')
    out.append("")
    out.append("const ConstellationBoundary kConstellationBoundaries[] = {")
    for ra_low, ra_high, dec_low, number, abbrev in table:
        out.append("    {%d, %d, %d, %d},  // %s" % (ra_low, ra_high, dec_low, number, abbrev))
    out.append("};")
    path = os.path.join(ROOT, "astro", "tables", "constellation_boundaries_roman1987.cpp")
    with open(path, "w") as f:
        f.write("\n".join(out) + "\n")
    print("wrote %s" % path)


if __name__ == "__main__":
    steps = make_nutation()
    make_constellations()
    print("kNutationArgumentStepCount = %d" % steps)
