// The month calendar and the next good day against Evaluate itself, day by
// day, with the data file the build made.
#include "base/error.h"
#include "koyomi/datafile.h"
#include "reading/dayseries.h"
#include "reading/monthgrid.h"

#include "datafile.h"

#include <gtest/gtest.h>

using namespace mirvo;
using koyomi::EncodeDate;
using koyomi::EncodeTime;

namespace {

class MonthGridTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(FDataFile.Loaded()) << MIRVO_KOSMERA_PATH;
        FSettings.bioCycle = {23, 28.5f, 33};
        FSettings.planetWeight = {2, 1.5f, 1, 1, 1, 1, 1, 0.5f, 0.5f, 0.1f};
        FSettings.planetUse[3] = false;
    }
    static void ExpectSameEvaluation(const Evaluation& got, const Evaluation& want)
    {
        EXPECT_EQ(got.reading.BioPercent, want.reading.BioPercent);
        EXPECT_EQ(got.reading.BioPhase, want.reading.BioPhase);
        EXPECT_EQ(got.reading.StarTotal, want.reading.StarTotal);
        EXPECT_EQ(got.reading.StarScore, want.reading.StarScore);
        for (int k = 0; k < kAxisCount; ++k) {
            EXPECT_EQ(got.verdict.axes[k].face, want.verdict.axes[k].face);
            EXPECT_EQ(got.verdict.axes[k].colour, want.verdict.axes[k].colour);
            EXPECT_EQ(got.verdict.axes[k].rating, want.verdict.axes[k].rating);
            EXPECT_EQ(got.verdict.axes[k].pickedBody, want.verdict.axes[k].pickedBody);
        }
        EXPECT_EQ(got.verdict.adviceId, want.verdict.adviceId);
    }

    // Whole grid against Evaluate, and its shape: Sundays in the first
    // column, the month's days flagged, nothing left out.
    void ExpectGridOf(koyomi::TDateTime birthday, int year, int month, int weeks)
    {
        SCOPED_TRACE(std::to_string(year) + "-" + std::to_string(month));
        const TMemberDays member(birthday, FSettings);
        const MonthGrid grid = MakeMonthGrid(member, year, month);
        EXPECT_EQ(grid.year, year);
        EXPECT_EQ(grid.month, month);
        EXPECT_EQ(grid.weeks, weeks);
        int inMonth = 0;
        for (int i = 0; i < kMonthGridCells; ++i) {
            const MonthCell& cell = grid.cells[i];
            SCOPED_TRACE(koyomi::FormatDateTime("yyyy-mm-dd", cell.date));
            EXPECT_EQ(DayOfWeek(cell.date), i % kWeekDays);
            EXPECT_EQ(cell.date, grid.cells[0].date + i);
            EXPECT_EQ(grid.CellOf(cell.date + 0.75), i);
            const koyomi::DateParts d = koyomi::DecodeDate(cell.date);
            EXPECT_EQ(cell.inMonth, d.year == year && d.month == month);
            inMonth += cell.inMonth;
            ASSERT_TRUE(cell.inRange);
            ExpectSameEvaluation(cell.evaluation, Evaluate(birthday, cell.date, FSettings));
        }
        EXPECT_EQ(inMonth, koyomi::DaysInMonth(year, month));
        EXPECT_TRUE(grid.cells[0].inMonth || grid.cells[kWeekDays - 1].inMonth);
        EXPECT_EQ(grid.CellOf(grid.cells[0].date - 1), -1);
        EXPECT_EQ(grid.CellOf(grid.cells[0].date + kMonthGridCells), -1);
    }

    const testsupport::TLoadedDataFile FDataFile;
    EvalSettings FSettings;
};

} // namespace

TEST_F(MonthGridTest, EveryDayEqualsItsOwnEvaluation)
{
    // February of a leap year (starts on a Thursday), a month starting on a
    // Saturday with 31 days (six rows), a February that fills exactly four
    // rows, and a member born on 29 February.
    ExpectGridOf(EncodeDate(1970, 1, 2) + EncodeTime(12, 0, 0), 2024, 2, 5);
    ExpectGridOf(EncodeDate(2000, 2, 29) + EncodeTime(23, 59, 30), 2026, 8, 6);
    ExpectGridOf(EncodeDate(1985, 7, 7), 2015, 2, 4);
    ExpectGridOf(EncodeDate(2030, 6, 15), 2026, 12, 5);  // days before the birth day
}

