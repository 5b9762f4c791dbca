// Text for a terminal: colours as ANSI escape sequences and the width of
// UTF-8 text in terminal columns (East Asian wide characters take two).
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace mirvo {

// The escape sequence that sets the foreground to a colour given as
// 0x00BBGGRR; the program's red, yellow and aqua become the terminal's bright
// colours, other colours 24-bit ones. White, the colour of plain text on the
// main window's dark background, gives the empty text: the terminal's own
// foreground.
std::string AnsiColour(std::uint32_t colour);
inline constexpr const char* kAnsiReset = "\x1b[0m";

// `text` in `colour` when `enabled`, else `text` as it is.
std::string Coloured(std::string_view text, std::uint32_t colour, bool enabled);

// Terminal columns of UTF-8 text: 2 for wide and full-width characters
// (CJK, kana, full-width forms, emoji pictographs), 0 for combining marks
// and escape sequences, 1 otherwise.
int DisplayWidth(std::string_view text);

// `text` filled with blanks to `width` columns, on the right (PadRight) or
// on the left (PadLeft); text already as wide is returned unchanged.
std::string PadRight(std::string_view text, int width);
std::string PadLeft(std::string_view text, int width);

} // namespace mirvo
