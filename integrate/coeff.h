// Backward-difference coefficients of the multistep formulas: Stormer
// (sigma) and Cowell (sigma-star) for second-order equations, Adams-Bashforth
// (gamma) and Adams-Moulton (gamma-star) for first-order equations.
#pragma once

#include <array>

// A coefficient table indexed (row, order), both from 0 to 12: row 0 holds
// the explicit formula, row 1 the implicit one.
using CoeffTable = std::array<std::array<double, 13>, 13>;

// Given:    N    number of backward differences, 0 to 10
// Returned: SC   row 0 Stormer, row 1 Cowell coefficients, orders 0 to N + 2
//           AD   row 0 Adams-Bashforth, row 1 Adams-Moulton, orders 0 to N + 2
// Other rows and orders are left as they were. An N outside 0 to 10 is a
// fault of the caller (std::invalid_argument).
void COEFF(int N, CoeffTable& SC, CoeffTable& AD);
