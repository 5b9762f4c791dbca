#include "members/numbertext.h"

#include <charconv>

namespace mirvo {

namespace {

constexpr int kDecimal = 10;
constexpr int kHexadecimal = 16;
constexpr std::string_view kHexPrefixLower = "0x";
constexpr std::string_view kHexPrefixUpper = "0X";

bool IsHexDigit(char c)
{
    return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F');
}

} // namespace

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

} // namespace mirvo
