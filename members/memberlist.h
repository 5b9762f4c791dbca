// The member record, the owning member list and the member file: Shift-JIS
// text, one member per line ended by CR LF, six comma-separated fields
// "name",sex,yyyy/mm/dd,hh:nn:ss,timeKnown,"memo".
#pragma once

#include "base/textencoding.h"
#include "koyomi/datetime.h"

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace mirvo {

// The size up to which both programs read a member file, as they read a
// settings file: a member list of thousands of members is far smaller.
inline constexpr std::size_t kMaxMemberFileBytes = 1 << 20;

// Sex codes; another code in a file is read as kSexNone (and reported).
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

// Why a line of a member file gave no member, or not the member it holds.
enum TLineProblemKind {
    lpTooFewFields,   // fewer than three fields: not read
    lpNulByte,        // a NUL byte: not read
    lpOpenQuote,      // a quoted field without its closing quote: not read
    lpUndecodable,    // bytes that are not text in the file's encoding: not read
    lpUnsavable,      // a name or memo that Shift-JIS cannot hold (text: the reason): not read
    lpBadDate,        // field 2 is no date (text: the field): not read
    lpBadTime,        // field 3 is no time (text: the field): not read
    lpSexCode,        // a sex code outside 0-2 (text: the code): the member is read with sex 0
    lpHeaderLine,     // the first line names the columns, as spreadsheets write it (text: the line): skipped
};

struct TLineProblem {
    int line = 0;                   // 1 for the first line of the file
    TLineProblemKind kind = lpTooFewFields;
    std::string text;               // UTF-8; see the kinds
};

// What reading a member file met besides the members.
struct TMemberFileReport {
    TMemberFileEncoding encoding = feShiftJis;
    std::vector<TLineProblem> problems;   // in line order
    bool cut = false;                     // the file went on past the reader's size limit: the rest was not read
    // Lines with text that gave no member (a header line is not counted).
    int UnreadLines() const;
    // Every line with text but a header line gave its member as written.
    bool Complete() const;
};

// What one line of a member file gives: its member, or the problem that
// kept the line from giving one; both for a member read otherwise than the
// line writes it (lpSexCode); neither for a blank line.
struct TMemberLine {
    std::optional<TMemberListItem> member;
    std::optional<TLineProblem> problem;
};

// Reads one line of a member file, without its line end. `lineNumber`
// counts from 1; `utf8`: the file's text is UTF-8, else Shift-JIS;
// `mayBeHeader`: the first line with text, which may name the columns
// (lpHeaderLine) instead of holding a member.
TMemberLine ParseMemberLine(std::string_view line, int lineNumber, bool utf8, bool mayBeHeader);

// What saving the member list did besides writing it.
struct TMemberSaveReport {
    // Where the list was written: the path asked for, or, when the file
    // there changed on disk since this program read or wrote it, a new file
    // beside it ("Mirvo (2).csv"), the changed file left as it is.
    std::filesystem::path writtenTo;
    bool changedOnDisk = false;
    // The file as it was, kept beside it before it was replaced, when it had
    // been read incompletely or in another encoding than Shift-JIS
    // ("Mirvo.csv.bak", "Mirvo.csv.bak2", ...); empty when none was needed.
    std::filesystem::path backup;
};

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
    // Makes this list a deep copy of `other`'s members, in order, with
    // what `other` knows of the files it read and wrote.
    void Assign(const TMemberList& other);

    // Replaces the content by the members of the member file at `path`.
    // False, with an empty list, when the file is missing or has no member
    // lines. Throws EMirvoError for a file that cannot be read ("ファイル %s
    // は開けません") and, after every other line was read, for the first bad
    // date or time field ("'%s' は日付ではありません", "'%s' は時刻では
    // ありません"); the members of all other lines stay in the list.
    bool LoadFromCsv(const std::filesystem::path& path);
    // The same, telling every line that gave no member, or not the member it
    // holds, in `report` instead of throwing for a bad date or time; throws
    // only for a file that cannot be read. A line that cannot be read is
    // passed over and the lines after it are read. A first line whose fields
    // hold no digit (column names such as 氏名,性別,生年月日) is skipped
    // and noted (lpHeaderLine). A file in UTF-8 or UTF-16 (see
    // DecodeMemberFile) is read as what it is.
    // With `limit`, only the file's first `limit` bytes are read, up to the
    // last line end among them, and report.cut tells that there was more.
    bool LoadFromCsv(const std::filesystem::path& path, TMemberFileReport& report, std::size_t limit = SIZE_MAX);

    // Writes all members to the member file at `path`, replacing it
    // atomically. False, and nothing written, when the list is empty. Throws
    // EMirvoError, leaving the old file as it was, when a Name or Memo cannot
    // be kept in the file (see MemberTextProblem), when something other than
    // a regular file lies at `path` ("ファイル %s は通常のファイルではない
    // ので保存しません") or the file cannot be written ("ファイル %s を作成
    // できません"). A file this list read or wrote before is never lost:
    // one that changed on disk since stays as it is and the list goes
    // beside it; one read incompletely or in another encoding is kept
    // beside it first (see TMemberSaveReport).
    // With `emptyReplaces`, an empty list replaces an existing file by an
    // empty one (the user deleted every member and said so); a missing file
    // is still not made. With `originalKept`, the caller has kept the file's
    // present version already (among its backups), and no copy is made
    // beside it.
    bool SaveToCsv(const std::filesystem::path& path) const;
    bool SaveToCsv(const std::filesystem::path& path, TMemberSaveReport& report, bool emptyReplaces = false,
                   bool originalKept = false) const;

    // The bytes SaveToCsv writes for this list; throws as SaveToCsv does for
    // a Name or Memo that cannot be kept.
    std::string FileText() const;

private:
    // What this list read from or wrote to a file, by the file's full path.
    struct TSeenFile {
        bool existed = false;
        std::uint64_t contentHash = 0;
        bool keepOriginal = false;   // read incompletely or in another encoding
    };
    void RememberFile(const std::filesystem::path& path, const std::string* content, bool keepOriginal) const;

    std::vector<std::unique_ptr<TMemberListItem>> FItems;
    mutable std::map<std::string, TSeenFile> FSeenFiles;
};

} // namespace mirvo
