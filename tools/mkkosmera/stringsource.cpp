#include "tools/mkkosmera/stringsource.h"

#include "koyomi/base/error.h"

#include <istream>

namespace kosmera {

using koyomi::EMirvoError;

namespace {

constexpr unsigned kMaxStringNumber = 0xFFFF * 16 - 1;  // block numbers are 16-bit
constexpr std::size_t kMaxNumberDigits = 7;
constexpr char32_t kMaxCodePoint = 0x10FFFF;
constexpr char32_t kSurrogateFirst = 0xD800;
constexpr char32_t kSurrogateEnd = 0xE000;
constexpr char32_t kSupplementaryFirst = 0x10000;

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

// Length of the UTF-8 sequence a lead byte opens and the bits it carries; 0 for a bad lead byte.
std::size_t SequenceLength(unsigned char lead, char32_t& bits)
{
    if (lead < 0x80) { bits = lead; return 1; }
    if ((lead & 0xE0) == 0xC0) { bits = lead & 0x1F; return 2; }
    if ((lead & 0xF0) == 0xE0) { bits = lead & 0x0F; return 3; }
    if ((lead & 0xF8) == 0xF0) { bits = lead & 0x07; return 4; }
    return 0;
}

} // namespace

std::u16string Utf8ToUtf16(const std::string& utf8)
{
    static constexpr char32_t kSmallest[] = {0, 0, 0x80, 0x800, 0x10000};  // shortest form per length
    std::u16string out;
    for (std::size_t i = 0; i < utf8.size();) {
        char32_t c = 0;
        const std::size_t length = SequenceLength(static_cast<unsigned char>(utf8[i]), c);
        if (length == 0 || i + length > utf8.size())
            throw EMirvoError("UTF-8 として読めない文字があります");
        for (std::size_t k = 1; k < length; ++k) {
            const auto byte = static_cast<unsigned char>(utf8[i + k]);
            if ((byte & 0xC0) != 0x80)
                throw EMirvoError("UTF-8 として読めない文字があります");
            c = (c << 6) | (byte & 0x3F);
        }
        if (c < kSmallest[length] || c > kMaxCodePoint || (c >= kSurrogateFirst && c < kSurrogateEnd))
            throw EMirvoError("UTF-8 として読めない文字があります");
        if (c >= kSupplementaryFirst) {
            c -= kSupplementaryFirst;
            out += static_cast<char16_t>(kSurrogateFirst + (c >> 10));
            out += static_cast<char16_t>(0xDC00 + (c & 0x3FF));
        } else {
            out += static_cast<char16_t>(c);
        }
        i += length;
    }
    return out;
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
