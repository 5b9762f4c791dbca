// fitkoyomi: fits the program's coefficient table (resources/kosmera/koyomi.txt)
// to the Swiss Ephemeris. Run by hand; see README.md in this folder.
//
//   fitkoyomi check-sample <positions-sample.tsv>
//   fitkoyomi fit --out <koyomi.txt> [--start <koyomi.txt>] [--only q,q,...]
//                 [--refine-only] [--from Y] [--to Y] [--main-from Y] [--main-to Y]
//                 [--outside-weight W] [--iterations N] [--flatten N] [--step DAYS]
//                 [--exchange N]
//   fitkoyomi report <koyomi.txt> [--from Y] [--to Y]
//   fitkoyomi reference-table <out.tsv>

#include "tools/fitkoyomi/accuracy.h"
#include "tools/fitkoyomi/problems.h"
#include "tools/fitkoyomi/reference.h"
#include "tools/fitkoyomi/seriesfit.h"

#include "base/error.h"
#include "koyomi/coeffile.h"
#include "koyomi/tables.h"

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <map>
#include <set>
#include <sstream>
#include <string>

namespace {

using namespace fitkoyomi;
using namespace koyomi;

struct TOptions {
    std::string out;
    std::string start;
    std::set<std::string> only;
    bool refineOnly = false;
    int from = 1800, to = 2200, mainFrom = 1900, mainTo = 2100;
    bool yearsGiven = false;  // --from or --to on the command line
    double outsideWeight = 0.1;
    int iterations = 30;
    int flatten = 0;
    int stepDays = 0;  // 0: DefaultStepDays
    int exchange = 0;
};

int Usage()
{
    std::cerr << "usage:\n"
                 "  fitkoyomi check-sample <positions-sample.tsv>\n"
                 "  fitkoyomi fit --out <koyomi.txt> [--start <koyomi.txt>] [--only q,q,...] [--refine-only]\n"
                 "                [--from Y] [--to Y] [--main-from Y] [--main-to Y] [--outside-weight W]\n"
                 "                [--iterations N] [--flatten N] [--step DAYS]\n"
                 "                [--exchange N]\n"
                 "  fitkoyomi report <koyomi.txt> [--from Y] [--to Y]\n"
                 "  fitkoyomi reference-table <out.tsv>\n";
    return 2;
}

TOptions ParseOptions(int argc, char** argv, int first)
{
    TOptions o;
    for (int i = first; i < argc; ++i) {
        const std::string a = argv[i];
        const auto next = [&]() -> std::string {
            if (i + 1 >= argc)
                throw std::runtime_error("missing value after " + a);
            return argv[++i];
        };
        if (a == "--out") o.out = next();
        else if (a == "--start") o.start = next();
        else if (a == "--only") {
            std::istringstream list(next());
            for (std::string q; std::getline(list, q, ',');)
                o.only.insert(q);
        } else if (a == "--refine-only") o.refineOnly = true;
        else if (a == "--from") { o.from = std::stoi(next()); o.yearsGiven = true; }
        else if (a == "--to") { o.to = std::stoi(next()); o.yearsGiven = true; }
        else if (a == "--main-from") o.mainFrom = std::stoi(next());
        else if (a == "--main-to") o.mainTo = std::stoi(next());
        else if (a == "--outside-weight") o.outsideWeight = std::stod(next());
        else if (a == "--iterations") o.iterations = std::stoi(next());
        else if (a == "--flatten") o.flatten = std::stoi(next());
        else if (a == "--step") o.stepDays = std::stoi(next());
        else if (a == "--exchange") o.exchange = std::stoi(next());
        else throw std::runtime_error("unknown option " + a);
    }
    return o;
}

// Writes the table next to the target and renames it into place.
void WriteTableAtomically(const std::string& path, const CoefficientTable& table, const std::string& header)
{
    const std::string temp = path + ".tmp";
    {
        std::ofstream out(temp);
        WriteCoefficientText(out, table, header);
        if (!out)
            throw std::runtime_error("cannot write " + temp);
    }
    std::filesystem::rename(temp, path);
}

CoefficientTable EmptyTable()
{
    CoefficientTable table;
    for (int n = 0; n < kTermCount; ++n)
        table.quantity[n] = "unused";
    for (const auto& q : Quantities)
        for (int n = q.first; n <= q.last; ++n)
            table.quantity[n - 1] = q.name;
    return table;
}

void LoadTable(const CoefficientTable& table)
{
    SetCoefficients(table.amplitude, table.rate, table.phase);
}

int Fit(const TOptions& o)
{
    if (o.out.empty())
        throw std::runtime_error("--out is required");
    CoefficientTable table = o.start.empty() ? EmptyTable() : ReadCoefficientFile(o.start);
    if (o.refineOnly && o.start.empty())
        throw std::runtime_error("--refine-only needs --start");

    std::array<bool, kBodyCount> bodies{};
    std::vector<TQuantityId> selected;
    for (int q = 0; q < qtCount; ++q) {
        if (!o.only.empty() && !o.only.count(Quantities[q].name))
            continue;
        selected.push_back(static_cast<TQuantityId>(q));
        bodies[q < qtMoonLongitude ? bdSun : q < qtMercuryLongitude ? bdMoon : bdMercury + (q - qtMercuryLongitude) / 3] = true;
    }
    if (selected.empty())
        throw std::runtime_error("no quantity selected");

    const auto started = std::chrono::steady_clock::now();
    std::cout << "reference " << o.from << "-" << o.to << " ..." << std::endl;
    const TReferenceSet reference = MakeReferenceSet(o.from, o.to, o.mainFrom, o.mainTo, o.outsideWeight, bodies);
    const std::string header = CoefficientFileHeader(o.from, o.to, o.mainFrom, o.mainTo, o.outsideWeight);

    for (TQuantityId q : selected) {
        const TQuantity& quantity = Quantities[q];
        std::cout << quantity.name << " (" << quantity.last - quantity.first + 1 << " terms)" << std::endl;
        TFitData data = MakeProblem(reference, q, o.stepDays > 0 ? o.stepDays : DefaultStepDays(q));
        const std::vector<double> weights = data.w;
        TFitSeries series;
        if (o.refineOnly) {
            series = SeriesFromTable(quantity, table);
            SolveAmplitudes(data, series);
        } else {
            series = StartingSeries(quantity);
            GrowSeries(data, BudgetOf(quantity), GrowOptionsOf(q), series, std::cout);
        }
        RefineSeries(data, series, o.iterations, std::cout);
        // Exchanges cost a full refinement each: only for the smaller series.
        constexpr int kExchangeLimit = 30;
        if (o.exchange > 0 && quantity.last - quantity.first + 1 <= kExchangeLimit)
            ExchangeTerms(data, BudgetOf(quantity), GrowOptionsOf(q), series, o.exchange, std::cout);
        if (o.flatten > 0)
            FlattenErrors(data, weights, series, o.flatten, std::cout);
        const TFitStats stats = FitStats(data, series);
        // Angles and planet series (weighted into geocentric degrees) in
        // arcseconds; the Sun's distance in AU and the Moon's parallax in degrees.
        const bool raw = q == qtSunDistance || q == qtMoonParallax;
        const double scale = raw ? 1.0 : 3600.0;
        std::cout << "  " << quantity.name << ": main years, weighted error: rms " << stats.rms * scale
                  << ", largest " << stats.largest * scale << (raw ? "" : " arcsec") << std::endl;
        PlaceSeries(quantity, series, table);
        WriteTableAtomically(o.out, table, header);
    }

    LoadTable(table);
    std::vector<TDay> mainDays;
    std::array<std::vector<TSpherical>, kBodyCount> mainReference;
    for (std::size_t k = 0; k < reference.days.size(); ++k)
        if (reference.rangeWeight[k] >= 1.0) {
            mainDays.push_back(reference.days[k]);
            for (int b = 0; b < kBodyCount; ++b)
                if (!reference.positions[b].empty() && (b == bdSun || bodies[b]))
                    mainReference[b].push_back(reference.positions[b][k]);
        }
    std::cout << "\nerrors of BodyPosition " << o.mainFrom << "-" << o.mainTo << ":\n";
    PrintErrors(std::cout, MeasureErrors(mainDays, mainReference));
    const double seconds =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - started).count();
    std::cout << "done in " << seconds << " s; wrote " << o.out << std::endl;
    return 0;
}

