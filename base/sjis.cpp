#include "base/sjis.h"

#include "base/codepage.h"

#include <array>
#include <utility>

namespace koyomi {

namespace {

constexpr unsigned char kLeadLow1 = 0x81;
constexpr unsigned char kLeadHigh1 = 0x9F;
constexpr unsigned char kLeadLow2 = 0xE0;
constexpr unsigned char kLeadHigh2 = 0xFC;
constexpr unsigned char kTrailLow = 0x40;
constexpr unsigned char kTrailGap = 0x7F;   // the one byte in the trail range that is not a trail byte
constexpr unsigned char kTrailHigh = 0xFC;

// Text forms that input methods give for characters code page 932 holds
// under another code point.
constexpr std::array<std::pair<std::string_view, std::string_view>, 7> kCp932Forms = {{
    {"\xE3\x80\x9C", "\xEF\xBD\x9E"},   // U+301C WAVE DASH -> U+FF5E FULLWIDTH TILDE
    {"\xE2\x88\x92", "\xEF\xBC\x8D"},   // U+2212 MINUS SIGN -> U+FF0D FULLWIDTH HYPHEN-MINUS
    {"\xE2\x80\x96", "\xE2\x88\xA5"},   // U+2016 DOUBLE VERTICAL LINE -> U+2225 PARALLEL TO
    {"\xE2\x80\x94", "\xE2\x80\x95"},   // U+2014 EM DASH -> U+2015 HORIZONTAL BAR
    {"\xC2\xA2", "\xEF\xBF\xA0"},       // U+00A2 CENT SIGN -> U+FFE0
    {"\xC2\xA3", "\xEF\xBF\xA1"},       // U+00A3 POUND SIGN -> U+FFE1
    {"\xC2\xAC", "\xEF\xBF\xA2"},       // U+00AC NOT SIGN -> U+FFE2
}};

} // namespace

bool IsSjisLeadByte(unsigned char byte)
{
    return (byte >= kLeadLow1 && byte <= kLeadHigh1) || (byte >= kLeadLow2 && byte <= kLeadHigh2);
}

bool IsSjisTrailByte(unsigned char byte)
{
    return byte >= kTrailLow && byte <= kTrailHigh && byte != kTrailGap;
}

std::size_t SjisCharLength(std::string_view bytes, std::size_t pos)
{
    if (pos + 1 < bytes.size() && IsSjisLeadByte(static_cast<unsigned char>(bytes[pos]))
        && IsSjisTrailByte(static_cast<unsigned char>(bytes[pos + 1])))
        return 2;
    return 1;
}

std::string Cp932ToUtf8(std::string_view bytes)
{
    return platform::DecodeCp932(bytes);
}

std::optional<std::string> Utf8ToCp932(std::string_view utf8)
{
    auto result = platform::EncodeCp932(utf8);
    // The converters also take a few look-alikes (U+301C for 0x8160, U+00A5
    // for 0x5C, ...) that would read back as other characters: refuse them.
    if (result && Cp932ToUtf8(*result) != utf8)
        return std::nullopt;
    return result;
}

bool IsCp932Encodable(std::string_view utf8)
{
    return Utf8ToCp932(utf8).has_value();
}

std::string ToCp932Forms(std::string_view utf8)
{
    std::string result;
    result.reserve(utf8.size());
    std::size_t pos = 0;
    while (pos < utf8.size()) {
        bool replaced = false;
        for (const auto& [from, to] : kCp932Forms) {
            if (utf8.substr(pos).starts_with(from)) {
                result += to;
                pos += from.size();
                replaced = true;
                break;
            }
        }
        if (!replaced)
            result += utf8[pos++];
    }
    return result;
}

} // namespace koyomi
