// The library's unit-level tables, filled once from the data file and then
// read-only (except TimeFactor, which every position computation rewrites).
#pragma once

#include <array>
#include <cstdint>

namespace koyomi {

constexpr int kTermCount = 672;        // coefficient triples in the KOYOMI block
constexpr int kTimeFactorCount = 700;  // entries of TimeFactor (terms 673-700 unused)
constexpr int kSeizaSize = 5848;       // bytes of the SEIZA block
constexpr std::size_t kKoyomiBlockSize = 3 * kTermCount * sizeof(double);  // 16128

// Equatorial radius of the Earth in astronomical units (bit pattern 0x3F065A6770EB3B1B).
constexpr double kEarthRadiusAU = 4.263523270752451e-05;

// Amplitude: degrees (angles) or astronomical units (distances).
extern std::array<double, kTermCount> Amplitude;
// Rate of each term's argument, degrees per Julian century.
extern std::array<double, kTermCount> Rate;
// Value of each term's argument at T = 0, degrees.
extern std::array<double, kTermCount> Phase;
// Per-term factor: 1.0, or T for the secular (T-) terms of the quantity being summed.
extern std::array<double, kTimeFactorCount> TimeFactor;
// Set when the coefficient block is loaded; zero before.
extern double EarthRadiusAU;
// The SEIZA block, kept as it is; nothing interprets it.
extern std::array<std::uint8_t, kSeizaSize> SeizaBlock;

// Puts the tables back into the not-loaded state (all zero). For tests and tools.
void ResetTables();

// Fills Amplitude, Rate and Phase from arrays in term order, sets TimeFactor to
// 1.0 and EarthRadiusAU, as loading the coefficient block does.
void SetCoefficients(const std::array<double, kTermCount>& amplitude,
                     const std::array<double, kTermCount>& rate,
                     const std::array<double, kTermCount>& phase);

} // namespace koyomi
