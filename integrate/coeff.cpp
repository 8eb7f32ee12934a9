#include "coeff.h"

#include <stdexcept>

void COEFF(int N, CoeffTable& SC, CoeffTable& AD) {
  if (N < 0 || N > 10) throw std::invalid_argument("COEFF: N outside 0 to 10");
  for (int K = 0; K <= 1; ++K) {
    auto& sc = SC[K];
    auto& ad = AD[K];
    sc[0] = ad[0] = 1;
    double C = 1;
    for (int I = 1; I <= N + 2; ++I) {
      // C is 1 in row 0 throughout and 0 from order 1 on in row 1.
      C = -((K - I) * C) / I;
      sc[I] = ad[I] = C;
      double S = 1;  // harmonic number 1 + 1/2 + ... + 1/(J+1)
      for (int J = 1; J <= I; ++J) {
        const double R = 1.0 / (J + 1);
        S = S + R;
        ad[I] = ad[I] - R * ad[I - J];
        sc[I] = sc[I] - (S * sc[I - J] * 2) / (J + 2);
      }
    }
  }
}