TEST_F(MonthGridTest, GridsAtTheCalendarsEndsLeaveOutTheDaysBeyond)
{
    const TMemberDays member(EncodeDate(1990, 4, 1), FSettings);
    const MonthGrid first = MakeMonthGrid(member, 1, 1);  // 0001-01-01 was a Monday
    EXPECT_FALSE(first.cells[0].inRange);
    EXPECT_TRUE(first.cells[1].inRange);
    EXPECT_TRUE(first.cells[1].inMonth);
    const MonthGrid last = MakeMonthGrid(member, 9999, 12);  // 9999-12-31 is a Friday
    const int lastCell = last.CellOf(EncodeDate(9999, 12, 31));
    ASSERT_EQ(lastCell % kWeekDays, 5);
    EXPECT_TRUE(last.cells[lastCell].inRange);
    EXPECT_FALSE(last.cells[lastCell + 1].inRange);
    EXPECT_THROW(MakeMonthGrid(member, 10000, 1), koyomi::EMirvoError);
    EXPECT_THROW(MakeMonthGrid(member, 2024, 13), koyomi::EMirvoError);
}

TEST(MonthStep, StepsAcrossYearsAndStopsAtTheCalendarsEnds)
{
    int y = 2026, m = 12;
    StepMonth(y, m, 1);
    EXPECT_EQ(y * 100 + m, 202701);
    StepMonth(y, m, -13);
    EXPECT_EQ(y * 100 + m, 202512);
    StepMonth(y, m, -12 * 3000);
    EXPECT_EQ(y * 100 + m, 101);
    y = 9999, m = 11;
    StepMonth(y, m, 5);
    EXPECT_EQ(y * 100 + m, 999912);
}

TEST(MonthStep, DaysOfTheWeek)
{
    EXPECT_EQ(DayOfWeek(EncodeDate(1899, 12, 30)), 6);
    EXPECT_EQ(DayOfWeek(EncodeDate(2026, 12, 6)), 0);
    EXPECT_EQ(DayOfWeek(EncodeDate(2026, 12, 7) + 0.99), 1);
    EXPECT_EQ(DayOfWeek(EncodeDate(1, 1, 1)), 1);
    EXPECT_EQ(DayOfWeek(EncodeDate(1600, 3, 1)), 3);
}

namespace {

// The next good day by looking at every day with Evaluate.
std::optional<koyomi::TDateTime> BruteForceGoodDay(koyomi::TDateTime birthday, koyomi::TDateTime shown,
                                                  const EvalSettings& settings, int searchDays)
{
    for (int i = 1; i <= searchDays; ++i) {
        const koyomi::TDateTime day = koyomi::DateOf(shown) + i;
        if (!koyomi::InDateRange(day))
            break;
        const TDayVerdict v = Evaluate(birthday, day, settings).verdict;
        bool good = true;
        for (const AxisVerdict& a : v.axes)
            good = good && (a.rating == TRatingLevel::VeryGood || a.rating == TRatingLevel::Good) && a.face != TFace::Critical;
        if (good)
            return day;
    }
    return std::nullopt;
}

} // namespace

TEST_F(MonthGridTest, NextGoodDayEqualsAScanOfEveryDay)
{
    const std::pair<koyomi::TDateTime, koyomi::TDateTime> cases[] = {
        {EncodeDate(1970, 1, 2), EncodeDate(2024, 5, 1) + 0.5},
        {EncodeDate(2000, 2, 29), EncodeDate(2026, 12, 7)},
        {EncodeDate(1985, 7, 7), EncodeDate(2027, 2, 27)},
        {EncodeDate(1999, 12, 31), EncodeDate(2025, 12, 31)},
    };
    int found = 0;
    for (const auto& [birthday, shown] : cases) {
        SCOPED_TRACE(koyomi::FormatDateTime("yyyy-mm-dd", birthday));
        const TMemberDays member(birthday, FSettings);
        const auto want = BruteForceGoodDay(birthday, shown, FSettings, kGoodDaySearchDays);
        const auto got = NextGoodDay(member, shown);
        ASSERT_EQ(got.has_value(), want.has_value());
        if (got) {
            ++found;
            EXPECT_EQ(got->date, *want);
            EXPECT_GT(got->date, shown);
            EXPECT_TRUE(IsGoodDay(got->evaluation.verdict));
            ExpectSameEvaluation(got->evaluation, Evaluate(birthday, got->date, FSettings));
        }
    }
    EXPECT_GT(found, 0);  // the members above do have good days within a year
}

