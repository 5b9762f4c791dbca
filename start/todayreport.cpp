#include "start/todayreport.h"

#include "base/error.h"
#include "base/stringtable.h"
#include "members/numbertext.h"

#include <algorithm>

namespace mirvo {

TodayReport MakeReport(const TodayMember& member, const EvalSettings& settings, koyomi::TDateTime firstDay,
                       int dayCount)
{
    TodayReport report;
    report.member.index = member.index;
    report.member.item.Assign(member.item);
    report.settings = settings;
    const koyomi::TDateTime first = koyomi::DateOf(firstDay);
    if (dayCount > 1 && !koyomi::InDateRange(first + (dayCount - 1)))
        throw koyomi::EMirvoError(LoadStr(kMsgPastLastDay));
    const TMemberDays series(member.item.Birthday, settings);
    report.sign = SunSignOf(series.Natal());
    report.days.reserve(static_cast<std::size_t>(std::max(dayCount, 0)));
    for (int i = 0; i < dayCount; ++i)
        report.days.push_back(series.Day(first + i));
    return report;
}

std::string Message(int id, const std::string& argument)
{
    return koyomi::FormatMessage(LoadStr(id), argument);
}

} // namespace mirvo
