#include "koyomi/inflater.h"

#include <zlib.h>

#include <algorithm>
#include <limits>

namespace koyomi {

std::function<void()> PumpPendingMessages;

namespace {

constexpr std::uint64_t kPercentScale = 100;

void PumpMessages()
{
    if (PumpPendingMessages)
        PumpPendingMessages();
}

// Ends the inflater and forgets the streams when Decompress leaves, also when
// a stream error or an event handler's exception passes through it.
class TInflateSession {
public:
    TInflateSession(z_stream& stream, TStream*& source, TStream*& dest)
        : FStream(stream), FSource(source), FDest(dest)
    {
        inflateInit(&FStream);  // the result shows in the first inflate call
    }
    ~TInflateSession()
    {
        End();
        FSource = nullptr;
        FDest = nullptr;
    }
    TInflateSession(const TInflateSession&) = delete;
    TInflateSession& operator=(const TInflateSession&) = delete;

    void End()
    {
        if (!FEnded)
            inflateEnd(&FStream);
        FEnded = true;
    }

private:
    z_stream& FStream;
    TStream*& FSource;
    TStream*& FDest;
    bool FEnded = false;
};

} // namespace

TZlib::TZlib() : FStream(std::make_unique<z_stream>())
{
    // Value-initialised: zalloc, zfree and opaque are null, zlib's defaults.
}

TZlib::~TZlib() = default;

std::int32_t TZlib::Decompress(TStream& source, TStream& dest)
{
    FLastError = Z_OK;
    FStream->avail_in = 0;
    FStream->next_out = FBuffer.data() + kChunkSize;
    FStream->avail_out = kChunkSize;
    SetAborted(false);
    FSource = &source;
    FDest = &dest;
    FSourceSize = static_cast<std::int32_t>(
        std::min<std::size_t>(source.Size(), std::numeric_limits<std::int32_t>::max()));

    {
        TInflateSession session(*FStream, FSource, FDest);
        InflateAll();
        DoProgress(Percent());
        session.End();
        ReportStatus();
    }
    return FAborted ? kAbortCode : FLastError;
}

void TZlib::InflateAll()
{
    while (!FAborted && FillInput() != 0) {
        FLastError = inflate(FStream.get(), Z_NO_FLUSH);
        FlushOutput();
        if (FLastError != Z_OK)
            break;
        DoProgress(Percent());
    }
    while (!FAborted) {
        FLastError = inflate(FStream.get(), Z_FINISH);
        if (FlushOutput() == 0 || FLastError != Z_OK)
            break;
    }
}

void TZlib::ReportStatus()
{
    if (FAborted) {
        DoStatus("User Abort", kAbortCode);
    } else if (FLastError != Z_OK && FLastError != Z_STREAM_END) {
        DoStatus("Zlib Error", FLastError);
    } else {
        DoStatus("Success", Z_OK);
        FLastError = Z_OK;
    }
}

std::size_t TZlib::FillInput()
{
    PumpMessages();
    if (FStream->avail_in == 0) {
        FStream->next_in = FBuffer.data();
        FStream->avail_in = static_cast<uInt>(FSource->Read(FBuffer.data(), kChunkSize));
    }
    return FStream->avail_in;
}

std::size_t TZlib::FlushOutput()
{
    PumpMessages();
    const std::size_t produced = kChunkSize - FStream->avail_out;
    if (produced != 0) {
        FDest->WriteBuffer(FBuffer.data() + kChunkSize, produced);
        FStream->next_out = FBuffer.data() + kChunkSize;
        FStream->avail_out = kChunkSize;
    }
    return produced;
}

std::int32_t TZlib::Percent() const
{
    return PercentOf(FStream->total_in, FSourceSize);
}

std::int32_t TZlib::PercentOf(std::uint64_t totalIn, std::int32_t sourceSize)
{
    if (sourceSize <= 0)
        return static_cast<std::int32_t>(kPercentScale);
    const auto size = static_cast<std::uint64_t>(sourceSize);
    if (sourceSize <= kWholeSourceSize)
        return static_cast<std::int32_t>(totalIn * kPercentScale / size);
    return static_cast<std::int32_t>(totalIn / (size / kPercentScale));
}

void TZlib::SetAborted(bool value)
{
    if (value == FAborted)
        return;
    FAborted = value;
    if (value)
        FLastError = kAbortCode;
}

void TZlib::DoProgress(std::int32_t percent)
{
    if (OnProgress)
        OnProgress(*this, percent);
}

void TZlib::DoStatus(const std::string& message, std::int32_t code)
{
    if (OnStatus)
        OnStatus(*this, message, code);
}

} // namespace koyomi