TEST_F(MonthGridTest, ASearchFromAGoodDayStartsTheDayAfterIt)
{
    // Member 0 of tests/data/today with its settings.ini (feeling cycle 28.5,
    // Uranus counted): 2027-02-23 is a good day itself, and the next one is
    // 2027-03-16 (figures of mirvo-today --next-good).
    EvalSettings settings;
    settings.bioCycle[1] = 28.5f;
    settings.planetUse[8] = true;
    const TMemberDays member(EncodeDate(1970, 1, 2) + EncodeTime(12, 0, 0), settings);
    const koyomi::TDateTime shown = EncodeDate(2027, 2, 23);
    EXPECT_TRUE(IsGoodDay(member.Day(shown).evaluation.verdict));
    const auto next = NextGoodDay(member, shown);
    ASSERT_TRUE(next);
    EXPECT_EQ(next->date, EncodeDate(2027, 3, 16));
    EXPECT_EQ(NextGoodDay(member, shown + 0.75)->date, EncodeDate(2027, 3, 16));
}

TEST_F(MonthGridTest, NoGoodDayWhenNoDayCanBeGood)
{
    // Every body switched off and the cycles set so that no percent is ever
    // positive: every day is rated average at best.
    EvalSettings flat = FSettings;
    flat.planetUse = {};
    flat.bioCycle = {0, 0, 0};
    const koyomi::TDateTime birthday = EncodeDate(1970, 1, 2);
    const koyomi::TDateTime shown = EncodeDate(2026, 12, 7);
    EXPECT_FALSE(BruteForceGoodDay(birthday, shown, flat, kGoodDaySearchDays));
    EXPECT_FALSE(NextGoodDay(TMemberDays(birthday, flat), shown));
}

TEST_F(MonthGridTest, SearchStopsAtItsLimitAndAtTheCalendarsEnd)
{
    const koyomi::TDateTime birthday = EncodeDate(2000, 2, 29);
    const koyomi::TDateTime shown = EncodeDate(2026, 12, 7);
    const TMemberDays member(birthday, FSettings);
    const auto good = NextGoodDay(member, shown);
    ASSERT_TRUE(good);
    const int distance = static_cast<int>(good->date - shown);
    EXPECT_FALSE(NextGoodDay(member, shown, distance - 1));
    EXPECT_TRUE(NextGoodDay(member, shown, distance));
    // No day after the calendar's last day is looked at.
    EXPECT_FALSE(NextGoodDay(member, EncodeDate(9999, 12, 31)));
    const auto nearEnd = NextGoodDay(member, EncodeDate(9999, 11, 1));
    EXPECT_EQ(nearEnd.has_value(), BruteForceGoodDay(birthday, EncodeDate(9999, 11, 1), FSettings, 366).has_value());
}

TEST(GoodDay, EveryAxisGoodAndNoCriticalFace)
{
    TDayVerdict v;
    for (AxisVerdict& a : v.axes) {
        a.rating = TRatingLevel::Good;
        a.face = TFace::Good;
    }
    EXPECT_TRUE(IsGoodDay(v));
    EXPECT_FALSE(IsCriticalDay(v));
    v.axes[1].rating = TRatingLevel::VeryGood;
    EXPECT_TRUE(IsGoodDay(v));
    v.axes[2].face = TFace::Critical;
    EXPECT_FALSE(IsGoodDay(v));
    EXPECT_TRUE(IsCriticalDay(v));
    v.axes[2].face = TFace::Poor;
    for (TRatingLevel rating : {TRatingLevel::Average, TRatingLevel::Almost, TRatingLevel::HangIn}) {
        v.axes[0].rating = rating;
        EXPECT_FALSE(IsGoodDay(v)) << RatingDigit(rating);
    }
}
