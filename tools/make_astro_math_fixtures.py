#!/usr/bin/python3
"""Writes the reference tables that the astro math tests read from tests/data/astro/.

Run once with Debian's python3 (python3-erfa and numpy installed) and commit the output:

    /usr/bin/python3 tools/make_astro_math_fixtures.py

- fixed_trig_frozen.txt: outputs of the fixed-point kernels. They come from a plain
  transcription of the kernels below (two-way CORDIC steps, Python integers wrapped to
  32 bits), not from the C++ code, so the branchless C++ kernels are checked against an
  independent statement of the same integer arithmetic.
- least_squares.txt: least-squares problems solved with numpy (SVD based), with the rank
  numpy finds, so that rank-deficient systems are known independently of the solver.
- separation.txt: angular separations from ERFA's seps.
"""
import math
import os
import random

import erfa
import numpy as np

OUT = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "tests", "data", "astro")

# ---------------------------------------------------------------------------------------
# Fixed point, as the device computes it.

TURN, HALF, QUARTER, THREE_QUARTERS = 105414356, 52707178, 26353589, 79060767
ONE = 1 << 24
CIRC = [13176794, 7778716, 4110059, 2086330, 1047213, 524117, 262122, 131069, 65535, 32767,
        16383, 8192, 4096, 2048, 1024, 512, 256, 128, 64, 32, 16, 8, 4, 2, 1]
HYP = [9215827, 4285115, 2108178, 1049944, 524458, 262165, 131074, 65536, 32768, 16384, 8192,
       4096, 2048, 1024, 512, 256, 128, 64, 32, 16, 8, 4, 2, 1]
CIRC16 = [1608, 949, 501, 254, 127, 63, 31, 15, 7, 3, 1, 1]
I32_MIN, I32_MAX = -(1 << 31), (1 << 31) - 1


def w32(v):
    return ((v + (1 << 31)) % (1 << 32)) - (1 << 31)


def cdiv(a, b):
    """C integer division (truncates toward zero)."""
    q = abs(a) // abs(b)
    return q if (a >= 0) == (b >= 0) else -q


def cmod(a, b):
    return a - b * cdiv(a, b)


def sat(v):
    return max(I32_MIN, min(I32_MAX, v))


def mul(a, b):
    return w32((a * b) >> 24)


def rotate(x, y, z, table=CIRC, steps=25):
    for i in range(steps):
        if z < 0:
            x, y, z = w32(x + (y >> i)), w32(y - (x >> i)), w32(z + table[i])
        else:
            x, y, z = w32(x - (y >> i)), w32(y + (x >> i)), w32(z - table[i])
    return x, y, z


def vector_raw(x, y, z):
    for i in range(25):
        if y <= 0:
            x, y, z = w32(x - (y >> i)), w32(y + (x >> i)), w32(z - CIRC[i])
        else:
            x, y, z = w32(x + (y >> i)), w32(y - (x >> i)), w32(z + CIRC[i])
    return x, y, z


def vector(x, y, z):
    """Vectoring with inputs halved until below 2^29 (same angle), magnitude restored."""
    shift = 0
    while max(abs(x), abs(y)) >= (1 << 29):
        x >>= 1
        y >>= 1
        shift += 1
    rx, ry, rz = vector_raw(x, y, z)
    return sat(rx << shift), sat(ry << shift), rz


def hyperbolic(x, y, z):
    order = []
    for i in range(1, 25):
        order.append(i)
        if i in (4, 13):
            order.append(i)
    for i in order:
        h = HYP[i - 1]
        if y > 0:
            x, y, z = w32(x - (y >> i)), w32(y - (x >> i)), w32(z + h)
        else:
            x, y, z = w32(x + (y >> i)), w32(y + (x >> i)), w32(z - h)
    return x, y, z


def sincos(angle):
    a = cmod(angle, TURN)
    if a < 0:
        a += TURN
    if a < QUARTER:
        x, y, _ = rotate(10188013, 0, a)
        return x, y
    if a < HALF:
        x, y, _ = rotate(10188013, 0, HALF - a)
        return -x, y
    if a < THREE_QUARTERS:
        x, y, _ = rotate(10188013, 0, THREE_QUARTERS - a)
        return -y, -x
    x, y, _ = rotate(10188013, 0, TURN - a)
    return x, -y


def fix_tan(angle):
    c, s = sincos(angle)
    if c == 0:
        return I32_MIN if s < 0 else I32_MAX
    return sat(cdiv(s * ONE, c))


def fix_tan_series(x):
    q = w32((x * x) >> 24)
    p = 159666
    for c in (48663, 412134, 895468, 2237953, 5592373, 16777216):
        p = w32(((p * q) >> 24) + c)
    return w32((p * x) >> 24)


