#include "app/start/todayreport.h"

#include "koyomi/base/stringtable.h"
#include "koyomi/base/error.h"
#include "members/numbertext.h"

namespace mirvo {

TodayReport MakeReport(const TodayMember& member, const EvalSettings& settings, koyomi::TDateTime firstDay,
                       int dayCount)
{
    TodayReport report;
    report.member.index = member.index;
    report.member.item.Assign(member.item);
    report.sign = SunSignOf(member.item.Birthday);
    report.settings = settings;
    const koyomi::TDateTime first = koyomi::DateOf(firstDay);
    if (dayCount > 1 && !koyomi::InDateRange(first + (dayCount - 1)))
        throw koyomi::EMirvoError(LoadStr(kMsgPastLastDay));
    for (int i = 0; i < dayCount; ++i) {
        TodayDay day;
        day.date = first + i;
        day.daysSinceBirth = DaysSinceBirth(member.item.Birthday, day.date);  // = DaysLived
        day.evaluation = Evaluate(member.item.Birthday, day.date, settings);
        report.days.push_back(day);
    }
    return report;
}

std::string FaceSymbol(const std::string& face)
{
    if (face == kFaceSmile)
        return "☺";
    if (face == kFaceFrown)
        return "☹";
    if (face == kFaceCritical)
        return "💣";
    return face;
}

std::string Message(int id, const std::string& argument)
{
    return koyomi::FormatMessage(LoadStr(id), argument);
}

} // namespace mirvo
