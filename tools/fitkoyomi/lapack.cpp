#include "tools/fitkoyomi/lapack.h"

#include <stdexcept>
#include <string>

extern "C" {
void dgels_(const char* trans, const int* m, const int* n, const int* nrhs, double* a, const int* lda,
            double* b, const int* ldb, double* work, const int* lwork, int* info);
void dsyrk_(const char* uplo, const char* trans, const int* n, const int* k, const double* alpha,
            const double* a, const int* lda, const double* beta, double* c, const int* ldc);
void dposv_(const char* uplo, const int* n, const int* nrhs, double* a, const int* lda, double* b,
            const int* ldb, int* info);
}

namespace fitkoyomi {

void LeastSquares(int m, int n, std::vector<double>& a, std::vector<double>& b)
{
    const int one = 1;
    int info = 0;
    int lwork = -1;
    double query = 0;
    dgels_("N", &m, &n, &one, a.data(), &m, b.data(), &m, &query, &lwork, &info);
    lwork = static_cast<int>(query);
    std::vector<double> work(static_cast<std::size_t>(lwork));
    dgels_("N", &m, &n, &one, a.data(), &m, b.data(), &m, work.data(), &lwork, &info);
    if (info != 0)
        throw std::runtime_error("dgels failed: " + std::to_string(info));
}

void AddGram(int rows, int n, const std::vector<double>& block, std::vector<double>& gram)
{
    const double one = 1.0;
    dsyrk_("U", "T", &n, &rows, &one, block.data(), &rows, &one, gram.data(), &n);
}

bool SolvePositive(int n, std::vector<double>& a, std::vector<double>& b)
{
    const int one = 1;
    int info = 0;
    dposv_("U", &n, &one, a.data(), &n, b.data(), &n, &info);
    return info == 0;
}

} // namespace fitkoyomi
