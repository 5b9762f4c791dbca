#include "tools/fitkoyomi/seriesfit.h"

#include "tools/fitkoyomi/fft.h"
#include "tools/fitkoyomi/lapack.h"

#include <algorithm>
#include <cmath>
#include <complex>
#include <numeric>
#include <ostream>
#include <stdexcept>
#include <streambuf>

namespace fitkoyomi {

namespace {

constexpr double kDaysPerCentury = 36525.0;
constexpr double kTwoPi = 2.0 * M_PI;
constexpr int kPeaksPerSpectrum = 8;
constexpr int kExactCandidates = 6;
constexpr int kGoldenSteps = 24;
// Projection estimates use every kEstimateStride-th sample: the estimates only
// rank candidates and locate a peak that the exact steps then settle.
constexpr std::size_t kEstimateStride = 3;
constexpr double kNegligibleNorm = 1e-9;

int ColumnCount(const TFitTerm& term) { return term.rate == 0.0 ? 1 : 2; }

int ColumnCount(const TFitSeries& series)
{
    int n = 0;
    for (const auto& term : series)
        n += ColumnCount(term);
    return n;
}

// The term's columns at t: cos and sin of its argument, times T for a T-term.
void TermColumns(const TFitTerm& term, double t, double& c, double& s)
{
    const double f = term.timeTerm ? t : 1.0;
    if (term.rate == 0.0) {
        c = f;
        s = 0.0;
        return;
    }
    c = std::cos(term.rate * t) * f;
    s = std::sin(term.rate * t) * f;
}

double Dot(const std::vector<double>& x, const std::vector<double>& y)
{
    double s = 0;
    for (std::size_t i = 0; i < x.size(); ++i)
        s += x[i] * y[i];
    return s;
}

void Axpy(double a, const std::vector<double>& x, std::vector<double>& y)
{
    for (std::size_t i = 0; i < x.size(); ++i)
        y[i] += a * x[i];
}

// An orthonormal basis of the weighted columns chosen so far.
class TBasis {
public:
    // Orthogonalises v against the basis (twice, for stability). Returns the
    // norm that remains.
    double Orthogonalize(std::vector<double>& v) const
    {
        for (int pass = 0; pass < 2; ++pass)
            for (const auto& q : FColumns)
                Axpy(-Dot(q, v), q, v);
        return std::sqrt(Dot(v, v));
    }
    // Adds v (already orthogonal) if enough of it is left.
    bool Add(std::vector<double> v, double originalNorm)
    {
        const double norm = Orthogonalize(v);
        if (norm <= kNegligibleNorm * originalNorm)
            return false;
        for (double& x : v)
            x /= norm;
        FColumns.push_back(std::move(v));
        return true;
    }
    const std::vector<std::vector<double>>& Columns() const { return FColumns; }

private:
    std::vector<std::vector<double>> FColumns;
};

std::vector<double> SqrtWeights(const TFitData& data)
{
    std::vector<double> s(data.w.size());
    for (std::size_t k = 0; k < s.size(); ++k)
        s[k] = std::sqrt(data.w[k]);
    return s;
}

std::vector<double> WeightedColumn(const TFitData& data, const std::vector<double>& sw,
                                   const TFitTerm& term, bool sine)
{
    std::vector<double> v(data.t.size());
    for (std::size_t k = 0; k < v.size(); ++k) {
        double c, s;
        TermColumns(term, data.t[k], c, s);
        v[k] = sw[k] * (sine ? s : c);
    }
    return v;
}

// A candidate term and what adding it would remove from the squared residual.
struct TCandidate {
    TFitTerm term;
    double gain = 0;
};

// Projection power of the residual on cos/sin of rate (times T when asked),
// ignoring the columns already chosen (an upper bound's cheap estimate).
double ProjectionPower(const TFitData& data, const std::vector<double>& sw, const std::vector<double>& e,
                       double rate, bool timeTerm)
{
    double sc = 0, ss = 0, cc = 0, s2 = 0;
    for (std::size_t k = 0; k < e.size(); k += kEstimateStride) {
        const double f = sw[k] * (timeTerm ? data.t[k] : 1.0);
        const double c = std::cos(rate * data.t[k]) * f;
        const double s = std::sin(rate * data.t[k]) * f;
        sc += e[k] * c;
        ss += e[k] * s;
        cc += c * c;
        s2 += s * s;
    }
    return (cc > 0 ? sc * sc / cc : 0) + (s2 > 0 ? ss * ss / s2 : 0);
}

// Finds the rate near `rate` (within +- width) with the largest projection power.
double RefineRate(const TFitData& data, const std::vector<double>& sw, const std::vector<double>& e,
                  double rate, double width, bool timeTerm)
{
    const double g = (std::sqrt(5.0) - 1) / 2;
    double lo = std::max(0.0, rate - width), hi = rate + width;
    double x1 = hi - g * (hi - lo), x2 = lo + g * (hi - lo);
    double f1 = ProjectionPower(data, sw, e, x1, timeTerm);
    double f2 = ProjectionPower(data, sw, e, x2, timeTerm);
    for (int i = 0; i < kGoldenSteps; ++i) {
        if (f1 > f2) {
            hi = x2;
            x2 = x1;
            f2 = f1;
            x1 = hi - g * (hi - lo);
            f1 = ProjectionPower(data, sw, e, x1, timeTerm);
        } else {
            lo = x1;
            x1 = x2;
            f1 = f2;
            x2 = lo + g * (hi - lo);
            f2 = ProjectionPower(data, sw, e, x2, timeTerm);
        }
    }
    return (lo + hi) / 2;
}

// Rates (radians per century) of the strongest peaks of the residual's
// spectrum, the residual multiplied by T when timeTerm is set.
std::vector<double> SpectrumPeaks(const TFitData& data, const std::vector<double>& e, bool timeTerm,
                                  double& binWidth)
{
    std::size_t n = 1;
    while (n < 2 * e.size())
        n <<= 1;
    std::vector<std::complex<double>> x(n);
    for (std::size_t k = 0; k < e.size(); ++k)
        x[k] = e[k] * (timeTerm ? data.t[k] : 1.0);
    Fft(x);
    const std::size_t half = n / 2;
    std::vector<double> power(half);
    for (std::size_t m = 0; m < half; ++m)
        power[m] = std::norm(x[m]);
    std::vector<std::size_t> peaks;
    for (std::size_t m = 1; m + 1 < half; ++m)
        if (power[m] >= power[m - 1] && power[m] > power[m + 1])
            peaks.push_back(m);
    std::partial_sort(peaks.begin(), peaks.begin() + std::min<std::size_t>(kPeaksPerSpectrum, peaks.size()),
                      peaks.end(), [&](std::size_t a, std::size_t b) { return power[a] > power[b]; });
    peaks.resize(std::min<std::size_t>(kPeaksPerSpectrum, peaks.size()));
    binWidth = kTwoPi * kDaysPerCentury / (static_cast<double>(n) * data.stepDays);
    std::vector<double> rates;
    for (std::size_t m : peaks)
        rates.push_back(static_cast<double>(m) * binWidth);
    return rates;
}

// Exact gain of a candidate: the squared residual its columns remove once
// they are orthogonalised against the basis (and against each other).
double ExactGain(const TFitData& data, const std::vector<double>& sw, const TBasis& basis,
                 const std::vector<double>& e, const TFitTerm& term)
{
    std::vector<double> first;
    double gain = 0;
    for (int col = 0; col < ColumnCount(term); ++col) {
        std::vector<double> v = WeightedColumn(data, sw, term, col == 1);
        const double original = std::sqrt(Dot(v, v));
        double norm = basis.Orthogonalize(v);
        if (!first.empty()) {
            for (int pass = 0; pass < 2; ++pass)
                Axpy(-Dot(first, v), first, v);
            norm = std::sqrt(Dot(v, v));
        }
        if (norm <= kNegligibleNorm * original)
            continue;
        for (double& x : v)
            x /= norm;
        const double p = Dot(v, e);
        gain += p * p;
        first = std::move(v);
    }
    return gain;
}

bool HasTerm(const TFitSeries& series, double rate, bool timeTerm)
{
    for (const auto& term : series)
        if (term.timeTerm == timeTerm && std::abs(term.rate - rate) < 1e-9 * std::max(1.0, rate))
            return true;
    return false;
}

int CountTimeTerms(const TFitSeries& series)
{
    return static_cast<int>(std::count_if(series.begin(), series.end(), [](const TFitTerm& t) { return t.timeTerm; }));
}

double WeightedSquares(const TFitData& data, const TFitSeries& series)
{
    double s = 0;
    for (std::size_t k = 0; k < data.t.size(); ++k) {
        const double r = data.y[k] - SeriesValue(series, data.t[k]);
        s += data.w[k] * r * r;
    }
    return s;
}

double TotalWeight(const TFitData& data) { return std::accumulate(data.w.begin(), data.w.end(), 0.0); }

} // namespace

double SeriesValue(const TFitSeries& series, double t)
{
    double sum = 0;
    for (const auto& term : series) {
        double c, s;
        TermColumns(term, t, c, s);
        sum += term.a * c + term.b * s;
    }
    return sum;
}

TFitStats FitStats(const TFitData& data, const TFitSeries& series)
{
    TFitStats stats;
    long count = 0;
    for (std::size_t k = 0; k < data.t.size(); ++k) {
        if (!data.mainYears[k])
            continue;
        const double r = std::sqrt(data.w[k]) * std::abs(data.y[k] - SeriesValue(series, data.t[k]));
        stats.rms += r * r;
        ++count;
        stats.largest = std::max(stats.largest, r);
    }
    stats.rms = count > 0 ? std::sqrt(stats.rms / static_cast<double>(count)) : 0;
    return stats;
}

void SolveAmplitudes(const TFitData& data, TFitSeries& series)
{
    const int m = static_cast<int>(data.t.size());
    const int n = ColumnCount(series);
    if (n == 0)
        return;
    const std::vector<double> sw = SqrtWeights(data);
    std::vector<double> a(static_cast<std::size_t>(m) * n);
    std::vector<double> b(m);
    for (int k = 0; k < m; ++k) {
        int col = 0;
        for (const auto& term : series) {
            double c, s;
            TermColumns(term, data.t[k], c, s);
            a[static_cast<std::size_t>(col++) * m + k] = sw[k] * c;
            if (term.rate != 0.0)
                a[static_cast<std::size_t>(col++) * m + k] = sw[k] * s;
        }
        b[k] = sw[k] * data.y[k];
    }
    LeastSquares(m, n, a, b);
    int col = 0;
    for (auto& term : series) {
        term.a = b[col++];
        term.b = term.rate != 0.0 ? b[col++] : 0.0;
    }
}

namespace {

class TNullBuffer final : public std::streambuf {
protected:
    int overflow(int c) override { return c; }
};

std::ostream& Silent()
{
    static TNullBuffer buffer;
    static std::ostream stream(&buffer);
    return stream;
}

// The basis of the series' weighted columns and the residual orthogonal to it.
void Rebuild(const TFitData& data, const std::vector<double>& sw, const TFitSeries& series, TBasis& basis,
             std::vector<double>& e)
{
    basis = TBasis();
    for (const auto& term : series)
        for (int col = 0; col < ColumnCount(term); ++col) {
            std::vector<double> v = WeightedColumn(data, sw, term, col == 1);
            const double norm = std::sqrt(Dot(v, v));
            basis.Add(std::move(v), norm);
        }
    e.assign(data.t.size(), 0.0);
    for (std::size_t k = 0; k < e.size(); ++k)
        e[k] = sw[k] * data.y[k];
    for (const auto& q : basis.Columns())
        Axpy(-Dot(q, e), q, e);
}

} // namespace

void GrowSeries(const TFitData& data, const TFitBudget& budget, const TGrowOptions& options, TFitSeries& series,
                std::ostream& log)
{
    const std::vector<double> sw = SqrtWeights(data);
    TBasis basis;
    std::vector<double> e;
    Rebuild(data, sw, series, basis, e);
    const double total = TotalWeight(data);

    while (true) {
        const int timeTerms = CountTimeTerms(series);
        const int plainTerms = static_cast<int>(series.size()) - timeTerms;
        const bool wantPlain = plainTerms < budget.plainTerms;
        const bool wantTime = timeTerms < budget.timeTerms;
        if (!wantPlain && !wantTime)
            break;

        std::vector<TCandidate> candidates;
        for (bool timeTerm : {false, true}) {
            if (timeTerm ? !wantTime : !wantPlain)
                continue;
            double binWidth = 0;
            for (double rate : SpectrumPeaks(data, e, timeTerm, binWidth)) {
                TCandidate c;
                c.term.rate = RefineRate(data, sw, e, rate, binWidth, timeTerm);
                c.term.timeTerm = timeTerm;
                candidates.push_back(c);
            }
            for (double rate : options.hintRates)
                candidates.push_back({{rate, timeTerm, 0, 0}, 0});
        }
        if (wantTime) {
            // The amplitude of a term already there may drift with time.
            for (const auto& term : series)
                if (!term.timeTerm && !HasTerm(series, term.rate, true))
                    candidates.push_back({{term.rate, true, 0, 0}, 0});
            if (!HasTerm(series, 0.0, true))
                candidates.push_back({{0.0, true, 0, 0}, 0});
        }
        if (candidates.empty())
            break;
        for (auto& c : candidates)
            c.gain = HasTerm(series, c.term.rate, c.term.timeTerm)
                         ? 0
                         : ProjectionPower(data, sw, e, c.term.rate, c.term.timeTerm);
        std::sort(candidates.begin(), candidates.end(),
                  [](const TCandidate& x, const TCandidate& y) { return x.gain > y.gain; });
        if (candidates.size() > static_cast<std::size_t>(kExactCandidates))
            candidates.resize(kExactCandidates);
        for (auto& c : candidates)
            c.gain = c.gain > 0 ? ExactGain(data, sw, basis, e, c.term) : 0;
        const auto best = std::max_element(candidates.begin(), candidates.end(),
                                           [](const TCandidate& x, const TCandidate& y) { return x.gain < y.gain; });
        if (best->gain <= 0)
            break;
        series.push_back(best->term);
        if (static_cast<int>(series.size()) <= options.interleaveLimit) {
            SolveAmplitudes(data, series);
            RefineSeries(data, series, 3, Silent());
            Rebuild(data, sw, series, basis, e);
        } else {
            for (int col = 0; col < ColumnCount(best->term); ++col) {
                std::vector<double> v = WeightedColumn(data, sw, best->term, col == 1);
                const double norm = std::sqrt(Dot(v, v));
                if (basis.Add(std::move(v), norm))
                    Axpy(-Dot(basis.Columns().back(), e), basis.Columns().back(), e);
            }
        }
        log << "    + " << (best->term.timeTerm ? "T* " : "   ") << best->term.rate * 180 / M_PI
            << " deg/cy  rms " << std::sqrt(Dot(e, e) / total) << std::endl;
    }
    SolveAmplitudes(data, series);
}

void ExchangeTerms(const TFitData& data, const TFitBudget& budget, const TGrowOptions& options,
                   TFitSeries& series, int rounds, std::ostream& log)
{
    double ssr = WeightedSquares(data, series);
    for (int round = 0; round < rounds; ++round) {
        // Periodic terms by what they contribute, weakest first.
        std::vector<std::pair<double, std::size_t>> strength;
        for (std::size_t j = 0; j < series.size(); ++j) {
            if (series[j].rate == 0.0)
                continue;
            double s = 0;
            for (std::size_t k = 0; k < data.t.size(); ++k) {
                double c, sn;
                TermColumns(series[j], data.t[k], c, sn);
                const double v = series[j].a * c + series[j].b * sn;
                s += data.w[k] * v * v;
            }
            strength.emplace_back(s, j);
        }
        std::sort(strength.begin(), strength.end());
        bool replaced = false;
        for (std::size_t attempt = 0; attempt < std::min<std::size_t>(3, strength.size()) && !replaced; ++attempt) {
            TFitSeries trial = series;
            trial.erase(trial.begin() + static_cast<std::ptrdiff_t>(strength[attempt].second));
            SolveAmplitudes(data, trial);
            GrowSeries(data, budget, options, trial, Silent());
            RefineSeries(data, trial, 10, Silent());
            const double trialSsr = WeightedSquares(data, trial);
            if (trialSsr < ssr * (1 - 1e-3)) {
                log << "    exchange: " << series[strength[attempt].second].rate * 180 / M_PI << " deg/cy out, rms "
                    << std::sqrt(ssr / TotalWeight(data)) << " -> " << std::sqrt(trialSsr / TotalWeight(data))
                    << std::endl;
                series = std::move(trial);
                ssr = trialSsr;
                replaced = true;
            }
        }
        if (!replaced)
            break;
    }
}

double RefineSeries(const TFitData& data, TFitSeries& series, int iterations, std::ostream& log)
{
    const std::vector<double> sw = SqrtWeights(data);
    const std::size_t m = data.t.size();
    // Parameters: a, b and rate of every periodic term; a of every rate-0 term.
    int n = 0;
    for (const auto& term : series)
        n += term.rate == 0.0 ? 1 : 3;
    double ssr = WeightedSquares(data, series);
    double lambda = 1e-3;
    const double total = TotalWeight(data);
    constexpr std::size_t kBlock = 2048;
    for (int it = 0; it < iterations; ++it) {
        std::vector<double> jtj(static_cast<std::size_t>(n) * n, 0.0), jtr(n, 0.0);
        std::vector<double> block(kBlock * n);
        for (std::size_t k0 = 0; k0 < m; k0 += kBlock) {
            const std::size_t rows = std::min(kBlock, m - k0);
            for (std::size_t i = 0; i < rows; ++i) {
                const std::size_t k = k0 + i;
                const double t = data.t[k];
                const double r = sw[k] * (data.y[k] - SeriesValue(series, t));
                int p = 0;
                for (const auto& term : series) {
                    double c, s;
                    TermColumns(term, t, c, s);
                    block[static_cast<std::size_t>(p++) * rows + i] = sw[k] * c;
                    if (term.rate != 0.0) {
                        block[static_cast<std::size_t>(p++) * rows + i] = sw[k] * s;
                        block[static_cast<std::size_t>(p++) * rows + i] = sw[k] * t * (-term.a * s + term.b * c);
                    }
                }
                for (int q = 0; q < n; ++q)
                    jtr[q] += block[static_cast<std::size_t>(q) * rows + i] * r;
            }
            AddGram(static_cast<int>(rows), n, block, jtj);
        }
        bool improved = false;
        for (int attempt = 0; attempt < 12 && !improved; ++attempt) {
            std::vector<double> a = jtj, step = jtr;
            for (int q = 0; q < n; ++q)
                a[static_cast<std::size_t>(q) * n + q] *= 1.0 + lambda;
            if (!SolvePositive(n, a, step)) {
                lambda *= 10;
                continue;
            }
            TFitSeries trial = series;
            int p = 0;
            for (auto& term : trial) {
                term.a += step[p++];
                if (term.rate != 0.0) {
                    term.b += step[p++];
                    term.rate += step[p++];
                }
            }
            const double trialSsr = WeightedSquares(data, trial);
            if (trialSsr < ssr) {
                const double gain = (ssr - trialSsr) / ssr;
                series = std::move(trial);
                ssr = trialSsr;
                lambda = std::max(lambda / 5, 1e-12);
                improved = true;
                if (gain < 1e-7)
                    iterations = it + 1;  // converged
            } else {
                lambda *= 8;
            }
        }
        log << "    refine " << it + 1 << ": rms " << std::sqrt(ssr / total) << "  lambda " << lambda << '\n';
        if (!improved)
            break;
    }
    return std::sqrt(ssr / total);
}

void FlattenErrors(TFitData& data, const std::vector<double>& weights, TFitSeries& series, int rounds,
                   std::ostream& log)
{
    const auto largestWeighted = [&](const TFitSeries& s) {
        double largest = 0;
        for (std::size_t k = 0; k < data.t.size(); ++k)
            largest = std::max(largest, std::sqrt(weights[k]) * std::abs(data.y[k] - SeriesValue(s, data.t[k])));
        return largest;
    };
    TFitSeries best = series;
    double bestLargest = largestWeighted(series);
    std::vector<double> multiplier(weights.size(), 1.0);
    for (int round = 0; round < rounds; ++round) {
        double sum = 0;
        for (std::size_t k = 0; k < data.t.size(); ++k) {
            const double u = std::sqrt(weights[k]) * std::abs(data.y[k] - SeriesValue(series, data.t[k]));
            multiplier[k] *= u;
            sum += multiplier[k];
        }
        const double mean = sum / static_cast<double>(multiplier.size());
        for (std::size_t k = 0; k < multiplier.size(); ++k) {
            multiplier[k] = std::clamp(multiplier[k] / mean, 1e-3, 1e3);
            data.w[k] = weights[k] * multiplier[k];
        }
        SolveAmplitudes(data, series);
        RefineSeries(data, series, 4, Silent());
        const double largest = largestWeighted(series);
        log << "    flatten " << round + 1 << ": largest weighted error " << largest << std::endl;
        if (largest < bestLargest) {
            bestLargest = largest;
            best = series;
        }
    }
    series = std::move(best);
    data.w = weights;
}

} // namespace fitkoyomi
