// The tables of code page 932 that the build writes (tools/mkcp932) from the
// system's converter, for base/codepage_posix.cpp.
#pragma once

#include <cstddef>
#include <cstdint>

namespace koyomi::platform {

// Bytes 0x80-0xFF alone: the character, or 0 for none (and for lead bytes).
extern const char16_t kCp932Single[128];
// Bytes 0x80-0xFF: the row of kCp932Pairs of a lead byte, or -1.
extern const std::int8_t kCp932LeadIndex[128];
// A lead byte's row: the character of each second byte, or 0 for none.
extern const char16_t kCp932Pairs[][256];
// Every character that code page 932 writes, ascending, as character << 16 |
// its bytes (one byte when below 0x100); ASCII is written as itself.
extern const std::uint32_t kCp932Encode[];
extern const std::size_t kCp932EncodeCount;

} // namespace koyomi::platform
