#include "reading/memberfacts.h"

#include "base/utf8.h"
#include "koyomi/aspects.h"
#include "koyomi/datafile.h"
#include "koyomi/positions.h"
#include "reading/biorhythm.h"
#include "reading/glyphs.h"
#include "reading/verdict.h"

namespace mirvo {

std::string ZodiacSymbol(int sign)
{
    return koyomi::Utf8Of(ZodiacCharacter(sign));
}

TSunSign SunSignOf(koyomi::TDateTime birthday)
{
    return SunSignOf(BirthPositions(birthday));
}

TSunSign SunSignOf(const NatalPositions& natal)
{
    TSunSign sign;
    sign.index = koyomi::SignIndex(natal.longitude[koyomi::bdSun]);
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
