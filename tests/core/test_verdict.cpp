#include "base/messages.h"
#include "base/stringtable.h"
#include "koyomi/datetime.h"
#include "koyomi/tables.h"
#include "reading/verdict.h"

#include <gtest/gtest.h>

using namespace mirvo;

namespace {

const std::array<bool, kBodyCount> kAllUsed = {true, true, true, true, true, true, true, true, true, true};
const std::array<bool, kBodyCount> kNoneUsed{};

TDayReading Reading(std::array<std::int32_t, 3> percent, std::array<std::int32_t, 3> total)
{
    TDayReading r;
    r.BioPercent = percent;
    r.BioPhase = {0, 0, 0};
    r.StarTotal = total;
    return r;
}

} // namespace

TEST(Verdict, FacesFollowThePhase)
{
    EXPECT_EQ(FaceOfPhase(80), TFace::Critical);
    EXPECT_EQ(FaceOfPhase(70), TFace::Good);
    EXPECT_EQ(FaceOfPhase(71), TFace::Critical);
    EXPECT_EQ(FaceOfPhase(109), TFace::Critical);
    EXPECT_EQ(FaceOfPhase(110), TFace::Poor);
    EXPECT_EQ(FaceOfPhase(180), TFace::Poor);
    EXPECT_EQ(FaceOfPhase(250), TFace::Poor);
    EXPECT_EQ(FaceOfPhase(251), TFace::Critical);
    EXPECT_EQ(FaceOfPhase(289), TFace::Critical);
    EXPECT_EQ(FaceOfPhase(290), TFace::Good);
    // Before the birth day every phase is negative: always the smiling face.
    for (int p : {-1, -90, -180, -270, -359})
        EXPECT_EQ(FaceOfPhase(p), TFace::Good) << p;
}

TEST(Verdict, FaceColours)
{
    EXPECT_EQ(FaceColour(55), kColourAqua);
    EXPECT_EQ(FaceColour(-55), kColourRed);
    EXPECT_EQ(FaceColour(5), kColourYellow);
    EXPECT_EQ(FaceColour(-5), kColourYellow);
    EXPECT_EQ(FaceColour(50), kColourWhite);
    EXPECT_EQ(FaceColour(-50), kColourWhite);
    EXPECT_EQ(FaceColour(10), kColourWhite);
}

TEST(Verdict, NoBodyUsedGivesNoAdvice)
{
    const TDayReading r = Reading({30, -30, 0}, {0, 0, 0});
    const TDayVerdict v = MakeVerdict(r, kNoneUsed);
    EXPECT_EQ(v.axes[0].rating, TRatingLevel::Good);
    EXPECT_EQ(v.axes[1].rating, TRatingLevel::HangIn);
    EXPECT_EQ(v.axes[2].rating, TRatingLevel::Average);
    EXPECT_EQ(v.axes[0].pickedBody, kNoBody);
    EXPECT_EQ(v.adviceId, 0);
}

TEST(Verdict, VeryGoodHealthPicksTheStrongestBody)
{
    TDayReading r = Reading({30, 0, 0}, {150, 100, 100});
    r.StarScore[0] = {202, 151, 60, 0, 0, -60, 0, 0, 0, 0};
    const TDayVerdict v = MakeVerdict(r, kAllUsed);
    EXPECT_EQ(v.axes[0].rating, TRatingLevel::VeryGood);
    EXPECT_EQ(v.axes[0].pickedBody, 0);
    EXPECT_EQ(v.adviceId, kAdviceVeryGoodBase);
    EXPECT_EQ(LoadStr(v.adviceId), "絶好調です.がんがん行きましょう.");
    EXPECT_EQ(RatingText(v.axes[0].rating), "大変良い");
}

TEST(Verdict, TiesKeepTheLowerBodyAndUnusedBodiesAreSkipped)
{
    TDayReading r;
    r.StarScore[1] = {0, 60, 0, 60, -30, -30, 0, 0, 0, 0};
    EXPECT_EQ(StrongestPlanet(1, r, kAllUsed), 1);
    EXPECT_EQ(WeakestPlanet(1, r, kAllUsed), 4);
    auto use = kAllUsed;
    use[1] = false;
    use[4] = false;
    EXPECT_EQ(StrongestPlanet(1, r, use), 3);
    EXPECT_EQ(WeakestPlanet(1, r, use), 5);
    EXPECT_EQ(StrongestPlanet(1, r, kNoneUsed), kNoBody);
}

