#include "tools/mkkosmera/stringsource.h"

#include "base/error.h"
#include "base/utf8.h"

#include <istream>
#include <optional>
#include <utility>

namespace kosmera {

using koyomi::EMirvoError;

namespace {

constexpr unsigned kMaxStringNumber = 0xFFFF * 16 - 1;  // block numbers are 16-bit
constexpr std::size_t kMaxNumberDigits = 7;

std::string LineError(int line, const std::string& what)
{
    return "文字列ファイルの " + std::to_string(line) + " 行目: " + what;
}

std::string Unescape(const std::string& text, int line)
{
    std::string out;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] != '\\') {
            out += text[i];
            continue;
        }
        if (++i == text.size())
            throw EMirvoError(LineError(line, "行末に \\ があります"));
        switch (text[i]) {
        case 'n': out += '\n'; break;
        case 't': out += '\t'; break;
        case '\\': out += '\\'; break;
        default: throw EMirvoError(LineError(line, std::string("\\") + text[i] + " は使えません"));
        }
    }
    return out;
}

} // namespace

std::u16string Utf8ToUtf16(const std::string& utf8)
{
    std::optional<std::u16string> units = koyomi::Utf8ToUtf16(utf8);
    if (!units)
        throw EMirvoError("UTF-8 として読めない文字があります");
    return std::move(*units);
}

std::map<unsigned, std::u16string> ReadStringSource(std::istream& in)
{
    std::map<unsigned, std::u16string> strings;
    std::string text;
    int line = 0;
    while (std::getline(in, text)) {
        ++line;
        if (!text.empty() && text.back() == '\r')
            text.pop_back();
        if (text.empty() || text[0] == '#')
            continue;
        const auto tab = text.find('\t');
        const std::string number = text.substr(0, tab);
        if (tab == std::string::npos || number.empty() || number.size() > kMaxNumberDigits
            || number.find_first_not_of("0123456789") != std::string::npos)
            throw EMirvoError(LineError(line, "「番号<TAB>文字列」の形ではありません"));
        const unsigned long value = std::stoul(number);
        if (value > kMaxStringNumber)
            throw EMirvoError(LineError(line, "番号 " + number + " が大きすぎます"));
        const auto n = static_cast<unsigned>(value);
        if (strings.contains(n))
            throw EMirvoError(LineError(line, "番号 " + number + " が重複しています"));
        const std::string unescaped = Unescape(text.substr(tab + 1), line);
        try {
            strings[n] = Utf8ToUtf16(unescaped);
        } catch (const EMirvoError& e) {
            throw EMirvoError(LineError(line, e.what()));
        }
    }
    return strings;
}

} // namespace kosmera
