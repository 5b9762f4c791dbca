// The facts beside the reading: days lived, the sun sign at noon Japan time
// of the birth date with its symbol, and the sign's guardian planet.
#include "datafile.h"
#include "koyomi/datafile.h"
#include "koyomi/datetime.h"
#include "reading/biorhythm.h"
#include "reading/memberfacts.h"

#include <gtest/gtest.h>

using namespace mirvo;
using koyomi::EncodeDate;
using koyomi::EncodeTime;

namespace {

// The calendar library with the build's data file, for the positions and the names.
class MemberFacts : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(FDataFile.Loaded()) << MIRVO_KOSMERA_PATH;
    }

private:
    const testsupport::TLoadedDataFile FDataFile;
};

} // namespace

TEST_F(MemberFacts, SignSymbolAndGuardianOfKnownBirthDates)
{
    struct Case {
        int y, m, d;
        int sign;
        const char* name;
        const char* symbol;
        int planet;
        const char* planetName;
    };
    const Case cases[] = {
        {1970, 1, 2, 9, "山羊座", "♑", 6, "土星"},
        {1988, 4, 1, 0, "牡羊座", "♈", 4, "火星"},
        {1964, 8, 8, 4, "獅子座", "♌", 0, "太陽"},
        {1992, 11, 12, 7, "蠍座", "♏", 9, "冥王星"},
        {1975, 2, 25, 11, "魚座", "♓", 8, "海王星"},
    };
    for (const Case& c : cases) {
        const TSunSign sign = SunSignOf(EncodeDate(c.y, c.m, c.d));
        EXPECT_EQ(sign.index, c.sign) << c.y << "-" << c.m << "-" << c.d;
        EXPECT_EQ(sign.name, c.name);
        EXPECT_EQ(sign.symbol, c.symbol);
        EXPECT_EQ(sign.symbolCode, std::string(1, static_cast<char>('^' + c.sign)));  // Wingdings ^ ... i
        EXPECT_EQ(sign.guardianPlanet, c.planet);
        EXPECT_EQ(sign.guardianPlanetName, c.planetName);
    }
}

TEST_F(MemberFacts, SignIsTakenAtNoonJapanTimeOfTheBirthDateOnly)
{
    // The Sun entered Aries on 2000-03-20 at 16:35 Japan time: at noon of
    // that date it was still in Pisces, whatever the birth time.
    EXPECT_EQ(SunSignOf(EncodeDate(2000, 3, 20)).index, 11);
    EXPECT_EQ(SunSignOf(EncodeDate(2000, 3, 20) + EncodeTime(23, 0, 0)).index, 11);
    EXPECT_EQ(SunSignOf(EncodeDate(2000, 3, 21)).index, 0);
    // It entered Taurus in the small hours of 2000-04-20, Japan time: a
    // birth on that date is Taurus (at midnight it would still be Aries),
    // whatever the birth time.
    EXPECT_EQ(SunSignOf(EncodeDate(2000, 4, 20)).index, 1);
    EXPECT_EQ(SunSignOf(EncodeDate(2000, 4, 20) + EncodeTime(1, 0, 0)).index, 1);
    EXPECT_EQ(SunSignOf(EncodeDate(2000, 4, 19)).index, 0);
}

TEST(MemberFactsDays, DaysLivedIsTheBiorhythmsDayCount)
{
    const koyomi::TDateTime birth = EncodeDate(2000, 3, 10) + EncodeTime(18, 0, 0);
    for (const koyomi::TDateTime day : {birth - 3 + 0.9, birth + 0.1, double(EncodeDate(2001, 3, 10)),
                                        double(EncodeDate(1899, 12, 29)), double(EncodeDate(9999, 12, 31)),
                                        double(EncodeDate(1, 1, 1))}) {
        EXPECT_EQ(static_cast<double>(DaysLived(birth, day)), DaysSinceBirth(birth, day)) << day;
    }
    EXPECT_EQ(DaysLived(birth, EncodeDate(2001, 3, 10)), 365);
    EXPECT_EQ(DaysLived(birth, EncodeDate(2000, 3, 7) + 0.9), -3);  // only the dates count
    // The day numbers follow the Julian calendar up to 1582-10-04, which the
    // Gregorian 1582-10-15 followed.
    EXPECT_EQ(DaysLived(EncodeDate(1582, 10, 4), EncodeDate(1582, 10, 15)), 1);
}

TEST(MemberFactsDays, ZodiacSymbolsInOrder)
{
    EXPECT_EQ(ZodiacSymbol(0), "♈");
    EXPECT_EQ(ZodiacSymbol(5), "♍");
    EXPECT_EQ(ZodiacSymbol(11), "♓");
}