int Report(const std::string& path, const TOptions& o)
{
    LoadTable(ReadCoefficientFile(path));
    // Without --from/--to: the main years.
    const int from = o.yearsGiven ? o.from : o.mainFrom;
    const int to = o.yearsGiven ? o.to : o.mainTo;
    std::cout << "errors of BodyPosition " << from << "-" << to << ":\n";
    PrintErrors(std::cout, MeasureErrors(DaysOfYears(from, to)));
    return 0;
}

// The fixed dates of the regression table: 1900-01-01, then every 1237 days
// (about 3.4 years, so the dates walk through the seasons), and 2100-12-31.
constexpr int kRegressionStepDays = 1237;

int ReferenceTable(const std::string& path)
{
    const std::vector<TDay> all = DaysOfYears(1900, 2100);
    std::vector<TDay> days;
    for (std::size_t k = 0; k < all.size(); k += kRegressionStepDays)
        days.push_back(all[k]);
    days.push_back(all.back());
    const std::string temp = path + ".tmp";
    {
        std::ofstream out(temp);
        out << "# Apparent geocentric ecliptic positions (true equinox of date; light-time, aberration,\n"
               "# nutation) at 12:00:00 Japan time = 03:00:00 UT, from the Swiss Ephemeris 2.10 in its\n"
               "# built-in Moshier mode (swe_calc_ut, SEFLG_MOSEPH, its own delta T). Written by\n"
               "# `fitkoyomi reference-table` (tools/fitkoyomi); do not edit by hand.\n"
               "# year\tmonth\tday\tbody\tlongitude_deg\tlatitude_deg\tdistance_au\n";
        char line[200];
        for (const TDay& d : days)
            for (int body = 0; body < kBodyCount; ++body) {
                const TSpherical p = ReferencePosition(body, d);
                std::snprintf(line, sizeof line, "%d\t%d\t%d\t%d\t%.9f\t%.9f\t%.12f\n", d.year, d.month, d.day, body,
                              p.longitude, p.latitude, p.distance);
                out << line;
            }
        if (!out)
            throw std::runtime_error("cannot write " + temp);
    }
    std::filesystem::rename(temp, path);
    std::cout << days.size() << " dates written to " << path << '\n';
    return 0;
}

} // namespace

int main(int argc, char** argv)
{
    try {
        if (argc < 2)
            return Usage();
        const std::string command = argv[1];
        if (command == "check-sample" && argc == 3) {
            const TSampleCheck c = CheckSampleFile(argv[2]);
            std::printf("%d positions; largest difference: longitude %.6f\", latitude %.6f\", distance %.3g AU\n",
                        c.lines, c.longitudeArcsec, c.latitudeArcsec, c.distanceAU);
            const bool ok = c.lines > 0 && c.longitudeArcsec < 0.1 && c.latitudeArcsec < 0.1 && c.distanceAU < 1e-9;
            std::puts(ok ? "reference set-up agrees" : "REFERENCE SET-UP DIFFERS");
            return ok ? 0 : 1;
        }
        if (command == "fit")
            return Fit(ParseOptions(argc, argv, 2));
        if (command == "reference-table" && argc == 3)
            return ReferenceTable(argv[2]);
        if (command == "report" && argc >= 3)
            return Report(argv[2], ParseOptions(argc, argv, 3));
        return Usage();
    } catch (const std::exception& e) {
        std::cerr << "fitkoyomi: " << e.what() << '\n';
        return 1;
    }
}
