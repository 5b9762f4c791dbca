// Conversion between Shift-JIS as Windows writes it (code page 932, with the
// NEC and IBM extensions) and UTF-8, the program's own text form.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

namespace koyomi {

// True for a byte that opens a two-byte character: 0x81-0x9F and 0xE0-0xFC.
bool IsSjisLeadByte(unsigned char byte);
// True for a byte that may close a two-byte character: 0x40-0x7E and 0x80-0xFC.
bool IsSjisTrailByte(unsigned char byte);
// The length in bytes (1 or 2) of the character that starts at `pos`
// (pos < bytes.size()). A lead byte counts as two only when a trail byte
// follows it, so a broken byte never swallows a quote, comma or blank.
std::size_t SjisCharLength(std::string_view bytes, std::size_t pos);

// Decodes code page 932 bytes. A byte or pair that does not decode gives one
// U+FFFD; the rest of the text is decoded as usual.
std::string Cp932ToUtf8(std::string_view bytes);

// Encodes UTF-8 text in code page 932; nullopt when the text is not valid
// UTF-8 or holds a character that code page 932 cannot hold so that it reads
// back the same (nothing is ever replaced by '?' or a look-alike).
std::optional<std::string> Utf8ToCp932(std::string_view utf8);

// Whether Utf8ToCp932 succeeds for the text.
bool IsCp932Encodable(std::string_view utf8);

// Replaces the characters that input methods commonly give in their JIS
// forms by the forms that code page 932 holds: WAVE DASH U+301C by FULLWIDTH
// TILDE U+FF5E "～", MINUS SIGN by FULLWIDTH HYPHEN-MINUS, DOUBLE VERTICAL
// LINE by PARALLEL TO, EM DASH by HORIZONTAL BAR, and the cent, pound and not
// signs by their fullwidth forms. Other text is copied as it is.
std::string ToCp932Forms(std::string_view utf8);

} // namespace koyomi
