#!/usr/bin/env python3
"""Exact backward-difference coefficients of the four multistep families,
from their generating functions (Henrici, Discrete Variable Methods in
Ordinary Differential Equations, 1962), in rational arithmetic:

  Adams-Bashforth  gamma(t)       = -t / ((1 - t) log(1 - t))
  Adams-Moulton    gamma_star(t)  = -t / log(1 - t)
  Stormer          sigma(t)       = (t / log(1 - t))^2 / (1 - t)
  Cowell           sigma_star(t)  = (t / log(1 - t))^2

Prints the table of coeff_test.cpp (orders 0 to 10)."""
from fractions import Fraction as F

N = 11


def mul(a, b):
    return [sum(a[i] * b[k - i] for i in range(k + 1)) for k in range(N)]


def inv(a):
    r = [F(0)] * N
    r[0] = 1 / a[0]
    for k in range(1, N):
        r[k] = -sum(a[i] * r[k - i] for i in range(1, k + 1)) / a[0]
    return r


# -log(1 - t) / t = sum t^k / (k + 1)
neg_log_over_t = [F(1, k + 1) for k in range(N)]
gamma_star = inv(neg_log_over_t)                # -t / log(1 - t)
one_minus_t_inv = [F(1)] * N                    # 1 / (1 - t)
gamma = mul(gamma_star, one_minus_t_inv)
sigma_star = mul(gamma_star, gamma_star)
sigma = mul(sigma_star, one_minus_t_inv)

for name, c in (("Stormer", sigma), ("Cowell", sigma_star), ("Adams-Bashforth", gamma),
                ("Adams-Moulton", gamma_star)):
    print(f"  // {name}")
    print("  {" + ", ".join(f"{{{x.numerator}, {x.denominator}}}" for x in c) + "},")
