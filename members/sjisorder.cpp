#include "members/sjisorder.h"

#include "base/sjis.h"

#include <algorithm>
#include <string>

namespace mirvo {

namespace {

// The member file's bytes of a text; a text Shift-JIS cannot hold keeps its UTF-8 bytes.
std::string ShiftJisBytes(std::string_view text)
{
    const std::string utf8(text);
    return koyomi::Utf8ToCp932(utf8).value_or(utf8);
}

unsigned char UpperAscii(unsigned char c)
{
    return c >= 'a' && c <= 'z' ? static_cast<unsigned char>(c - 'a' + 'A') : c;
}

} // namespace

int CompareShiftJisText(std::string_view a, std::string_view b)
{
    const std::string x = ShiftJisBytes(a);
    const std::string y = ShiftJisBytes(b);
    const std::size_t common = std::min(x.size(), y.size());
    for (std::size_t i = 0; i < common; ++i) {
        const unsigned char cx = UpperAscii(static_cast<unsigned char>(x[i]));
        const unsigned char cy = UpperAscii(static_cast<unsigned char>(y[i]));
        if (cx != cy)
            return cx < cy ? -1 : 1;
    }
    return x.size() == y.size() ? 0 : (x.size() < y.size() ? -1 : 1);
}

} // namespace mirvo
