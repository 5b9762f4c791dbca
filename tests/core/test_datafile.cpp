#include "kosmerafixture.h"

#include "koyomi/coeffile.h"
#include "koyomi/datafile.h"
#include "koyomi/peresource.h"
#include "koyomi/tables.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <bit>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <optional>
#include <string>
#include <vector>

#include <unistd.h>

using namespace koyomi;
using namespace kosmeratest;

namespace {

bool TablesAreZero()
{
    auto zero = [](const auto& a) { return std::all_of(a.begin(), a.end(), [](auto v) { return v == 0; }); };
    return zero(Amplitude) && zero(Rate) && zero(Phase) && zero(TimeFactor) && zero(SeizaBlock)
           && EarthRadiusAU == 0.0;
}

bool Initialises(const TDataFileParts& parts)
{
    TLoadedModule module(parts);
    EXPECT_NE(module.Handle(), nullptr);
    return InitKoyomiLib(module.Handle(), false);
}

} // namespace

TEST(DataFile, BothBlocksFillTheTablesInFileOrder)
{
    TLoadedModule module;
    ASSERT_TRUE(InitKoyomiLib(module.Handle(), false));
    EXPECT_EQ(DataModule, module.Handle());
    for (int n = 0; n < kTermCount; ++n) {
        ASSERT_EQ(Amplitude[n], TestAmplitude(n)) << "term " << n + 1;
        ASSERT_EQ(Rate[n], TestRate(n)) << "term " << n + 1;
        ASSERT_EQ(Phase[n], TestPhase(n)) << "term " << n + 1;
    }
    EXPECT_TRUE(std::all_of(TimeFactor.begin(), TimeFactor.end(), [](double f) { return f == 1.0; }));
    EXPECT_EQ(std::bit_cast<std::uint64_t>(EarthRadiusAU), 0x3F065A6770EB3B1Bu);
    const TBytes seiza = SeizaBytes();
    EXPECT_TRUE(std::equal(SeizaBlock.begin(), SeizaBlock.end(), seiza.begin()));
}

TEST(DataFile, MissingBlocksOrModuleFailTheInitialisation)
{
    {
        TDataFileParts parts;
        parts.seiza.reset();
        TLoadedModule module(parts);
        EXPECT_FALSE(InitKoyomiLib(module.Handle(), false));
        EXPECT_EQ(Amplitude[1], TestAmplitude(1));  // KOYOMI itself loaded
    }
    {
        TDataFileParts parts;
        parts.koyomi.reset();
        TLoadedModule module(parts);
        EXPECT_FALSE(InitKoyomiLib(module.Handle(), false));
        EXPECT_TRUE(TablesAreZero());  // SEIZA is not looked at
    }
    {
        TLoadedModule module;
        EXPECT_FALSE(InitKoyomiLib(nullptr, false));
        EXPECT_EQ(DataModule, nullptr);
        EXPECT_EQ(LoadDataString(50001), "");
        EXPECT_TRUE(TablesAreZero());
    }
}

TEST(DataFile, DamagedBlocksFailTheInitialisation)
{
    const TBytes coefficients = CoefficientBytes();
    const TBytes block = kosmera::CompressBlock(coefficients);
    const TBytes stream(block.begin() + 4, block.end());
    const auto length = static_cast<std::int32_t>(stream.size());
    TBytes corrupt = stream;
    corrupt[stream.size() / 2] ^= 0x55;

    const std::vector<std::pair<const char*, TBytes>> badKoyomi = {
        {"empty, prefix 0", PrefixedBlock(0, stream)},
        {"negative prefix", PrefixedBlock(-5, stream)},
        {"shorter than its prefix", PrefixedBlock(length + 1, stream)},
        {"stream cut by the prefix", PrefixedBlock(length - 10, stream)},
        {"corrupt stream", PrefixedBlock(length, corrupt)},
        {"one byte short of 16128", kosmera::CompressBlock(TBytes(coefficients.begin(), coefficients.end() - 1))},
        {"no room for the prefix", TBytes{1, 0}},
        {"inflates beyond the limit", kosmera::CompressBlock(TBytes(kMaxInflatedBlockSize + 1, 0))},
    };
    for (const auto& [what, block] : badKoyomi) {
        TDataFileParts parts;
        parts.koyomi = block;
        EXPECT_FALSE(Initialises(parts)) << what;
    }

    const std::vector<std::pair<const char*, TBytes>> badSeiza = {
        {"5847 bytes", kosmera::CompressBlock(SeizaBytes(kSeizaSize - 1))},
        {"empty", PrefixedBlock(0, {})},
    };
    for (const auto& [what, block] : badSeiza) {
        TDataFileParts parts;
        parts.seiza = block;
        EXPECT_FALSE(Initialises(parts)) << what;
    }
}

