// Sums of cosine terms, the series behind every position: the arguments and
// glibc's vector cos (libmvec) in the widest form the processor runs, or the
// scalar cos where there is none.
#pragma once

namespace koyomi {

// The coefficients of a run of terms. Term i is
//     amplitude[i] * factor[i] * cos(rate[i] * t + phase[i])
// with rate in degrees per unit of t and phase in degrees.
struct TCosineTerms {
    const double* amplitude;
    const double* factor;
    const double* rate;
    const double* phase;
};

// Terms begin .. end - 1 (none when end <= begin).
struct TTermRun {
    int begin;
    int end;
};

// The sum of terms begin .. end - 1 (none when end <= begin) at t, added one
// at a time from the last term down. Each argument is reduced before the
// phase is added: rate * t less 360 times the whole turns it holds (rounded
// towards zero), then plus the phase, times pi / 180. Each cosine is within a
// few units in the last place of std::cos. The arguments and weights are the
// same to the last bit whichever instruction set computes them; only the
// cosines' last bits may differ between the implementations.
double SumCosineTerms(const TCosineTerms& terms, int begin, int end, double t);

// sums[j] = the sum of runs[j] at t, to the last bit the one-run form's (the
// same terms added in the same order), for j < count. The runs' arguments
// and cosines are computed first and their additions last, so that the
// processor overlaps the runs' additions instead of waiting for each one.
void SumCosineTerms(const TCosineTerms& terms, const TTermRun* runs, int count, double t, double* sums);

// Which implementation SumCosineTerms uses here: "avx512", "avx2", "sse2" or
// "scalar".
const char* CosineKernelName();

} // namespace koyomi
