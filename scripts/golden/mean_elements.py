#!/usr/bin/env python3
"""Golden values of tests/planets/celem_test.cpp (MeanElements.PolynomialTable).

Works out the mean elements of the eight planets (e, i, node, argument of
perihelion in radians, a in AU, perihelion time as a Julian date) at the
test's three dates, apart from the C++ code, from the published cubic
polynomials in Julian centuries from J2000.0 for the mean ecliptic and
equinox of J2000.0 (J. Meeus, Astronomical Algorithms, 2nd ed. 1998,
chapter 31, after J. L. Simon et al., Astron. Astrophys. 282, 663, 1994),
with two T^3 coefficients held in single precision as the program holds them.

    python3 scripts/golden/mean_elements.py          # prints the C++ table
    python3 scripts/golden/mean_elements.py --check  # compares with the test

Python floats are IEEE doubles and each step is the same operation as in
the program, so the values agree to the last bit or two (the test compares
with EXPECT_DOUBLE_EQ, four units in the last place).
"""
import math
import re
import struct
import sys
from pathlib import Path

GAUSSK = 0.01720209895
RADDEG = 57.29577951308232


def single(x):
    """The nearest single-precision number, widened again."""
    return struct.unpack("f", struct.pack("f", x))[0]


# Per planet: L, i, node, varpi (degrees), a (AU), e; constant, T, T^2, T^3.
TABLE = [
    [(252.250906, 149472.6746358, -5.35e-06, 2e-09),
     (7.004986, -0.0059516, 8.1e-07, 4.1e-08),
     (48.330893, -0.1254229, -8.833e-05, -1.96e-07),
     (77.456119, 0.1588643, -1.343e-05, 3.9e-08),
     (0.38709831, 0, 0, 0),
     (0.20563175, 2.0406e-05, -2.84e-08, -1.7e-10)],
    [(181.979801, 58517.815676, 1.65e-06, -2e-09),
     (3.394662, -0.0008568, -3.244e-05, 1e-08),
     (76.67992, -0.278008, -0.00014256, -1.98e-07),
     (131.563707, 0.0048646, -0.00138232, single(-5.332e-06)),
     (0.72332982, 0, 0, 0),
     (0.00677188, -4.7766e-05, 9.75e-08, 4.4e-10)],
    [(100.466449, 35999.3728519, -5.68e-06, 0),
     (0, 0.0130546, -9.31e-06, -3.4e-08),
     (174.873174, -0.2410908, 4.067e-05, -1.327e-06),
     (102.937348, 0.3225557, 0.00015026, 4.78e-07),
     (1.000001018, 0, 0, 0),
     (0.01670862, -4.2037e-05, -1.236e-07, 4e-11)],
    [(355.433275, 19140.2993313, 2.61e-06, -3e-09),
     (1.849726, -0.0081479, -2.255e-05, -2.7e-08),
     (49.558093, -0.2949846, -0.00063993, -2.143e-06),
     (336.060234, 0.4438898, -0.00017321, 3e-07),
     (1.523679342, 0, 0, 0),
     (0.09340062, 9.0483e-05, -8.06e-08, -3.5e-10)],
    [(34.351484, 3034.9056746, -8.501e-05, 4e-09),
     (1.30327, -0.0019872, 3.318e-05, 9.2e-08),
     (100.464441, 0.1766828, 0.00090387, -7.032e-06),
     (14.331309, 0.2155525, 0.00072252, -4.59e-06),
     (5.202603191, 1.913e-07, 0, 0),
     (0.04849485, 0.000163244, -4.719e-07, -1.97e-09)],
    [(50.077471, 1222.1137943, 0.00021004, single(-1.9e-08)),
     (2.488878, 0.0025515, -4.903e-05, 1.8e-08),
     (113.665524, -0.2566649, -0.00018345, 3.57e-07),
     (93.056787, 0.5665496, 0.00052809, 4.882e-06),
     (9.554909596, -2.1389e-06, 0, 0),
     (0.05550862, -0.000346818, -6.456e-07, 3.38e-09)],
    [(314.055005, 428.4669983, -4.86e-06, 6e-09),
     (0.773196, -0.0016869, 3.49e-06, 1.6e-08),
     (74.005947, 0.0741461, 0.0004054, 1.04e-07),
     (173.005159, 0.0893206, -9.47e-05, 4.13e-07),
     (19.218446062, -3.72e-08, 9.8e-10, 0),
     (0.0462959, -2.7337e-05, 7.9e-08, 2.5e-10)],
    [(304.348665, 218.4862002, 5.9e-07, -2e-09),
     (1.769952, 0.0002257, 2.3e-07, 0),
     (131.784057, -0.0061651, -2.19e-06, -7.8e-08),
     (48.123691, 0.0291587, 7.051e-05, -2.3e-08),
     (30.110386869, -1.663e-07, 6.9e-10, 0),
     (0.00898809, 6.408e-06, -8e-10, -5e-11)],
]

# T = +100 and -50 centuries, where the cubic terms reach the last digits,
# and an ordinary date.
DATES = [6104045.0, 625295.0, 2460000.5]


def elements(date, planet):
    t = (date - 2451545.0) / 36525.0
    L, i, node, varpi, a, e = (((c3 * t + c2) * t + c1) * t + c0
                               for c0, c1, c2, c3 in TABLE[planet])
    n = a ** -1.5 * GAUSSK * RADDEG  # degrees per day
    # The mean anomaly L - varpi is used as it comes, not reduced.
    return (e, i / RADDEG, node / RADDEG, (varpi - node) / RADDEG, a, date - (L - varpi) / n)


def main():
    golden = {d: [elements(d, p) for p in range(8)] for d in DATES}
    if "--check" not in sys.argv:
        for d in DATES:
            print(f"{{{d!r},")
            print("  {" + ",\n   ".join("{" + ", ".join(repr(v) for v in el) + "}"
                                        for el in golden[d]) + "}},")
        return 0
    test = Path(__file__).resolve().parents[2] / "tests/planets/celem_test.cpp"
    text = test.read_text()
    block = text[text.index("const Golden kGolden[] = {"):text.index("TEST_F(MeanElements, PolynomialTable)")]
    numbers = [float(x) for x in re.findall(r"-?\d+\.\d+(?:e[-+]?\d+)?", block)]
    want = [v for d in DATES for v in (d, *[x for el in golden[d] for x in el])]
    worst = 0
    for got, exp in zip(numbers, want):
        ulp = math.ulp(exp) if exp else 5e-324
        worst = max(worst, abs(got - exp) / ulp)
    if len(numbers) != len(want) or worst > 4:
        print(f"differs: {len(numbers)} numbers for {len(want)}, worst {worst} ulp")
        return 1
    print(f"{len(want)} values agree, worst {worst:.0f} ulp")
    return 0


if __name__ == "__main__":
    sys.exit(main())
