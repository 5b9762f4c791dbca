#include "base/error.h"
#include "koyomi/inflater.h"

#include <gtest/gtest.h>
#include <zlib.h>

#include <string>
#include <utility>
#include <vector>

using namespace koyomi;

namespace {

using TBytes = std::vector<std::uint8_t>;

// Bytes that hardly compress, so the stream spans many 4096-byte input chunks.
TBytes NoiseBytes(std::size_t size)
{
    TBytes out(size);
    std::uint32_t state = 12345;
    for (auto& b : out) {
        state = state * 1103515245u + 12345u;
        b = static_cast<std::uint8_t>(state >> 24);
    }
    return out;
}

TBytes Compress(const TBytes& data)
{
    uLongf size = compressBound(static_cast<uLong>(data.size()));
    TBytes out(size);
    EXPECT_EQ(compress2(out.data(), &size, data.data(), static_cast<uLong>(data.size()), Z_BEST_COMPRESSION), Z_OK);
    out.resize(size);
    return out;
}

TMemoryStream StreamOf(const TBytes& bytes)
{
    TMemoryStream stream;
    stream.WriteBuffer(bytes.data(), bytes.size());
    stream.SetPosition(0);
    return stream;
}

// Records every event of one TZlib.
struct TEventLog {
    std::vector<std::int32_t> percents;
    std::vector<std::pair<std::string, std::int32_t>> statuses;

    void Attach(TZlib& z)
    {
        z.OnProgress = [this, &z](TZlib& sender, std::int32_t percent) {
            EXPECT_EQ(&sender, &z);
            percents.push_back(percent);
        };
        z.OnStatus = [this, &z](TZlib& sender, const std::string& message, std::int32_t code) {
            EXPECT_EQ(&sender, &z);
            statuses.emplace_back(message, code);
        };
    }
};

using TStatus = std::pair<std::string, std::int32_t>;

} // namespace

TEST(Inflater, CompleteStreamsInflateWhole)
{
    // Many input chunks (noise), and one small input giving many output chunks (zeros).
    for (const TBytes& data : {NoiseBytes(50'000), TBytes(200'000, 0), TBytes{}}) {
        TMemoryStream source = StreamOf(Compress(data));
        TMemoryStream dest;
        TZlib z;
        TEventLog log;
        log.Attach(z);
        EXPECT_EQ(z.Decompress(source, dest), 0);
        EXPECT_EQ(dest.Bytes(), data);
        EXPECT_EQ(dest.Position(), data.size());
        EXPECT_EQ(log.statuses, (std::vector<TStatus>{{"Success", 0}}));
        ASSERT_FALSE(log.percents.empty());
        EXPECT_EQ(log.percents.back(), 100);
        EXPECT_TRUE(std::is_sorted(log.percents.begin(), log.percents.end()));
        EXPECT_EQ(z.LastError(), 0);
        EXPECT_EQ(z.Source(), nullptr);
        EXPECT_EQ(z.Dest(), nullptr);
    }
}

