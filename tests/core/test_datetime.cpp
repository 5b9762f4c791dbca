#include "base/error.h"
#include "koyomi/datetime.h"

#include <gtest/gtest.h>

using namespace koyomi;

TEST(DateTime, EncodeDecodeAroundTheEpoch)
{
    EXPECT_EQ(EncodeDate(1899, 12, 30), 0.0);
    EXPECT_EQ(EncodeDate(1900, 1, 1), 2.0);
    EXPECT_EQ(EncodeDate(2000, 1, 1), 36526.0);
    EXPECT_EQ(EncodeDate(1, 1, 1), kMinDateTime);
    EXPECT_EQ(EncodeDate(9999, 12, 31), 2958465.0);
    const DateParts d = DecodeDate(EncodeDate(1582, 10, 4));
    EXPECT_EQ(d.year, 1582);
    EXPECT_EQ(d.month, 10);
    EXPECT_EQ(d.day, 4);
    EXPECT_THROW(EncodeDate(2001, 2, 29), EMirvoError);
    EXPECT_THROW(EncodeDate(2001, 13, 1), EMirvoError);
    EXPECT_THROW(EncodeDate(0, 1, 1), EMirvoError);
}

TEST(DateTime, FractionIsTimeOfDayAlsoBefore1900)
{
    // 1899-12-29 06:00 is day -1 plus a quarter: stepping by a day keeps 06:00.
    const TDateTime t = EncodeDate(1899, 12, 29) + EncodeTime(6, 0, 0);
    EXPECT_EQ(t, -0.75);
    for (TDateTime x : {t, t - 1.0, t + 1.0, t + 2.0}) {
        const TimeParts tp = DecodeTime(x);
        EXPECT_EQ(tp.hour, 6);
        EXPECT_EQ(tp.minute, 0);
    }
    const DateParts d = DecodeDate(t);
    EXPECT_EQ(d.day, 29);
    EXPECT_EQ(DecodeDate(t + 1.0).day, 30);
}

TEST(DateTime, DecodeRoundsToMillisecondsConsistently)
{
    const TDateTime almostMidnight = EncodeDate(2020, 2, 28) + 0.99999999999;
    EXPECT_EQ(DecodeDate(almostMidnight).day, 29);
    EXPECT_EQ(DecodeTime(almostMidnight).hour, 0);
}

TEST(DateTime, FormatsAndFileForms)
{
    const TDateTime t = EncodeDate(1970, 1, 2) + EncodeTime(9, 5, 7);
    EXPECT_EQ(FormatDateTime("yyyy/mm/dd ", t), "1970/01/02 ");
    EXPECT_EQ(FormatDateTime("yyyy'年'm'月'd'日生まれ'", t), "1970年1月2日生まれ");
    EXPECT_EQ(FormatDateTime("hh:nn", t), "09:05");
    EXPECT_EQ(DateToFileText(t), "1970/01/02");
    EXPECT_EQ(TimeToFileText(t), "09:05:07");
    EXPECT_EQ(DateToFileText(EncodeDate(5, 3, 4)), "0005/03/04");
}

TEST(DateTime, ReadsDatesAndTimes)
{
    TDateTime v = 0;
    ASSERT_TRUE(TryTextToDate("2000/1/2", v));
    EXPECT_EQ(v, EncodeDate(2000, 1, 2));
    EXPECT_FALSE(TryTextToDate("2000/13/01", v));
    EXPECT_FALSE(TryTextToDate("2000/02/30", v));
    EXPECT_FALSE(TryTextToDate("abc", v));
    EXPECT_FALSE(TryTextToDate("2000/01/01x", v));
    ASSERT_TRUE(TryTextToTime("7:30", v));
    EXPECT_EQ(v, EncodeTime(7, 30, 0));
    ASSERT_TRUE(TryTextToTime("23:59:59", v));
    EXPECT_FALSE(TryTextToTime("24:00:00", v));
    EXPECT_FALSE(TryTextToTime("12", v));
}

TEST(DateTime, StepDaysStopsAtTheRangeEnds)
{
    EXPECT_EQ(StepDays(kMinDateTime + 0.5, -1.0), kMinDateTime + 0.5);
    EXPECT_EQ(StepDays(2958465.5, 1.0), 2958465.5);
    EXPECT_EQ(StepDays(100.25, 1.0), 101.25);
}
