// What each series of the coefficient table is fitted to, and how a fitted
// series is placed into the table's term slots.
//
//  - Sun longitude and distance: the apparent geocentric Sun (longitude of the
//    true equinox of date, light-time, aberration and nutation included).
//  - Moon longitude and latitude: the apparent geocentric Moon. Moon parallax:
//    Earth radius / apparent distance, in degrees (the program divides the
//    Earth's radius by it, without a sine).
//  - Planet "heliocentric" longitude, latitude and distance: the vector from
//    the apparent Sun (in the ecliptic, latitude 0, as the program places it)
//    to the apparent planet, G - S. Adding the Sun's vector back, as the
//    program does, gives the apparent geocentric planet exactly, so light-time,
//    aberration and nutation are folded into these series. Samples are
//    weighted by how much an error of the series moves the geocentric
//    direction (heliocentric offset / geocentric distance).
//
// Every longitude is unwrapped into a continuous function of time and shifted
// by whole turns so that its values over the main years lie nearest to zero
// (the program rounds the sum to single precision before reducing it).
#pragma once

#include "tools/fitkoyomi/reference.h"
#include "tools/fitkoyomi/seriesfit.h"

#include "koyomi/coeffile.h"
#include "koyomi/positions.h"

#include <array>
#include <vector>

namespace fitkoyomi {

// Reference positions of all bodies on a run of consecutive days.
struct TReferenceSet {
    std::vector<TDay> days;
    std::vector<double> rangeWeight;  // 1 in the main years, lower outside
    std::array<std::vector<TSpherical>, koyomi::kBodyCount> positions;
};

// Computes the reference for the bodies whose flag is set (the Sun always).
TReferenceSet MakeReferenceSet(int fromYear, int toYear, int mainFrom, int mainTo, double outsideWeight,
                               const std::array<bool, koyomi::kBodyCount>& bodies);

// The samples a quantity is fitted to: every stepDays-th day of the reference.
TFitData MakeProblem(const TReferenceSet& reference, koyomi::TQuantityId quantity, int stepDays);

// Sampling step that is enough for a quantity: daily for the Sun and the
// Moon, every 2 days for the inner planets, every 4 for the outer ones.
int DefaultStepDays(koyomi::TQuantityId quantity);

// How the search for a quantity's terms is helped: for a planet, the
// harmonics of its mean motion and their combinations with the Earth's.
TGrowOptions GrowOptionsOf(koyomi::TQuantityId quantity);

// T-term and plain slots of a quantity.
TFitBudget BudgetOf(const koyomi::TQuantity& quantity);

// The series a fit starts from: a constant, and for a longitude the motion A * T.
TFitSeries StartingSeries(const koyomi::TQuantity& quantity);

// Writes a series into the quantity's slots (T-terms into the T-term slots,
// the others by falling amplitude; slots left over get amplitude 0).
void PlaceSeries(const koyomi::TQuantity& quantity, const TFitSeries& series, koyomi::CoefficientTable& table);

// Reads a quantity's series back from the table (terms of amplitude 0 dropped).
TFitSeries SeriesFromTable(const koyomi::TQuantity& quantity, const koyomi::CoefficientTable& table);

// Header comment of the coefficient file: what the series represent.
std::string CoefficientFileHeader(int fromYear, int toYear, int mainFrom, int mainTo, double outsideWeight);

} // namespace fitkoyomi
