#include "terminal/todaytext.h"

#include "base/error.h"
#include "base/harmlesstext.h"
#include "base/stringtable.h"
#include "terminal/braillechart.h"
#include "terminal/terminaltext.h"
#include "version/appinfo.h"

#include <cmath>
#include <cstring>
#include <vector>

namespace mirvo {

namespace {

constexpr const char* kScalePattern = "mm/dd";
constexpr const char* kHeart = "♥";      // head of the percents, as in the main window
constexpr const char* kStar = "★";       // head of the star totals
constexpr int kNameWidth = 4;            // 健康, 感情, 知性
constexpr int kFaceWidth = 2;            // 💣 takes two columns
constexpr int kPercentWidth = 5;         // -100%
constexpr int kTotalWidth = 6;           // -999点
constexpr int kRatingWidth = 8;          // 大変良い
constexpr int kDateWidth = 10;           // yyyy/mm/dd
constexpr const char* kGap = "  ";
constexpr const char* kChartMargin = "      ";

// No blanks at the end of a line.
std::string TrimEnd(std::string line)
{
    while (!line.empty() && line.back() == ' ')
        line.pop_back();
    return line;
}

std::string ColouredAxisName(int k, bool colour)
{
    return Coloured(AxisName(k), AxisColour(k), colour);
}

std::string Face(const AxisVerdict& v, bool colour)
{
    return PadRight(Coloured(FaceSymbol(v.face), v.colour, colour), kFaceWidth);
}

std::string Percent(std::int32_t value)
{
    return std::to_string(value) + "%";
}

std::string Total(std::int32_t value)
{
    return std::to_string(value) + LoadStr(kTextPoints);
}

// "1970/01/02 生まれ  19843 日目"
std::string BirthLine(const TodayReport& report, const TodayDay& day)
{
    return koyomi::DateToFileText(report.member.item.Birthday) + " " + LoadStr(kTextBorn) + kGap
           + std::to_string(static_cast<long long>(day.evaluation.daysSinceBirth)) + " " + LoadStr(kTextDayCount);
}

// "♑ 山羊座  守護星:土星", as the detail window shows them.
std::string SignLine(const TSunSign& sign)
{
    return sign.symbol + " " + sign.name + kGap
           + koyomi::FormatMessage(LoadStr(kTextGuardianPlanet), sign.guardianPlanetName);
}

// A date under the chart; blank for a day outside the calendar (before 0001-01-01, after 9999-12-31).
std::string ScaleDate(koyomi::TDateTime day)
{
    if (day < std::floor(koyomi::kMinDateTime) || day >= std::floor(koyomi::kMaxDateTime) + 1)
        return std::string(std::strlen(kScalePattern), ' ');
    return koyomi::FormatDateTime(kScalePattern, day);
}

// The dates under the chart: its first day, the shown day in the middle, its last day.
std::string ChartScale(koyomi::TDateTime day)
{
    const std::string first = ScaleDate(day - kChartDaysEachSide);
    const std::string middle = ScaleDate(day);
    const std::string last = ScaleDate(day + kChartDaysEachSide);
    const int side = (kBrailleChartColumns - DisplayWidth(middle)) / 2;
    return PadRight(first, side) + middle + PadLeft(last, kBrailleChartColumns - side - DisplayWidth(middle));
}

} // namespace

std::string ReportTitle(const TMemberListItem& member)
{
    const std::string description = AppFileDescription();
    // The name comes from a file: shown, never obeyed by the terminal.
    return member.Name.empty() ? description : description + " [" + HarmlessText(member.Name) + "]";
}

std::string ReadingText(const TodayReport& report, bool colour)
{
    std::string out = ReportTitle(report.member.item) + "\n";
    if (report.days.empty())
        return out;
    const TodayDay& day = report.days.front();
    const TDayReading& r = day.evaluation.reading;
    const TDayVerdict& v = day.evaluation.verdict;
    out += koyomi::DateToFileText(day.date) + kGap + BirthLine(report, day) + "\n";
    out += SignLine(report.sign) + "\n\n";
    out += std::string(kNameWidth, ' ') + kGap + std::string(kFaceWidth + 1, ' ') + PadLeft(kHeart, kPercentWidth)
           + kGap + PadLeft(kStar, kTotalWidth) + "\n";
    for (int k = 0; k < kAxisCount; ++k) {
        out += ColouredAxisName(k, colour) + kGap + Face(v.axes[k], colour) + " "
               + PadLeft(Percent(r.BioPercent[k]), kPercentWidth) + kGap + PadLeft(Total(r.StarTotal[k]), kTotalWidth)
               + kGap + RatingText(v.axes[k].rating) + "\n";
    }
    out += "\n";
    if (v.adviceId != 0)
        out += LoadStr(v.adviceId) + "\n\n";
    for (const std::string& line : DrawBrailleChart(report.settings.bioCycle, day.evaluation.daysSinceBirth, colour))
        out += TrimEnd(kChartMargin + line) + "\n";
    out += TrimEnd(kChartMargin + ChartScale(day.date)) + "\n";
    return out;
}

std::string TableText(const TodayReport& report, bool colour)
{
    std::string out = ReportTitle(report.member.item) + kGap
                      + koyomi::DateToFileText(report.member.item.Birthday) + " " + LoadStr(kTextBorn)
                      + kGap + SignLine(report.sign) + "\n";
    const int cellWidth = kFaceWidth + 1 + kPercentWidth + 1 + kTotalWidth + 1 + kRatingWidth;
    std::string head = PadRight(LoadStr(kTextDate), kDateWidth);
    for (int k = 0; k < kAxisCount; ++k)
        head += kGap + PadRight(ColouredAxisName(k, colour), cellWidth);
    out += TrimEnd(head) + "\n";
    for (const TodayDay& day : report.days) {
        const TDayReading& r = day.evaluation.reading;
        const TDayVerdict& v = day.evaluation.verdict;
        std::string line = koyomi::DateToFileText(day.date);
        for (int k = 0; k < kAxisCount; ++k) {
            line += kGap + Face(v.axes[k], colour) + " " + PadLeft(Percent(r.BioPercent[k]), kPercentWidth) + " "
                    + PadLeft(Total(r.StarTotal[k]), kTotalWidth) + " "
                    + PadRight(RatingText(v.axes[k].rating), kRatingWidth);
        }
        out += TrimEnd(line) + "\n";
    }
    return out;
}

} // namespace mirvo
