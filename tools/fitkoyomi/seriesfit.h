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

// Adds terms found in the residuals until the budget is used.
void GrowSeries(const TFitData& data, const TFitBudget& budget, TFitSeries& series, std::ostream& log);

// Improves amplitudes and frequencies together; returns the weighted rms.
double RefineSeries(const TFitData& data, TFitSeries& series, int iterations, std::ostream& log);

// Re-weights towards the largest residuals (Lawson's iteration towards the
// smallest largest error), refitting after each round. weights are the
// caller's base weights; data.w is overwritten.
void FlattenErrors(TFitData& data, const std::vector<double>& weights, TFitSeries& series, int rounds,
                   std::ostream& log);

} // namespace fitkoyomi
