// Which text encoding a member file is in. The program writes member files
// in Shift-JIS; a file that a modern editor saved in UTF-8 (with or without
// a byte-order mark) or in UTF-16 with a byte-order mark is still read as
// what it is.
#pragma once

#include <string>
#include <string_view>

namespace mirvo {

enum TMemberFileEncoding {
    feShiftJis,    // code page 932, the member file's own encoding
    feUtf8Bom,     // UTF-8 that starts with a byte-order mark
    feUtf8,        // UTF-8 without a byte-order mark (not Shift-JIS, but whole UTF-8)
    feUtf16LE,     // UTF-16, little-endian, with a byte-order mark
    feUtf16BE,     // UTF-16, big-endian, with a byte-order mark
};

// The text of a member file, ready to be split into lines and fields:
// Shift-JIS bytes as they are for feShiftJis, UTF-8 for the others (the
// byte-order mark taken off). A UTF-16 unit that pairs with nothing, or a
// last odd byte, gives U+FFFD.
struct TMemberFileText {
    TMemberFileEncoding encoding = feShiftJis;
    std::string text;
    bool IsUtf8() const { return encoding != feShiftJis; }
};

TMemberFileText DecodeMemberFile(std::string_view bytes);

// UTF-16 bytes (without their byte-order mark) as UTF-8.
std::string Utf16ToUtf8(std::string_view bytes, bool bigEndian);

} // namespace mirvo
