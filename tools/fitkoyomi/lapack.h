// The few dense linear-algebra steps of the fitter, on LAPACK/BLAS.
// Matrices are column-major.
#pragma once

#include <vector>

namespace fitkoyomi {

// Solves min |A x - b| for A (m x n, m >= n, full rank) by QR; x is returned
// in the first n entries of b. A is destroyed. Throws std::runtime_error.
void LeastSquares(int m, int n, std::vector<double>& a, std::vector<double>& b);

// gram (n x n, upper triangle) += block^T block, block being rows x n.
void AddGram(int rows, int n, const std::vector<double>& block, std::vector<double>& gram);

// Solves the symmetric positive definite system (upper triangle of a) in
// place of b; false when a is not positive definite.
bool SolvePositive(int n, std::vector<double>& a, std::vector<double>& b);

} // namespace fitkoyomi
