#include "version/versionsource.h"

#include "base/error.h"
#include "base/messages.h"
#include "base/stringtable.h"

#include <charconv>
#include <cstdint>
#include <istream>
#include <limits>
#include <map>
#include <set>
#include <string>
#include <tuple>
#include <utility>
#include <vector>

namespace mirvo {

using koyomi::EMirvoError;

namespace {

constexpr char kFieldSeparator = '\t';
constexpr int kHexBase = 16;
constexpr int kDecimalBase = 10;

std::vector<std::string> SplitFields(const std::string& line)
{
    std::vector<std::string> fields;
    std::size_t pos = 0;
    while (true) {
        const std::size_t tab = line.find(kFieldSeparator, pos);
        fields.push_back(line.substr(pos, tab == std::string::npos ? std::string::npos : tab - pos));
        if (tab == std::string::npos)
            return fields;
        pos = tab + 1;
    }
}

class TSourceReader {
public:
    TVersionSource Read(std::istream& in);

private:
    [[noreturn]] void Fail(const std::string& what) const
    {
        throw MessageError(kMsgSourceLine, {std::to_string(FLine), what});
    }
    std::uint32_t Number(const std::string& text, std::uint32_t maximum) const;
    std::pair<std::uint32_t, std::uint32_t> Version(const std::string& text) const;
    void ReadField(const std::vector<std::string>& fields);
    void ExpectParts(const std::vector<std::string>& fields, std::size_t count) const;

    TVersionSource FSource;
    std::set<std::string> FSeen;
    int FLine = 0;
};

std::uint32_t TSourceReader::Number(const std::string& text, std::uint32_t maximum) const
{
    const bool hex = text.size() > 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X');
    const char* first = text.data() + (hex ? 2 : 0);
    const char* const last = text.data() + text.size();
    std::uint64_t value = 0;
    const auto [end, ec] = std::from_chars(first, last, value, hex ? kHexBase : kDecimalBase);
    if (ec != std::errc() || end != last || first == last || value > maximum)
        Fail(FormatStr(kMsgNumberRange, {text, std::to_string(maximum)}));
    return static_cast<std::uint32_t>(value);
}

void TSourceReader::ExpectParts(const std::vector<std::string>& fields, std::size_t count) const
{
    if (fields.size() != count)
        Fail(FormatStr(kMsgValueCount, {fields[0], std::to_string(count - 1)}));
}

void TSourceReader::ReadField(const std::vector<std::string>& fields)
{
    constexpr std::uint32_t kMax32 = std::numeric_limits<std::uint32_t>::max();
    constexpr std::uint32_t kMax16 = std::numeric_limits<std::uint16_t>::max();
    const std::string& name = fields[0];
    if (name == "string") {
        ExpectParts(fields, 3);
        FSource.strings.emplace_back(fields[1], fields[2]);
        return;
    }
    if (!FSeen.insert(name).second)
        Fail(FormatStr(kMsgTwice, {name}));
    TFixedFileInfo& f = FSource.fixed;
    const std::map<std::string, std::uint32_t*> numbers = {
        {"file-flags-mask", &f.fileFlagsMask}, {"file-flags", &f.fileFlags}, {"file-os", &f.fileOS},
        {"file-type", &f.fileType},            {"file-subtype", &f.fileSubtype},
    };
    if (name == "file-version") {
        ExpectParts(fields, 2);
        std::tie(f.fileVersionMS, f.fileVersionLS) = Version(fields[1]);
    } else if (name == "product-version") {
        ExpectParts(fields, 2);
        std::tie(f.productVersionMS, f.productVersionLS) = Version(fields[1]);
    } else if (name == "translation") {
        ExpectParts(fields, 3);
        FSource.language = static_cast<std::uint16_t>(Number(fields[1], kMax16));
        FSource.codePage = static_cast<std::uint16_t>(Number(fields[2], kMax16));
    } else if (const auto it = numbers.find(name); it != numbers.end()) {
        ExpectParts(fields, 2);
        *it->second = Number(fields[1], kMax32);
    } else {
        Fail(FormatStr(kMsgUnknownField, {name}));
    }
}

std::pair<std::uint32_t, std::uint32_t> TSourceReader::Version(const std::string& text) const
{
    try {
        return PackVersionNumber(text);
    } catch (const EMirvoError& e) {
        Fail(e.what());
    }
}

TVersionSource TSourceReader::Read(std::istream& in)
{
    std::string line;
    while (std::getline(in, line)) {
        ++FLine;
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        if (line.empty() || line.front() == '#')
            continue;
        ReadField(SplitFields(line));
    }
    return FSource;
}

} // namespace

TVersionSource ReadVersionSource(std::istream& in)
{
    return TSourceReader().Read(in);
}

} // namespace mirvo
