#include "koyomi/cosines.h"

#include <algorithm>
#include <cmath>

#if defined(MIRVO_LIBMVEC)
#include <immintrin.h>
#include <sys/platform/x86.h>

// glibc's vector cosines (libmvec), by their vector-ABI names: 8, 4 and 2 lanes.
extern "C" __m512d _ZGVeN8v_cos(__m512d) __attribute__((target("avx512f")));
extern "C" __m256d _ZGVdN4v_cos(__m256d) __attribute__((target("avx2")));
extern "C" __m128d _ZGVbN2v_cos(__m128d);
#endif

namespace koyomi {

namespace {

// Terms are taken in blocks of this many: the arguments, cosines and
// products of a block first, then its terms are added.
constexpr int kBlock = 64;

constexpr double kFullCircle = 360.0;
constexpr double kTurnsPerDegree = 1.0 / kFullCircle;
constexpr double kRadiansPerDegree = 0.017453292519943295769;  // pi / 180

using TSums = void (*)(const TCosineTerms&, const TTermRun*, int, double, double*);

// Products(terms, bottom, count, t, product) writes the products (cosine
// times weight) of terms bottom .. bottom + count - 1 (count <= kBlock) into
// product[0 .. count); it may write up to the next multiple of 8.
using TProducts = void (*)(const TCosineTerms&, int, int, double, double*);

// Adds the products of terms begin .. end - 1 from the last one down, a
// block at a time.
template <TProducts Products>
[[gnu::always_inline]] inline double SumBlocks(const TCosineTerms& terms, int begin, int end, double t)
{
    double sum = 0.0;
    for (int top = end; top > begin; top -= kBlock) {
        const int bottom = std::max(top - kBlock, begin);
        const int count = top - bottom;
        double product[kBlock];
        Products(terms, bottom, count, t, product);
        for (int k = count - 1; k >= 0; --k)
            sum += product[k];
    }
    return sum;
}

// The sums of several runs: the products of as many runs as the buffer
// holds, then each run's products added from its last term down, one run
// after the other; the runs' additions do not wait for one another, so the
// processor overlaps them. Runs that follow one another in the tables have
// their products computed as one, with no unused lanes between them. A run
// longer than the buffer is summed block by block on its own. Inlined into
// each implementation, so that the products are computed with its
// instruction set.
template <TProducts Products>
[[gnu::always_inline]] inline void SumRuns(const TCosineTerms& terms, const TTermRun* runs, int count, double t,
                                           double* sums)
{
    constexpr int kBuffer = 16 * kBlock;
    constexpr int kLanes = 8;  // Products writes up to a multiple of this
    constexpr int kMostRuns = kBuffer / kLanes;
    const auto lanesFor = [](int n) { return (n + kLanes - 1) / kLanes * kLanes; };
    double product[kBuffer];
    int start[kMostRuns];  // where each run's products are: start[r] .. last[r]
    int last[kMostRuns];
    int which[kMostRuns];
    int batch = 0;  // runs placed in the buffer
    int used = 0;   // products computed: product[0 .. used)
    // Terms whose products go to product[used ..] but are not computed yet.
    int pendingBegin = 0;
    int pendingEnd = 0;
    const auto computePending = [&]() __attribute__((always_inline)) {
        for (int bottom = pendingBegin; bottom < pendingEnd; bottom += kBlock)
            Products(terms, bottom, std::min(pendingEnd - bottom, kBlock), t, product + used + (bottom - pendingBegin));
        used += lanesFor(pendingEnd - pendingBegin);
        pendingBegin = pendingEnd = 0;
    };
    const auto addBatch = [&]() __attribute__((always_inline)) {
        computePending();
        for (int r = 0; r < batch; ++r) {
            double sum = 0.0;
            for (int k = last[r]; k >= start[r]; --k)
                sum += product[k];
            sums[which[r]] = sum;
        }
        batch = 0;
        used = 0;
    };
    for (int j = 0; j < count; ++j) {
        const int begin = runs[j].begin;
        const int end = runs[j].end;
        const int n = std::max(end - begin, 0);
        if (n == 0 || lanesFor(n) > kBuffer) {
            sums[j] = SumBlocks<Products>(terms, begin, end, t);
            continue;
        }
        const bool follows = pendingEnd > pendingBegin && begin == pendingEnd;
        if (!follows || used + lanesFor(end - pendingBegin) > kBuffer || batch == kMostRuns) {
            computePending();
            if (used + lanesFor(n) > kBuffer || batch == kMostRuns)
                addBatch();
            pendingBegin = begin;
        }
        pendingEnd = end;
        start[batch] = used + (begin - pendingBegin);
        last[batch] = start[batch] + n - 1;
        which[batch] = j;
        ++batch;
    }
    addBatch();
}

// One term's argument (radians) and weight, one at a time.
inline double Argument(const TCosineTerms& terms, int i, double t)
{
    double r = terms.rate[i] * t;
    r -= kFullCircle * std::trunc(r * kTurnsPerDegree);
    return (r + terms.phase[i]) * kRadiansPerDegree;
}

inline double Weight(const TCosineTerms& terms, int i)
{
    return terms.amplitude[i] * terms.factor[i];
}

// The arguments one at a time, then Cosines(radians, out, count), which may
// read and write entries up to count rounded up to its vector length (at
// most 8), then the products.
template <void (*Cosines)(const double*, double*, int)>
void ProductsWithScalarArguments(const TCosineTerms& terms, int bottom, int count, double t, double* product)
{
    constexpr int kLongestVector = 8;
    double argument[kBlock];
    for (int k = 0; k < count; ++k)
        argument[k] = Argument(terms, bottom + k, t);
    for (int k = count; k < kBlock && k % kLongestVector != 0; ++k)
        argument[k] = 0.0;
    Cosines(argument, product, count);
    for (int k = 0; k < count; ++k)
        product[k] *= Weight(terms, bottom + k);
}

#if defined(MIRVO_LIBMVEC)
static_assert(kBlock % 8 == 0);

// Eight terms at a time, the last group of a block with the missing lanes
// masked off (loaded as zero, never added).
__attribute__((target("avx512f"))) inline void Avx512Products(const TCosineTerms& terms, int bottom, int count,
                                                              double t, double* product)
{
    const __m512d vt = _mm512_set1_pd(t);
    const __m512d circle = _mm512_set1_pd(kFullCircle);
    const __m512d turnsPerDegree = _mm512_set1_pd(kTurnsPerDegree);
    const __m512d radiansPerDegree = _mm512_set1_pd(kRadiansPerDegree);
    for (int k = 0; k < count; k += 8) {
        const int i = bottom + k;
        const auto m = static_cast<__mmask8>(count - k >= 8 ? 0xFF : (1u << (count - k)) - 1);
        __m512d r = _mm512_mul_pd(_mm512_maskz_loadu_pd(m, terms.rate + i), vt);
        const __m512d turns =
            _mm512_maskz_roundscale_pd(m, _mm512_mul_pd(r, turnsPerDegree), _MM_FROUND_TO_ZERO | _MM_FROUND_NO_EXC);
        r = _mm512_sub_pd(r, _mm512_mul_pd(circle, turns));
        const __m512d argument =
            _mm512_mul_pd(_mm512_add_pd(r, _mm512_maskz_loadu_pd(m, terms.phase + i)), radiansPerDegree);
        const __m512d weight =
            _mm512_mul_pd(_mm512_maskz_loadu_pd(m, terms.amplitude + i), _mm512_maskz_loadu_pd(m, terms.factor + i));
        _mm512_storeu_pd(product + k, _mm512_mul_pd(_ZGVeN8v_cos(argument), weight));
    }
}

__attribute__((target("avx2"))) inline void Avx2Products(const TCosineTerms& terms, int bottom, int count,
                                                         double t, double* product)
{
    const __m256d vt = _mm256_set1_pd(t);
    const __m256d circle = _mm256_set1_pd(kFullCircle);
    const __m256d turnsPerDegree = _mm256_set1_pd(kTurnsPerDegree);
    const __m256d radiansPerDegree = _mm256_set1_pd(kRadiansPerDegree);
    const __m256i lane = _mm256_setr_epi64x(0, 1, 2, 3);
    for (int k = 0; k < count; k += 4) {
        const int i = bottom + k;
        const __m256i m = _mm256_cmpgt_epi64(_mm256_set1_epi64x(count - k), lane);
        __m256d r = _mm256_mul_pd(_mm256_maskload_pd(terms.rate + i, m), vt);
        const __m256d turns =
            _mm256_round_pd(_mm256_mul_pd(r, turnsPerDegree), _MM_FROUND_TO_ZERO | _MM_FROUND_NO_EXC);
        r = _mm256_sub_pd(r, _mm256_mul_pd(circle, turns));
        const __m256d argument =
            _mm256_mul_pd(_mm256_add_pd(r, _mm256_maskload_pd(terms.phase + i, m)), radiansPerDegree);
        const __m256d weight =
            _mm256_mul_pd(_mm256_maskload_pd(terms.amplitude + i, m), _mm256_maskload_pd(terms.factor + i, m));
        _mm256_storeu_pd(product + k, _mm256_mul_pd(_ZGVdN4v_cos(argument), weight));
    }
}

void Sse2Cosines(const double* radians, double* out, int count)
{
    for (int k = 0; k < count; k += 2)
        _mm_storeu_pd(out + k, _ZGVbN2v_cos(_mm_loadu_pd(radians + k)));
}

__attribute__((target("avx512f"))) void Avx512Sums(const TCosineTerms& terms, const TTermRun* runs, int count,
                                                   double t, double* sums)
{
    SumRuns<Avx512Products>(terms, runs, count, t, sums);
}

__attribute__((target("avx2"))) void Avx2Sums(const TCosineTerms& terms, const TTermRun* runs, int count, double t,
                                              double* sums)
{
    SumRuns<Avx2Products>(terms, runs, count, t, sums);
}

void Sse2Sums(const TCosineTerms& terms, const TTermRun* runs, int count, double t, double* sums)
{
    SumRuns<ProductsWithScalarArguments<Sse2Cosines>>(terms, runs, count, t, sums);
}
#else
void ScalarCosines(const double* radians, double* out, int count)
{
    for (int k = 0; k < count; ++k)
        out[k] = std::cos(radians[k]);
}

void ScalarSums(const TCosineTerms& terms, const TTermRun* runs, int count, double t, double* sums)
{
    SumRuns<ProductsWithScalarArguments<ScalarCosines>>(terms, runs, count, t, sums);
}
#endif

struct TChoice {
    TSums sums;
    const char* name;
};

// The widest vector form this processor runs and the system has enabled;
// every x86-64 processor has SSE2. glibc has asked the processor already when
// the program started, so this reads its answers instead of asking again
// (each question to the processor is slow in a virtual machine).
TChoice ChooseKernel()
{
#if defined(MIRVO_LIBMVEC)
    if (CPU_FEATURE_ACTIVE(AVX512F))
        return {Avx512Sums, "avx512"};
    if (CPU_FEATURE_ACTIVE(AVX2))
        return {Avx2Sums, "avx2"};
    return {Sse2Sums, "sse2"};
#else
    return {ScalarSums, "scalar"};
#endif
}

const TChoice& Choice()
{
    static const TChoice choice = ChooseKernel();
    return choice;
}

} // namespace

double SumCosineTerms(const TCosineTerms& terms, int begin, int end, double t)
{
    const TTermRun run{begin, end};
    double sum = 0.0;
    Choice().sums(terms, &run, 1, t, &sum);
    return sum;
}

void SumCosineTerms(const TCosineTerms& terms, const TTermRun* runs, int count, double t, double* sums)
{
    Choice().sums(terms, runs, count, t, sums);
}

const char* CosineKernelName()
{
    return Choice().name;
}

} // namespace koyomi
