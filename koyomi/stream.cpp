#include "koyomi/stream.h"

#include "base/error.h"
#include "base/messages.h"
#include "base/stringtable.h"

#include <algorithm>
#include <array>
#include <cstring>

namespace koyomi {

namespace {

constexpr std::size_t kCopyChunk = 4096;  // bytes moved per step of CopyFrom

} // namespace

void TStream::ReadBuffer(void* buffer, std::size_t count)
{
    if (Read(buffer, count) != count)
        throw mirvo::MessageError(mirvo::kMsgReadError);
}

void TStream::WriteBuffer(const void* buffer, std::size_t count)
{
    if (Write(buffer, count) != count)
        throw mirvo::MessageError(mirvo::kMsgWriteError);
}

void TStream::CopyFrom(TStream& source, std::size_t count)
{
    std::array<std::uint8_t, kCopyChunk> chunk;
    while (count > 0) {
        const std::size_t step = std::min(count, chunk.size());
        source.ReadBuffer(chunk.data(), step);
        WriteBuffer(chunk.data(), step);
        count -= step;
    }
}

std::size_t TMemoryStream::Read(void* buffer, std::size_t count)
{
    const std::size_t n = std::min(count, FData.size() - FPosition);
    if (n > 0)
        std::memcpy(buffer, FData.data() + FPosition, n);
    FPosition += n;
    return n;
}

std::size_t TMemoryStream::Write(const void* buffer, std::size_t count)
{
    const std::size_t room = FMaxSize > FPosition ? FMaxSize - FPosition : 0;
    const std::size_t n = std::min(count, room);
    if (n == 0)
        return 0;
    if (FPosition + n > FData.size())
        FData.resize(FPosition + n);
    std::memcpy(FData.data() + FPosition, buffer, n);
    FPosition += n;
    return n;
}

void TMemoryStream::SetPosition(std::size_t position)
{
    FPosition = std::min(position, FData.size());
}

std::size_t TReadOnlyStream::Read(void* buffer, std::size_t count)
{
    const std::size_t n = std::min(count, FBytes.size() - FPosition);
    if (n > 0)
        std::memcpy(buffer, FBytes.data() + FPosition, n);
    FPosition += n;
    return n;
}

void TReadOnlyStream::SetPosition(std::size_t position)
{
    FPosition = std::min(position, FBytes.size());
}

} // namespace koyomi
