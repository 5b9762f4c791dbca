#include "members/memberlist.h"

#include "base/error.h"
#include "base/fnv1a.h"
#include "base/messages.h"
#include "base/sjis.h"
#include "base/stringtable.h"
#include "base/systemerror.h"
#include "base/utf8.h"
#include "base/wholefile.h"
#include "members/csvfields.h"
#include "members/numbertext.h"

#include <algorithm>
#include <utility>
#include <string_view>

namespace mirvo {

namespace {

// Field positions of a member line.
enum TMemberField : std::size_t {
    mfName = 0,
    mfSex = 1,
    mfDate = 2,
    mfTime = 3,
    mfTimeKnown = 4,
    mfMemo = 5,
};
constexpr std::size_t kMinFieldsPerLine = mfDate + 1;

constexpr std::string_view kLineEnd = "\r\n";
constexpr char kQuote = '"';
constexpr char kComma = ',';

// Characters that would end or cut the line they are written in.
bool IsLineBreaking(char c)
{
    return c == '\r' || c == '\n' || c == '\0';
}

// The first UTF-8 character of `text` at `pos` (a broken byte on its own).
std::string_view Utf8CharAt(std::string_view text, std::size_t pos)
{
    constexpr unsigned char kContinuationMask = 0xC0;
    constexpr unsigned char kContinuation = 0x80;
    std::size_t end = pos + 1;
    while (end < text.size() && (static_cast<unsigned char>(text[end]) & kContinuationMask) == kContinuation)
        ++end;
    return text.substr(pos, end - pos);
}

std::string QuotedField(const std::string& bytes)
{
    std::string out(1, kQuote);
    for (const char c : bytes) {
        // Shift-JIS trail bytes are never a quote, so the bytes can be scanned one by one.
        if (c == kQuote)
            out += kQuote;
        out += c;
    }
    out += kQuote;
    return out;
}

// The Shift-JIS bytes of a Name or Memo; throws when the text cannot be kept.
std::string EncodeMemberText(const TMemberListItem& member, const std::string& text)
{
    const std::optional<std::string> bytes = koyomi::Utf8ToCp932(text);
    if (bytes && std::none_of(text.begin(), text.end(), IsLineBreaking))
        return *bytes;
    const std::string problem = MemberTextProblem(text).value_or(std::string());
    throw MessageError(kMsgUnsavableMember, {member.Name, problem});
}

std::string MemberLine(const TMemberListItem& member)
{
    std::string line = QuotedField(EncodeMemberText(member, member.Name));
    line += kComma;
    line += std::to_string(member.Sex);
    line += kComma;
    line += koyomi::DateToFileText(member.Birthday);
    line += kComma;
    line += koyomi::TimeToFileText(member.Birthday);
    line += kComma;
    line += member.TimeKnown ? '1' : '0';
    line += kComma;
    line += QuotedField(EncodeMemberText(member, member.Memo));
    line += kLineEnd;
    return line;
}

// The birthday of a line's fields; nullopt, with the problem, for a field
// that is no date or time.
std::optional<koyomi::TDateTime> ReadBirthday(const std::vector<std::string>& fields, bool utf8,
                                              TLineProblem& problem)
{
    auto text = [&](std::size_t field) { return utf8 ? fields[field] : koyomi::Cp932ToUtf8(fields[field]); };
    koyomi::TDateTime birthday = 0;
    if (!koyomi::TryTextToDate(text(mfDate), birthday)) {
        problem.kind = lpBadDate;
        problem.text = text(mfDate);
        return std::nullopt;
    }
    if (fields.size() > mfTime) {
        koyomi::TDateTime time = 0;
        if (!koyomi::TryTextToTime(text(mfTime), time)) {
            problem.kind = lpBadTime;
            problem.text = text(mfTime);
            return std::nullopt;
        }
        birthday += time;
    }
    return birthday;
}

// Whether a line's fields (UTF-8) name columns rather than hold a member:
// no field holds a digit, ASCII or full-width (a date always does).
bool IsHeaderLine(const std::vector<std::string>& fields)
{
    constexpr std::string_view kFullWidthDigitLead = "\xEF\xBC";  // ０-９ are EF BC 90-99
    constexpr unsigned char kFullWidthZero = 0x90;
    constexpr unsigned char kFullWidthNine = 0x99;
    for (const std::string& field : fields) {
        for (std::size_t i = 0; i < field.size(); ++i) {
            if (field[i] >= '0' && field[i] <= '9')
                return false;
            if (field.compare(i, kFullWidthDigitLead.size(), kFullWidthDigitLead) == 0 && i + 2 < field.size()) {
                const auto last = static_cast<unsigned char>(field[i + 2]);
                if (last >= kFullWidthZero && last <= kFullWidthNine)
                    return false;
            }
        }
    }
    return true;
}

bool IsBlankLine(std::string_view line)
{
    return std::all_of(line.begin(), line.end(),
                       [](char c) { return c != '\0' && static_cast<unsigned char>(c) <= ' '; });
}

// Whether a line's text is whole characters of its encoding.
bool IsDecodable(std::string_view line, bool utf8)
{
    constexpr std::string_view kReplacementChar = "\xEF\xBF\xBD";
    if (utf8)
        return koyomi::IsValidUtf8(line) && line.find(kReplacementChar) == std::string_view::npos;
    return koyomi::Cp932ToUtf8(line).find(kReplacementChar) == std::string::npos;
}

// The full path a file is known by, links followed.
std::string FileKey(const std::filesystem::path& path)
{
    std::error_code ec;
    const std::filesystem::path full = std::filesystem::weakly_canonical(std::filesystem::absolute(path, ec), ec);
    return (ec ? path : full).string();
}

} // namespace

TMemberListItem::TMemberListItem() : Birthday(koyomi::Now()) {}

void TMemberListItem::Assign(const TMemberListItem& source)
{
    Name = source.Name;
    Sex = source.Sex;
    Birthday = source.Birthday;
    TimeKnown = source.TimeKnown;
    Memo = source.Memo;
}

bool SameMemberData(const TMemberListItem& a, const TMemberListItem& b)
{
    return a.Name == b.Name && a.Sex == b.Sex && a.Birthday == b.Birthday && a.TimeKnown == b.TimeKnown
           && a.Memo == b.Memo;
}

std::optional<std::string> MemberTextProblem(const std::string& text)
{
    for (const char c : text)
        if (IsLineBreaking(c))
            return LoadStr(kMsgControlCharacter);
    if (koyomi::IsCp932Encodable(text))
        return std::nullopt;
    // Name the first character that cannot be kept.
    for (std::size_t pos = 0; pos < text.size();) {
        const std::string_view character = Utf8CharAt(text, pos);
        if (!koyomi::IsCp932Encodable(character))
            return FormatStr(kMsgUnsavableCharacter, {character});
        pos += character.size();
    }
    return FormatStr(kMsgUnsavableCharacter, {text});
}

int TMemberList::Count() const
{
    return static_cast<int>(FItems.size());
}

TMemberListItem& TMemberList::Items(int index)
{
    if (index < 0 || index >= Count())
        throw MessageError(kMsgBadIndex, {std::to_string(index)});
    return *FItems[static_cast<std::size_t>(index)];
}

const TMemberListItem& TMemberList::Items(int index) const
{
    return const_cast<TMemberList*>(this)->Items(index);
}

void TMemberList::Clear()
{
    for (auto& item : FItems)
        item.reset();
    FItems.clear();
}

void TMemberList::Delete(int index)
{
    Items(index);   // checks the index
    FItems.erase(FItems.begin() + index);
}

TMemberListItem& TMemberList::AddCopy(const TMemberListItem& source)
{
    return AddMember(source.Name, source.Sex, source.Birthday, source.TimeKnown, source.Memo);
}

TMemberListItem& TMemberList::AddMember(const std::string& name, std::int8_t sex, koyomi::TDateTime birthday,
                                        bool timeKnown, const std::string& memo)
{
    auto item = std::make_unique<TMemberListItem>();
    item->Name = name;
    item->Sex = sex;
    item->Birthday = birthday;
    item->TimeKnown = timeKnown;
    item->Memo = memo;
    FItems.push_back(std::move(item));
    return *FItems.back();
}

void TMemberList::Assign(const TMemberList& other)
{
    if (&other == this)
        return;
    Clear();
    for (const auto& item : other.FItems)
        AddCopy(*item);
    FSeenFiles = other.FSeenFiles;
}

int TMemberFileReport::UnreadLines() const
{
    return static_cast<int>(std::count_if(problems.begin(), problems.end(), [](const TLineProblem& problem) {
        return problem.kind != lpSexCode && problem.kind != lpHeaderLine;
    }));
}

bool TMemberFileReport::Complete() const
{
    return !cut && std::all_of(problems.begin(), problems.end(), [](const TLineProblem& problem) {
        return problem.kind == lpHeaderLine;
    });
}

bool TMemberList::LoadFromCsv(const std::filesystem::path& path)
{
    TMemberFileReport report;
    const bool added = LoadFromCsv(path, report);
    for (const TLineProblem& problem : report.problems) {
        if (problem.kind == lpBadDate)
            throw MessageError(kMsgFieldNotADate, {problem.text});
        if (problem.kind == lpBadTime)
            throw MessageError(kMsgFieldNotATime, {problem.text});
    }
    return added;
}

TMemberLine ParseMemberLine(std::string_view line, int lineNumber, bool utf8, bool mayBeHeader)
{
    TMemberLine read;
    if (IsBlankLine(line))
        return read;
    const auto refuse = [&read, lineNumber](TLineProblemKind kind, std::string text = {}) {
        read.problem = TLineProblem{lineNumber, kind, std::move(text)};
        return read;
    };
    const auto decode = [utf8](const std::string& field) { return utf8 ? field : koyomi::Cp932ToUtf8(field); };
    if (line.find('\0') != std::string_view::npos)
        return refuse(lpNulByte);
    if (!IsDecodable(line, utf8))
        return refuse(lpUndecodable);
    bool openQuote = false;
    const std::vector<std::string> fields = SplitCsvFields(line, &openQuote);
    if (openQuote)
        return refuse(lpOpenQuote);
    if (mayBeHeader && fields.size() >= kMinFieldsPerLine) {
        std::vector<std::string> names;
        for (const std::string& field : fields)
            names.push_back(decode(field));
        if (IsHeaderLine(names))
            return refuse(lpHeaderLine, decode(std::string(line)));
    }
    if (fields.size() < kMinFieldsPerLine)
        return refuse(lpTooFewFields);
    TLineProblem problem{lineNumber, lpTooFewFields, {}};
    const std::optional<koyomi::TDateTime> birthday = ReadBirthday(fields, utf8, problem);
    if (!birthday) {
        read.problem = problem;
        return read;
    }
    TMemberListItem member;
    member.Name = decode(fields[mfName]);
    member.Memo = fields.size() > mfMemo ? decode(fields[mfMemo]) : std::string();
    const std::optional<std::string> unsavable = MemberTextProblem(member.Name).has_value()
                                                     ? MemberTextProblem(member.Name)
                                                     : MemberTextProblem(member.Memo);
    if (unsavable)
        return refuse(lpUnsavable, *unsavable);
    // A text that is no integer gives 0; an integer other than a sex code too, with a report.
    const std::optional<std::int32_t> sexCode = ParseDecimalInt(fields[mfSex]);
    if (sexCode && *sexCode >= kSexNone && *sexCode <= kSexFemale)
        member.Sex = static_cast<std::int8_t>(*sexCode);
    else if (sexCode)
        read.problem = TLineProblem{lineNumber, lpSexCode, std::to_string(*sexCode)};
    member.Birthday = *birthday;
    member.TimeKnown = fields.size() > mfTimeKnown && ParseDecimalInt(fields[mfTimeKnown]).value_or(0) != 0;
    read.member = std::move(member);
    return read;
}

bool TMemberList::LoadFromCsv(const std::filesystem::path& path, TMemberFileReport& report, std::size_t limit)
{
    Clear();
    report = TMemberFileReport();
    std::error_code ec;
    if (!std::filesystem::exists(path, ec)) {
        RememberFile(path, nullptr, false);
        return false;
    }
    std::optional<TFilePrefix> prefix = ReadFilePrefix(path, limit);
    if (!prefix)
        throw MessageError(kMsgFileUnreadable, {path.string()});
    if (prefix->cut) {
        // Up to the last whole line; a line cut in two is not read.
        report.cut = true;
        const std::size_t lineEnd = prefix->bytes.find_last_of("\r\n");
        prefix->bytes.resize(lineEnd == std::string::npos ? 0 : lineEnd + 1);
    }
    const std::optional<std::string> content(std::move(prefix->bytes));
    const TMemberFileText file = DecodeMemberFile(*content);
    report.encoding = file.encoding;

    int added = 0;
    int lineNumber = 0;
    bool firstLine = true;
    for (const std::string_view line : SplitLines(file.text)) {
        const TMemberLine read = ParseMemberLine(line, ++lineNumber, file.IsUtf8(), firstLine);
        if (!read.member && !read.problem)
            continue;  // blank: the next line with text may still name the columns
        firstLine = false;
        // A line that cannot be read is lost alone: the lines after it are read.
        if (read.problem)
            report.problems.push_back(*read.problem);
        if (read.member) {
            AddCopy(*read.member);
            ++added;
        }
    }
    RememberFile(path, &*content, !report.Complete() || report.encoding != feShiftJis);
    return added > 0;
}

void TMemberList::RememberFile(const std::filesystem::path& path, const std::string* content,
                               bool keepOriginal) const
{
    TSeenFile& seen = FSeenFiles[FileKey(path)];
    seen.existed = content != nullptr;
    seen.contentHash = content ? koyomi::Fnv1a(*content) : 0;
    seen.keepOriginal = keepOriginal;
}

bool TMemberList::SaveToCsv(const std::filesystem::path& path) const
{
    TMemberSaveReport report;
    return SaveToCsv(path, report);
}

std::string TMemberList::FileText() const
{
    std::string content;
    for (const auto& item : FItems)
        content += MemberLine(*item);
    return content;
}

bool TMemberList::SaveToCsv(const std::filesystem::path& path, TMemberSaveReport& report, bool emptyReplaces,
                            bool originalKept) const
{
    report = TMemberSaveReport();
    std::error_code ec;
    if (FItems.empty() && (!emptyReplaces || !std::filesystem::exists(path, ec)))
        return false;
    const std::string content = FileText();
    if (IsSpecialFile(path))
        throw MessageError(kMsgNotRegularFile, {path.string()});
    if (std::filesystem::is_directory(path, ec))
        throw MessageError(kMsgCannotCreate, {path.string()});

    // Nothing goes through another user's link, not even a copy of what it leads to.
    CheckWriteAllowed(path);
    report.writtenTo = path;
    const auto seen = FSeenFiles.find(FileKey(path));
    const bool exists = std::filesystem::exists(path, ec);
    if (seen != FSeenFiles.end()) {
        const std::optional<std::string> now = exists ? ReadWholeFile(path) : std::nullopt;
        // A file deleted since holds no other version: the list goes back in its place.
        report.changedOnDisk = exists && (!seen->second.existed || !now || koyomi::Fnv1a(*now) != seen->second.contentHash);
        if (report.changedOnDisk) {
            // Someone else's version stays where it is; this list goes beside it.
            report.writtenTo = NumberedNameBeside(path);
            if (report.writtenTo.empty())
                throw MessageError(kMsgCannotCreate, {path.string()});
        } else if (exists && seen->second.keepOriginal && !originalKept) {
            // What was not read stays in the file's copy.
            report.backup = BackupNameBeside(path);
            if (report.backup.empty() || !CopyToNewFile(path, report.backup))
                throw MessageError(kMsgCannotCreate, {path.string()});
        }
    }
    CheckWriteAllowed(report.writtenTo);
    if (!ReplaceWholeFile(report.writtenTo, content)) {
        // A file that is there cannot be written; one that is not cannot be made.
        const bool there = std::filesystem::exists(report.writtenTo, ec);
        throw MessageError(there ? kMsgCannotWriteTo : kMsgCannotCreate, {report.writtenTo.string()});
    }
    RememberFile(report.writtenTo, &content, false);
    return true;
}

} // namespace mirvo
