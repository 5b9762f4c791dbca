#include "terminal/terminaltext.h"
#include "base/utf8.h"
#include "reading/meaning.h"

#include <array>
#include <cstdio>

namespace mirvo {

namespace {


constexpr char kEscape = '\x1b';

struct Range {
    char32_t first;
    char32_t last;
};

// Characters a terminal draws two columns wide.
constexpr std::array<Range, 14> kWide = {{
    {0x1100, 0x115F},   // Hangul initial consonants
    {0x2E80, 0x303E},   // CJK radicals, symbols and punctuation
    {0x3041, 0x33FF},   // kana, CJK compatibility
    {0x3400, 0x4DBF},   // CJK extension A
    {0x4E00, 0x9FFF},   // CJK unified ideographs
    {0xA000, 0xA4CF},   // Yi
    {0xAC00, 0xD7A3},   // Hangul syllables
    {0xF900, 0xFAFF},   // CJK compatibility ideographs
    {0xFE30, 0xFE4F},   // CJK compatibility forms
    {0xFF00, 0xFF60},   // full-width forms
    {0xFFE0, 0xFFE6},   // full-width signs
    {0x1F300, 0x1F64F}, // pictographs and emoticons
    {0x1F900, 0x1F9FF}, // supplemental pictographs
    {0x20000, 0x3FFFD}, // CJK extensions B and later
}};

// Characters that take no column of their own.
constexpr std::array<Range, 4> kZeroWidth = {{
    {0x0300, 0x036F},  // combining diacritical marks
    {0x200B, 0x200F},  // zero-width space, joiners, marks
    {0x20D0, 0x20FF},  // combining marks for symbols
    {0xFE00, 0xFE0F},  // variation selectors
}};

template <std::size_t N>
bool InRanges(const std::array<Range, N>& ranges, char32_t c)
{
    for (const Range& r : ranges)
        if (c >= r.first && c <= r.last)
            return true;
    return false;
}

// Decodes one UTF-8 character at `pos` and moves past it; a byte that opens
// no whole sequence is taken alone as U+FFFD. An overlong form counts as the
// character it spells, a surrogate or a value past U+10FFFF as itself: the
// caller shows those as U+FFFD or in caret notation.
char32_t NextCharacter(std::string_view text, std::size_t& pos)
{
    const koyomi::Utf8Sequence s = koyomi::ReadUtf8(text, pos);
    if (s.length == 0) {
        ++pos;
        return 0xFFFD;
    }
    pos += s.length;
    return s.code;
}

// Skips an escape sequence "ESC [ parameters final-letter" at `pos`.
void SkipEscape(std::string_view text, std::size_t& pos)
{
    ++pos;
    if (pos < text.size() && text[pos] == '[') {
        ++pos;
        while (pos < text.size() && !(text[pos] >= '@' && text[pos] <= '~'))
            ++pos;
    }
    if (pos < text.size())
        ++pos;
}

} // namespace

std::string AnsiColour(std::uint32_t colour)
{
    switch (colour) {
    case kColourWhite:
        return {};
    case kColourRed:
        return "\x1b[91m";
    case kColourYellow:
        return "\x1b[93m";
    case kColourAqua:
        return "\x1b[96m";
    default: {
        char buffer[32];
        std::snprintf(buffer, sizeof buffer, "\x1b[38;2;%u;%u;%um", colour & 0xFF, (colour >> 8) & 0xFF,
                      (colour >> 16) & 0xFF);
        return buffer;
    }
    }
}

std::string Coloured(std::string_view text, std::uint32_t colour, bool enabled)
{
    const std::string start = enabled ? AnsiColour(colour) : std::string();
    if (start.empty())
        return std::string(text);
    return start + std::string(text) + kAnsiReset;
}

int DisplayWidth(std::string_view text)
{
    int width = 0;
    std::size_t pos = 0;
    while (pos < text.size()) {
        if (text[pos] == kEscape) {
            SkipEscape(text, pos);
            continue;
        }
        const char32_t c = NextCharacter(text, pos);
        if (InRanges(kZeroWidth, c))
            continue;
        width += InRanges(kWide, c) ? 2 : 1;
    }
    return width;
}

std::string PadRight(std::string_view text, int width)
{
    const int fill = width - DisplayWidth(text);
    return std::string(text) + std::string(fill > 0 ? fill : 0, ' ');
}

std::string PadLeft(std::string_view text, int width)
{
    const int fill = width - DisplayWidth(text);
    return std::string(fill > 0 ? fill : 0, ' ') + std::string(text);
}

} // namespace mirvo
