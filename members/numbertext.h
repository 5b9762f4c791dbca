// Reading and writing the numbers of the program's files and edit fields.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace mirvo {

// A whole decimal number with an optional sign ("-12", "+3", "007") in the
// signed 32-bit range; nullopt for anything else, blanks included.
std::optional<std::int32_t> ParseDecimalInt(std::string_view text);

// As ParseDecimalInt, and also "0x" or "0X" followed by hexadecimal digits,
// read as the 32-bit pattern they give ("0x10" is 16, "0xFFFFFFFF" is -1).
std::optional<std::int32_t> ParseIntOrHex(std::string_view text);

// A decimal number: an optional sign, digits with an optional "." part and
// an optional exponent ("23", "-1.5", ".5", "2.5E-3"); nullopt for anything
// else, for blanks, a decimal comma, "inf", "nan" and values out of range.
std::optional<double> ParseDecimalNumber(std::string_view text);

// `text` (UTF-8) with the forms of number characters that a Japanese input
// method types replaced by their ASCII forms: the full-width digits ０-９,
// point ．, plus ＋, minus － (and the minus sign U+2212), comma ， and
// the ideographic space; everything else is left as it is.
std::string AsciiNumberText(std::string_view text);

// The general decimal form with up to 15 significant digits: no trailing
// zeros and no needless decimal point ("23", "1.5", "0.100000001490116");
// values from 1e-5 up to below 1e15 in fixed notation, others as "1E20",
// "1.5E-6". Not-a-number and infinities are written "NAN", "INF", "-INF".
std::string FormatGeneralNumber(double value);

} // namespace mirvo
