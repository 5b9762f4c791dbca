#include "members/numbertext.h"

#include <charconv>
#include <cmath>

namespace mirvo {

namespace {

constexpr int kDecimal = 10;
constexpr int kHexadecimal = 16;
constexpr std::string_view kHexPrefixLower = "0x";
constexpr std::string_view kHexPrefixUpper = "0X";

constexpr int kSignificantDigits = 15;
constexpr int kSmallestFixedExponent = -5;   // 0.00001 is still written in fixed notation
constexpr int kFormatBufferSize = 64;

bool IsDigit(char c)
{
    return c >= '0' && c <= '9';
}

// Whether the text has the shape of a decimal number: [sign] digits [. digits]
// [E [sign] digits], with digits on at least one side of the point.
bool IsDecimalNumberText(std::string_view text)
{
    std::size_t pos = 0;
    auto digits = [&] {
        const std::size_t start = pos;
        while (pos < text.size() && IsDigit(text[pos]))
            ++pos;
        return pos - start;
    };
    if (pos < text.size() && (text[pos] == '+' || text[pos] == '-'))
        ++pos;
    std::size_t mantissaDigits = digits();
    if (pos < text.size() && text[pos] == '.') {
        ++pos;
        mantissaDigits += digits();
    }
    if (mantissaDigits == 0)
        return false;
    if (pos < text.size() && (text[pos] == 'e' || text[pos] == 'E')) {
        ++pos;
        if (pos < text.size() && (text[pos] == '+' || text[pos] == '-'))
            ++pos;
        if (digits() == 0)
            return false;
    }
    return pos == text.size();
}

bool IsHexDigit(char c)
{
    return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F');
}

} // namespace

std::string AsciiNumberText(std::string_view text)
{
    // U+FF01-U+FF5E are EF BC 81-BF and EF BD 80-9E: the ASCII characters 0x21-0x7E.
    constexpr std::string_view kFullWidthLead = "\xEF\xBC";
    constexpr std::string_view kMinusSign = "\xE2\x88\x92";        // U+2212
    constexpr std::string_view kIdeographicSpace = "\xE3\x80\x80"; // U+3000
    constexpr unsigned char kFullWidthOffset = 0x81 - 0x21;
    std::string out;
    out.reserve(text.size());
    for (std::size_t pos = 0; pos < text.size();) {
        const std::string_view rest = text.substr(pos);
        if (rest.size() >= 3 && rest.starts_with(kFullWidthLead)) {
            const char ascii = static_cast<char>(static_cast<unsigned char>(rest[2]) - kFullWidthOffset);
            if (IsDigit(ascii) || ascii == '.' || ascii == '+' || ascii == '-' || ascii == ',') {
                out += ascii;
                pos += 3;
                continue;
            }
        }
        if (rest.starts_with(kMinusSign) || rest.starts_with(kIdeographicSpace)) {
            out += rest.starts_with(kMinusSign) ? '-' : ' ';
            pos += 3;
            continue;
        }
        out += text[pos++];
    }
    return out;
}

std::optional<std::int32_t> ParseDecimalInt(std::string_view text)
{
    // One sign at most, then digits; from_chars itself takes a minus sign only.
    std::string_view digits = text;
    if (!digits.empty() && (digits.front() == '+' || digits.front() == '-'))
        digits.remove_prefix(1);
    if (digits.empty() || digits.front() < '0' || digits.front() > '9')
        return std::nullopt;
    if (text.front() == '+')
        text.remove_prefix(1);
    std::int32_t value = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value, kDecimal);
    if (error != std::errc() || end != text.data() + text.size())
        return std::nullopt;
    return value;
}

std::optional<std::int32_t> ParseIntOrHex(std::string_view text)
{
    if (!text.starts_with(kHexPrefixLower) && !text.starts_with(kHexPrefixUpper))
        return ParseDecimalInt(text);
    text.remove_prefix(kHexPrefixLower.size());
    if (text.empty() || !IsHexDigit(text.front()))
        return std::nullopt;
    std::uint32_t bits = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), bits, kHexadecimal);
    if (error != std::errc() || end != text.data() + text.size())
        return std::nullopt;
    return static_cast<std::int32_t>(bits);
}

std::optional<double> ParseDecimalNumber(std::string_view text)
{
    if (!IsDecimalNumberText(text))
        return std::nullopt;
    // from_chars, unlike strtod, ignores the locale the GUI sets; it takes no plus sign.
    if (text.front() == '+')
        text.remove_prefix(1);
    double value = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (error != std::errc() || end != text.data() + text.size() || !std::isfinite(value))
        return std::nullopt;
    return value;
}

std::string FormatGeneralNumber(double value)
{
    if (std::isnan(value))
        return "NAN";
    if (std::isinf(value))
        return value < 0 ? "-INF" : "INF";
    if (value == 0)
        return "0";
    // "-d.dddddddddddddde+XX": the 15 significant digits and the exponent,
    // written without regard to the locale.
    char buffer[kFormatBufferSize];
    const auto written = std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::scientific,
                                       kSignificantDigits - 1);
    const std::string scientific(buffer, written.ptr);
    const std::size_t ePos = scientific.find('e');
    int exponent = 0;
    const std::string_view exponentText = std::string_view(scientific).substr(ePos + 1);
    std::from_chars(exponentText.data() + (exponentText.front() == '+' ? 1 : 0),
                    exponentText.data() + exponentText.size(), exponent);
    std::string digits;
    for (std::size_t i = 0; i < ePos; ++i)
        if (IsDigit(scientific[i]))
            digits += scientific[i];
    while (digits.size() > 1 && digits.back() == '0')
        digits.pop_back();

    std::string result = value < 0 ? "-" : "";
    if (exponent < kSmallestFixedExponent || exponent >= kSignificantDigits) {
        result += digits.substr(0, 1);
        if (digits.size() > 1)
            result += "." + digits.substr(1);
        return result + "E" + std::to_string(exponent);
    }
    if (exponent < 0)
        return result + "0." + std::string(static_cast<std::size_t>(-exponent - 1), '0') + digits;
    const auto whole = static_cast<std::size_t>(exponent) + 1;
    if (digits.size() <= whole)
        return result + digits + std::string(whole - digits.size(), '0');
    return result + digits.substr(0, whole) + "." + digits.substr(whole);
}

} // namespace mirvo
