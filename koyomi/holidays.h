// Japanese national holidays (国民の祝日 and the other days off of the
// holiday law), from the law's start on 1948-07-20.
//
// Nothing is listed year by year: the fixed days, the Monday holidays, the
// equinox days (from the Sun's apparent longitude, 0 and 180 degrees, at
// Japan time), the substitute holidays, the citizens' holidays between two
// holidays and the one-off days (imperial events, the days of 2019, the moved
// days of 2020 and 2021) follow the law's rules as they changed.
//
// The equinox days need the coefficient table (InitKoyomiLib). Not
// thread-safe, like the positions.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace koyomi {

enum THoliday : std::int8_t {
    hoNone = 0,
    hoNewYearsDay,             // 元日
    hoComingOfAgeDay,          // 成人の日
    hoNationalFoundationDay,   // 建国記念の日
    hoVernalEquinoxDay,        // 春分の日
    hoShowaDay,                // 昭和の日
    hoGreeneryDay,             // みどりの日
    hoEmperorsBirthday,        // 天皇誕生日
    hoConstitutionDay,         // 憲法記念日
    hoChildrensDay,            // こどもの日
    hoMarineDay,               // 海の日
    hoMountainDay,             // 山の日
    hoRespectForTheAgedDay,    // 敬老の日
    hoAutumnalEquinoxDay,      // 秋分の日
    hoHealthAndSportsDay,      // 体育の日 (1966-2019)
    hoSportsDay,               // スポーツの日 (2020 on)
    hoCultureDay,              // 文化の日
    hoLabourThanksgivingDay,   // 勤労感謝の日
    hoAkihitoWedding,          // 1959-04-10
    hoShowaFuneral,            // 1989-02-24
    hoEnthronement1990,        // 1990-11-12
    hoNaruhitoWedding,         // 1993-06-09
    hoAccession2019,           // 2019-05-01
    hoEnthronement2019,        // 2019-10-22
    hoSubstituteHoliday,       // 振替休日: after a holiday on a Sunday
    hoCitizensHoliday,         // 国民の休日: a day between two holidays
};
constexpr int kHolidayKinds = hoCitizensHoliday + 1;

struct THolidayDate {
    int month = 0;  // 1..12
    int day = 0;    // 1..31
    THoliday kind = hoNone;
};

// The first day of the holiday law.
constexpr int kHolidayLawYear = 1948;
constexpr int kHolidayLawMonth = 7;
constexpr int kHolidayLawDay = 20;

// The holidays of a year (any year; none before the law), in date order.
std::vector<THolidayDate> HolidaysOfYear(int year);

// The holiday on a day of the Gregorian calendar, hoNone for a working day
// (or a plain Sunday).
THoliday JapaneseHoliday(int year, int month, int day);

// Day of March (vernal) or of September (autumnal) on which the Sun's
// apparent longitude reaches 0 or 180 degrees, counted in Japan time; 0 when
// no such day lies in the month (years far outside the table's span).
int VernalEquinoxDay(int year);
int AutumnalEquinoxDay(int year);

// The holiday's name from the string table ("振替休日" for a substitute
// holiday); empty for hoNone.
const std::string& HolidayName(THoliday kind);

} // namespace koyomi
