#include "members/inifile.h"

#include "base/sjis.h"
#include "base/utf8.h"
#include "members/csvfields.h"

#include <algorithm>

namespace mirvo {

namespace {

constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";
constexpr std::string_view kCRLF = "\r\n";
constexpr std::string_view kBlanks = " \t";
constexpr char kSectionOpen = '[';
constexpr char kSectionClose = ']';
constexpr char kEquals = '=';
constexpr char kDoubleQuote = '"';
constexpr char kSingleQuote = '\'';
constexpr std::string_view kCommentStarts = ";#";

std::string_view Trim(std::string_view text)
{
    const std::size_t first = text.find_first_not_of(kBlanks);
    if (first == std::string_view::npos)
        return {};
    const std::size_t last = text.find_last_not_of(kBlanks);
    return text.substr(first, last - first + 1);
}

char AsciiLower(char c)
{
    return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
}

bool SameName(std::string_view a, std::string_view b)
{
    return a.size() == b.size()
           && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) { return AsciiLower(x) == AsciiLower(y); });
}

bool HasLineBreak(std::string_view text)
{
    return text.find_first_of("\r\n") != std::string_view::npos;
}

bool IsQuote(char c)
{
    return c == kDoubleQuote || c == kSingleQuote;
}

bool HasSurroundingQuotes(std::string_view value)
{
    return value.size() >= 2 && IsQuote(value.front()) && value.back() == value.front();
}

// The value as reading gives it back exactly.
std::string ValueText(std::string_view value)
{
    if (Trim(value) != value || HasSurroundingQuotes(value))
        return std::string(1, kDoubleQuote) + std::string(value) + kDoubleQuote;
    return std::string(value);
}

} // namespace

TIniDocument::TIniDocument(std::string_view text)
{
    if (text.starts_with(kByteOrderMark)) {
        FByteOrderMark = kByteOrderMark;
        text.remove_prefix(kByteOrderMark.size());
    }
    const std::size_t firstEnd = text.find_first_of("\r\n");
    if (firstEnd != std::string_view::npos && text.substr(firstEnd).starts_with(kCRLF))
        FLineEnd = kCRLF;
    std::size_t section = 0;
    for (const std::string_view line : SplitLines(text)) {
        if (line.size() > kMaxIniLineBytes)
            FLongLines.push_back(FLines.size() + 1);
        FLines.push_back(ParseLine(std::string(line), section));
        section = FLines.back().section;
    }
}

TIniDocument::TLine TIniDocument::ParseLine(std::string text, std::size_t currentSection)
{
    TLine line;
    line.section = currentSection;
    const std::string_view trimmed = Trim(text);
    if (!trimmed.empty() && trimmed.front() == kSectionOpen) {
        line.isSection = true;
        if (text.size() > kMaxIniLineBytes) {
            line.section = kNoName;
        } else {
            const std::string_view inside = trimmed.substr(1);
            line.section = FSectionNames.size();
            FSectionNames.emplace_back(Trim(inside.substr(0, inside.find(kSectionClose))));
        }
    } else if (text.size() > kMaxIniLineBytes) {
        // Kept as it is, read as nothing.
    } else if (!trimmed.empty() && kCommentStarts.find(trimmed.front()) == std::string_view::npos) {
        const std::size_t equals = trimmed.find(kEquals);
        if (equals != std::string_view::npos)
            line.key = std::string(Trim(trimmed.substr(0, equals)));
    }
    line.text = std::move(text);
    return line;
}

bool TIniDocument::SectionIs(std::size_t index, std::string_view name) const
{
    return index < FSectionNames.size() && SameName(FSectionNames[index], name);
}

std::optional<std::size_t> TIniDocument::FindSection(std::string_view section) const
{
    for (std::size_t i = 0; i < FLines.size(); ++i)
        if (FLines[i].isSection && SectionIs(FLines[i].section, section))
            return i;
    return std::nullopt;
}

std::optional<std::size_t> TIniDocument::FindKey(std::size_t sectionLine, std::string_view key) const
{
    for (std::size_t i = sectionLine + 1; i < FLines.size() && !FLines[i].isSection; ++i)
        if (!FLines[i].key.empty() && SameName(FLines[i].key, key))
            return i;
    return std::nullopt;
}

std::optional<std::string> TIniDocument::ReadString(std::string_view section, std::string_view key) const
{
    const auto sectionLine = FindSection(section);
    if (!sectionLine)
        return std::nullopt;
    const auto keyLine = FindKey(*sectionLine, key);
    if (!keyLine)
        return std::nullopt;
    const std::string& text = FLines[*keyLine].text;
    std::string_view value = Trim(std::string_view(text).substr(text.find(kEquals) + 1));
    if (HasSurroundingQuotes(value))
        value = value.substr(1, value.size() - 2);
    return std::string(value);
}

bool TIniDocument::WriteString(std::string_view section, std::string_view key, std::string_view value)
{
    const std::string_view cleanKey = Trim(key);
    if (HasLineBreak(section) || HasLineBreak(key) || HasLineBreak(value) || cleanKey.empty()
        || cleanKey != key || key.find(kEquals) != std::string_view::npos || IsQuote(key.front())
        || kCommentStarts.find(key.front()) != std::string_view::npos || key.front() == kSectionOpen
        || section.find(kSectionClose) != std::string_view::npos || Trim(section) != section
        || section.size() + 2 > kMaxIniLineBytes || key.size() + value.size() + 3 > kMaxIniLineBytes)
        return false;

    const std::string keyLineEnd = std::string(1, kEquals) + ValueText(value);
    auto sectionLine = FindSection(section);
    if (sectionLine) {
        if (const auto keyLine = FindKey(*sectionLine, key)) {
            TLine& line = FLines[*keyLine];
            line.text = line.key + keyLineEnd;
            return true;
        }
    } else {
        if (!FLines.empty() && !Trim(FLines.back().text).empty())
            FLines.push_back(ParseLine("", FLines.back().section));
        const std::size_t previous = FLines.empty() ? 0 : FLines.back().section;
        FLines.push_back(ParseLine(kSectionOpen + std::string(section) + kSectionClose, previous));
        sectionLine = FLines.size() - 1;
    }
    // After the last non-blank line of the section, so blank separators stay below it.
    std::size_t insertAfter = *sectionLine;
    for (std::size_t i = *sectionLine + 1; i < FLines.size() && !FLines[i].isSection; ++i)
        if (!Trim(FLines[i].text).empty())
            insertAfter = i;
    FLines.insert(FLines.begin() + static_cast<std::ptrdiff_t>(insertAfter + 1),
                  ParseLine(std::string(key) + keyLineEnd, FLines[*sectionLine].section));
    return true;
}

std::string IniTextFromFile(std::string bytes)
{
    if (std::string_view(bytes).starts_with(kByteOrderMark) || koyomi::IsValidUtf8(bytes))
        return bytes;
    return koyomi::Cp932ToUtf8(bytes);
}

std::string TIniDocument::Text() const
{
    std::size_t size = FByteOrderMark.size();
    for (const TLine& line : FLines)
        size += line.text.size() + FLineEnd.size();
    std::string text;
    text.reserve(size);
    text += FByteOrderMark;
    for (const TLine& line : FLines) {
        text += line.text;
        text += FLineEnd;
    }
    return text;
}

} // namespace mirvo
