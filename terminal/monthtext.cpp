#include "terminal/monthtext.h"

#include "base/messages.h"
#include "base/stringtable.h"
#include "start/todayreport.h"
#include "terminal/terminaltext.h"
#include "terminal/todaytext.h"

#include <algorithm>

namespace mirvo {

namespace {

constexpr std::uint32_t kSundayColour = 0x000000FF;    // red
constexpr std::uint32_t kSaturdayColour = 0x00FF8000;  // blue
constexpr int kFaceWidth = 2;             // 💣 takes two columns
constexpr const char* kTodayMark = "*";
constexpr const char* kCriticalMark = "!";
constexpr int kHolidayMarkWidth = 2;      // 祝 takes two columns

std::string Replace(std::string text, const std::string& key, const std::string& value)
{
    if (const auto at = text.find(key); at != std::string::npos)
        text.replace(at, key.size(), value);
    return text;
}

std::vector<std::string> Weekdays()
{
    std::vector<std::string> names;
    const std::string all = LoadStr(kTextWeekdays);
    std::size_t pos = 0;
    while (pos <= all.size()) {
        const std::size_t comma = std::min(all.find(',', pos), all.size());
        names.push_back(all.substr(pos, comma - pos));
        pos = comma + 1;
    }
    names.resize(kWeekDays);
    return names;
}

std::uint32_t WeekdayColour(int weekday)
{
    return weekday == 0 ? kSundayColour : weekday == kWeekDays - 1 ? kSaturdayColour : kColourWhite;
}

std::string TrimEnd(std::string line)
{
    while (!line.empty() && line.back() == ' ')
        line.pop_back();
    return line;
}

std::string Centred(const std::string& text, int width)
{
    return std::string(static_cast<std::size_t>(std::max(0, (width - DisplayWidth(text)) / 2)), ' ') + text;
}

// The two lines of one day.
std::pair<std::string, std::string> DayLines(const MonthCell& cell, int weekday, koyomi::TDateTime today,
                                             bool colour)
{
    const int width = kMonthTextCellWidth;
    if (!cell.inMonth || !cell.inRange)
        return {std::string(width, ' '), std::string(width, ' ')};
    const TDayVerdict& v = cell.evaluation.verdict;
    const std::string number = PadLeft(std::to_string(koyomi::DecodeDate(cell.date).day), 2);
    // A national holiday: its number red like a Sunday's, and 祝 under it.
    const bool holiday = cell.holiday != koyomi::hoNone;
    std::string first = Coloured(number, holiday ? kSundayColour : WeekdayColour(weekday), colour);
    first += koyomi::DateOf(cell.date) == koyomi::DateOf(today) ? kTodayMark : " ";
    first += IsCriticalDay(v) ? Coloured(kCriticalMark, kColourRed, colour) : std::string(" ");
    std::string second = holiday ? PadRight(Coloured(LoadStr(kTextHolidayMark), kSundayColour, colour), kHolidayMarkWidth)
                                       + "  "
                                 : std::string("    ");
    for (int k = 0; k < kAxisCount; ++k) {
        first += PadRight(Coloured(FaceSymbol(v.axes[k].face), v.axes[k].colour, colour), kFaceWidth);
        second += Coloured(std::to_string(RatingDigit(v.axes[k].rating)), AxisColour(k), colour) + " ";
    }
    return {PadRight(first, width), PadRight(second, width)};
}

} // namespace

std::string MonthText(const TMemberListItem& member, const MonthGrid& grid, koyomi::TDateTime today, bool colour)
{
    const int width = kWeekDays * kMonthTextCellWidth;
    std::string out = ReportTitle(member) + "  " + koyomi::DateToFileText(member.Birthday) + " "
                      + LoadStr(kTextBorn) + "\n";
    const std::string title = Replace(Replace(LoadStr(kTextMonthTitle), "%1", std::to_string(grid.year)), "%2",
                                      std::to_string(grid.month));
    out += Centred(title, width) + "\n";
    const std::vector<std::string> names = Weekdays();
    std::string head;
    for (int d = 0; d < kWeekDays; ++d)
        head += PadRight("  " + Coloured(names[d], WeekdayColour(d), colour), kMonthTextCellWidth);
    out += TrimEnd(head) + "\n";
    for (int week = 0; week < grid.weeks; ++week) {
        std::string first, second;
        for (int d = 0; d < kWeekDays; ++d) {
            const auto [a, b] = DayLines(grid.cells[week * kWeekDays + d], d, today, colour);
            first += a;
            second += b;
        }
        out += TrimEnd(first) + "\n" + TrimEnd(second) + "\n";
    }
    // The legend.
    std::string marks = std::string(kTodayMark) + " " + LoadStr(kTextToday) + "  "
                        + Coloured(kCriticalMark, kColourRed, colour) + " " + LoadStr(kTextCriticalDay) + "  "
                        + Coloured(LoadStr(kTextHolidayMark), kSundayColour, colour) + " " + LoadStr(kTextHolidayLegend)
                        + "  " + LoadStr(kTextAxisOrder);
    for (int k = 0; k < kAxisCount; ++k)
        marks += " " + Coloured(AxisName(k), AxisColour(k), colour);
    out += "\n" + marks + "\n";
    std::string ratings = LoadStr(kTextRatingHead);
    for (const RatingLook& look : kRatingLooks)
        ratings += " " + std::to_string(RatingDigit(look.level)) + " " + LoadStr(look.text);
    out += ratings + "\n";
    return out;
}

} // namespace mirvo
