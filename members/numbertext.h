// Reading the integers of the program's files.
#pragma once

#include <cstdint>
#include <optional>
#include <string_view>

namespace mirvo {

// A whole decimal number with an optional sign ("-12", "+3", "007") in the
// signed 32-bit range; nullopt for anything else, blanks included.
std::optional<std::int32_t> ParseDecimalInt(std::string_view text);

// As ParseDecimalInt, and also "0x" or "0X" followed by hexadecimal digits,
// read as the 32-bit pattern they give ("0x10" is 16, "0xFFFFFFFF" is -1).
std::optional<std::int32_t> ParseIntOrHex(std::string_view text);

} // namespace mirvo
