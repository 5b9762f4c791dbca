// Two members together: the compatibility against hand-worked figures and
// its symmetry, and the days good for both against a day-by-day scan of the
// two members' own readings, with the data file the build made.
#include "koyomi/aspects.h"
#include "koyomi/calendar.h"
#include "koyomi/datafile.h"
#include "koyomi/positions.h"
#include "members/options.h"
#include "reading/compatibility.h"
#include "reading/pairdays.h"

#include "datafile.h"

#include <gtest/gtest.h>

#include <cmath>

using namespace mirvo;
using koyomi::EncodeDate;

namespace {

class CompatibilityTest : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(FData.Loaded()) << MIRVO_KOSMERA_PATH; }

    // The star score of an axis worked out body by body from the positions:
    // each member's natal body `axis` against the other's ten natal bodies,
    // the used bodies' weighted points summed, the two sums averaged.
    static std::int32_t StarScoreByHand(koyomi::TDateTime a, koyomi::TDateTime b, int axis, const EvalSettings& s)
    {
        double sums[2] = {0, 0};
        const koyomi::TDateTime sides[2][2] = {{a, b}, {b, a}};
        for (int side = 0; side < 2; ++side) {
            const koyomi::DateParts own = koyomi::DecodeDate(sides[side][0]);
            const koyomi::DateParts other = koyomi::DecodeDate(sides[side][1]);
            float d = 0, lat = 0, lon = 0;
            koyomi::BodyPosition(static_cast<std::int8_t>(axis), own.year, own.month, own.day, 0, 0, 12, d, lat, lon);
            float sum = 0;
            for (int body = 0; body < kBodyCount; ++body) {
                float bd = 0, blat = 0, blon = 0;
                koyomi::BodyPosition(static_cast<std::int8_t>(body), other.year, other.month, other.day, 0, 0, 12, bd,
                                     blat, blon);
                const float angle = koyomi::AngularSeparation(blat, blon, lat, lon);
                if (s.planetUse[body])
                    sum += static_cast<float>(koyomi::AspectScore(static_cast<std::int8_t>(axis),
                                                                  static_cast<std::int8_t>(body), angle))
                           * s.planetWeight[body];
            }
            sums[side] = sum;
        }
        return koyomi::RoundToInt((sums[0] + sums[1]) / 2.0);
    }

    testsupport::TLoadedDataFile FData;
};

struct HandPair {
    koyomi::TDateTime first;
    koyomi::TDateTime second;
    double daysApart;
    std::array<int, kAxisCount> bio;  // 50 (1 + cos(2 pi (d mod cycle) / cycle)), rounded by hand
    int overall;
};

// Default cycles 23, 28 and 33 days.
// d = 10:  cos(2pi 10/23) = -0.91721, cos(2pi 10/28) = -0.62349, cos(2pi 10/33) = -0.32706
//          -> 4.14, 18.83, 33.65 -> 4, 19, 34; mean 19
// d = 365: 365 mod 23 = 20, mod 28 = 1, mod 33 = 2: cos = 0.68255, 0.97493, 0.92837
//          -> 84.13, 98.75, 96.42 -> 84, 99, 96; mean 93
// d = 14 (over 29 February): cos(2pi 14/23) = -0.77571, cos(pi) = -1, cos(2pi 14/33) = -0.88884
//          -> 11.21, 0, 5.56 -> 11, 0, 6; mean 5.67 -> 6
const HandPair kHandPairs[] = {
    {EncodeDate(1990, 1, 1), EncodeDate(1990, 1, 11) + 0.99, 10, {4, 19, 34}, 19},
    {EncodeDate(1981, 5, 20), EncodeDate(1980, 5, 20), 365, {84, 99, 96}, 93},
    {EncodeDate(2000, 2, 20) + 0.5, EncodeDate(2000, 3, 5), 14, {11, 0, 6}, 6},
};

