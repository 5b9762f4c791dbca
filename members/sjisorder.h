// The order of the member list's texts in the settings window: the texts as
// the member file holds them, in Shift-JIS. No Qt.
#pragma once

#include <string_view>

namespace mirvo {

// Compares two UTF-8 texts by their Shift-JIS (code page 932) bytes, one by
// one as unsigned values, with the bytes of a-z taken as A-Z; a text comes
// before any longer text it starts. A text that Shift-JIS cannot hold
// compares by its UTF-8 bytes. Negative, zero or positive.
int CompareShiftJisText(std::string_view a, std::string_view b);

} // namespace mirvo
