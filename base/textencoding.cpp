#include "base/textencoding.h"
#include "base/utf8.h"

#include "base/sjis.h"

#include <cstdint>

namespace mirvo {

namespace {

using koyomi::IsValidUtf8;

constexpr std::string_view kUtf8Bom = "\xEF\xBB\xBF";
constexpr std::string_view kUtf16LEBom = "\xFF\xFE";
constexpr std::string_view kUtf16BEBom = "\xFE\xFF";
constexpr std::string_view kReplacementChar = "\xEF\xBF\xBD";   // U+FFFD

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
    std::u16string text;
    text.reserve(bytes.size() / 2);
    for (std::size_t pos = 0; pos + 1 < bytes.size(); pos += 2) {
        const auto first = static_cast<unsigned char>(bytes[pos]);
        const auto second = static_cast<unsigned char>(bytes[pos + 1]);
        text += static_cast<char16_t>(bigEndian ? (first << 8) | second : (second << 8) | first);
    }
    std::string out;
    out.reserve(bytes.size() * 3 / 2);
    koyomi::AppendUtf16AsUtf8(out, text);
    if (bytes.size() % 2 != 0)
        out += kReplacementChar;   // half a unit at the end
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
