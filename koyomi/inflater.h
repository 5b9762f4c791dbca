// TZlib: inflates a whole zlib-format stream (RFC 1950) from one stream into
// another, in chunks of 4096 bytes, reporting progress and a final status.
#pragma once

#include "koyomi/stream.h"

#include <array>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>

struct z_stream_s;

namespace koyomi {

// Called before every refill of the inflater's input and every flush of its
// output, so that a window can stay responsive (and an event handler can set
// Aborted) while a long stream is inflated. The core has no event loop of its
// own: it does nothing unless the program installs its event pump here.
extern std::function<void()> PumpPendingMessages;

class TZlib {
public:
    static constexpr std::size_t kChunkSize = 4096;     // bytes per input read and per output write
    static constexpr std::int32_t kAbortCode = -7;      // LastError and result after an abort
    static constexpr std::int32_t kWholeSourceSize = 10'000'000;  // largest size for the exact percent formula

    // sender, percent of the source consumed (0-100)
    using TProgressEvent = std::function<void(TZlib& sender, std::int32_t percent)>;
    // sender, status text ("Success", "Zlib Error", "User Abort"), code (0, zlib error code, -7)
    using TStatusEvent = std::function<void(TZlib& sender, const std::string& message, std::int32_t code)>;

    TZlib();
    virtual ~TZlib();
    TZlib(const TZlib&) = delete;
    TZlib& operator=(const TZlib&) = delete;

    // Inflates `source` from its current position to its end into `dest`.
    // Returns 0 for a complete stream, a negative zlib code (Z_DATA_ERROR,
    // Z_BUF_ERROR, ...) for a damaged or truncated one, and -7 when Aborted was
    // set meanwhile. Bytes written before an error stay in `dest`. Throws the
    // stream write error when `dest` refuses bytes.
    std::int32_t Decompress(TStream& source, TStream& dest);

    // Percent of the source consumed so far, 0-100 (100 for an empty source).
    std::int32_t Percent() const;
    // The same rule for given numbers: totalIn bytes consumed of sourceSize.
    // Unsigned integer arithmetic dropping remainders; above 10,000,000 bytes
    // the size is divided by 100 first so the product cannot overflow.
    static std::int32_t PercentOf(std::uint64_t totalIn, std::int32_t sourceSize);

    bool Aborted() const { return FAborted; }
    // Setting it to true makes LastError -7 and stops Decompress at its next step.
    void SetAborted(bool value);

    std::int32_t LastError() const { return FLastError; }
    std::int32_t SourceSize() const { return FSourceSize; }
    // The streams of the running Decompress; null outside of it.
    TStream* Source() const { return FSource; }
    TStream* Dest() const { return FDest; }

    TProgressEvent OnProgress;
    TStatusEvent OnStatus;

protected:
    virtual void DoProgress(std::int32_t percent);
    virtual void DoStatus(const std::string& message, std::int32_t code);

private:
    std::size_t FillInput();
    std::size_t FlushOutput();
    void InflateAll();
    void ReportStatus();

    std::unique_ptr<z_stream_s> FStream;
    TStream* FSource = nullptr;
    TStream* FDest = nullptr;
    std::int32_t FSourceSize = 0;
    std::int32_t FLastError = 0;
    std::array<std::uint8_t, 2 * kChunkSize> FBuffer{};  // input half, then output half
    bool FAborted = false;
};

} // namespace koyomi
