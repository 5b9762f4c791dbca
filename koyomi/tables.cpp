#include "koyomi/tables.h"

namespace koyomi {

std::array<double, kTermCount> Amplitude{};
std::array<double, kTermCount> Rate{};
std::array<double, kTermCount> Phase{};
std::array<double, kTimeFactorCount> TimeFactor{};
double EarthRadiusAU = 0.0;
std::array<std::uint8_t, kSeizaSize> SeizaBlock{};

void ResetTables()
{
    Amplitude.fill(0.0);
    Rate.fill(0.0);
    Phase.fill(0.0);
    TimeFactor.fill(0.0);
    EarthRadiusAU = 0.0;
    SeizaBlock.fill(0);
}

void SetCoefficients(const std::array<double, kTermCount>& amplitude,
                     const std::array<double, kTermCount>& rate,
                     const std::array<double, kTermCount>& phase)
{
    Amplitude = amplitude;
    Rate = rate;
    Phase = phase;
    TimeFactor.fill(1.0);
    EarthRadiusAU = kEarthRadiusAU;
}

} // namespace koyomi
