#include "base/utf8.h"

namespace koyomi {

namespace {

constexpr char32_t kLastCodePoint = 0x10FFFF;
constexpr char32_t kSurrogateFirst = 0xD800;
constexpr char32_t kLowSurrogateFirst = 0xDC00;
constexpr char32_t kSurrogateLast = 0xDFFF;
constexpr char32_t kSupplementaryFirst = 0x10000;
constexpr unsigned kSurrogateBits = 10;        // bits of the code point in each surrogate
constexpr char32_t kReplacementCode = 0xFFFD;  // what stands for a character that cannot be read

} // namespace

void AppendUtf8(std::string& out, char32_t c)
{
    if (c < 0x80) {
        out += static_cast<char>(c);
    } else if (c < 0x800) {
        out += static_cast<char>(0xC0 | (c >> 6));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else if (c < kSupplementaryFirst) {
        out += static_cast<char>(0xE0 | (c >> 12));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (c >> 18));
        out += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    }
}

std::string Utf8Of(char32_t c)
{
    std::string out;
    AppendUtf8(out, c);
    return out;
}

Utf8Sequence ReadUtf8(std::string_view text, std::size_t pos)
{
    static constexpr char32_t kShortest[] = {0, 0, 0x80, 0x800, kSupplementaryFirst};  // per length
    const auto lead = static_cast<unsigned char>(text[pos]);
    Utf8Sequence s;
    std::size_t length = 0;
    if (lead < 0x80) {
        length = 1, s.code = lead;
    } else if ((lead & 0xE0) == 0xC0) {
        length = 2, s.code = lead & 0x1F;
    } else if ((lead & 0xF0) == 0xE0) {
        length = 3, s.code = lead & 0x0F;
    } else if ((lead & 0xF8) == 0xF0) {
        length = 4, s.code = lead & 0x07;
    } else {
        return {};
    }
    if (text.size() - pos < length)
        return {};
    for (std::size_t k = 1; k < length; ++k) {
        const auto trail = static_cast<unsigned char>(text[pos + k]);
        if ((trail & 0xC0) != 0x80)
            return {};
        s.code = s.code << 6 | (trail & 0x3F);
    }
    s.length = length;
    s.sound = s.code >= kShortest[length] && s.code <= kLastCodePoint
              && !(s.code >= kSurrogateFirst && s.code <= kSurrogateLast);
    return s;
}

bool IsValidUtf8(std::string_view text)
{
    for (std::size_t pos = 0; pos < text.size();) {
        const Utf8Sequence s = ReadUtf8(text, pos);
        if (!s.sound)
            return false;
        pos += s.length;
    }
    return true;
}

Utf16Character ReadUtf16(char16_t first, char16_t next)
{
    const char32_t unit = first;
    if (unit < kSurrogateFirst || unit > kSurrogateLast)
        return {unit, 1};
    if (unit < kLowSurrogateFirst && next >= kLowSurrogateFirst && next <= kSurrogateLast)
        return {kSupplementaryFirst + ((unit - kSurrogateFirst) << kSurrogateBits) + (next - kLowSurrogateFirst), 2};
    return {kReplacementCode, 1};
}

void AppendUtf16AsUtf8(std::string& out, std::u16string_view text)
{
    for (std::size_t i = 0; i < text.size();) {
        const Utf16Character c = ReadUtf16(text[i], i + 1 < text.size() ? text[i + 1] : char16_t{0});
        AppendUtf8(out, c.code);
        i += c.length;
    }
}

std::optional<std::u16string> Utf8ToUtf16(std::string_view text)
{
    std::u16string out;
    for (std::size_t pos = 0; pos < text.size();) {
        const Utf8Sequence s = ReadUtf8(text, pos);
        if (!s.sound)
            return std::nullopt;
        if (s.code >= kSupplementaryFirst) {
            const char32_t v = s.code - kSupplementaryFirst;
            out += static_cast<char16_t>(kSurrogateFirst + (v >> 10));
            out += static_cast<char16_t>(kLowSurrogateFirst + (v & 0x3FF));
        } else {
            out += static_cast<char16_t>(s.code);
        }
        pos += s.length;
    }
    return out;
}

} // namespace koyomi
