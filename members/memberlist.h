// The member record, the owning member list and the member file: Shift-JIS
// text, one member per line ended by CR LF, six comma-separated fields
// "name",sex,yyyy/mm/dd,hh:nn:ss,timeKnown,"memo".
#pragma once

#include "koyomi/datetime.h"

#include <cstdint>
#include <filesystem>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace mirvo {

// Sex codes; a file may hold others, which are kept as they are.
constexpr std::int8_t kSexNone = 0;
constexpr std::int8_t kSexMale = 1;
constexpr std::int8_t kSexFemale = 2;

class TMemberListItem {
public:
    // A member with no name, sex 0, born now (local time), time not known, no memo.
    TMemberListItem();

    // Copies the five data fields; RowIndex is left as it is.
    void Assign(const TMemberListItem& source);

    // Working mark of the settings window: the list row at which it added the
    // member, -1 for a member whose row it deleted. Never saved or copied.
    std::int32_t RowIndex = 0;
    std::string Name;                 // UTF-8, one line
    std::int8_t Sex = kSexNone;       // 0 none, 1 male, 2 female
    koyomi::TDateTime Birthday = 0;   // birth date and time of day (local time)
    bool TimeKnown = false;           // whether the time of day of Birthday is known
    std::string Memo;                 // UTF-8, one line
};

// True when the five data fields are equal: Name and Memo as exact texts,
// Birthday as the exact date-time value.
bool SameMemberData(const TMemberListItem& a, const TMemberListItem& b);

// Why a Name or Memo cannot be kept in a member file (a character that
// Shift-JIS does not hold, a line break or another control character that
// ends a line), in the program's words; nullopt when it can. The settings
// window refuses such text when a member is added or updated, after passing
// it through koyomi::ToCp932Forms so that a WAVE DASH or MINUS SIGN from an
// input method is kept as the "～" or "－" Shift-JIS holds.
std::optional<std::string> MemberTextProblem(const std::string& text);

// The members in insertion order (after a load, the order of the lines). The
// list owns its members and releases one when it leaves the list.
class TMemberList {
public:
    TMemberList() = default;
    TMemberList(const TMemberList&) = delete;
    TMemberList& operator=(const TMemberList&) = delete;

    int Count() const;
    // The member at 0 <= index < Count(); another index throws EMirvoError.
    TMemberListItem& Items(int index);
    const TMemberListItem& Items(int index) const;

    // Releases every member, first to last.
    void Clear();
    // Removes and releases the member at 0 <= index < Count(); the members
    // after it move up by one.
    void Delete(int index);
    // Appends a copy of the five data fields of `source` (RowIndex 0).
    TMemberListItem& AddCopy(const TMemberListItem& source);
    // Appends a new member with these values (RowIndex 0). `birthday` is a
    // date-time value, days since 1899-12-30 with the time as the fraction.
    TMemberListItem& AddMember(const std::string& name, std::int8_t sex, koyomi::TDateTime birthday,
                               bool timeKnown, const std::string& memo);
    // Makes this list a deep copy of `other`'s members, in order.
    void Assign(const TMemberList& other);

    // Replaces the content by the members of the member file at `path`.
    // False, with an empty list, when the file is missing or has no member
    // lines. Throws EMirvoError for a file that cannot be read ("ファイル %s
    // は開けません") and for a bad date or time field ("'%s' は日付では
    // ありません", "'%s' は時刻ではありません"); the members of the lines
    // before a bad one stay in the list.
    bool LoadFromCsv(const std::filesystem::path& path);

    // Writes all members to the member file at `path`, replacing it
    // atomically. False, and nothing written, when the list is empty. Throws
    // EMirvoError, leaving the old file as it was, when a Name or Memo cannot
    // be kept in the file (see MemberTextProblem) or the file cannot be
    // written ("ファイル %s を作成できません").
    bool SaveToCsv(const std::filesystem::path& path) const;

private:
    std::vector<std::unique_ptr<TMemberListItem>> FItems;
};

} // namespace mirvo
