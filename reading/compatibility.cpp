#include "reading/compatibility.h"

#include "base/stringtable.h"
#include "koyomi/aspects.h"
#include "koyomi/calendar.h"
#include "koyomi/datafile.h"
#include "koyomi/daypositions.h"

#include <cmath>
#include <cstdlib>

namespace mirvo {

namespace {

constexpr double kHalfPercent = 50.0;
constexpr int kExcellentBio = 75;
constexpr int kGoodBio = 50;
constexpr int kEffortBio = 25;
constexpr std::int32_t kExcellentStars = 100;
constexpr std::int32_t kEffortStars = -100;
constexpr int kLuminaries = 2;  // bodies 0 and 1, the Sun and the Moon, take the wider orbs

// The ten bodies at 12:00 Japan time of a birth date, as directions ready
// for the angles between them.
struct BirthChart {
    std::array<koyomi::TSkyPoint, kBodyCount> point{};
};

BirthChart ChartOf(koyomi::TDateTime birthday)
{
    const koyomi::DateParts date = koyomi::DecodeDate(birthday);
    std::array<koyomi::TBodyPosition, kBodyCount> positions;
    koyomi::BodyPositions(positions, date.year, date.month, date.day, 0, 0, kNoonHour);
    BirthChart chart;
    for (int b = 0; b < kBodyCount; ++b)
        chart.point[b] = koyomi::SkyPoint(positions[b].latitude, positions[b].longitude);
    return chart;
}

struct Candidate {
    PairAspect aspect;
    float weighted = 0;    // unrounded weighted points
    float deviation = 0;   // degrees from the exact aspect
};

// Whether `c` is a stronger aspect than `best`: the larger weight, then a
// good one before a bad one, then the closer to exact. Equal ones keep the
// first found.
bool Stronger(const Candidate& c, const Candidate& best)
{
    if (best.aspect.body == kNoBody)
        return true;
    const float a = std::fabs(c.weighted), b = std::fabs(best.weighted);
    if (a != b)
        return a > b;
    if ((c.weighted > 0) != (best.weighted > 0))
        return c.weighted > 0;
    return c.deviation < best.deviation;
}

// One side's natal body `axis` against the other's ten bodies: the rounded
// scores into `table`, the total of the used bodies returned, the strongest
// used aspect kept in `best`.
float CompareSide(const BirthChart& own, const BirthChart& other, int axis, bool secondToFirst,
                  const EvalSettings& settings, BodyTable& table, Candidate& best)
{
    float total = 0.0f;
    for (int b = 0; b < kBodyCount; ++b) {
        const float angle = koyomi::AngularSeparation(other.point[b], own.point[axis]);
        const int score = koyomi::AspectScore(static_cast<std::int8_t>(axis), static_cast<std::int8_t>(b), angle);
        const float weighted = static_cast<float>(score) * settings.planetWeight[b];
        table[b] = koyomi::RoundToInt(weighted);
        if (!settings.planetUse[b])
            continue;
        total += weighted;
        const int entry = AspectEntry(axis, b, angle);
        if (entry < 0 || weighted == 0.0f)
            continue;
        Candidate c;
        c.aspect = {secondToFirst, axis, b, entry, angle, table[b]};
        c.weighted = weighted;
        c.deviation = std::fabs(angle - static_cast<float>(koyomi::AspectAngle[entry]));
        if (Stronger(c, best))
            best = c;
    }
    return total;
}

// The axis the pair's sentence speaks of: for a good pair the axis that
// carries it (best level, then the higher percent), for a poor one the axis to
// mind (worst level, then the lower percent); equal ones keep the lower axis.
int SentenceAxis(const TPairCompatibility& pair)
{
    const bool good = pair.level <= plFair;
    int chosen = 0;
    for (int k = 1; k < kAxisCount; ++k) {
        const PairAxis& c = pair.axes[k];
        const PairAxis& b = pair.axes[chosen];
        const bool better = good ? (c.level < b.level || (c.level == b.level && c.bioCompatibility > b.bioCompatibility))
                                 : (c.level > b.level || (c.level == b.level && c.bioCompatibility < b.bioCompatibility));
        if (better)
            chosen = k;
    }
    return chosen;
}

} // namespace

int BioCompatibility(float cycle, double daysApart)
{
    const double f = CyclePhase(cycle, std::fabs(daysApart));
    return koyomi::RoundToInt(kHalfPercent * (1.0 + std::cos(2.0 * kPi * f)));
}

TPairLevel PairLevel(int bio, std::int32_t stars)
{
    if (bio >= kExcellentBio && stars > kExcellentStars)
        return plExcellent;
    if (bio >= kGoodBio && stars > 0)
        return plGood;
    if (bio >= kGoodBio || stars > 0)
        return plFair;
    if (bio >= kEffortBio || stars > kEffortStars)
        return plEffort;
    return plOpposite;
}

int AspectEntry(int axis, int body, float angle)
{
    const std::int32_t degrees = koyomi::RoundToInt(angle);
    const auto& orb = std::min(axis, body) < kLuminaries ? koyomi::OrbLuminary : koyomi::OrbPlanet;
    for (int i = 0; i < koyomi::kAspectCount; ++i)
        if (std::abs(static_cast<std::int64_t>(degrees) - koyomi::AspectAngle[i]) <= orb[i])
            return i;
    return -1;
}

std::string FillNumbered(const std::string& pattern, const std::vector<std::string>& arguments)
{
    // One pass over the pattern: an argument's own "%1" stays as it is.
    std::string out;
    for (std::size_t i = 0; i < pattern.size(); ++i) {
        if (pattern[i] == '%' && i + 1 < pattern.size() && pattern[i + 1] >= '1' && pattern[i + 1] <= '9') {
            const auto n = static_cast<std::size_t>(pattern[i + 1] - '1');
            if (n < arguments.size()) {
                out += arguments[n];
                ++i;
                continue;
            }
        }
        out += pattern[i];
    }
    return out;
}

std::string PairAspectText(const PairAspect& aspect, const std::string& firstName, const std::string& secondName)
{
    if (aspect.body == kNoBody || aspect.aspect < 0)
        return LoadStr(kTextPairNoAspect);
    const std::string& own = aspect.secondToFirst ? secondName : firstName;
    const std::string& other = aspect.secondToFirst ? firstName : secondName;
    return FillNumbered(LoadStr(kTextPairStrongest),
                        {own, koyomi::LoadBodyName(aspect.axis), other,
                         koyomi::LoadBodyName(aspect.body),
                         LoadStr(kAspectNameBase + aspect.aspect),
                         std::to_string(koyomi::RoundToInt(aspect.angle)), std::to_string(aspect.points)});
}

TPairCompatibility PairCompatibility(koyomi::TDateTime first, koyomi::TDateTime second, const EvalSettings& settings)
{
    TPairCompatibility pair;
    pair.daysApart = std::fabs(DaysSinceBirth(first, second));
    const BirthChart one = ChartOf(first);
    const BirthChart two = ChartOf(second);
    // Wide enough for three totals of any size a float score rounds to.
    std::int64_t bioSum = 0;
    std::int64_t starSum = 0;
    for (int k = 0; k < kAxisCount; ++k) {
        PairAxis& axis = pair.axes[k];
        axis.bioCompatibility = BioCompatibility(settings.bioCycle[k], pair.daysApart);
        Candidate best;
        const float forth = CompareSide(one, two, k, false, settings, axis.firstToSecond, best);
        const float back = CompareSide(two, one, k, true, settings, axis.secondToFirst, best);
        // forth + back is the same sum either way round: the score is symmetric.
        axis.starScore = koyomi::RoundToInt((static_cast<double>(forth) + static_cast<double>(back)) / 2.0);
        axis.strongest = best.aspect;
        axis.level = PairLevel(axis.bioCompatibility, axis.starScore);
        bioSum += axis.bioCompatibility;
        starSum += axis.starScore;
    }
    pair.bioCompatibility = koyomi::RoundToInt(static_cast<double>(bioSum) / kAxisCount);
    pair.starScore = koyomi::RoundToInt(static_cast<double>(starSum) / kAxisCount);
    pair.level = PairLevel(pair.bioCompatibility, pair.starScore);
    pair.sentenceAxis = SentenceAxis(pair);
    pair.sentenceId = kPairSentenceBase + kAxisCount * pair.level + pair.sentenceAxis;
    return pair;
}

} // namespace mirvo
