// In-place radix-2 fast Fourier transform (forward, no scaling).
#pragma once

#include <complex>
#include <vector>

namespace fitkoyomi {

// x.size() must be a power of two.
void Fft(std::vector<std::complex<double>>& x);

} // namespace fitkoyomi
