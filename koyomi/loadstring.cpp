// What LoadStringA makes of a string of a module's string table: the
// conversion to code page 932 and the cut to the caller's buffer.
#include "base/sjis.h"
#include "base/utf8.h"
#include "koyomi/peresource.h"

#include <algorithm>
#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace koyomi {

namespace {

constexpr std::size_t kLoadStringBuffer = 255; // LoadStringA's buffer: 254 bytes of text and a NUL
constexpr std::size_t kMaxStringBytes = kLoadStringBuffer - 1;
constexpr char kUnmappableChar = '?';          // what the code page conversion puts for a missing character
constexpr char16_t kSurrogateFirst = 0xD800;
constexpr char16_t kSurrogateEnd = 0xE000;

// The UTF-8 form of each character of UTF-16 text, up to `limit` characters
// and the first NUL (where LoadStringA's C string ends); an unpaired
// surrogate becomes U+FFFD, which code page 932 has no bytes for.
std::vector<std::string> SplitCharacters(std::u16string_view text, std::size_t limit)
{
    std::vector<std::string> chars;
    for (std::size_t i = 0; i < text.size() && chars.size() < limit && text[i] != 0;) {
        const Utf16Character c = ReadUtf16(text[i], i + 1 < text.size() ? text[i + 1] : char16_t{0});
        std::string utf8;
        AppendUtf8(utf8, c.code);
        chars.push_back(std::move(utf8));
        i += c.length;
    }
    return chars;
}

// Code page 932 bytes of one character, or '?' when it has none.
std::string EncodeCharacter(const std::string& utf8)
{
    if (!utf8.empty())
        if (auto bytes = Utf8ToCp932(utf8))
            return *bytes;
    return std::string(1, kUnmappableChar);
}

} // namespace

std::string ToLoadStringBytes(std::u16string_view text)
{
    // The usual string (short, no NUL, no surrogate) is converted whole,
    // without a list of its characters; the list is made when it is needed.
    const bool plain = text.size() <= kMaxStringBytes
                       && std::none_of(text.begin(), text.end(), [](char16_t c) {
                              return c == 0 || (c >= kSurrogateFirst && c < kSurrogateEnd);
                          });
    std::vector<std::string> chars;
    std::string whole;
    bool complete = true;
    if (plain) {
        for (const char16_t c : text)
            AppendUtf8(whole, c);
    } else {
        // Every character takes at least one byte, so no more than 254 can fit.
        chars = SplitCharacters(text, kMaxStringBytes);
        for (const auto& c : chars) {
            complete = complete && !c.empty();
            whole += c;
        }
    }
    std::optional<std::string> encoded = complete ? Utf8ToCp932(whole) : std::nullopt;
    if (!encoded && plain)
        chars = SplitCharacters(text, kMaxStringBytes);
    std::string bytes;
    if (encoded) {
        bytes = std::move(*encoded);
    } else {
        for (const auto& c : chars)
            bytes += EncodeCharacter(c);
    }
    // Cut at a character boundary.
    std::size_t end = 0;
    while (end < bytes.size()) {
        const std::size_t next = end + SjisCharLength(bytes, end);
        if (next > kMaxStringBytes)
            break;
        end = next;
    }
    bytes.resize(end);
    return bytes;
}

std::string TPeResources::LoadStringBytes(unsigned number) const
{
    const auto text = FindString(number);
    return text ? ToLoadStringBytes(*text) : std::string();
}

} // namespace koyomi
