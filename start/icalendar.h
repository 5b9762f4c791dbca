// Calendar files (iCalendar, RFC 5545): one all-day event per day with the
// member's reading, for the user's own calendar program. No Qt.
#pragma once

#include "members/memberlist.h"
#include "reading/dayseries.h"

#include <string>
#include <string_view>
#include <vector>

namespace mirvo {

constexpr std::size_t kIcsLineOctets = 75;  // longest content line, line break not counted

// A TEXT value with "\", ";", "," and line breaks escaped (a CR LF pair or a
// lone CR is one line break) and the other control characters, which a
// calendar file may not hold, left out (C0 but the tab, DEL, C1).
std::string IcsEscapeText(std::string_view text);

// One content line as it goes into the file: folded into pieces of at most
// kIcsLineOctets octets (the blank that starts a continuation counts), never
// inside a UTF-8 character, each piece ended by CR LF.
std::string IcsFoldLine(std::string_view line);

// The event's UID: the same for the same member (name and birth date) and
// day on every export, so that importing again replaces the events.
std::string IcsUid(const TMemberListItem& member, koyomi::TDateTime day);

// "-//company//product version//JA" from the program's version information.
std::string IcsProductId();

// The event's summary: "ミルボ 健康:良い 感情:普通 知性:頑張れ", with the
// member's name after "ミルボ" when there is one.
std::string IcsSummary(const TMemberListItem& member, const TDayVerdict& verdict);

// The event's description: per axis the percent, the star total and the
// rating word, then the advice sentence.
std::string IcsDescription(const Evaluation& evaluation);

// The whole calendar: one VEVENT per day, DTSTAMP `stampUtc` (a date-time in
// UTC), CR LF line ends.
std::string MakeIcsCalendar(const TMemberListItem& member, const std::vector<DayEvaluation>& days,
                            koyomi::TDateTime stampUtc);

// The current date and time in UTC, for DTSTAMP.
koyomi::TDateTime UtcNow();

} // namespace mirvo
