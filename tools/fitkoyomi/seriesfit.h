// Least-squares fitting of one series of periodic terms to samples of a
// quantity, in the term form of the program's coefficient table:
//     value(T) = sum over terms of (a cos(rate T) + b sin(rate T)) * (T or 1)
// which is A cos(rate T + phase) * (T or 1) with A = hypot(a, b) and
// phase = atan2(-b, a). T is in Julian centuries, rates in radians per
// century here (degrees per century in the table).
//
// The frequencies are found from the residuals (periodogram peaks refined to
// the best projection, tried as plain terms and as T-terms), then every
// amplitude and frequency is improved together by damped Gauss-Newton
// (Levenberg-Marquardt) iterations.
#pragma once

#include <iosfwd>
#include <vector>

namespace fitkoyomi {

struct TFitTerm {
    double rate = 0;        // radians per Julian century; 0 = constant (or A * T)
    bool timeTerm = false;  // multiplied by T
    double a = 0;           // cosine amplitude (degrees or AU)
    double b = 0;           // sine amplitude
};
using TFitSeries = std::vector<TFitTerm>;

// Samples of one quantity, one every stepDays days.
struct TFitData {
    double stepDays = 1;
    std::vector<double> t;  // Julian centuries
    std::vector<double> y;  // target value
    std::vector<double> w;  // weight of each sample (> 0)
    std::vector<char> mainYears;  // set for the samples of the years that matter most
};

// How many terms a series may have: plainTerms without T, timeTerms with T.
struct TFitBudget {
    int plainTerms = 0;
    int timeTerms = 0;
};

double SeriesValue(const TFitSeries& series, double t);

// Root-mean-square and largest of the weighted residuals sqrt(w) * |r| over
// the main years (for a planet: geocentric degrees).
struct TFitStats {
    double rms = 0;
    double largest = 0;
};
TFitStats FitStats(const TFitData& data, const TFitSeries& series);

// Best amplitudes for the series' current frequencies.
void SolveAmplitudes(const TFitData& data, TFitSeries& series);

struct TGrowOptions {
    // Rates (radians per century) tried at every step besides the peaks of
    // the residual's spectrum: the body's known arguments and their
    // combinations, which a spectrum of a few centuries cannot resolve for a
    // slow planet.
    std::vector<double> hintRates;
    // While the series has at most this many terms, all of them are refined
    // after each addition, so that early choices are corrected.
    int interleaveLimit = 30;
};

// Adds terms found in the residuals until the budget is used.
void GrowSeries(const TFitData& data, const TFitBudget& budget, const TGrowOptions& options, TFitSeries& series,
                std::ostream& log);

// Tries to replace the weakest periodic terms by better ones (remove, grow by
// one, refine); keeps a replacement only when it lowers the weighted squares.
void ExchangeTerms(const TFitData& data, const TFitBudget& budget, const TGrowOptions& options,
                   TFitSeries& series, int rounds, std::ostream& log);

// Improves amplitudes and frequencies together; returns the weighted rms.
double RefineSeries(const TFitData& data, TFitSeries& series, int iterations, std::ostream& log);

// Re-weights towards the largest residuals (Lawson's iteration towards the
// smallest largest error), refitting after each round, and keeps the series
// with the smallest largest weighted error. weights are the caller's base
// weights; data.w is restored to them at the end.
void FlattenErrors(TFitData& data, const std::vector<double>& weights, TFitSeries& series, int rounds,
                   std::ostream& log);

} // namespace fitkoyomi
