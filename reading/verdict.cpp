#include "reading/verdict.h"

#include "koyomi/aspects.h"
#include "koyomi/calendar.h"
#include "koyomi/daypositions.h"
#include "koyomi/positions.h"

#include <cstdlib>

namespace mirvo {

namespace {

constexpr int kStarThreshold = 100;     // a total above it is good, below it poor
constexpr int kBioStrongPercent = 20;   // "very good" needs more than this
constexpr int kFacePeak = 90;           // phases of the cycle's peak and trough
constexpr int kFaceTrough = 270;
constexpr int kCriticalWindow = 20;     // degrees around peak and trough marked critical
constexpr int kStrongPercent = 50;
constexpr int kFlatPercent = 10;
constexpr std::int32_t kPickerStart = 9999;

using Position = koyomi::TBodyPosition;

// Noon positions of bodies 0 .. N-1 on one day, the Sun's sums once.
template <std::size_t N>
std::array<Position, N> NoonPositions(const koyomi::DateParts& date)
{
    std::array<Position, N> positions;
    koyomi::BodyPositions(positions, date.year, date.month, date.day, 0, 0, kNoonHour);
    return positions;
}

} // namespace

NatalPositions BirthPositions(koyomi::TDateTime birthday)
{
    const koyomi::DateParts birth = koyomi::DecodeDate(birthday);
    NatalPositions natal;
    const auto positions = NoonPositions<kAxisCount>(birth);
    for (int a = 0; a < kAxisCount; ++a) {
        const Position& p = positions[a];
        natal.latitude[a] = p.latitude;
        natal.longitude[a] = p.longitude;
    }
    return natal;
}

void CalcStarScores(koyomi::TDateTime birthday, koyomi::TDateTime day, const EvalSettings& settings,
                    TDayReading& reading)
{
    CalcStarScores(BirthPositions(birthday), day, settings, reading);
}

void CalcStarScores(const NatalPositions& natal, koyomi::TDateTime day, const EvalSettings& settings,
                    TDayReading& reading)
{
    const koyomi::DateParts today = koyomi::DecodeDate(day);
    // The day's positions are the same for every axis: compute them once.
    const auto dayPositions = NoonPositions<kBodyCount>(today);
    // Each direction's colatitude is turned into its cosine and sine once,
    // not once for every angle it takes part in.
    std::array<koyomi::TSkyPoint, kBodyCount> dayPoints;
    for (int b = 0; b < kBodyCount; ++b)
        dayPoints[b] = koyomi::SkyPoint(dayPositions[b].latitude, dayPositions[b].longitude);

    for (int a = 0; a < kAxisCount; ++a) {
        const koyomi::TSkyPoint natalPoint = koyomi::SkyPoint(natal.latitude[a], natal.longitude[a]);
        float total = 0.0f;
        for (int b = 0; b < kBodyCount; ++b) {
            const float angle = koyomi::AngularSeparation(dayPoints[b], natalPoint);
            const int score = koyomi::AspectScore(static_cast<std::int8_t>(a), static_cast<std::int8_t>(b), angle);
            const float weighted = static_cast<float>(score) * settings.planetWeight[b];
            reading.StarScore[a][b] = koyomi::RoundToInt(weighted);
            if (settings.planetUse[b])
                total += weighted;
        }
        reading.StarTotal[a] = koyomi::RoundToInt(total);
    }
}

int StrongestPlanet(int axis, const TDayReading& reading, const std::array<bool, kBodyCount>& use)
{
    std::int32_t best = -kPickerStart;
    int result = kNoBody;
    for (int b = 0; b < kBodyCount; ++b) {
        if (use[b] && reading.StarScore[axis][b] > best) {
            best = reading.StarScore[axis][b];
            result = b;
        }
    }
    return result;
}

int WeakestPlanet(int axis, const TDayReading& reading, const std::array<bool, kBodyCount>& use)
{
    std::int32_t best = kPickerStart;
    int result = kNoBody;
    for (int b = 0; b < kBodyCount; ++b) {
        if (use[b] && reading.StarScore[axis][b] < best) {
            best = reading.StarScore[axis][b];
            result = b;
        }
    }
    return result;
}

TFace FaceOfPhase(std::int32_t p)
{
    if (std::abs(p - kFacePeak) < kCriticalWindow || std::abs(p - kFaceTrough) < kCriticalWindow)
        return TFace::Critical;
    return (p < kFacePeak || p >= kFaceTrough) ? TFace::Good : TFace::Poor;
}

std::uint32_t FaceColour(std::int32_t v)
{
    if (std::abs(v) < kFlatPercent)
        return kColourYellow;
    if (v > kStrongPercent)
        return kColourAqua;
    if (v < -kStrongPercent)
        return kColourRed;
    return kColourWhite;
}

TDayVerdict MakeVerdict(const TDayReading& reading, const std::array<bool, kBodyCount>& use)
{
    TDayVerdict verdict;
    for (int k = 0; k < kAxisCount; ++k) {
        verdict.axes[k].face = FaceOfPhase(reading.BioPhase[k]);
        verdict.axes[k].colour = FaceColour(reading.BioPercent[k]);
    }
    // Intellect first, health last: the advice of the last axis that chose one stays.
    for (int k = kAxisCount - 1; k >= 0; --k) {
        const std::int32_t v = reading.BioPercent[k];
        const std::int32_t s = reading.StarTotal[k];
        AxisVerdict& axis = verdict.axes[k];
        int adviceBase = 0;
        if (v > kBioStrongPercent && s > kStarThreshold) {
            axis.rating = TRatingLevel::VeryGood;
            axis.pickedBody = StrongestPlanet(k, reading, use);
            adviceBase = kAdviceVeryGoodBase;
        } else if (v > 0 && s < kStarThreshold) {
            axis.rating = TRatingLevel::Good;
            axis.pickedBody = WeakestPlanet(k, reading, use);
            adviceBase = kAdviceGoodBase;
        } else if (v < 0 && s > kStarThreshold) {
            axis.rating = TRatingLevel::Almost;
            axis.pickedBody = StrongestPlanet(k, reading, use);
            adviceBase = kAdviceAlmostBase;
        } else if (v < 0 && s < kStarThreshold) {
            axis.rating = TRatingLevel::HangIn;
            axis.pickedBody = WeakestPlanet(k, reading, use);
            adviceBase = kAdviceHangInBase;
        } else {
            axis.rating = TRatingLevel::Average;
            axis.pickedBody = kNoBody;
        }
        if (axis.pickedBody != kNoBody)
            verdict.adviceId = adviceBase + axis.pickedBody;
    }
    return verdict;
}

Evaluation Evaluate(koyomi::TDateTime birthday, koyomi::TDateTime day, const EvalSettings& settings)
{
    return Evaluate(BirthPositions(birthday), birthday, day, settings);
}

Evaluation Evaluate(const NatalPositions& natal, koyomi::TDateTime birthday, koyomi::TDateTime day,
                    const EvalSettings& settings)
{
    Evaluation e;
    e.daysSinceBirth = DaysSinceBirth(birthday, day);
    const BioReading bio = CalcBiorhythm(settings.bioCycle, e.daysSinceBirth);
    e.reading.BioPercent = bio.percent;
    e.reading.BioPhase = bio.phase;
    CalcStarScores(natal, day, settings, e.reading);
    e.verdict = MakeVerdict(e.reading, settings.planetUse);
    return e;
}

} // namespace mirvo