TEST_F(CompatibilityTest, MatchesHandWorkedPairsAndIsSymmetric)
{
    EvalSettings settings;
    settings.planetWeight = {2, 1.5f, 1, 1, 1, 1, 1, 0.5f, 0.5f, 0.1f};
    settings.planetUse[3] = false;
    for (const HandPair& hand : kHandPairs) {
        SCOPED_TRACE(koyomi::FormatDateTime("yyyy-mm-dd", hand.first) + " "
                     + koyomi::FormatDateTime("yyyy-mm-dd", hand.second));
        const TPairCompatibility ab = PairCompatibility(hand.first, hand.second, settings);
        const TPairCompatibility ba = PairCompatibility(hand.second, hand.first, settings);
        EXPECT_EQ(ab.daysApart, hand.daysApart);
        EXPECT_EQ(ab.bioCompatibility, hand.overall);
        std::int32_t starSum = 0;
        for (int k = 0; k < kAxisCount; ++k) {
            SCOPED_TRACE(k);
            const PairAxis& x = ab.axes[k];
            const PairAxis& y = ba.axes[k];
            EXPECT_EQ(x.bioCompatibility, hand.bio[k]);
            EXPECT_EQ(x.starScore, StarScoreByHand(hand.first, hand.second, k, settings));
            EXPECT_EQ(x.level, PairLevel(x.bioCompatibility, x.starScore));
            starSum += x.starScore;
            // B with A: the same figures, the two tables swapped, the strongest aspect seen from the other side.
            EXPECT_EQ(y.bioCompatibility, x.bioCompatibility);
            EXPECT_EQ(y.starScore, x.starScore);
            EXPECT_EQ(y.level, x.level);
            EXPECT_EQ(y.firstToSecond, x.secondToFirst);
            EXPECT_EQ(y.secondToFirst, x.firstToSecond);
            // A natal body against the same body of the other (Sun with Sun) is one aspect either way round.
            if (x.strongest.axis != x.strongest.body) {
                EXPECT_EQ(y.strongest.secondToFirst, !x.strongest.secondToFirst);
            }
            EXPECT_EQ(y.strongest.axis, x.strongest.axis);
            EXPECT_EQ(y.strongest.body, x.strongest.body);
            EXPECT_EQ(y.strongest.aspect, x.strongest.aspect);
            EXPECT_EQ(y.strongest.points, x.strongest.points);
            // The strongest aspect is one of the table's entries, used, and none weighs more.
            ASSERT_NE(x.strongest.body, kNoBody);
            EXPECT_EQ(x.strongest.axis, k);
            EXPECT_TRUE(settings.planetUse[x.strongest.body]);
            const BodyTable& side = x.strongest.secondToFirst ? x.secondToFirst : x.firstToSecond;
            EXPECT_EQ(side[x.strongest.body], x.strongest.points);
            for (int b = 0; b < kBodyCount; ++b)
                if (settings.planetUse[b]) {
                    EXPECT_LE(std::abs(x.firstToSecond[b]), std::abs(x.strongest.points));
                    EXPECT_LE(std::abs(x.secondToFirst[b]), std::abs(x.strongest.points));
                }
        }
        EXPECT_EQ(ab.starScore, koyomi::RoundToInt(starSum / 3.0));
        EXPECT_EQ(ba.bioCompatibility, ab.bioCompatibility);
        EXPECT_EQ(ba.starScore, ab.starScore);
        EXPECT_EQ(ba.level, ab.level);
        EXPECT_EQ(ba.sentenceId, ab.sentenceId);
    }
}

TEST_F(CompatibilityTest, HugeWeightsGiveTheMeanOfTheAxesWithoutOverflow)
{
    // Weights far past what the settings take: each axis saturates at the
    // integer range, and the overall score is still the mean of the three.
    EvalSettings settings;
    settings.planetWeight.fill(4294967296.0f);
    settings.planetUse.fill(true);
    for (const HandPair& hand : kHandPairs) {
        const TPairCompatibility pair = PairCompatibility(hand.first, hand.second, settings);
        double sum = 0;
        for (const PairAxis& axis : pair.axes)
            sum += axis.starScore;
        EXPECT_EQ(pair.starScore, koyomi::RoundToInt(sum / kAxisCount));
    }
    // The largest weights the settings take stay far inside the range.
    settings.planetWeight.fill(kMaxPlanetWeight);
    const TPairCompatibility pair = PairCompatibility(kHandPairs[0].first, kHandPairs[0].second, settings);
    for (int k = 0; k < kAxisCount; ++k)
        EXPECT_EQ(pair.axes[k].starScore, StarScoreByHand(kHandPairs[0].first, kHandPairs[0].second, k, settings));
}

TEST_F(CompatibilityTest, SameDayIsFullyInStepAndConjunctEverywhere)
{
    const EvalSettings settings;
    // Born on the same day, at different hours: only the date counts.
    const TPairCompatibility pair =
        PairCompatibility(EncodeDate(1975, 11, 3) + 0.01, EncodeDate(1975, 11, 3) + 0.97, settings);
    EXPECT_EQ(pair.daysApart, 0);
    EXPECT_EQ(pair.bioCompatibility, 100);
    for (int k = 0; k < kAxisCount; ++k) {
        EXPECT_EQ(pair.axes[k].bioCompatibility, 100);
        // Each natal body meets itself: angle 0, the conjunction's 101 points, weighted.
        EXPECT_EQ(pair.axes[k].firstToSecond[k], koyomi::RoundToInt(101 * settings.planetWeight[k]));
        EXPECT_EQ(pair.axes[k].firstToSecond, pair.axes[k].secondToFirst);
    }
    // With every weight 1, the strongest aspect of each axis is that body
    // meeting itself: 101 points, exactly 0 degrees, first seen from the
    // first member. Near a new moon the Moon is conjunct the Sun too, with
    // the same points but a few degrees off: the closer one wins.
    EvalSettings even;
    even.planetWeight.fill(1.0f);
    even.planetUse.fill(true);
    const TPairCompatibility newMoon = PairCompatibility(EncodeDate(2000, 1, 7), EncodeDate(2000, 1, 7), even);
    EXPECT_EQ(newMoon.axes[0].firstToSecond[1], 101);
    for (int k = 0; k < kAxisCount; ++k) {
        SCOPED_TRACE(k);
        const PairAspect& strongest = newMoon.axes[k].strongest;
        EXPECT_EQ(strongest.body, k);
        EXPECT_FALSE(strongest.secondToFirst);
        EXPECT_EQ(strongest.aspect, 0);
        EXPECT_EQ(strongest.points, 101);
    }
}

