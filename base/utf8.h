// UTF-8 and UTF-16 by hand: every place that writes or reads UTF-8, or
// turns UTF-16 into it (the data file's strings, the code page, member
// files, the version block, the terminal's text, the zodiac and Braille
// characters), uses these.
#pragma once

#include <cstddef>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

namespace koyomi {

// Appends the UTF-8 bytes of one Unicode code point (U+0000 to U+10FFFF).
void AppendUtf8(std::string& out, char32_t c);

// The UTF-8 bytes of one code point.
std::string Utf8Of(char32_t c);

// One UTF-8 sequence as its lead byte announces it.
struct Utf8Sequence {
    char32_t code = 0;        // the value its bits carry
    std::size_t length = 0;   // bytes, 1 to 4; 0 for a byte that opens no sequence, or one cut short or broken
    bool sound = false;       // shortest form, no surrogate, at most U+10FFFF: what valid UTF-8 holds
};

// The sequence that starts at text[pos] (pos < text.size()).
Utf8Sequence ReadUtf8(std::string_view text, std::size_t pos);

// Whether `text` is valid UTF-8 throughout (every sequence whole and sound).
bool IsValidUtf8(std::string_view text);

// One character of UTF-16 text, read from its first unit and the unit after
// it (0 where the text ends there).
struct Utf16Character {
    char32_t code = 0;        // the code point; U+FFFD for a surrogate without its partner
    std::size_t length = 1;   // units taken, 1 or 2 (a surrogate pair)
};
Utf16Character ReadUtf16(char16_t first, char16_t next);

// UTF-16 text in UTF-8, appended to `out`; a surrogate without its partner
// becomes U+FFFD, as the member files and the version block show it.
void AppendUtf16AsUtf8(std::string& out, std::u16string_view text);

// `text` in UTF-16; nothing when it is not valid UTF-8.
std::optional<std::u16string> Utf8ToUtf16(std::string_view text);

// A path named by UTF-8 text, as every path the program keeps in a string is.
// On Windows the system then gets the name in UTF-16, whatever the ANSI code
// page, so that a folder named in any language opens.
inline std::filesystem::path PathFromUtf8(std::string_view text)
{
    return std::filesystem::path(std::u8string(text.begin(), text.end()));
}

} // namespace koyomi
