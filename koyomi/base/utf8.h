#pragma once

#include <string>

namespace koyomi {

// Appends the UTF-8 bytes of one Unicode code point (U+0000 to U+10FFFF).
void AppendUtf8(std::string& out, char32_t c);

} // namespace koyomi
