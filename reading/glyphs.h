// The characters of the symbol fonts the windows draw with (Wingdings for the
// faces and the zodiac signs, Symbol for the card suits), each with the
// Unicode character that looks like it and what a screen reader calls it:
// one table, which the windows' fonts and the terminal's text both read.
#pragma once

#include <optional>

namespace mirvo {

struct SymbolGlyph {
    char32_t code;     // code of the character in the symbol font, 0x20 ... 0xFF
    char32_t unicode;  // the Unicode character that looks like it
    int spoken;        // string-table number of what a screen reader says for it
};

// A character of Wingdings: the four faces ('J' ... 'M') and the twelve
// zodiac signs ('^' Aries ... ); nothing for any other code.
std::optional<SymbolGlyph> WingdingsGlyph(char32_t code);

// A character of Symbol: the four card suits (0xA7 ... 0xAA).
std::optional<SymbolGlyph> SymbolFontGlyph(char32_t code);

// The Unicode zodiac character of a sign, 0 Aries ... 11 Pisces: ♈ ... ♓.
char32_t ZodiacCharacter(int sign);

} // namespace mirvo
