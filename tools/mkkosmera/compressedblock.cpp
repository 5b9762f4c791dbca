#include "tools/mkkosmera/compressedblock.h"

#include "base/error.h"

#include <zlib.h>

#include <limits>

namespace kosmera {

namespace {
constexpr std::size_t kLengthPrefixSize = 4;
}

std::vector<std::uint8_t> CompressBlock(const std::vector<std::uint8_t>& data, TBlockForm form)
{
    uLongf streamSize = compressBound(static_cast<uLong>(data.size()));
    std::vector<std::uint8_t> block(kLengthPrefixSize + streamSize);
    if (compress2(block.data() + kLengthPrefixSize, &streamSize, data.data(), static_cast<uLong>(data.size()),
                  form == TBlockForm::Stored ? Z_NO_COMPRESSION : Z_BEST_COMPRESSION) != Z_OK
        || streamSize > static_cast<uLongf>(std::numeric_limits<std::int32_t>::max()))
        throw koyomi::EMirvoError("ブロックを圧縮できません");
    block.resize(kLengthPrefixSize + streamSize);
    for (std::size_t i = 0; i < kLengthPrefixSize; ++i)
        block[i] = static_cast<std::uint8_t>(streamSize >> (8 * i));
    return block;
}

} // namespace kosmera
