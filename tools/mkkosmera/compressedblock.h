// The compressed blocks of the data file.
#pragma once

#include <cstdint>
#include <vector>

namespace kosmera {

// How a block's zlib stream holds its bytes: as small as deflate makes it, or
// in deflate's stored blocks (the bytes as they are, framed), which a reader
// inflates several times faster.
enum class TBlockForm { Smallest, Stored };

// The 4-byte little-endian signed length L of the zlib stream (RFC 1950) of
// `data`, then the L bytes of the stream.
std::vector<std::uint8_t> CompressBlock(const std::vector<std::uint8_t>& data,
                                        TBlockForm form = TBlockForm::Smallest);

} // namespace kosmera
