#include "terminal/todayargs.h"

#include "base/error.h"
#include "base/stringtable.h"
#include "base/utf8.h"
#include "members/numbertext.h"
#include "reading/compatibility.h"
#include "start/todayreport.h"
#include "terminal/todaynotify.h"

#include <cctype>
#include <utility>

namespace mirvo {

namespace {

constexpr std::size_t kIsoDateLength = 10;  // yyyy-mm-dd
constexpr std::size_t kYearDigits = 4;
constexpr std::size_t kMonthAt = 5;
constexpr std::size_t kDayAt = 8;
constexpr std::size_t kTwoDigits = 2;

[[noreturn]] void Refuse(int id, const std::string& argument)
{
    throw koyomi::EMirvoError(Message(id, argument));
}

bool AllDigits(const std::string& text)
{
    for (const char c : text)
        if (!std::isdigit(static_cast<unsigned char>(c)))
            return false;
    return !text.empty();
}

int ParseDays(const std::string& text)
{
    const auto days = AllDigits(text) ? ParseDecimalInt(text) : std::nullopt;
    if (!days || *days < 1 || *days > kMaxReportDays)
        Refuse(kMsgNotADayCount, text);
    return *days;
}

int ParseExpire(const std::string& text)
{
    const auto seconds = AllDigits(text) ? ParseDecimalInt(text) : std::nullopt;
    if (!seconds || *seconds < 1 || *seconds > kMaxExpireSeconds)
        Refuse(kMsgNotASecondCount, text);
    return *seconds;
}

// Options that ask for two different things at once.
void RefuseClashes(const TodayArgs& a)
{
    if (a.all && a.member)
        Refuse(kMsgNotWithAll, "--member");
    if (a.all && a.days)
        Refuse(kMsgNotWithAll, "--days");
    if (a.all && a.notify)
        Refuse(kMsgNotWithAll, "--notify");
    if (a.notify && a.json)
        Refuse(kMsgNotWithNotify, "--json");
    if (a.notify && a.days)
        Refuse(kMsgNotWithNotify, "--days");
    // The calendar views are readings of their own.
    const std::pair<bool, const char*> calendarModes[] = {
        {a.month.has_value(), "--month"}, {a.nextGood, "--next-good"}, {a.ics.has_value(), "--ics"}};
    for (const auto& [given, name] : calendarModes) {
        if (given && a.all)
            Refuse(kMsgNotWithAll, name);
        if (given && a.notify)
            Refuse(kMsgNotWithNotify, name);
    }
    if (a.expireSeconds && !a.notify)
        Refuse(kMsgExpireNeedsNotify, "--expire");
    // Two members together: their compatibility, or with --next-good the next day good for both.
    if (a.pair) {
        const std::pair<bool, const char*> single[] = {{a.member.has_value(), "--member"},
                                                        {a.days.has_value(), "--days"},
                                                        {a.all, "--all"},
                                                        {a.notify, "--notify"},
                                                        {a.month.has_value(), "--month"},
                                                        {a.ics.has_value(), "--ics"}};
        for (const auto& [given, name] : single)
            if (given)
                Refuse(kMsgNotWithPair, name);
    }
}

} // namespace

TodayArgs ParseTodayArgs(const std::vector<std::string>& args)
{
    TodayArgs parsed;
    for (std::size_t i = 0; i < args.size(); ++i) {
        std::string name = args[i];
        std::optional<std::string> value;
        if (const auto eq = name.find('='); name.rfind("--", 0) == 0 && eq != std::string::npos) {
            value = name.substr(eq + 1);
            name.resize(eq);
        }
        const auto flag = [&](bool& field) {
            if (value)
                Refuse(kMsgUnknownOption, args[i]);
            field = true;
        };
        const auto take = [&]() -> std::string {
            if (value)
                return *value;
            if (i + 1 >= args.size())
                Refuse(kMsgOptionNeedsValue, name);
            return args[++i];
        };
        if (name == "--json")
            flag(parsed.json);
        else if (name == "--help")
            flag(parsed.help);
        else if (name == "--all")
            flag(parsed.all);
        else if (name == "--notify")
            flag(parsed.notify);
        else if (name == "--expire")
            parsed.expireSeconds = ParseExpire(take());
        else if (name == "--date")
            parsed.date = take();
        else if (name == "--member")
            parsed.member = take();
        else if (name == "--members")
            parsed.membersFile = koyomi::PathFromUtf8(take());
        else if (name == "--settings")
            parsed.settingsFile = koyomi::PathFromUtf8(take());
        else if (name == "--days")
            parsed.days = ParseDays(take());
        else if (name == "--month")
            // The month is optional: the next argument is it unless it is an option.
            parsed.month = value ? *value
                           : (i + 1 < args.size() && args[i + 1].rfind("--", 0) != 0) ? args[++i]
                                                                                       : std::string();
        else if (name == "--next-good")
            flag(parsed.nextGood);
        else if (name == "--ics")
            parsed.ics = take();
        else if (name == "--pair") {
            // Two members: "--pair A B" or "--pair=A B".
            const bool enough = value ? i + 1 < args.size() : i + 2 < args.size();
            if (!enough)
                throw koyomi::EMirvoError(LoadStr(kMsgPairNeedsTwo));
            std::string first = take();
            parsed.pair = std::pair{std::move(first), args[++i]};
        }
        else
            Refuse(kMsgUnknownOption, args[i]);
    }
    const int modes = (parsed.month ? 1 : 0) + (parsed.nextGood ? 1 : 0) + (parsed.ics ? 1 : 0);
    if (modes > 1)
        Refuse(kMsgOneCalendarMode, "--month, --next-good, --ics");
    if (!parsed.help)
        RefuseClashes(parsed);
    return parsed;
}

std::pair<int, int> ParseYearMonth(const std::string& text)
{
    constexpr std::size_t kYearMonthLength = 7;  // yyyy-mm
    const bool shaped = text.size() == kYearMonthLength && text[kYearDigits] == '-'
                        && AllDigits(text.substr(0, kYearDigits)) && AllDigits(text.substr(kMonthAt, kTwoDigits));
    const int year = shaped ? std::stoi(text.substr(0, kYearDigits)) : 0;
    const int month = shaped ? std::stoi(text.substr(kMonthAt, kTwoDigits)) : 0;
    if (year < 1 || month < 1 || month > 12)
        Refuse(kMsgNotAMonth, text);
    return {year, month};
}

koyomi::TDateTime ParseIsoDate(const std::string& text)
{
    const bool shaped = text.size() == kIsoDateLength && text[kYearDigits] == '-' && text[kMonthAt + kTwoDigits] == '-'
                        && AllDigits(text.substr(0, kYearDigits)) && AllDigits(text.substr(kMonthAt, kTwoDigits))
                        && AllDigits(text.substr(kDayAt, kTwoDigits));
    koyomi::TDateTime day = 0;
    if (!shaped
        || !koyomi::TryEncodeDate(std::stoi(text.substr(0, kYearDigits)), std::stoi(text.substr(kMonthAt, kTwoDigits)),
                                  std::stoi(text.substr(kDayAt, kTwoDigits)), day))
        Refuse(kMsgNotADate, text);
    return day;
}

} // namespace mirvo