TEST(PairLevels, BoundariesAndSentence)
{
    EXPECT_EQ(PairLevel(75, 101), plExcellent);
    EXPECT_EQ(PairLevel(75, 100), plGood);
    EXPECT_EQ(PairLevel(74, 101), plGood);
    EXPECT_EQ(PairLevel(50, 1), plGood);
    EXPECT_EQ(PairLevel(50, 0), plFair);
    EXPECT_EQ(PairLevel(49, 1), plFair);
    EXPECT_EQ(PairLevel(25, -500), plEffort);
    EXPECT_EQ(PairLevel(0, -99), plEffort);
    EXPECT_EQ(PairLevel(24, -100), plOpposite);
    // A cycle that is no cycle keeps both curves flat: in step.
    EXPECT_EQ(BioCompatibility(0.0f, 7), 100);
    EXPECT_EQ(BioCompatibility(28.0f, -7), 50);
    EXPECT_EQ(FillNumbered("%2 と %1 (%3)", {"%2", "b"}), "b と %2 (%3)");
}

TEST_F(CompatibilityTest, DaysGoodForBothEqualADayByDayScan)
{
    // Born three days apart, cycles close enough to share good days; only
    // Pluto counts, lightly, so that the star totals stay below 100 and the
    // biorhythm decides.
    EvalSettings settings;
    settings.planetUse = {false, false, false, false, false, false, false, false, false, true};
    const koyomi::TDateTime a = EncodeDate(1970, 1, 2);
    const koyomi::TDateTime b = EncodeDate(1970, 1, 5);
    const koyomi::TDateTime shown = EncodeDate(2026, 3, 1) + 0.6;
    const TMemberDays first(a, settings), second(b, settings);

    std::vector<koyomi::TDateTime> scan;
    for (int i = 1; i <= kGoodDaySearchDays; ++i) {
        const koyomi::TDateTime day = EncodeDate(2026, 3, 1) + i;
        if (IsGoodDay(Evaluate(a, day, settings).verdict) && IsGoodDay(Evaluate(b, day, settings).verdict))
            scan.push_back(day);
    }
    ASSERT_GE(scan.size(), 2u) << "the pair needs days good for both to test with";

    const std::vector<PairDay> days = GoodDaysForBoth(first, second, shown + 1, kGoodDaySearchDays);
    ASSERT_EQ(days.size(), scan.size());
    for (std::size_t i = 0; i < days.size(); ++i) {
        EXPECT_EQ(days[i].date, scan[i]);
        EXPECT_EQ(days[i].first.reading.BioPercent, Evaluate(a, scan[i], settings).reading.BioPercent);
        EXPECT_EQ(days[i].second.reading.StarTotal, Evaluate(b, scan[i], settings).reading.StarTotal);
    }
    EXPECT_EQ(GoodDaysForBoth(first, second, shown + 1, kGoodDaySearchDays, 5).size(),
              std::min<std::size_t>(5, scan.size()));
    // A limit below the days there are stops at exactly the limit.
    for (const int limit : {1, static_cast<int>(scan.size()) - 1})
        EXPECT_EQ(GoodDaysForBoth(first, second, shown + 1, kGoodDaySearchDays, limit).size(),
                  static_cast<std::size_t>(limit));

    const auto next = NextGoodDayForBoth(first, second, shown);
    ASSERT_TRUE(next);
    EXPECT_EQ(next->date, scan.front());
    // From the first good day on, the next one is the second; a search that
    // stops a day short of it finds none.
    const auto after = NextGoodDayForBoth(second, first, scan.front());
    ASSERT_TRUE(after);
    EXPECT_EQ(after->date, scan[1]);
    const int gap = static_cast<int>(scan[1] - scan[0]);
    EXPECT_FALSE(NextGoodDayForBoth(first, second, scan.front(), gap - 1));
    EXPECT_TRUE(NextGoodDayForBoth(first, second, scan.front(), gap));
    // Nothing past the calendar's last day.
    EXPECT_FALSE(NextGoodDayForBoth(first, second, EncodeDate(9999, 12, 31)));
}

} // namespace
