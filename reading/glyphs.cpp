#include "reading/glyphs.h"

#include "base/messages.h"
#include "koyomi/aspects.h"

#include <array>

namespace mirvo {

namespace {

constexpr char32_t kWingdingsFirstSign = U'^';      // Aries; the twelve signs follow in order
constexpr char32_t kFirstZodiacSymbol = U'\u2648';  // ♈ Aries; the twelve follow in order

constexpr std::array<SymbolGlyph, 4> kWingdingsFaces{{
    {U'J', U'\u263A', kSpokenGlyphs + 0},      // ☺ smiling face
    {U'K', U'\U0001F610', kSpokenGlyphs + 1},  // 😐 neutral face
    {U'L', U'\u2639', kSpokenGlyphs + 2},      // ☹ frowning face
    {U'M', U'\U0001F4A3', kSpokenGlyphs + 3},  // 💣 bomb
}};

constexpr std::array<SymbolGlyph, 4> kSymbolSuits{{
    {0xA7, U'\u2663', kSpokenGlyphs + 4},  // ♣
    {0xA8, U'\u2666', kSpokenGlyphs + 5},  // ♦
    {0xA9, U'\u2665', kSpokenGlyphs + 6},  // ♥
    {0xAA, U'\u2660', kSpokenGlyphs + 7},  // ♠
}};

template <std::size_t N>
std::optional<SymbolGlyph> Lookup(const std::array<SymbolGlyph, N>& table, char32_t code)
{
    for (const SymbolGlyph& g : table)
        if (g.code == code)
            return g;
    return std::nullopt;
}

} // namespace

std::optional<SymbolGlyph> WingdingsGlyph(char32_t code)
{
    if (code >= kWingdingsFirstSign && code < kWingdingsFirstSign + koyomi::kSignCount) {
        const int sign = static_cast<int>(code - kWingdingsFirstSign);
        return SymbolGlyph{code, ZodiacCharacter(sign), kSpokenFirstSign + sign};
    }
    return Lookup(kWingdingsFaces, code);
}

std::optional<SymbolGlyph> SymbolFontGlyph(char32_t code)
{
    return Lookup(kSymbolSuits, code);
}

char32_t ZodiacCharacter(int sign)
{
    return kFirstZodiacSymbol + static_cast<char32_t>(sign);
}

} // namespace mirvo
