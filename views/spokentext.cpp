#include "views/spokentext.h"

#include "base/stringtable.h"

#include <cmath>
#include <string_view>

namespace mirvo {

namespace {

constexpr const char* kSwitchedOffMark = "-";
const std::string kZeroScore = "0";
constexpr const char* kSentenceJoint = ". ";

// The curve's value, -1..1, as the shown percent takes it (before rounding).
double CurveValueOn(float cycle, double dayCount)
{
    return CurveValue(CyclePhase(cycle, dayCount));
}

} // namespace

TCurveDirection CurveDirection(float cycle, double dayCount)
{
    const double before = CurveValueOn(cycle, dayCount - 1.0);
    const double now = CurveValueOn(cycle, dayCount);
    const double after = CurveValueOn(cycle, dayCount + 1.0);
    if (before == now && now == after)
        return cdFlat;
    if (before < now && now < after)
        return cdRising;
    if (before > now && now > after)
        return cdFalling;
    return (now >= before && now >= after) ? cdPeak : cdTrough;
}

std::string FaceName(TFace face)
{
    return LoadStr(LookOf(face).spokenName);
}

std::string FaceWord(TFace face)
{
    return LoadStr(LookOf(face).spokenWord);
}

std::string AxisSentence(const std::string& axisName, std::int32_t percent, std::int32_t starTotal,
                         const AxisVerdict& verdict)
{
    return FormatStr(kSpokenAxisRow, {axisName, FaceWord(verdict.face), std::to_string(percent),
                                      std::to_string(starTotal), RatingText(verdict.rating)});
}

std::string ChartDescription(const std::array<std::string, kAxisCount>& axisNames, const Cycles& cycles,
                             double dayCount, const TDayReading& reading)
{
    std::string out = LoadStr(kSpokenChartLead);
    for (int k = 0; k < kAxisCount; ++k) {
        const TCurveDirection direction = CurveDirection(cycles[k], dayCount);
        out += kSentenceJoint;
        out += FormatStr(kSpokenChartAxis, {axisNames[k], std::to_string(reading.BioPercent[k]),
                                            LoadStr(kSpokenDirections + direction)});
    }
    return out;
}

std::string SignSymbolName(const std::string& signName)
{
    if (signName.empty())
        return LoadStr(kSpokenSignSymbolUnknown);
    return FormatStr(kSpokenSignSymbol, {signName});
}

std::string ScoreCellName(const std::string& rowName, const std::string& columnName, const std::string& shown)
{
    const std::string& value = shown.empty()               ? kZeroScore
                               : shown == kSwitchedOffMark ? LoadStr(kSpokenSwitchedOff)
                                                           : shown;
    return FormatStr(kSpokenScoreCell, {rowName, columnName, value});
}

} // namespace mirvo
