#include "app/reading/memberfacts.h"

#include "app/reading/biorhythm.h"
#include "app/reading/verdict.h"
#include "koyomi/aspects.h"
#include "koyomi/datafile.h"
#include "koyomi/positions.h"

namespace mirvo {

namespace {

// Data-file string numbers.
constexpr unsigned kBodyNameBase = 50001;    // + body index
constexpr unsigned kSignNameBase = 50031;    // + sign index
constexpr unsigned kSignSymbolBase = 50071;  // + sign index: a Wingdings character

constexpr char32_t kFirstZodiacSymbol = U'\u2648';  // ♈ Aries; the twelve follow in order

// A character of the Basic Multilingual Plane in UTF-8.
std::string Utf8(char32_t c)
{
    std::string out;
    if (c < 0x80) {
        out += static_cast<char>(c);
    } else if (c < 0x800) {
        out += static_cast<char>(0xC0 | (c >> 6));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else {
        out += static_cast<char>(0xE0 | (c >> 12));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    }
    return out;
}

} // namespace

std::string ZodiacSymbol(int sign)
{
    return Utf8(kFirstZodiacSymbol + static_cast<char32_t>(sign));
}

TSunSign SunSignOf(koyomi::TDateTime birthday)
{
    const koyomi::DateParts birth = koyomi::DecodeDate(birthday);
    const float longitude = koyomi::BodyCoordinate(koyomi::bdSun, koyomi::kComponentLongitude, birth.year,
                                                   birth.month, birth.day, 0, 0, kNoonHour);
    TSunSign sign;
    sign.index = koyomi::SignIndex(longitude);
    sign.name = koyomi::LoadDataString(kSignNameBase + sign.index);
    sign.symbolCode = koyomi::LoadDataString(kSignSymbolBase + sign.index);
    sign.symbol = ZodiacSymbol(sign.index);
    sign.guardianPlanet = koyomi::GuardianPlanet[sign.index];
    sign.guardianPlanetName = koyomi::LoadDataString(kBodyNameBase + sign.guardianPlanet);
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
