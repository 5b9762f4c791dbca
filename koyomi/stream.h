// Byte streams of the library: a growable memory stream and a read-only view
// of bytes that live elsewhere (a resource inside the data file).
//
// Read and Write move as many bytes as they can and return that count;
// ReadBuffer, WriteBuffer and CopyFrom must move every byte asked for and
// throw EMirvoError (stream read / write error) otherwise.
#pragma once

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

namespace koyomi {

class TStream {
public:
    virtual ~TStream() = default;

    // Copies up to `count` bytes from the current position into `buffer` and
    // advances the position by the count returned (0 at the end).
    virtual std::size_t Read(void* buffer, std::size_t count) = 0;
    // Writes up to `count` bytes at the current position; returns the count written.
    virtual std::size_t Write(const void* buffer, std::size_t count) = 0;
    // Size and position in bytes; the position lies in [0, Size()].
    virtual std::size_t Size() const = 0;
    virtual std::size_t Position() const = 0;
    // Moves the position; values beyond the end are clamped to Size().
    virtual void SetPosition(std::size_t position) = 0;

    // Reads exactly `count` bytes or throws the stream read error.
    void ReadBuffer(void* buffer, std::size_t count);
    // Writes exactly `count` bytes or throws the stream write error.
    void WriteBuffer(const void* buffer, std::size_t count);
    // Copies exactly `count` bytes from `source`'s current position to this
    // stream, in chunks; throws the stream read error when the source runs out
    // (the bytes of the chunks before stay written).
    void CopyFrom(TStream& source, std::size_t count);
};

// A stream over memory it owns. It grows on write up to `maxSize` bytes; a
// write beyond that writes nothing more, so WriteBuffer fails instead of
// letting a hostile input claim unbounded memory.
class TMemoryStream final : public TStream {
public:
    static constexpr std::size_t kUnlimited = static_cast<std::size_t>(-1);

    explicit TMemoryStream(std::size_t maxSize = kUnlimited) : FMaxSize(maxSize) {}

    // Room for `bytes` (at most the limit) before they are written, where
    // the size to come is known: one allocation instead of several.
    void Reserve(std::size_t bytes) { FData.reserve(std::min(bytes, FMaxSize)); }

    std::size_t Read(void* buffer, std::size_t count) override;
    std::size_t Write(const void* buffer, std::size_t count) override;
    std::size_t Size() const override { return FData.size(); }
    std::size_t Position() const override { return FPosition; }
    void SetPosition(std::size_t position) override;

    const std::vector<std::uint8_t>& Bytes() const { return FData; }

private:
    std::vector<std::uint8_t> FData;
    std::size_t FPosition = 0;
    std::size_t FMaxSize;
};

// A read-only stream over bytes owned by someone else, who keeps them alive
// for the stream's lifetime. Write always writes nothing.
class TReadOnlyStream final : public TStream {
public:
    explicit TReadOnlyStream(std::span<const std::uint8_t> bytes) : FBytes(bytes) {}

    std::size_t Read(void* buffer, std::size_t count) override;
    std::size_t Write(const void*, std::size_t) override { return 0; }
    std::size_t Size() const override { return FBytes.size(); }
    std::size_t Position() const override { return FPosition; }
    void SetPosition(std::size_t position) override;

private:
    std::span<const std::uint8_t> FBytes;
    std::size_t FPosition = 0;
};

} // namespace koyomi