def fix_atan2(y, x):
    if x == 0 and y == 0:
        return 0
    if x < 0:
        z = vector(-x, y, 0)[2]
        r = HALF - z if y > 0 else -HALF - z
    else:
        r = vector(x, y, 0)[2]
    while r < 0:
        r += TURN
    return r


def asin_cordic_abs(a):
    if a >= 16441672:
        return int(math.asin(a / 16777216.0) * 16777216.0)
    q = w32((a * a) >> 24)
    hx = hyperbolic(22892727 - q, 10661705 - q, 0)[0]
    return vector(hx, a, 0)[2]


def asin_series(a):
    q = (a * a) >> 24
    p = 509724
    for c in (748982, 1258291, 2796202, 16777216):
        p = ((p * q) >> 24) + c
    return w32((p * a) >> 24)


def fix_asin(s):
    a = min(abs(s), ONE)
    r = asin_cordic_abs(a) if a > ONE // 2 else asin_series(a)
    return -r if s < 0 else r


def fix_asin_cordic(s):
    r = asin_cordic_abs(min(abs(s), ONE))
    return -r if s < 0 else r


def sincos16(angle):
    a = cmod(angle, 12868)
    if a < 0:
        a += 12868
    if a < 3217:
        x, y, _ = rotate(1243, 0, a, CIRC16, 12)
        c, s = x, y
    elif a < 6434:
        x, y, _ = rotate(1243, 0, 6434 - a, CIRC16, 12)
        c, s = -x, y
    elif a < 9651:
        x, y, _ = rotate(1243, 0, 9651 - a, CIRC16, 12)
        c, s = -y, -x
    else:
        x, y, _ = rotate(1243, 0, 12868 - a, CIRC16, 12)
        c, s = x, -y
    to16 = lambda v: ((v + 32768) % 65536) - 32768
    return to16(c), to16(s)


def matrix_apply(m, v):
    return [w32(sum((m[3 * i + k] * v[k]) >> 24 for k in range(3))) for i in range(3)]


def matrix_multiply(a, b):
    return [w32(sum((a[3 * i + k] * b[3 * k + j]) >> 24 for k in range(3)))
            for i in range(3) for j in range(3)]


def rotation_matrix(a1, a2, a3):
    c1, s1 = sincos(a1)
    c2, s2 = sincos(a2)
    c3, s3 = sincos(a3)
    return [mul(c2, c3), mul(c2, s3), s2,
            -(mul(mul(s1, s2), c3) + mul(c1, s3)), mul(c1, c3) - mul(mul(s1, s2), s3), mul(s1, c2),
            mul(s1, s3) - mul(mul(c1, s2), c3), -(mul(s1, c3) + mul(mul(c1, s2), s3)), mul(c1, c2)]


def rotation_zxz(a1, a2, a3):
    c1, s1 = sincos(a1)
    c2, s2 = sincos(a2)
    c3, s3 = sincos(a3)
    c0, s0 = sincos(0)
    r0 = [mul(c1, c2) - mul(mul(s1, s2), c3), -(mul(s1, c2) + mul(mul(c1, s2), c3))]
    r1 = [mul(c1, s2) + mul(mul(s1, c2), c3), mul(mul(c1, c2), c3) - mul(s1, s2)]
    r2 = [mul(s1, s3), mul(c1, s3)]
    row1 = [mul(c0, r1[j]) - mul(s0, r2[j]) for j in range(2)]
    row2 = [mul(s0, r1[j]) + mul(c0, r2[j]) for j in range(2)]
    return [r0[0], r0[1], 0, row1[0], row1[1], 0, row2[0], row2[1], 0]


