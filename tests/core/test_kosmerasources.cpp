#include "base/error.h"
#include "koyomi/tables.h"
#include "tools/mkkosmera/layoutsource.h"
#include "tools/mkkosmera/resourcesection.h"
#include "tools/mkkosmera/stringsource.h"

#include <gtest/gtest.h>

#include <bit>
#include <fstream>
#include <sstream>
#include <string>

using namespace kosmera;
using koyomi::EMirvoError;

namespace {

std::vector<std::uint8_t> Layout(const std::string& text, std::size_t size)
{
    std::istringstream in(text);
    return ReadLayoutSource(in, size);
}

// The message of the EMirvoError that `f` throws; empty when it throws none.
template <class F>
std::string ErrorOf(F f)
{
    try {
        f();
    } catch (const EMirvoError& e) {
        return e.what();
    }
    return {};
}

double DoubleAt(const std::vector<std::uint8_t>& b, std::size_t at)
{
    std::uint64_t bits = 0;
    for (int i = 0; i < 8; ++i)
        bits |= static_cast<std::uint64_t>(b[at + i]) << (8 * i);
    return std::bit_cast<double>(bits);
}

} // namespace

TEST(KosmeraSources, LayoutFieldsAreLittleEndianAndChecked)
{
    const auto bytes = Layout("ascii 4 AB  # text\nu16 0x1234\ni8 -1\nu32 1 2\nf64 1.5\nat 23\npad-to 24\n", 24);
    EXPECT_EQ(bytes, (std::vector<std::uint8_t>{'A', 'B', 0, 0, 0x34, 0x12, 0xFF, 1, 0, 0, 0, 2, 0, 0, 0,
                                                 0, 0, 0, 0, 0, 0, 0xF8, 0x3F, 0}));
    EXPECT_EQ(DoubleAt(bytes, 15), 1.5);

    EXPECT_NE(ErrorOf([] { Layout("u8 1\nat 2\n", 1); }).find("2 行目"), std::string::npos);
    EXPECT_NE(ErrorOf([] { Layout("u8 256", 1); }), "");
    EXPECT_NE(ErrorOf([] { Layout("i8 -129", 1); }), "");
    EXPECT_NE(ErrorOf([] { Layout("u16 12x", 2); }), "");
    EXPECT_NE(ErrorOf([] { Layout("f64 nan", 8); }), "");
    EXPECT_NE(ErrorOf([] { Layout("ascii 2 ABC", 2); }), "");
    EXPECT_NE(ErrorOf([] { Layout("byte 1", 1); }), "");
    EXPECT_NE(ErrorOf([] { Layout("zero 999999999", 4); }), "");  // refused before it is allocated
    EXPECT_NE(ErrorOf([] { Layout("u8 1\npad-to 0", 4); }), "");
    EXPECT_NE(ErrorOf([] { Layout("u8 1 2 3", 4); }), "");        // too short in total
}

TEST(KosmeraSources, TheSeizaSourceIsTheDocumentedLayout)
{
    std::ifstream in(MIRVO_SOURCE_DIR "/resources/kosmera/seiza.txt");
    ASSERT_TRUE(in);
    const auto b = ReadLayoutSource(in, koyomi::kSeizaSize);
    ASSERT_EQ(b.size(), 5848u);
    EXPECT_EQ(std::string(b.begin(), b.begin() + 8), std::string("SEIZA\0\0\0", 8));
    EXPECT_EQ(b[10], 12);  // signs
    EXPECT_EQ(b[12], 32);  // bytes per record
    // Sign records start at 16; record 7 (Scorpio) runs 210-240, guardian Pluto (9), symbol 'e'.
    const std::size_t scorpio = 16 + 7 * 32;
    EXPECT_EQ(DoubleAt(b, scorpio), 210.0);
    EXPECT_EQ(DoubleAt(b, scorpio + 8), 240.0);
    EXPECT_EQ(b[scorpio + 16], 9);
    EXPECT_EQ(b[scorpio + 20], 'e');
    // Day table at 400: 1 January Capricorn (9), 21 March (day 80 of a leap year) Aries (0), 31 December Capricorn.
    EXPECT_EQ(b[400], 9);
    EXPECT_EQ(b[400 + 80], 0);
    EXPECT_EQ(b[400 + 79], 11);
    EXPECT_EQ(b[400 + 365], 9);
}

TEST(KosmeraSources, StringSourceLines)
{
    std::istringstream in("# comment\r\n\r\n50001\t太陽\r\n50002\ta\\tb\\\\c\\n\n50003\t\n");
    const auto strings = ReadStringSource(in);
    EXPECT_EQ(strings.at(50001), u"太陽");
    EXPECT_EQ(strings.at(50002), u"a\tb\\c\n");
    EXPECT_EQ(strings.at(50003), u"");
    EXPECT_EQ(strings.size(), 3u);

    auto error = [](const std::string& text) {
        return ErrorOf([&] {
            std::istringstream s(text);
            ReadStringSource(s);
        });
    };
    EXPECT_NE(error("1\ta\n1\tb\n").find("2 行目"), std::string::npos);  // duplicate
    EXPECT_NE(error("x\ta\n"), "");
    EXPECT_NE(error("50001 太陽\n"), "");           // no tab
    EXPECT_NE(error("1048560\ta\n"), "");           // beyond the last block
    EXPECT_NE(error("1\t\xE3\x81\n"), "");          // cut UTF-8
    EXPECT_NE(error("1\t\xC0\xAF\n"), "");          // overlong UTF-8
    EXPECT_NE(error("1\t\\x\n"), "");
    EXPECT_EQ(Utf8ToUtf16("\xF0\x9F\x98\x80"), u"\U0001F600");
}

TEST(KosmeraSources, ResourceKeys)
{
    EXPECT_TRUE(TResourceKey::Parse("16").IsNumber());
    EXPECT_EQ(TResourceKey::Parse("#16").Number(), 16);
    EXPECT_EQ(TResourceKey::Parse("kosmera").Name(), "KOSMERA");
    EXPECT_THROW(TResourceKey::Parse("0"), EMirvoError);
    EXPECT_THROW(TResourceKey::Parse("70000"), EMirvoError);
    EXPECT_THROW(TResourceKey::Parse("暦"), EMirvoError);
    // Names before numbers, each ascending: the order of a resource directory.
    EXPECT_LT(TResourceKey("ZED"), TResourceKey(1));
    EXPECT_LT(TResourceKey("ABC"), TResourceKey("ABD"));
    EXPECT_LT(TResourceKey(6), TResourceKey(16));

    TResourceSection section;
    section.Add(6, 1, kLangJapanese, {});
    EXPECT_THROW(section.Add(6, 1, kLangJapanese, {}), EMirvoError);
}
