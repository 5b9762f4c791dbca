// Little-endian values written at fixed offsets of a byte image, as the
// Windows file headers and resource tables lay them out.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <vector>

namespace kosmera {

class TByteWriter {
public:
    explicit TByteWriter(std::vector<std::uint8_t>& bytes) : FBytes(bytes) {}

    void U16(std::size_t at, std::uint16_t v)
    {
        FBytes[at] = static_cast<std::uint8_t>(v);
        FBytes[at + 1] = static_cast<std::uint8_t>(v >> 8);
    }
    void U32(std::size_t at, std::uint32_t v)
    {
        U16(at, static_cast<std::uint16_t>(v));
        U16(at + 2, static_cast<std::uint16_t>(v >> 16));
    }
    void Bytes(std::size_t at, const void* data, std::size_t size) { std::memcpy(FBytes.data() + at, data, size); }
    std::vector<std::uint8_t>& Data() { return FBytes; }

private:
    std::vector<std::uint8_t>& FBytes;
};

} // namespace kosmera
