// The compressed blocks of the data file.
#pragma once

#include <cstdint>
#include <vector>

namespace kosmera {

// The 4-byte little-endian signed length L of the zlib stream (RFC 1950,
// best compression) of `data`, then the L bytes of the stream.
std::vector<std::uint8_t> CompressBlock(const std::vector<std::uint8_t>& data);

} // namespace kosmera
