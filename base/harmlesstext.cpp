#include "base/harmlesstext.h"

#include "base/utf8.h"

#include <array>

namespace mirvo {

namespace {

struct TRange {
    char32_t first;
    char32_t last;
};

// Characters that act on the text around them, or stand in it unseen.
constexpr std::array<TRange, 9> kActing = {{
    {0x0080, 0x009F},   // C1 controls (CSI, OSC, NEL, ... in their one-character forms)
    {0x061C, 0x061C},   // Arabic letter mark
    {0x180E, 0x180E},   // Mongolian vowel separator
    {0x200B, 0x200F},   // zero-width space, non-joiner and joiner; left-to-right and right-to-left marks
    {0x2028, 0x2029},   // line and paragraph separators
    {0x202A, 0x202E},   // bidirectional embeddings and overrides
    {0x2060, 0x2064},   // word joiner, invisible operators
    {0x2066, 0x2069},   // bidirectional isolates
    {0xFEFF, 0xFEFF},   // byte order mark, zero-width no-break space
}};

constexpr char32_t kSpace = 0x20;
constexpr char32_t kDelete = 0x7F;
constexpr char32_t kCaretFlip = 0x40;   // ^@ for NUL ... ^_ for 0x1F, ^? for DEL
constexpr char32_t kReplacement = 0xFFFD;

bool Acts(char32_t c)
{
    for (const TRange& r : kActing)
        if (c >= r.first && c <= r.last)
            return true;
    return false;
}

} // namespace

std::string HarmlessText(std::string_view text)
{
    std::string out;
    out.reserve(text.size());
    for (std::size_t pos = 0; pos < text.size();) {
        const koyomi::Utf8Sequence s = koyomi::ReadUtf8(text, pos);
        if (s.length == 0 || !s.sound) {
            // A byte that opens no sound sequence is one character of its own.
            koyomi::AppendUtf8(out, kReplacement);
            ++pos;
            continue;
        }
        if (s.code < kSpace || s.code == kDelete) {
            out += '^';
            out += static_cast<char>(s.code ^ kCaretFlip);
        } else if (Acts(s.code)) {
            koyomi::AppendUtf8(out, kReplacement);
        } else {
            out.append(text, pos, s.length);
        }
        pos += s.length;
    }
    return out;
}

} // namespace mirvo
