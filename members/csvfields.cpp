#include "members/csvfields.h"

#include "base/sjis.h"

namespace mirvo {

namespace {

constexpr char kQuote = '"';
constexpr char kComma = ',';
constexpr char kCR = '\r';
constexpr char kLF = '\n';
constexpr unsigned char kLastBlankCode = 32;   // blanks and control characters are 1..32

bool IsBlankOrControl(char c)
{
    const auto code = static_cast<unsigned char>(c);
    return code >= 1 && code <= kLastBlankCode;
}

void SkipBlanks(std::string_view line, std::size_t& pos)
{
    while (pos < line.size() && IsBlankOrControl(line[pos]))
        ++pos;
}

// Reads a quoted field whose opening quote is at `pos`; `pos` ends after the
// closing quote (or at the end of the line when it is missing, which `open` tells).
std::string ReadQuotedField(std::string_view line, std::size_t& pos, bool& open)
{
    std::string field;
    ++pos;
    while (pos < line.size()) {
        if (line[pos] == kQuote) {
            if (pos + 1 < line.size() && line[pos + 1] == kQuote) {
                field += kQuote;
                pos += 2;
                continue;
            }
            ++pos;
            return field;
        }
        const std::size_t length = koyomi::SjisCharLength(line, pos);
        field.append(line.substr(pos, length));
        pos += length;
    }
    open = true;
    return field;
}

// Reads an unquoted field: up to a comma or a blank or control character.
std::string ReadPlainField(std::string_view line, std::size_t& pos)
{
    const std::size_t start = pos;
    while (pos < line.size()) {
        const auto code = static_cast<unsigned char>(line[pos]);
        if (code <= kLastBlankCode || line[pos] == kComma)
            break;
        pos += koyomi::SjisCharLength(line, pos);
    }
    return std::string(line.substr(start, pos - start));
}

} // namespace

std::vector<std::string_view> SplitLines(std::string_view text)
{
    std::vector<std::string_view> lines;
    std::size_t start = 0;
    std::size_t pos = 0;
    while (pos < text.size()) {
        if (text[pos] != kCR && text[pos] != kLF) {
            ++pos;
            continue;
        }
        lines.push_back(text.substr(start, pos - start));
        if (text[pos] == kCR && pos + 1 < text.size() && text[pos + 1] == kLF)
            ++pos;
        start = ++pos;
    }
    if (start < text.size())
        lines.push_back(text.substr(start));
    return lines;
}

std::vector<std::string> SplitCsvFields(std::string_view line, bool* openQuote)
{
    line = line.substr(0, line.find('\0'));
    bool open = false;
    std::vector<std::string> fields;
    std::size_t pos = 0;
    SkipBlanks(line, pos);
    while (pos < line.size()) {
        if (line[pos] == kQuote)
            fields.push_back(ReadQuotedField(line, pos, open));
        else
            fields.push_back(ReadPlainField(line, pos));
        SkipBlanks(line, pos);
        if (pos < line.size() && line[pos] == kComma) {
            ++pos;
            SkipBlanks(line, pos);
        }
    }
    if (openQuote)
        *openQuote = open;
    return fields;
}

} // namespace mirvo
