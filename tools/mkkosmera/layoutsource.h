// A byte block described as text, field by field (resources/kosmera/seiza.txt).
#pragma once

#include <cstdint>
#include <iosfwd>
#include <vector>

namespace kosmera {

// One directive a line, laid out one after the other ('#' starts a comment):
//   u8 / i8 / u16 / i16 / u32 / i32 / f64  value...   little-endian numbers
//   ascii N text          the ASCII text (no blanks), zero-padded to N bytes
//   zero N                N zero bytes
//   pad-to N              zero bytes up to offset N
//   at N                  checks that the next field starts at offset N
// The result must be exactly `size` bytes. Throws EMirvoError naming the
// line for an unknown directive, a value out of its type's range, a failed
// "at" or a wrong total size.
std::vector<std::uint8_t> ReadLayoutSource(std::istream& in, std::size_t size);

} // namespace kosmera
