// Japanese national holidays against the Cabinet Office's list of 1955-2030
// (tests/data/holidays), with the data file the build made.
#include "koyomi/datafile.h"
#include "koyomi/holidays.h"

#include "datafile.h"

#include <gtest/gtest.h>

#include <fstream>
#include <map>
#include <sstream>
#include <string>
#include <tuple>

namespace {

using TDay = std::tuple<int, int, int>;

class HolidayTest : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(FData.Loaded()) << MIRVO_KOSMERA_PATH; }

protected:
    testsupport::TLoadedDataFile FData;
};

// The list's lines "yyyy/m/d,name" after its header.
std::map<TDay, std::string> PublishedHolidays()
{
    std::ifstream in(MIRVO_TEST_DATA_DIR "/holidays/syukujitsu-1955-2030.csv");
    std::map<TDay, std::string> days;
    std::string line;
    std::getline(in, line);
    while (std::getline(in, line)) {
        int y = 0, m = 0, d = 0;
        char slash1 = 0, slash2 = 0, comma = 0;
        std::istringstream fields(line);
        fields >> y >> slash1 >> m >> slash2 >> d >> comma;
        std::string name;
        std::getline(fields, name);
        if (!fields.fail() && slash1 == '/' && slash2 == '/' && comma == ',')
            days[{y, m, d}] = name;
    }
    return days;
}

// The list names every substitute holiday and every day between two
// holidays "休日", and the two one-off days of 2019 "休日（祝日扱い）".
std::string ListedName(koyomi::THoliday kind)
{
    switch (kind) {
    case koyomi::hoSubstituteHoliday:
    case koyomi::hoCitizensHoliday: return "休日";
    case koyomi::hoAccession2019:
    case koyomi::hoEnthronement2019: return "休日（祝日扱い）";
    default: return koyomi::HolidayName(kind);
    }
}

} // namespace

TEST_F(HolidayTest, EveryHolidayOf1955To2030AsTheCabinetOfficeLists)
{
    const std::map<TDay, std::string> published = PublishedHolidays();
    ASSERT_GT(published.size(), 1100u);
    std::map<TDay, std::string> computed;
    for (int year = 1955; year <= 2030; ++year)
        for (const koyomi::THolidayDate& h : koyomi::HolidaysOfYear(year))
            computed[{year, h.month, h.day}] = ListedName(h.kind);
    for (const auto& [day, name] : published) {
        const auto [y, m, d] = day;
        const auto it = computed.find(day);
        EXPECT_TRUE(it != computed.end() && it->second == name)
            << y << "-" << m << "-" << d << " listed as " << name << ", computed "
            << (it == computed.end() ? std::string("no holiday") : it->second);
    }
    for (const auto& [day, name] : computed) {
        const auto [y, m, d] = day;
        EXPECT_TRUE(published.count(day)) << y << "-" << m << "-" << d << " computed as " << name << ", not listed";
    }
}

TEST_F(HolidayTest, DayLookupNamesAndTheLawsFirstDay)
{
    // Golden Week 2026: the Constitution Day on a Sunday moves its day off to Wednesday.
    EXPECT_EQ(koyomi::JapaneseHoliday(2026, 5, 3), koyomi::hoConstitutionDay);
    EXPECT_EQ(koyomi::JapaneseHoliday(2026, 5, 4), koyomi::hoGreeneryDay);
    EXPECT_EQ(koyomi::JapaneseHoliday(2026, 5, 5), koyomi::hoChildrensDay);
    EXPECT_EQ(koyomi::JapaneseHoliday(2026, 5, 6), koyomi::hoSubstituteHoliday);
    EXPECT_EQ(koyomi::JapaneseHoliday(2026, 5, 7), koyomi::hoNone);
    EXPECT_EQ(koyomi::HolidayName(koyomi::hoSubstituteHoliday), "振替休日");
    EXPECT_EQ(koyomi::HolidayName(koyomi::hoCitizensHoliday), "国民の休日");
    EXPECT_EQ(koyomi::HolidayName(koyomi::hoNone), "");
    // 2026-09-22 lies between the Respect for the Aged Day and the equinox.
    EXPECT_EQ(koyomi::JapaneseHoliday(2026, 9, 22), koyomi::hoCitizensHoliday);
    // The law began on 1948-07-20: the autumn of that year has holidays, its spring none.
    EXPECT_EQ(koyomi::JapaneseHoliday(1948, 4, 29), koyomi::hoNone);
    EXPECT_EQ(koyomi::JapaneseHoliday(1948, 11, 3), koyomi::hoCultureDay);
    EXPECT_EQ(koyomi::JapaneseHoliday(1947, 1, 1), koyomi::hoNone);
    EXPECT_TRUE(koyomi::HolidaysOfYear(1900).empty());
}
