#include "koyomi/cosines.h"

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

using TCosineKernel = void (*)(const double*, double*, int);

#if defined(MIRVO_LIBMVEC)
static_assert(kCosineBlock % kCosineLanes == 0);

__attribute__((target("avx512f"))) void Avx512Cosines(const double* radians, double* out, int count)
{
    for (int k = 0; k < count; k += 8)
        _mm512_storeu_pd(out + k, _ZGVeN8v_cos(_mm512_loadu_pd(radians + k)));
}

__attribute__((target("avx2"))) void Avx2Cosines(const double* radians, double* out, int count)
{
    for (int k = 0; k < count; k += 4)
        _mm256_storeu_pd(out + k, _ZGVdN4v_cos(_mm256_loadu_pd(radians + k)));
}

void Sse2Cosines(const double* radians, double* out, int count)
{
    for (int k = 0; k < count; k += 2)
        _mm_storeu_pd(out + k, _ZGVbN2v_cos(_mm_loadu_pd(radians + k)));
}
#else
void ScalarCosines(const double* radians, double* out, int count)
{
    for (int k = 0; k < count; ++k)
        out[k] = std::cos(radians[k]);
}
#endif

struct TChoice {
    TCosineKernel kernel;
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
        return {Avx512Cosines, "avx512"};
    if (CPU_FEATURE_ACTIVE(AVX2))
        return {Avx2Cosines, "avx2"};
    return {Sse2Cosines, "sse2"};
#else
    return {ScalarCosines, "scalar"};
#endif
}

const TChoice& Choice()
{
    static const TChoice choice = ChooseKernel();
    return choice;
}

} // namespace

void Cosines(const double (&radians)[kCosineBlock], double (&out)[kCosineBlock], int count)
{
    Choice().kernel(radians, out, count);
}

const char* CosineKernelName()
{
    return Choice().name;
}

} // namespace koyomi
