#include "reading/memberfacts.h"

#include "base/utf8.h"
#include "koyomi/aspects.h"
#include "koyomi/datafile.h"
#include "koyomi/positions.h"
#include "reading/biorhythm.h"
#include "reading/verdict.h"

namespace mirvo {

namespace {

// Data-file string numbers.

constexpr char32_t kFirstZodiacSymbol = U'\u2648';  // ♈ Aries; the twelve follow in order

} // namespace

std::string ZodiacSymbol(int sign)
{
    return koyomi::Utf8Of(kFirstZodiacSymbol + static_cast<char32_t>(sign));
}

TSunSign SunSignOf(koyomi::TDateTime birthday)
{
    const koyomi::DateParts birth = koyomi::DecodeDate(birthday);
    const float longitude = koyomi::BodyCoordinate(koyomi::bdSun, koyomi::kComponentLongitude, birth.year,
                                                   birth.month, birth.day, 0, 0, kNoonHour);
    TSunSign sign;
    sign.index = koyomi::SignIndex(longitude);
    sign.name = koyomi::LoadDataString(koyomi::kDataSignNames + sign.index);
    sign.symbolCode = koyomi::LoadDataString(koyomi::kDataSignSymbols + sign.index);
    sign.symbol = ZodiacSymbol(sign.index);
    sign.guardianPlanet = koyomi::GuardianPlanet[sign.index];
    sign.guardianPlanetName = koyomi::LoadBodyName(sign.guardianPlanet);
    return sign;
}

long long DaysLived(koyomi::TDateTime birthday, koyomi::TDateTime day)
{
    return static_cast<long long>(DaysSinceBirth(birthday, day));
}

TMemberFacts MemberFactsOf(koyomi::TDateTime birthday, koyomi::TDateTime day)
{
    return {DaysLived(birthday, day), SunSignOf(birthday)};
}

} // namespace mirvo
