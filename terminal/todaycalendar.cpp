#include "terminal/todaycalendar.h"

#include "base/error.h"
#include "base/stringtable.h"
#include "reading/monthgrid.h"
#include "start/icalendar.h"
#include "terminal/monthtext.h"
#include "terminal/todayjson.h"
#include "terminal/todaytext.h"

namespace mirvo {

namespace {

std::string MonthOutput(const TodayArgs& args, const TodayMember& member, const EvalSettings& settings,
                        koyomi::TDateTime day, koyomi::TDateTime now, bool colour)
{
    const koyomi::DateParts d = koyomi::DecodeDate(day);
    const auto [year, month] = args.month->empty() ? std::pair<int, int>{d.year, d.month} : ParseYearMonth(*args.month);
    if (args.json)
        return ReportJson(
            MakeReport(member, settings, koyomi::EncodeDate(year, month, 1), koyomi::DaysInMonth(year, month)));
    const MonthGrid grid = MakeMonthGrid(TMemberDays(member.item.Birthday, settings), year, month);
    return MonthText(member.item, grid, now, colour);
}

std::string NextGoodOutput(const TodayArgs& args, const TodayMember& member, const EvalSettings& settings,
                           koyomi::TDateTime day, bool colour)
{
    const auto good = NextGoodDay(TMemberDays(member.item.Birthday, settings), day);
    if (!good) {
        // JSON: no day at all; text: the window's message.
        if (args.json) {
            TodayReport none = MakeReport(member, settings, day, 1);
            none.days.clear();
            return ReportJson(none);
        }
        std::string message = LoadStr(kMsgNoGoodDay);
        if (const auto at = message.find("%1"); at != std::string::npos)
            message.replace(at, 2, std::to_string(kGoodDaySearchDays));
        return ReportTitle(member.item) + "\n" + message + "\n";
    }
    const TodayReport report = MakeReport(member, settings, good->date, 1);
    return args.json ? ReportJson(report) : ReadingText(report, colour);
}

} // namespace

bool WantsCalendar(const TodayArgs& args)
{
    return args.month || args.nextGood || args.ics;
}

CalendarOutput MakeCalendarOutput(const TodayArgs& args, const TodayMember& member, const EvalSettings& settings,
                                  koyomi::TDateTime day, koyomi::TDateTime now, bool colour)
{
    CalendarOutput output;
    if (args.month) {
        output.text = MonthOutput(args, member, settings, day, now, colour);
    } else if (args.nextGood) {
        output.text = NextGoodOutput(args, member, settings, day, colour);
    } else if (args.ics) {
        const int count = args.days.value_or(kIcsDefaultDays);
        const koyomi::TDateTime first = koyomi::DateOf(day);
        if (count > 1 && !koyomi::InDateRange(first + (count - 1)))
            throw koyomi::EMirvoError(LoadStr(kMsgPastLastDay));
        output.text = MakeIcsCalendar(member.item, TMemberDays(member.item.Birthday, settings).Days(first, count),
                                      UtcNow());
        if (*args.ics != "-")
            output.file = *args.ics;
    }
    return output;
}

} // namespace mirvo
