#include "members/memberlist.h"

#include "app/stringtable.h"
#include "koyomi/error.h"
#include "koyomi/sjis.h"
#include "members/csvfields.h"
#include "members/numbertext.h"
#include "members/wholefile.h"

#include <algorithm>
#include <string_view>

namespace mirvo {

namespace {

// Messages of the member file (string-table numbers).
constexpr int kNotADate = 43040;            // '%s' は日付ではありません
constexpr int kNotATime = 43041;            // '%s' は時刻ではありません
constexpr int kCannotOpen = 41607;          // ファイル %s は開けません
constexpr int kCannotCreate = 43042;        // ファイル %s を作成できません
constexpr int kBadIndex = 43043;            // リストのインデックスが範囲を超えています (%s)
constexpr int kUnsavableCharacter = 43044;  // '%s' はファイルに保存できない文字です
constexpr int kControlCharacter = 43045;    // 改行などの制御文字はファイルに保存できません
constexpr int kUnsavableMember = 43046;     // %s さんのデータはファイルに保存できません: %s

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
    throw MessageError(kUnsavableMember, {member.Name, problem});
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

koyomi::TDateTime ReadBirthday(const std::vector<std::string>& fields)
{
    const std::string dateText = koyomi::Cp932ToUtf8(fields[mfDate]);
    koyomi::TDateTime birthday = 0;
    if (!koyomi::TryTextToDate(dateText, birthday))
        throw MessageError(kNotADate, {dateText});
    if (fields.size() > mfTime) {
        const std::string timeText = koyomi::Cp932ToUtf8(fields[mfTime]);
        koyomi::TDateTime time = 0;
        if (!koyomi::TryTextToTime(timeText, time))
            throw MessageError(kNotATime, {timeText});
        birthday += time;
    }
    return birthday;
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
            return LoadStr(kControlCharacter);
    if (koyomi::IsCp932Encodable(text))
        return std::nullopt;
    // Name the first character that cannot be kept.
    for (std::size_t pos = 0; pos < text.size();) {
        const std::string_view character = Utf8CharAt(text, pos);
        if (!koyomi::IsCp932Encodable(character))
            return FormatStr(kUnsavableCharacter, {character});
        pos += character.size();
    }
    return FormatStr(kUnsavableCharacter, {text});
}

int TMemberList::Count() const
{
    return static_cast<int>(FItems.size());
}

TMemberListItem& TMemberList::Items(int index)
{
    if (index < 0 || index >= Count())
        throw MessageError(kBadIndex, {std::to_string(index)});
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
}

bool TMemberList::LoadFromCsv(const std::filesystem::path& path)
{
    Clear();
    std::error_code ec;
    if (!std::filesystem::exists(path, ec))
        return false;
    const std::optional<std::string> content = ReadWholeFile(path);
    if (!content)
        throw MessageError(kCannotOpen, {path.string()});
    int added = 0;
    for (const std::string_view line : SplitLines(*content)) {
        const std::vector<std::string> fields = SplitCsvFields(line);
        if (fields.size() < kMinFieldsPerLine)
            continue;
        const std::string name = koyomi::Cp932ToUtf8(fields[mfName]);
        // The sex code is kept in 8 bits as read; a text that is no integer gives 0.
        const auto sex = static_cast<std::int8_t>(ParseDecimalInt(fields[mfSex]).value_or(kSexNone));
        const koyomi::TDateTime birthday = ReadBirthday(fields);
        const bool timeKnown = fields.size() > mfTimeKnown && ParseDecimalInt(fields[mfTimeKnown]).value_or(0) != 0;
        const std::string memo = fields.size() > mfMemo ? koyomi::Cp932ToUtf8(fields[mfMemo]) : std::string();
        AddMember(name, sex, birthday, timeKnown, memo);
        ++added;
    }
    return added > 0;
}

bool TMemberList::SaveToCsv(const std::filesystem::path& path) const
{
    if (FItems.empty())
        return false;
    std::string content;
    for (const auto& item : FItems)
        content += MemberLine(*item);
    if (!ReplaceWholeFile(path, content))
        throw MessageError(kCannotCreate, {path.string()});
    return true;
}

} // namespace mirvo