def write_fixed_trig(rng):
    lines = ["# Frozen outputs of the fixed-point kernels: name inputs : outputs",
             "# Written by tools/make_astro_math_fixtures.py; do not edit."]

    def emit(name, args, outs):
        lines.append(f"{name} {' '.join(map(str, args))} : {' '.join(map(str, outs))}")

    angles = [0, 1, -1, QUARTER - 2, QUARTER - 1, QUARTER, QUARTER + 1, HALF - 1, HALF, HALF + 1,
              THREE_QUARTERS - 1, THREE_QUARTERS, THREE_QUARTERS + 1, TURN - 1, TURN, TURN + 1,
              -QUARTER, -HALF, -TURN, 3 * TURN + 12345, I32_MAX, I32_MIN, 292818, 30 * 292818,
              45 * 292818, -60 * 292818]
    angles += [rng.randint(I32_MIN, I32_MAX) for _ in range(12)]
    angles += [rng.randint(0, TURN - 1) for _ in range(24)]
    for a in angles:
        emit("sincos", [a], sincos(a))
        emit("tan", [a], [fix_tan(a)])

    for z in [0, 1, -1, QUARTER, -QUARTER, 123456, -9876543]:
        for x, y in [(10188013, 0), (ONE, 0), (0, ONE), (5000000, -7000000)]:
            emit("rotate", [x, y, z], rotate(x, y, z))
    for x, y, z in [(ONE, 0, 0), (ONE, ONE, 0), (ONE, -ONE, 0), (3, 4, 0), (ONE, 1, 1000),
                    (0, ONE, 0), (1 << 30, 1 << 30, 0), (I32_MAX, I32_MIN, 0), (123456789, -98765432, 5)]:
        emit("vector", [x, y, z], vector(x, y, z))
    for x, y in [(22892727, 10661705), (20000000, 3000000), (16777216, 0), (12000000, -6000000)]:
        emit("hyperbolic", [x, y, 0], hyperbolic(x, y, 0))
    for z in [0, 1, -1, 1608, 3216, -3216, 800]:
        emit("rotate16", [1243, 0, z], rotate(1243, 0, z, CIRC16, 12))

    for x in [0, 1, -1, 1000, 100000, 1677721, -1677721, 4194304, -4194304, 8388608, ONE >> 1]:
        emit("tanseries", [x], [fix_tan_series(x)])

    points = [(0, 0), (0, ONE), (0, -ONE), (ONE, 0), (-ONE, 0), (ONE, ONE), (-ONE, -ONE),
              (ONE, -ONE), (-ONE, ONE), (1, -ONE), (-1, -ONE), (1 << 30, -(1 << 30)),
              (I32_MIN, I32_MIN), (I32_MAX, I32_MIN), (I32_MIN, 1), (7, 3), (-3, 7)]
    points += [(rng.randint(-ONE * 4, ONE * 4), rng.randint(-ONE * 4, ONE * 4)) for _ in range(16)]
    for y, x in points:
        emit("atan2", [y, x], [fix_atan2(y, x)])

    sines = [0, 1, -1, 1000, -1000, ONE // 4, ONE // 2, ONE // 2 + 1, -(ONE // 2) - 1, 14529495,
             14529496, -14529496, 16441671, 16441672, -16441672, ONE - 1, ONE, -ONE, ONE + 1,
             -(ONE + 1), I32_MAX, I32_MIN]
    sines += [rng.randint(-ONE, ONE) for _ in range(16)]
    for s in sines:
        emit("asin", [s], [fix_asin(s)])
        emit("asincordic", [s], [fix_asin_cordic(s)])

    for a in [0, 1, -1, 3216, 3217, 3218, 6433, 6434, 9650, 9651, 12867, 12868, -3217, 32767,
              -32768, 1000000, 4321]:
        emit("sincos16", [a], sincos16(a))

    triples = [(0, 0, 0), (QUARTER, 0, 0), (0, QUARTER, 0), (0, 0, QUARTER),
               (23 * 292818, 45 * 292818, 120 * 292818), (-HALF, 1234567, TURN - 5)]
    triples += [tuple(rng.randint(0, TURN - 1) for _ in range(3)) for _ in range(4)]
    for t in triples:
        emit("rotation", t, rotation_matrix(*t))
        emit("zxz", t, rotation_zxz(*t))
        m = rotation_matrix(*t)
        v = [rng.randint(-ONE, ONE) for _ in range(3)]
        emit("apply", m + v, matrix_apply(m, v))
        emit("multiply", m + rotation_zxz(*t), matrix_multiply(m, rotation_zxz(*t)))
    big = [I32_MAX, I32_MIN, ONE * 100, -ONE * 100, ONE, ONE, 1, -1, 0]
    emit("apply", big + [I32_MAX, I32_MIN, ONE], matrix_apply(big, [I32_MAX, I32_MIN, ONE]))
    emit("multiply", big + big, matrix_multiply(big, big))

    with open(os.path.join(OUT, "fixed_trig_frozen.txt"), "w") as f:
        f.write("\n".join(lines) + "\n")
    return len(lines) - 2


# ---------------------------------------------------------------------------------------
# Least squares by numpy.