TEST(Verdict, HealthWithoutAdviceLeavesFeelingsAdvice)
{
    TDayReading r = Reading({10, 40, -80}, {150, 50, 100});
    r.StarScore[1] = {0, 0, 0, 0, -60, 0, 0, 0, 0, 0};
    const TDayVerdict v = MakeVerdict(r, kAllUsed);
    EXPECT_EQ(v.axes[0].rating, TRatingLevel::Average);  // v = 10 is not above 20
    EXPECT_EQ(v.axes[1].rating, TRatingLevel::Good);
    EXPECT_EQ(v.axes[1].pickedBody, 4);
    EXPECT_EQ(v.axes[2].rating, TRatingLevel::Average);  // a total of exactly 100
    EXPECT_EQ(v.adviceId, kAdviceGoodBase + 4);
}

TEST(Verdict, HealthAdviceReplacesTheOthers)
{
    TDayReading r = Reading({-40, -40, 40}, {150, 50, 50});
    r.StarScore[0] = {0, 0, 0, 100, 0, 0, 0, 0, 0, 0};
    r.StarScore[1] = {0, 0, -100, 0, 0, 0, 0, 0, 0, 0};
    r.StarScore[2] = {0, 0, 0, 0, 0, -30, 0, 0, 0, 0};
    const TDayVerdict v = MakeVerdict(r, kAllUsed);
    EXPECT_EQ(v.axes[0].rating, TRatingLevel::Almost);
    EXPECT_EQ(v.axes[1].rating, TRatingLevel::HangIn);
    EXPECT_EQ(v.axes[2].rating, TRatingLevel::Good);
    EXPECT_EQ(v.adviceId, kAdviceAlmostBase + 3);
}

TEST(Verdict, ExactlyOneHundredIsAlwaysAverage)
{
    for (int v : {-100, -1, 0, 1, 21, 100}) {
        const TDayVerdict verdict = MakeVerdict(Reading({v, v, v}, {100, 100, 100}), kAllUsed);
        for (const AxisVerdict& a : verdict.axes)
            EXPECT_EQ(a.rating, TRatingLevel::Average) << v;
        EXPECT_EQ(verdict.adviceId, 0);
    }
    // v from 1 to 20 with a high total is average as well.
    EXPECT_EQ(MakeVerdict(Reading({20, 0, 0}, {150, 0, 0}), kAllUsed).axes[0].rating, TRatingLevel::Average);
}

TEST(Verdict, StarScoresAreWeightedRoundedAndTotalledOnce)
{
    // With an empty coefficient table every body stands at longitude 0 and
    // latitude 0 on every date: every angle is 0, a conjunction of 101 points.
    koyomi::ResetTables();
    EvalSettings s;
    s.planetWeight = {2, 1.5f, 1, 1, 1, 1, 1, 0.5f, 0.5f, 0.5f};
    s.planetUse = {true, true, true, true, true, true, true, false, false, false};
    const koyomi::TDateTime birth = koyomi::EncodeDate(1990, 4, 1);
    const koyomi::TDateTime day = koyomi::EncodeDate(2026, 12, 7);
    TDayReading r;
    CalcStarScores(birth, day, s, r);
    for (int a = 0; a < kAxisCount; ++a) {
        EXPECT_EQ(r.StarScore[a][0], 202);
        EXPECT_EQ(r.StarScore[a][1], 152);  // 151.5 rounds away from zero
        EXPECT_EQ(r.StarScore[a][2], 101);
        EXPECT_EQ(r.StarScore[a][9], 51);   // 50.5, unused but still scored
        // 202 + 151.5 + 5 * 101, summed unrounded.
        EXPECT_EQ(r.StarTotal[a], 859);
    }
    s.planetUse = {};
    CalcStarScores(birth, day, s, r);
    EXPECT_EQ(r.StarTotal, (std::array<std::int32_t, 3>{0, 0, 0}));
    EXPECT_EQ(r.StarScore[0][0], 202);
}
