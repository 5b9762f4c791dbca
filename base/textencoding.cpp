#include "base/textencoding.h"
#include "base/utf8.h"

#include "base/sjis.h"

#include <cstdint>

namespace mirvo {

namespace {

using koyomi::AppendUtf8;
using koyomi::IsValidUtf8;

constexpr std::string_view kUtf8Bom = "\xEF\xBB\xBF";
constexpr std::string_view kUtf16LEBom = "\xFF\xFE";
constexpr std::string_view kUtf16BEBom = "\xFE\xFF";
constexpr std::string_view kReplacementChar = "\xEF\xBF\xBD";   // U+FFFD

constexpr char32_t kHighSurrogateFirst = 0xD800;
constexpr char32_t kLowSurrogateFirst = 0xDC00;
constexpr char32_t kLowSurrogateLast = 0xDFFF;
constexpr char32_t kSurrogateBase = 0x10000;

bool IsHighSurrogate(char32_t unit)
{
    return unit >= kHighSurrogateFirst && unit < kLowSurrogateFirst;
}

bool IsLowSurrogate(char32_t unit)
{
    return unit >= kLowSurrogateFirst && unit <= kLowSurrogateLast;
}

// Whether Shift-JIS decodes every byte of the text to a character.
bool IsCleanShiftJis(std::string_view bytes)
{
    bool plain = true;
    for (const char c : bytes)
        plain = plain && static_cast<unsigned char>(c) < 0x80;
    return plain || koyomi::Cp932ToUtf8(bytes).find(kReplacementChar) == std::string::npos;
}

} // namespace


std::string Utf16ToUtf8(std::string_view bytes, bool bigEndian)
{
    std::string out;
    out.reserve(bytes.size() * 3 / 2);
    auto unitAt = [&](std::size_t pos) -> char32_t {
        const auto first = static_cast<unsigned char>(bytes[pos]);
        const auto second = static_cast<unsigned char>(bytes[pos + 1]);
        return bigEndian ? (char32_t{first} << 8) | second : (char32_t{second} << 8) | first;
    };
    std::size_t pos = 0;
    while (pos + 1 < bytes.size()) {
        const char32_t unit = unitAt(pos);
        pos += 2;
        if (IsHighSurrogate(unit) && pos + 1 < bytes.size() && IsLowSurrogate(unitAt(pos))) {
            const char32_t low = unitAt(pos);
            pos += 2;
            AppendUtf8(out, kSurrogateBase + ((unit - kHighSurrogateFirst) << 10) + (low - kLowSurrogateFirst));
        } else if (IsHighSurrogate(unit) || IsLowSurrogate(unit)) {
            out += kReplacementChar;
        } else {
            AppendUtf8(out, unit);
        }
    }
    if (pos < bytes.size())
        out += kReplacementChar;
    return out;
}

TMemberFileText DecodeMemberFile(std::string_view bytes)
{
    TMemberFileText file;
    if (bytes.starts_with(kUtf8Bom)) {
        file.encoding = feUtf8Bom;
        file.text = bytes.substr(kUtf8Bom.size());
    } else if (bytes.starts_with(kUtf16LEBom)) {
        file.encoding = feUtf16LE;
        file.text = Utf16ToUtf8(bytes.substr(kUtf16LEBom.size()), false);
    } else if (bytes.starts_with(kUtf16BEBom)) {
        file.encoding = feUtf16BE;
        file.text = Utf16ToUtf8(bytes.substr(kUtf16BEBom.size()), true);
    } else if (!IsCleanShiftJis(bytes) && IsValidUtf8(bytes)) {
        // Shift-JIS first: only a file that is not Shift-JIS but whole UTF-8 is taken for UTF-8.
        file.encoding = feUtf8;
        file.text = bytes;
    } else {
        file.text = bytes;
    }
    return file;
}

} // namespace mirvo
