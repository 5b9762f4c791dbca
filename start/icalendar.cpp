#include "start/icalendar.h"

#include "base/fnv1a.h"
#include "base/messages.h"
#include "base/stringtable.h"
#include "koyomi/holidays.h"
#include "version/appinfo.h"
#include "version/version.h"

#include <cstdint>
#include <cstdio>
#include <ctime>

namespace mirvo {

namespace {

constexpr const char* kCrLf = "\r\n";
constexpr unsigned char kUtf8ContinuationMask = 0xC0;
constexpr unsigned char kUtf8Continuation = 0x80;
constexpr double kSecondsPerDay = 86400.0;
// 1970-01-01, the start of the system's clock, as a date-time value.
constexpr double kUnixEpochDay = 25569.0;

bool IsContinuationByte(char c)
{
    return (static_cast<unsigned char>(c) & kUtf8ContinuationMask) == kUtf8Continuation;
}

std::string DateValue(koyomi::TDateTime day)
{
    return koyomi::FormatDateTime("yyyymmdd", day);
}

std::string UtcValue(koyomi::TDateTime stamp)
{
    return koyomi::FormatDateTime("yyyymmdd'T'hhnnss'Z'", stamp);
}

void Line(std::string& out, std::string_view name, std::string_view value)
{
    std::string line(name);
    line += ':';
    line += value;
    out += IcsFoldLine(line);
}

} // namespace

std::string IcsEscapeText(std::string_view text)
{
    std::string out;
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        switch (c) {
        case '\\': out += "\\\\"; break;
        case ';': out += "\\;"; break;
        case ',': out += "\\,"; break;
        case '\n': out += "\\n"; break;
        case '\r':
            out += "\\n";
            if (i + 1 < text.size() && text[i + 1] == '\n')
                ++i;
            break;
        default:
            // Other control characters may not stand in a calendar file: they are left out
            // (C0 but the tab, DEL, and C1 as UTF-8's C2 80 to C2 9F).
            if ((static_cast<unsigned char>(c) < 0x20 && c != '\t') || c == '\x7F')
                break;
            if (c == '\xC2' && i + 1 < text.size() && static_cast<unsigned char>(text[i + 1]) >= 0x80
                && static_cast<unsigned char>(text[i + 1]) <= 0x9F) {
                ++i;
                break;
            }
            out += c;
            break;
        }
    }
    return out;
}

std::string IcsFoldLine(std::string_view line)
{
    std::string out;
    std::size_t room = kIcsLineOctets;
    while (line.size() > room) {
        std::size_t cut = room;
        while (cut > 0 && IsContinuationByte(line[cut]))
            --cut;
        if (cut == 0)  // not UTF-8 at all: cut where the room ends
            cut = room;
        out.append(line.substr(0, cut));
        out += kCrLf;
        out += ' ';
        line.remove_prefix(cut);
        room = kIcsLineOctets - 1;  // the blank takes one octet
    }
    out.append(line);
    out += kCrLf;
    return out;
}

std::string IcsUid(const TMemberListItem& member, koyomi::TDateTime day)
{
    const std::string who = member.Name + '\n' + koyomi::DateToFileText(member.Birthday);
    char hash[17];
    std::snprintf(hash, sizeof hash, "%016llx", static_cast<unsigned long long>(koyomi::Fnv1a(who)));
    return DateValue(day) + "-" + hash + "@todaymirvo";
}

std::string IcsProductId()
{
    const TVersion version(ProgramVersionBlock());
    return "-//" + version.GetCompanyName() + "//" + version.GetProductName() + " " + version.GetFileVersion()
           + "//JA";
}

std::string IcsSummary(const TMemberListItem& member, const TDayVerdict& verdict)
{
    std::string summary = LoadStr(kTextMirvo);
    if (!member.Name.empty())
        summary += " " + member.Name;
    for (int k = 0; k < kAxisCount; ++k)
        summary += " " + LoadStr(kTextAxisNames + k) + ":" + RatingText(verdict.axes[k].rating);
    return summary;
}

std::string IcsDescription(const Evaluation& evaluation)
{
    const TDayReading& r = evaluation.reading;
    const TDayVerdict& v = evaluation.verdict;
    std::string text;
    for (int k = 0; k < kAxisCount; ++k) {
        text += LoadStr(kTextAxisNames + k) + " " + std::to_string(r.BioPercent[k]) + "% "
                + std::to_string(r.StarTotal[k]) + LoadStr(kTextPoints) + " " + RatingText(v.axes[k].rating) + "\n";
    }
    if (v.adviceId != 0)
        text += "\n" + LoadStr(v.adviceId);
    else
        text.pop_back();
    return text;
}

std::string MakeIcsCalendar(const TMemberListItem& member, const std::vector<DayEvaluation>& days,
                            koyomi::TDateTime stampUtc)
{
    std::string out;
    Line(out, "BEGIN", "VCALENDAR");
    Line(out, "VERSION", "2.0");
    Line(out, "PRODID", IcsProductId());
    Line(out, "CALSCALE", "GREGORIAN");
    Line(out, "METHOD", "PUBLISH");
    const std::string title = AppFileDescription() + (member.Name.empty() ? "" : " [" + member.Name + "]");
    Line(out, "X-WR-CALNAME", IcsEscapeText(title));
    const std::string stamp = UtcValue(stampUtc);
    for (const DayEvaluation& day : days) {
        const TDayVerdict& v = day.evaluation.verdict;
        Line(out, "BEGIN", "VEVENT");
        Line(out, "UID", IcsUid(member, day.date));
        Line(out, "DTSTAMP", stamp);
        Line(out, "DTSTART;VALUE=DATE", DateValue(day.date));
        if (koyomi::InDateRange(day.date + 1))
            Line(out, "DTEND;VALUE=DATE", DateValue(day.date + 1));
        Line(out, "SUMMARY", IcsEscapeText(IcsSummary(member, v)));
        // A national holiday is named first: a calendar program shows the day's plans beside it.
        const koyomi::DateParts d = koyomi::DecodeDate(day.date);
        const std::string& holiday = koyomi::HolidayName(koyomi::JapaneseHoliday(d.year, d.month, d.day));
        Line(out, "DESCRIPTION",
             IcsEscapeText((holiday.empty() ? std::string() : holiday + "\n\n") + IcsDescription(day.evaluation)));
        std::string categories = IcsEscapeText(LoadStr(kTextMirvo));
        if (IsCriticalDay(v))
            categories += "," + IcsEscapeText(LoadStr(kTextCriticalDay));
        Line(out, "CATEGORIES", categories);
        Line(out, "TRANSP", "TRANSPARENT");
        Line(out, "END", "VEVENT");
    }
    Line(out, "END", "VCALENDAR");
    return out;
}

koyomi::TDateTime UtcNow()
{
    const std::time_t seconds = std::time(nullptr);
    return kUnixEpochDay + static_cast<double>(seconds) / kSecondsPerDay;
}

} // namespace mirvo
