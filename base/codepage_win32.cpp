// Code page 932 on Windows: MultiByteToWideChar and WideCharToMultiByte.
#include "base/codepage.h"

#include "base/sjis.h"
#include "base/utf8.h"

#include <windows.h>

namespace koyomi::platform {

namespace {

constexpr UINT kCodePageJapanese = 932;
constexpr std::string_view kReplacementChar = "\xEF\xBF\xBD";   // U+FFFD
constexpr unsigned char kFirstNonAscii = 0x80;
// Half-width katakana, the only single bytes above ASCII that are characters.
constexpr unsigned char kKatakanaFirst = 0xA1;
constexpr unsigned char kKatakanaLast = 0xDF;
constexpr int kMaxUnitsPerCharacter = 2;

// One character of code page 932 (one byte or a lead and a trail byte) in
// UTF-8; false when the code page has no character there. Windows' table
// also gives the single bytes 0x80, 0xA0 and 0xFD-0xFF private meanings;
// they are no characters of the code page and are refused here, as iconv
// refuses them.
bool DecodeCharacter(std::string_view character, std::string& out)
{
    const auto first = static_cast<unsigned char>(character[0]);
    if (character.size() == 1 && (first < kKatakanaFirst || first > kKatakanaLast))
        return false;
    wchar_t units[kMaxUnitsPerCharacter] = {};
    const int count = ::MultiByteToWideChar(kCodePageJapanese, MB_ERR_INVALID_CHARS, character.data(),
                                            static_cast<int>(character.size()), units, kMaxUnitsPerCharacter);
    if (count <= 0)
        return false;
    AppendUtf16AsUtf8(out, std::u16string_view(reinterpret_cast<const char16_t*>(units), static_cast<std::size_t>(count)));
    return true;
}

} // namespace

std::string DecodeCp932(std::string_view bytes)
{
    std::string result;
    result.reserve(bytes.size() + bytes.size() / 2);
    std::size_t pos = 0;
    while (pos < bytes.size()) {
        if (static_cast<unsigned char>(bytes[pos]) < kFirstNonAscii) {
            result += bytes[pos++];   // ASCII reads as ASCII, backslash and tilde included
            continue;
        }
        const std::size_t length = SjisCharLength(bytes, pos);
        if (!DecodeCharacter(bytes.substr(pos, length), result))
            result += kReplacementChar;
        pos += length;
    }
    return result;
}

std::optional<std::string> EncodeCp932(std::string_view utf8)
{
    if (utf8.empty())
        return std::string();
    const int size = static_cast<int>(utf8.size());
    const int unitCount = ::MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, utf8.data(), size, nullptr, 0);
    if (unitCount <= 0)
        return std::nullopt;   // not valid UTF-8
    std::wstring units(static_cast<std::size_t>(unitCount), L'\0');
    ::MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, utf8.data(), size, units.data(), unitCount);

    BOOL usedDefault = FALSE;
    const int byteCount = ::WideCharToMultiByte(kCodePageJapanese, WC_NO_BEST_FIT_CHARS, units.data(), unitCount,
                                                nullptr, 0, nullptr, &usedDefault);
    if (byteCount <= 0 || usedDefault)
        return std::nullopt;   // a character the code page lacks
    std::string bytes(static_cast<std::size_t>(byteCount), '\0');
    ::WideCharToMultiByte(kCodePageJapanese, WC_NO_BEST_FIT_CHARS, units.data(), unitCount, bytes.data(),
                          byteCount, nullptr, &usedDefault);
    if (usedDefault)
        return std::nullopt;
    return bytes;
}

} // namespace koyomi::platform
