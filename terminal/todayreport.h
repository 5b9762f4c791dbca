// The day's reading outside the main window: one member and one or more
// days, computed by the same evaluation, with the same choice of member and
// the same settings as the main window. No Qt.
#pragma once

#include "app/verdict.h"
#include "koyomi/datetime.h"
#include "members/memberlist.h"
#include "members/options.h"

#include <string>
#include <vector>

namespace mirvo {

constexpr int kAnonymousMember = -1;   // the member index of the anonymous member
constexpr int kMaxReportDays = 1000;   // longest table of days

// String-table numbers of the terminal program's texts.
constexpr int kMsgTodayUsage = 41600;
constexpr int kMsgUnknownOption = 41601;
constexpr int kMsgOptionNeedsValue = 41602;
constexpr int kMsgNotADate = 41603;
constexpr int kMsgNotADayCount = 41604;
constexpr int kMsgUnknownMember = 41605;
constexpr int kMsgFileMissing = 41606;
constexpr int kMsgFileUnreadable = 41607;
constexpr int kMsgPastLastDay = 41608;
constexpr int kMsgSeeHelp = 41609;
constexpr int kTextAxisNames = 41610;  // 41610 + axis: 健康, 感情, 知性
constexpr int kTextPoints = 41613;     // 点
constexpr int kTextBorn = 41614;       // 生まれ
constexpr int kTextDayCount = 41615;   // 日目
constexpr int kTextDate = 41616;       // 日付
constexpr int kTextNoName = 41617;     // (名前なし)

struct TodayMember {
    int index = kAnonymousMember;  // index in the member list; -1 for the anonymous member
    TMemberListItem item;
};

struct TodayDay {
    koyomi::TDateTime date = 0;  // the day (its date part is what counts)
    double daysSinceBirth = 0;   // whole days from the birth day, negative before it
    Evaluation evaluation;
};

struct TodayReport {
    TodayMember member;
    EvalSettings settings;
    std::vector<TodayDay> days;  // consecutive days, the first one first
};

// The cycle lengths, weights and use flags the evaluation reads from the settings.
EvalSettings EvalSettingsOf(const TMirvoOptions& options);

// The member the main window shows at start: the one at DefaultUserIndex,
// member 0 when that index lies outside the list, and for an empty list the
// anonymous member (no name, sex 0, born `now`, time not known, no memo).
TodayMember StartMember(const TMemberList& members, int defaultUserIndex, koyomi::TDateTime now);

// The member named by `key`: a whole decimal number is an index into the
// list (0 first), any other text the exact name of a member (the first one
// of that name). Throws EMirvoError (the unknown-member message) when there
// is no such member.
TodayMember FindMember(const TMemberList& members, const std::string& key);

// The readings of `dayCount` (1..kMaxReportDays) consecutive days from
// `firstDay`. Throws EMirvoError when a day would lie past 9999-12-31.
TodayReport MakeReport(const TodayMember& member, const EvalSettings& settings, koyomi::TDateTime firstDay,
                       int dayCount);

// The face glyph of the main window ("J", "L", "M", drawn in a symbol font)
// as the Unicode character of that font's picture: ☺, ☹ and 💣.
std::string FaceSymbol(const std::string& face);

// The text of a string-table entry with "%s" replaced by `argument`.
std::string Message(int id, const std::string& argument);

} // namespace mirvo