TEST(DataFile, BytesBeyondTheBlocksAreIgnored)
{
    TBytes longer = CoefficientBytes();
    longer.insert(longer.end(), 100, 0xEE);
    TBytes trailing = kosmera::CompressBlock(CoefficientBytes());
    trailing.insert(trailing.end(), {1, 2, 3});  // after 4 + L
    TDataFileParts parts;
    parts.koyomi = kosmera::CompressBlock(longer);
    parts.seiza = kosmera::CompressBlock(SeizaBytes(kSeizaSize + 10));
    EXPECT_TRUE(Initialises(parts));
    EXPECT_EQ(Phase[kTermCount - 1], TestPhase(kTermCount - 1));

    parts.koyomi = trailing;
    EXPECT_TRUE(Initialises(parts));
    EXPECT_EQ(Phase[kTermCount - 1], TestPhase(kTermCount - 1));
}

TEST(DataFile, StringsComeBackAsLoadStringAGivesThem)
{
    const std::u16string kana300(150, u'あ');  // 300 bytes in code page 932
    TDataFileParts parts;
    parts.strings = {
        {50001, u"太陽"},
        {50002, std::u16string(300, u'a')},
        {50003, kana300},
        {50004, u"a" + kana300},                 // 301 bytes: the cut falls inside a character
        {50005, std::u16string(300, u'ｱ')},      // half-width katakana: one byte each
        {50006, u"caf\u00E9 \U0001F600"},        // characters code page 932 lacks
        {50007, u"x\xD800y"},                    // an unpaired surrogate
        {50008, std::u16string(u"ab\0cd", 5)},   // LoadStringA's text ends at the NUL
    };
    TLoadedModule module(parts);
    ASSERT_TRUE(InitKoyomiLib(module.Handle(), false));

    EXPECT_EQ(LoadDataString(50001), "太陽");
    EXPECT_EQ(LoadDataString(50002), std::string(254, 'a'));
    std::string kana127;
    for (int i = 0; i < 127; ++i)
        kana127 += "あ";
    EXPECT_EQ(LoadDataString(50003), kana127);
    std::string kana126;
    for (int i = 0; i < 126; ++i)
        kana126 += "あ";
    EXPECT_EQ(LoadDataString(50004), "a" + kana126);
    std::string halfWidth;
    for (int i = 0; i < 254; ++i)
        halfWidth += "ｱ";
    EXPECT_EQ(LoadDataString(50005), halfWidth);
    EXPECT_EQ(LoadDataString(50006), "caf? ?");
    EXPECT_EQ(LoadDataString(50007), "x?y");
    EXPECT_EQ(LoadDataString(50008), "ab");

    // Missing: an empty slot of a block that exists, and a block that does not.
    EXPECT_EQ(LoadDataString(50009), "");
    EXPECT_EQ(LoadDataString(50031), "");
    EXPECT_EQ(LoadDataString(4'000'000'000u), "");
}

TEST(DataFile, LoadLibraryRefusesWhatIsNotAModule)
{
    EXPECT_EQ(LoadLibraryA("/nonexistent/Kosmera.dat"), nullptr);
    const auto dir = std::filesystem::temp_directory_path() / ("mirvo-datafile-" + std::to_string(::getpid()));
    std::filesystem::create_directories(dir);
    const auto text = dir / "text.dat";
    std::ofstream(text) << "not a module\n";
    EXPECT_EQ(LoadLibraryA(text.string()), nullptr);
    // A huge file is refused before anything is read (sparse, so cheap to make).
    const auto huge = dir / "huge.dat";
    std::ofstream(huge) << "MZ";
    std::filesystem::resize_file(huge, TPeResources::kMaxFileSize + 1);
    EXPECT_EQ(LoadLibraryA(huge.string()), nullptr);
    std::filesystem::remove_all(dir);
}

TEST(DataFile, TheBuiltDataFileHoldsTheTablesAndTexts)
{
    const ModuleHandle module = LoadLibraryA(MIRVO_KOSMERA_PATH);
    ASSERT_NE(module, nullptr) << MIRVO_KOSMERA_PATH;
    ResetTables();
    EXPECT_TRUE(InitKoyomiLib(module, false));

    const auto source = ReadCoefficientFile(MIRVO_SOURCE_DIR "/resources/kosmera/koyomi.txt");
    EXPECT_TRUE(std::equal(Amplitude.begin(), Amplitude.end(), source.amplitude.begin()));
    EXPECT_TRUE(std::equal(Rate.begin(), Rate.end(), source.rate.begin()));
    EXPECT_TRUE(std::equal(Phase.begin(), Phase.end(), source.phase.begin()));
    EXPECT_EQ(std::string(SeizaBlock.begin(), SeizaBlock.begin() + 5), "SEIZA");

    const char* const bodies[] = {"太陽", "月", "水星", "金星", "火星", "木星", "土星", "天王星", "海王星", "冥王星"};
    const char* const signs[] = {"牡羊座", "牡牛座", "双子座", "蟹座", "獅子座", "乙女座",
                                 "天秤座", "蠍座", "射手座", "山羊座", "水瓶座", "魚座"};
    for (unsigned b = 0; b < 10; ++b)
        EXPECT_EQ(LoadDataString(50001 + b), bodies[b]);
    for (unsigned s = 0; s < 12; ++s) {
        EXPECT_EQ(LoadDataString(50031 + s), signs[s]);
        EXPECT_EQ(LoadDataString(50071 + s), std::string(1, static_cast<char>('^' + s)));
    }
    EXPECT_EQ(LoadDataString(50000), "");
    EXPECT_EQ(LoadDataString(50011), "");
    EXPECT_EQ(LoadDataString(50083), "");
    DataModule = nullptr;
    FreeLibrary(module);
}

// The built data file carries the checksum of what the program reads; a
// copy with any one byte changed is refused, or reads exactly as the
// original (a byte the program does not read: headers, padding).
TEST(DataFile, ChangedBytesAreRefusedOrChangeNothing)
{
    std::ifstream in(MIRVO_KOSMERA_PATH, std::ios::binary);
    const std::vector<std::uint8_t> original((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    ASSERT_FALSE(original.empty());
    struct TRead {
        std::vector<double> numbers;
        std::vector<std::string> texts;
        bool operator==(const TRead&) const = default;
    };
    auto read = [](const std::vector<std::uint8_t>& bytes) -> std::optional<TRead> {
        const auto module = TPeResources::FromBytes(bytes);
        ResetTables();
        if (!module || !InitKoyomiLib(&*module, false) || !DataFileIsIntact(&*module)) {
            DataModule = nullptr;
            return std::nullopt;
        }
        TRead r;
        for (const auto* table : {&Amplitude, &Rate, &Phase})
            r.numbers.insert(r.numbers.end(), table->begin(), table->end());
        r.numbers.insert(r.numbers.end(), SeizaBlock.begin(), SeizaBlock.end());
        for (unsigned n = 50001; n < 50083; ++n)
            r.texts.push_back(LoadDataString(n));
        DataModule = nullptr;
        return r;
    };
    const std::optional<TRead> good = read(original);
    ASSERT_TRUE(good);
    int refused = 0;
    for (std::size_t at = 0; at < original.size(); at += 29) {
        for (const std::uint8_t flip : {0x01, 0x80}) {
            std::vector<std::uint8_t> damaged = original;
            damaged[at] ^= flip;
            const std::optional<TRead> r = read(damaged);
            if (!r)
                ++refused;
            else
                ASSERT_TRUE(*r == *good) << "byte " << at << " changed what the program reads";
        }
    }
    EXPECT_GT(refused, 0);
    // A file without its checksum is refused.
    TLoadedModule unchecked;
    EXPECT_TRUE(InitKoyomiLib(unchecked.Handle(), false));
    EXPECT_FALSE(DataFileIsIntact(unchecked.Handle()));
    DataModule = nullptr;
}
