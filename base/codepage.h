// Code page 932 (Shift-JIS as Windows writes it), as the system converts it.
// The build picks one implementation: codepage_posix.cpp (glibc's iconv) or
// codepage_win32.cpp (MultiByteToWideChar and WideCharToMultiByte). Both give
// the same results for the same input.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace koyomi::platform {

// Decodes code page 932 bytes to UTF-8. Every byte or pair that has no
// character in the code page gives one U+FFFD (a lead byte counts as a pair
// only with a trail byte after it; see SjisCharLength); decoding goes on
// after it. The single bytes 0x80, 0xA0 and 0xFD-0xFF are no characters.
std::string DecodeCp932(std::string_view bytes);

// Encodes UTF-8 text in code page 932, writing characters that the code page
// holds twice where Windows writes them. nullopt when the text is not valid
// UTF-8 or holds a character that the code page lacks. Look-alikes that read
// back as another character are the caller's to refuse.
std::optional<std::string> EncodeCp932(std::string_view utf8);

} // namespace koyomi::platform
