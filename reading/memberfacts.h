// What the detail window and mirvo-today tell about a member beside the
// reading: the days lived up to a day, the sun sign with its symbol and the
// sign's guardian planet. The names come from the data file, so the calendar
// library must have it. No Qt.
#pragma once

#include "koyomi/datetime.h"
#include "reading/verdict.h"

#include <string>

namespace mirvo {

// The sun sign of a birth date and the sign's guardian planet.
struct TSunSign {
    int index = 0;                   // 0 Aries ... 11 Pisces
    std::string name;                // 牡羊座 ... 魚座 (data file)
    std::string symbolCode;          // the data file's symbol: one character of the Wingdings font
    std::string symbol;              // the same symbol in Unicode, ♈ ... ♓ (UTF-8)
    int guardianPlanet = 0;          // body index, 0 Sun ... 9 Pluto
    std::string guardianPlanetName;  // 太陽 ... 冥王星 (data file)
};

// The sign of the Sun's ecliptic longitude at noon, Japan time, of the birth
// date (kNoonHour; only the date part of `birthday` counts).
TSunSign SunSignOf(koyomi::TDateTime birthday);
// The same sign from the birth positions already worked out (the Sun's
// longitude among them), so that a reading computes the birth Sun once.
TSunSign SunSignOf(const NatalPositions& natal);

// Whole days from the birth date to `day` (negative before it), by the day
// numbers of the dates; the same count as the biorhythm's DaysSinceBirth.
long long DaysLived(koyomi::TDateTime birthday, koyomi::TDateTime day);

struct TMemberFacts {
    long long daysLived = 0;  // days, see DaysLived
    TSunSign sign;
};

// The facts of a member born on `birthday`, shown for `day`.
TMemberFacts MemberFactsOf(koyomi::TDateTime birthday, koyomi::TDateTime day);

// The Unicode zodiac symbol (UTF-8) of sign 0-11: ♈ ... ♓.
std::string ZodiacSymbol(int sign);

} // namespace mirvo
