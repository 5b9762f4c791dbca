#include "tools/fitkoyomi/fft.h"

#include <cmath>
#include <stdexcept>
#include <utility>

namespace fitkoyomi {

void Fft(std::vector<std::complex<double>>& x)
{
    const std::size_t n = x.size();
    if (n == 0 || (n & (n - 1)) != 0)
        throw std::invalid_argument("Fft: size is not a power of two");
    for (std::size_t i = 1, j = 0; i < n; ++i) {
        std::size_t bit = n >> 1;
        for (; j & bit; bit >>= 1)
            j ^= bit;
        j ^= bit;
        if (i < j)
            std::swap(x[i], x[j]);
    }
    for (std::size_t len = 2; len <= n; len <<= 1) {
        const double angle = -2.0 * M_PI / static_cast<double>(len);
        for (std::size_t i = 0; i < n; i += len)
            for (std::size_t k = 0; k < len / 2; ++k) {
                const std::complex<double> w = std::polar(1.0, angle * static_cast<double>(k));
                const std::complex<double> u = x[i + k];
                const std::complex<double> v = x[i + k + len / 2] * w;
                x[i + k] = u + v;
                x[i + k + len / 2] = u - v;
            }
    }
}

} // namespace fitkoyomi
