// The data file as Windows opens it (LoadLibraryExA, FindResourceA,
// LoadStringA) against the portable PE reader that the Linux build uses: the
// same blocks, the same tables and the same strings, byte for byte.
#include "../kosmerafixture.h"

#include "koyomi/win32module.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <cstring>
#include <filesystem>
#include <fstream>
#include <vector>

using namespace koyomi;
using namespace kosmeratest;
namespace fs = std::filesystem;

namespace {

constexpr unsigned kLastStringNumber = 0xFFFF;

// The bytes of every table the initialisation fills.
std::vector<std::uint8_t> TableBytes()
{
    std::vector<std::uint8_t> out;
    auto add = [&](const void* data, std::size_t size) {
        const auto* bytes = static_cast<const std::uint8_t*>(data);
        out.insert(out.end(), bytes, bytes + size);
    };
    add(Amplitude.data(), sizeof Amplitude);
    add(Rate.data(), sizeof Rate);
    add(Phase.data(), sizeof Phase);
    add(TimeFactor.data(), sizeof TimeFactor);
    add(&EarthRadiusAU, sizeof EarthRadiusAU);
    add(SeizaBlock.data(), sizeof SeizaBlock);
    return out;
}

// The tables as InitKoyomiLib leaves them for one module.
std::vector<std::uint8_t> TablesLoadedFrom(ModuleHandle module)
{
    ResetTables();
    EXPECT_TRUE(InitKoyomiLib(module, false));
    auto bytes = TableBytes();
    DataModule = nullptr;
    ResetTables();
    return bytes;
}

std::vector<std::uint8_t> Bytes(std::optional<std::span<const std::uint8_t>> span)
{
    return span ? std::vector<std::uint8_t>(span->begin(), span->end()) : std::vector<std::uint8_t>();
}

// Compares every string number of both modules; returns how many exist.
int ExpectSameStrings(const TWin32Module& real, const TPeResources& portable)
{
    int found = 0;
    for (unsigned n = 0; n <= kLastStringNumber; ++n) {
        const std::string expected = portable.LoadStringBytes(n);
        EXPECT_EQ(real.LoadStringBytes(n), expected) << "string " << n;
        EXPECT_EQ(real.LoadStringBytesWide(n), expected) << "string " << n;
        found += expected.empty() ? 0 : 1;
    }
    return found;
}

// A folder of its own for the files one test writes.
class TTempFolder {
public:
    TTempFolder() : FPath(fs::temp_directory_path() / ("mirvo-win32module-" + std::to_string(::GetCurrentProcessId())))
    {
        fs::create_directories(FPath);
    }
    ~TTempFolder()
    {
        std::error_code ec;
        fs::remove_all(FPath, ec);
    }
    const fs::path& Path() const { return FPath; }

private:
    fs::path FPath;
};

} // namespace

TEST(Win32Module, TheBuiltDataFileReadsTheSameAsWithThePortableReader)
{
    std::printf("ANSI code page %u: strings through %s\n", ::GetACP(),
                ::GetACP() == 932 ? "LoadStringA" : "LoadStringW and code page 932");
    const auto real = TWin32Module::Load(MIRVO_KOSMERA_PATH);
    const auto portable = TPeResources::FromFile(MIRVO_KOSMERA_PATH);
    ASSERT_TRUE(real) << MIRVO_KOSMERA_PATH;
    ASSERT_TRUE(portable);

    for (const char* name : {kKoyomiName, kSeizaName}) {
        const auto block = Bytes(real->Find(kKosmeraType, name));
        EXPECT_FALSE(block.empty()) << name;
        EXPECT_EQ(block, Bytes(portable->Find(kKosmeraType, name))) << name;
    }
    EXPECT_FALSE(real->Find(kKosmeraType, "NONE"));
    EXPECT_FALSE(real->Find("OTHER", kKoyomiName));

    const auto realTables = TablesLoadedFrom(real.get());
    const auto portableTables = TablesLoadedFrom(&*portable);
    EXPECT_EQ(realTables, portableTables);
    // Not merely two empty loads.
    EXPECT_NE(realTables, TableBytes());

    // Ten body names, twelve sign names and twelve sign symbols.
    EXPECT_EQ(ExpectSameStrings(*real, *portable), 34);
}

TEST(Win32Module, CutsAndTwoByteCharactersMatchLoadStringA)
{
    const std::u16string kana300(150, u'あ');
    TDataFileParts parts;
    parts.strings = {
        {50001, u"太陽"},
        {50002, std::u16string(300, u'a')},
        {50003, kana300},
        {50004, u"a" + kana300},                 // the cut falls inside a character
        {50005, std::u16string(300, u'ｱ')},
        {50007, u"x\xD800y"},                    // an unpaired surrogate
        {50008, std::u16string(u"ab\0cd", 5)},   // the text ends at the NUL
        {50009, u"～①ⅰ纊\\"},                   // NEC and IBM rows, a backslash
        // Characters code page 932 lacks: LoadStringA puts what Windows'
        // best-fit table gives for them, the portable reader a '?' for each.
        {50010, u"caf\u00E9 \U0001F600 \u00A5"},
    };
    const TTempFolder folder;
    const fs::path file = folder.Path() / "strings.dat";
    const TBytes image = BuildImage(parts);
    std::ofstream(file, std::ios::binary).write(reinterpret_cast<const char*>(image.data()),
                                                static_cast<std::streamsize>(image.size()));

    const auto portable = TPeResources::FromBytes(image);
    ASSERT_TRUE(portable);
    {
        const auto real = TWin32Module::Load(file.string());
        ASSERT_TRUE(real);
        for (unsigned n = 50000; n <= 50016; ++n) {
            EXPECT_EQ(real->LoadStringBytesWide(n), portable->LoadStringBytes(n)) << "string " << n;
            if (n != 50010) {
                EXPECT_EQ(real->LoadStringBytes(n), portable->LoadStringBytes(n)) << "string " << n;
            }
        }
        EXPECT_EQ(real->LoadStringBytes(50002), std::string(254, 'a'));
        EXPECT_EQ(real->LoadStringBytes(50008), "ab");
        EXPECT_EQ(portable->LoadStringBytes(50010), "caf? ? ?");
        if (::GetACP() == 932) {
            EXPECT_EQ(real->LoadStringBytes(50010), "cafe ?? \\");
        }
    }
    EXPECT_EQ(TablesLoadedFrom(TWin32Module::Load(file.string()).get()), TablesLoadedFrom(&*portable));
}

TEST(Win32Module, WhatIsNotAModuleIsRefused)
{
    const TTempFolder folder;
    EXPECT_FALSE(TWin32Module::Load((folder.Path() / "missing.dat").string()));
    const fs::path text = folder.Path() / "text.dat";
    std::ofstream(text) << "not a module\n";
    EXPECT_FALSE(TWin32Module::Load(text.string()));
    EXPECT_EQ(LoadLibraryA(text.string()), nullptr);
}