TEST(Inflater, TruncatedAndCorruptStreamsReportZlibErrors)
{
    const TBytes data = NoiseBytes(30'000);
    const TBytes whole = Compress(data);

    TMemoryStream truncated = StreamOf(TBytes(whole.begin(), whole.begin() + whole.size() / 2));
    TMemoryStream dest;
    TZlib z;
    TEventLog log;
    log.Attach(z);
    const std::int32_t code = z.Decompress(truncated, dest);
    EXPECT_EQ(code, Z_BUF_ERROR);
    EXPECT_EQ(log.statuses, (std::vector<TStatus>{{"Zlib Error", code}}));
    // What was inflated before the stream ran out stays.
    ASSERT_GT(dest.Size(), 0u);
    ASSERT_LT(dest.Size(), data.size());
    EXPECT_TRUE(std::equal(dest.Bytes().begin(), dest.Bytes().end(), data.begin()));

    TBytes corrupt = whole;
    corrupt[0] ^= 0xFF;  // no longer a zlib header
    TMemoryStream bad = StreamOf(corrupt);
    TMemoryStream dest2;
    TEventLog log2;
    log2.Attach(z);
    EXPECT_EQ(z.Decompress(bad, dest2), Z_DATA_ERROR);
    EXPECT_EQ(log2.statuses, (std::vector<TStatus>{{"Zlib Error", Z_DATA_ERROR}}));

    TBytes badChecksum = whole;
    badChecksum.back() ^= 0x01;  // Adler-32 trailer
    TMemoryStream bad2 = StreamOf(badChecksum);
    TMemoryStream dest3;
    EXPECT_EQ(z.Decompress(bad2, dest3), Z_DATA_ERROR);
}

TEST(Inflater, AbortFromProgressHandlerStopsWithUserAbort)
{
    TMemoryStream source = StreamOf(Compress(NoiseBytes(50'000)));
    TMemoryStream dest;
    TZlib z;
    TEventLog log;
    log.Attach(z);
    int progressCalls = 0;
    z.OnProgress = [&](TZlib& sender, std::int32_t) {
        ++progressCalls;
        sender.SetAborted(true);
        EXPECT_EQ(sender.LastError(), TZlib::kAbortCode);
    };
    EXPECT_EQ(z.Decompress(source, dest), TZlib::kAbortCode);
    EXPECT_TRUE(z.Aborted());
    EXPECT_EQ(z.LastError(), TZlib::kAbortCode);
    EXPECT_EQ(log.statuses, (std::vector<TStatus>{{"User Abort", TZlib::kAbortCode}}));
    // Aborted after the first chunk, plus the final progress report.
    EXPECT_EQ(progressCalls, 2);
    EXPECT_LT(dest.Size(), 50'000u);

    // The next run starts unaborted.
    z.OnProgress = nullptr;
    source.SetPosition(0);
    TMemoryStream again;
    EXPECT_EQ(z.Decompress(source, again), 0);
    EXPECT_FALSE(z.Aborted());
    EXPECT_EQ(again.Size(), 50'000u);
}

TEST(Inflater, PercentOfEmptyAndLargeSources)
{
    TMemoryStream empty;
    TMemoryStream dest;
    TZlib z;
    TEventLog log;
    log.Attach(z);
    z.Decompress(empty, dest);
    EXPECT_EQ(log.percents, std::vector<std::int32_t>{100});
    EXPECT_EQ(z.Percent(), 100);

    EXPECT_EQ(TZlib::PercentOf(1'000'000, 20'000'000), 5);
    EXPECT_EQ(TZlib::PercentOf(20'000'000, 20'000'000), 100);
    EXPECT_EQ(TZlib::PercentOf(9'999'999, 10'000'000), 99);  // exact rule up to 10,000,000
    EXPECT_EQ(TZlib::PercentOf(1'999, 2'000), 99);
    EXPECT_EQ(TZlib::PercentOf(0, 0), 100);
}

TEST(Inflater, RefusedWriteEndsTheRunCleanly)
{
    TMemoryStream source = StreamOf(Compress(NoiseBytes(20'000)));
    TMemoryStream small(1000);
    TZlib z;
    EXPECT_THROW(z.Decompress(source, small), EMirvoError);
    EXPECT_EQ(z.Source(), nullptr);
    EXPECT_EQ(z.Dest(), nullptr);
    // The same inflater works again afterwards.
    source.SetPosition(0);
    TMemoryStream dest;
    EXPECT_EQ(z.Decompress(source, dest), 0);
    EXPECT_EQ(dest.Size(), 20'000u);
}

TEST(Inflater, PumpsMessagesBetweenChunks)
{
    int pumps = 0;
    PumpPendingMessages = [&pumps] { ++pumps; };
    TMemoryStream source = StreamOf(Compress(NoiseBytes(3 * TZlib::kChunkSize)));
    TMemoryStream dest;
    TZlib z;
    const std::int32_t code = z.Decompress(source, dest);
    PumpPendingMessages = nullptr;
    EXPECT_EQ(code, 0);
    // At least one refill and one flush per 4096-byte chunk.
    EXPECT_GE(pumps, 6);
}