def write_least_squares(rng):
    lines = ["# name m n A(row by row) b : rank x(n) rss   (rank < n: rank deficient)",
             "# Solved with numpy.linalg.lstsq by tools/make_astro_math_fixtures.py; do not edit."]

    def emit(name, a, b):
        a = np.asarray(a, dtype=float)
        b = np.asarray(b, dtype=float)
        m, n = a.shape
        x, _, rank, _ = np.linalg.lstsq(a, b, rcond=None)
        rss = float(np.sum((a @ x - b) ** 2))
        vals = " ".join(repr(float(v)) for v in a.ravel())
        bs = " ".join(repr(float(v)) for v in b)
        xs = " ".join(repr(float(v)) for v in x)
        lines.append(f"{name} {m} {n} {vals} {bs} : {rank} {xs} {rss!r}")

    def poly(x, n):
        return np.vander(np.asarray(x, dtype=float), n, increasing=True)

    emit("one_by_one", [[4.0]], [10.0])
    emit("square_exact", [[2, 1, 0], [1, 3, 1], [0, 1, 4]], [1, 2, 3])
    emit("line_noisy", poly([0, 1, 2, 3, 4, 5], 2), [1.1, 2.9, 5.2, 7.1, 8.8, 11.2])
    xs = np.linspace(-3, 3, 25)
    ys = 0.5 - 1.25 * xs + 0.3 * xs ** 2 - 0.05 * xs ** 3 + np.array([rng.gauss(0, 0.01) for _ in xs])
    emit("cubic_25", poly(xs, 4), ys)
    a = np.array([[rng.uniform(-1, 1) for _ in range(5)] for _ in range(12)])
    emit("random_12x5", a, [rng.uniform(-10, 10) for _ in range(12)])
    # A badly scaled but full-rank fit: years as abscissae.
    yrs = np.arange(1990.0, 2010.0)
    emit("years_quadratic", poly(yrs, 3), 60 + 0.4 * (yrs - 2000) + 0.01 * (yrs - 2000) ** 2)
    # Negative leading diagonal, so the reflection takes the other sign.
    emit("negative_diagonal", [[-3, 1], [4, 2], [0, 5]], [1, -2, 3])
    # Rank deficient: equal abscissae, a repeated column, a zero column, a zero matrix.
    emit("equal_x_line", poly([2.5] * 6, 2), [1, 2, 3, 4, 5, 6])
    emit("equal_x_large", poly([1234.5678] * 9, 2), [rng.uniform(0, 1) for _ in range(9)])
    emit("equal_x_julian_day", poly([2451545.25] * 7, 3), [rng.uniform(0, 1) for _ in range(7)])
    emit("repeated_column", [[1, 2, 2], [3, 1, 1], [0, 5, 5], [2, 2, 2]], [1, 2, 3, 4])
    emit("zero_column", [[1, 0], [2, 0], [3, 0]], [1, 2, 3])
    emit("zero_matrix", [[0, 0], [0, 0], [0, 0]], [1, 2, 3])
    emit("dependent_rows_square", [[1, 2, 3], [2, 4, 6], [1, 0, 1]], [1, 2, 3])

    with open(os.path.join(OUT, "least_squares.txt"), "w") as f:
        f.write("\n".join(lines) + "\n")
    return len(lines) - 2


# ---------------------------------------------------------------------------------------
# Separations by ERFA.

def write_separation(rng):
    lines = ["# ra1(h) dec1(deg) ra2(h) dec2(deg) separation(deg), separation from erfa.seps",
             "# Written by tools/make_astro_math_fixtures.py; do not edit."]
    pairs = [(0, 0, 0, 0), (5.5, 20, 5.5, 20), (0, 90, 0, -90), (0, 0, 6, 0), (0, 0, 12, 0),
             (3, 10, 15, -10), (3, 10, 15, -9.9999), (3, 10, 15.0000001, -10), (23.9, 0, 0.1, 0),
             (0, 89.9999, 12, 89.9999), (1, -45, 1, -45.000001), (10, 30, 10.0000001, 30),
             (6.75, -16.7, 5.92, 7.4), (18.6, 38.8, 14.26, 19.2), (0, 0, 11.999999, 0),
             (7, 33, 19, -33.0000001)]
    for _ in range(40):
        pairs.append((rng.uniform(0, 24), math.degrees(math.asin(rng.uniform(-1, 1))),
                      rng.uniform(0, 24), math.degrees(math.asin(rng.uniform(-1, 1)))))
    for ra1, dec1, ra2, dec2 in pairs:
        s = erfa.seps(ra1 * math.pi / 12, math.radians(dec1), ra2 * math.pi / 12, math.radians(dec2))
        lines.append(f"{ra1!r} {dec1!r} {ra2!r} {dec2!r} {math.degrees(float(s))!r}")
    with open(os.path.join(OUT, "separation.txt"), "w") as f:
        f.write("\n".join(lines) + "\n")
    return len(lines) - 2


def main():
    os.makedirs(OUT, exist_ok=True)
    rng = random.Random(20240607)
    print("fixed_trig_frozen.txt", write_fixed_trig(rng))
    print("least_squares.txt", write_least_squares(rng))
    print("separation.txt", write_separation(rng))


if __name__ == "__main__":
    main()
