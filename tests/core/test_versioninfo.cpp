// The version block's layout: what the writer lays down byte for byte, what
// the reader finds in it, and that a damaged block is never read outside.
#include "base/error.h"
#include "base/utf8.h"
#include "version/versioninfo.h"
#include "version/versionsource.h"

#include <gtest/gtest.h>

#include <sstream>

using mirvo::BuildVersionInfo;
using mirvo::QueryVersionValue;
using mirvo::TVersionSource;

namespace {

using TBytes = std::vector<std::uint8_t>;

std::uint16_t Word(const TBytes& b, std::size_t at)
{
    return static_cast<std::uint16_t>(b[at] | b[at + 1] << 8);
}

TVersionSource OneStringSource()
{
    TVersionSource s;
    s.fixed.fileVersionMS = 0x00010003;
    s.fixed.fileVersionLS = 0x0003008E;
    s.fixed.fileFlagsMask = 0x3F;
    s.fixed.fileFlags = 0x03;
    s.fixed.fileType = 1;
    s.language = 0x0411;
    s.codePage = 932;
    s.strings = {{"A", "B"}};
    return s;
}

TVersionSource FullSource()
{
    TVersionSource s = OneStringSource();
    s.strings = {{"CompanyName", "会社"}, {"FileDescription", "今日のミルボ"}, {"LegalTrademarks", ""},
                 {"Comments", "odd"}, {"ProductName", "Today Mirvo"}};
    return s;
}

std::string Text(const TBytes& block, const std::string& path)
{
    const auto value = QueryVersionValue(block, path);
    return value ? mirvo::Utf16LeToUtf8(value->bytes) : "<missing>";
}

// Every query the program makes, on any block: the value must lie inside it.
void QueryEverything(const TBytes& block)
{
    for (const char* path : {"\\", "\\VarFileInfo\\Translation", "\\StringFileInfo\\041103A4\\CompanyName",
                             "\\StringFileInfo\\041103A4\\Comments", "\\StringFileInfo\\041103A4\\A"}) {
        const auto value = QueryVersionValue(block, path);
        if (value && !value->bytes.empty()) {
            ASSERT_GE(value->bytes.data(), block.data());
            ASSERT_LE(value->bytes.data() + value->bytes.size(), block.data() + block.size());
            (void)mirvo::Utf16LeToUtf8(value->bytes);
        }
    }
    (void)mirvo::VersionBlockSize(block);
}

} // namespace

// The smallest block with one string, laid out by hand: offsets of every
// node and their (wLength, wValueLength, wType).
TEST(VersionInfoLayout, NodesLieWhereTheFormatPutsThem)
{
    const TBytes b = BuildVersionInfo(OneStringSource());
    ASSERT_EQ(b.size(), 236u);
    struct Node { std::size_t at; std::uint16_t length, valueLength, type; };
    const Node nodes[] = {
        {0, 236, 52, 0},    // VS_VERSION_INFO: 6 + 32 key bytes + 2 padding + 52 value
        {92, 76, 0, 1},     // StringFileInfo
        {128, 40, 0, 1},    // 041103A4
        {152, 16, 2, 1},    // "A" = "B": 6 + 4 key + 2 padding + 4 value (units with the zero)
        {168, 68, 0, 1},    // VarFileInfo: follows the string table without padding (168 is aligned)
        {200, 36, 4, 0},    // Translation
    };
    for (const Node& n : nodes) {
        SCOPED_TRACE(n.at);
        EXPECT_EQ(n.at % 4, 0u);
        EXPECT_EQ(Word(b, n.at), n.length);
        EXPECT_EQ(Word(b, n.at + 2), n.valueLength);
        EXPECT_EQ(Word(b, n.at + 4), n.type);
    }
    EXPECT_EQ(Word(b, 40), 0x04BD);   // signature FEEF04BD, little-endian, at the aligned value
    EXPECT_EQ(Word(b, 42), 0xFEEF);
    EXPECT_EQ(Word(b, 164), u'B');    // the string's value after its padding
    EXPECT_EQ(Word(b, 232), 0x0411);  // language, then code page
    EXPECT_EQ(Word(b, 234), 932);
    EXPECT_EQ(mirvo::VersionBlockSize(b), 236);
}

TEST(VersionInfoLayout, QueriesFindWhatWasWritten)
{
    const TBytes b = BuildVersionInfo(FullSource());
    EXPECT_EQ(Text(b, "\\StringFileInfo\\041103A4\\CompanyName"), "会社");
    EXPECT_EQ(Text(b, "\\StringFileInfo\\041103A4\\FileDescription"), "今日のミルボ");
    EXPECT_EQ(Text(b, "\\StringFileInfo\\041103A4\\Comments"), "odd");
    EXPECT_EQ(Text(b, "\\StringFileInfo\\041103A4\\LegalTrademarks"), "");
    // Keys compare without regard to ASCII case, as VerQueryValue does.
    EXPECT_EQ(Text(b, "\\stringfileinfo\\041103a4\\PRODUCTNAME"), "Today Mirvo");
    EXPECT_FALSE(QueryVersionValue(b, "\\StringFileInfo\\040904B0\\ProductName"));
    EXPECT_FALSE(QueryVersionValue(b, "\\StringFileInfo\\041103A4\\PrivateBuild"));

    const auto text = QueryVersionValue(b, "\\StringFileInfo\\041103A4\\Comments");
    ASSERT_TRUE(text);
    EXPECT_TRUE(text->isText);
    EXPECT_EQ(text->length, 4);  // "odd" and its zero, in UTF-16 units

    const auto translation = QueryVersionValue(b, "\\VarFileInfo\\Translation");
    ASSERT_TRUE(translation);
    EXPECT_FALSE(translation->isText);
    EXPECT_EQ(translation->length, 4);
    EXPECT_EQ(translation->bytes.size(), 4u);

    const auto fixed = QueryVersionValue(b, "\\");
    ASSERT_TRUE(fixed);
    ASSERT_EQ(fixed->bytes.size(), mirvo::TFixedFileInfo::kSize);
    EXPECT_EQ(fixed->bytes[8], 0x03);   // file version MS 0x00010003
    EXPECT_EQ(fixed->bytes[12], 0x8E);  // file version LS 0x0003008E
}

TEST(VersionInfoLayout, WriterRefusesWhatABlockCannotHold)
{
    TVersionSource s = OneStringSource();
    s.strings = {{"Comments", "\xE3\x81"}};  // cut UTF-8
    EXPECT_THROW(BuildVersionInfo(s), koyomi::EMirvoError);
    s.strings = {{"Comments", "\xF0\x9F\x98\x80"}};  // an emoji: not in code page 932
    EXPECT_THROW(BuildVersionInfo(s), koyomi::EMirvoError);
    s.codePage = 1200;  // Unicode: the same text is fine
    EXPECT_NO_THROW(BuildVersionInfo(s));
    s.strings = {{"", "x"}};
    EXPECT_THROW(BuildVersionInfo(s), koyomi::EMirvoError);
    s.strings = {{"Comments", std::string(40'000, 'x')}};  // 80000 bytes of UTF-16
    EXPECT_THROW(BuildVersionInfo(s), koyomi::EMirvoError);
}

// Every shorter prefix of a block, and every byte set to 0x00 or 0xFF in
// turn: the queries must stay inside the bytes (ASan watches) and end.
TEST(VersionInfoDamage, TruncatedAndSpoiltBlocksAreReadOnlyInside)
{
    const TBytes sound = BuildVersionInfo(FullSource());
    for (std::size_t n = 0; n < sound.size(); ++n) {
        const TBytes cut(sound.begin(), sound.begin() + static_cast<std::ptrdiff_t>(n));
        EXPECT_EQ(mirvo::VersionBlockSize(cut), 0) << n;
        QueryEverything(cut);
    }
    for (std::size_t i = 0; i < sound.size(); ++i) {
        for (std::uint8_t spoil : {std::uint8_t{0x00}, std::uint8_t{0xFF}}) {
            TBytes b = sound;
            b[i] = spoil;
            QueryEverything(b);
        }
    }
}

TEST(VersionInfoDamage, LengthsThatPointOutsideTheirParentFindNothing)
{
    TBytes b = BuildVersionInfo(OneStringSource());
    b[152] = 0xFF;  // the string "A" claims more than its table holds
    EXPECT_FALSE(QueryVersionValue(b, "\\StringFileInfo\\041103A4\\A"));
    b = BuildVersionInfo(OneStringSource());
    b[152] = 0x02;  // shorter than a node header
    b[153] = 0x00;
    EXPECT_FALSE(QueryVersionValue(b, "\\StringFileInfo\\041103A4\\A"));
    b = BuildVersionInfo(OneStringSource());
    b[154] = 0xFF;  // a value longer than its node is cut at the node's end
    const auto value = QueryVersionValue(b, "\\StringFileInfo\\041103A4\\A");
    ASSERT_TRUE(value);
    EXPECT_EQ(value->bytes.size(), 4u);
    b = BuildVersionInfo(OneStringSource());
    b[6] = 'X';  // the root is not VS_VERSION_INFO
    EXPECT_EQ(mirvo::VersionBlockSize(b), 0);
    EXPECT_FALSE(QueryVersionValue(b, "\\"));
}

TEST(VersionInfoText, TranslationKeyAndVersionNumbers)
{
    EXPECT_EQ(mirvo::TranslationKey(0x0411, 932), "041103A4");
    EXPECT_EQ(mirvo::TranslationKey(0x0409, 0x04B0), "040904B0");
    EXPECT_EQ(mirvo::PackVersionNumber("1.3.3.142"), std::make_pair(0x00010003u, 0x0003008Eu));
    EXPECT_EQ(mirvo::PackVersionNumber("65535.0.0.65535"), std::make_pair(0xFFFF0000u, 0x0000FFFFu));
    for (const char* bad : {"", "1.2.3", "1.2.3.4.5", "1.2.3.65536", "1.2.3.x", "1..2.3", "-1.2.3.4", "1.2.3.4 "})
        EXPECT_THROW(mirvo::PackVersionNumber(bad), koyomi::EMirvoError) << bad;
}

TEST(VersionInfoText, Utf16SurrogatesAndStrayHalves)
{
    const auto units = koyomi::Utf8ToUtf16("a\xF0\x9F\x98\x80");  // a, U+1F600
    ASSERT_TRUE(units);
    EXPECT_EQ(*units, std::u16string(u"a\xD83D\xDE00"));
    EXPECT_FALSE(koyomi::Utf8ToUtf16("\xED\xA0\x80"));  // an encoded surrogate
    EXPECT_FALSE(koyomi::Utf8ToUtf16("\xC0\xAF"));      // overlong

    const TBytes pair = {0x3D, 0xD8, 0x00, 0xDE, 0x00, 0x00, 'x', 0};
    EXPECT_EQ(mirvo::Utf16LeToUtf8(pair), "\xF0\x9F\x98\x80");  // stops at the zero
    const TBytes stray = {0x3D, 0xD8, 'b', 0, 0x00, 0xDE};
    EXPECT_EQ(mirvo::Utf16LeToUtf8(stray), "\xEF\xBF\xBD" "b" "\xEF\xBF\xBD");
}

TEST(VersionSource, ReadsEveryField)
{
    std::istringstream in("# comment\n"
                          "file-version\t1.3.3.142\n"
                          "product-version\t1.0.0.0\r\n"
                          "file-flags-mask\t0x3F\n"
                          "file-flags\t3\n"
                          "file-os\t0x40004\n"
                          "file-type\t1\n"
                          "file-subtype\t0\n"
                          "\n"
                          "translation\t0x0411\t932\n"
                          "string\tFileDescription\t今日のミルボ\n"
                          "string\tLegalTrademarks\t\n");
    const TVersionSource s = mirvo::ReadVersionSource(in);
    EXPECT_EQ(s.fixed.fileVersionMS, 0x00010003u);
    EXPECT_EQ(s.fixed.fileVersionLS, 0x0003008Eu);
    EXPECT_EQ(s.fixed.productVersionMS, 0x00010000u);
    EXPECT_EQ(s.fixed.fileFlagsMask, 0x3Fu);
    EXPECT_EQ(s.fixed.fileFlags, 3u);
    EXPECT_EQ(s.fixed.fileOS, 0x40004u);
    EXPECT_EQ(s.language, 0x0411);
    EXPECT_EQ(s.codePage, 932);
    ASSERT_EQ(s.strings.size(), 2u);
    EXPECT_EQ(s.strings[0], std::make_pair(std::string("FileDescription"), std::string("今日のミルボ")));
    EXPECT_EQ(s.strings[1].second, "");
}

TEST(VersionSource, NamesTheLineOfAFault)
{
    const std::pair<const char*, const char*> cases[] = {
        {"file-version\t1.2.3\n", "1 行目"},
        {"# x\nfile-flags\t0x1G\n", "2 行目"},
        {"file-type\t1\nfile-type\t2\n", "2 行目"},
        {"translation\t0x10000\t932\n", "1 行目"},
        {"translation\t0x0411\n", "1 行目"},
        {"string\tComments\n", "1 行目"},
        {"colour\tred\n", "1 行目"},
    };
    for (const auto& [text, line] : cases) {
        std::istringstream in(text);
        try {
            mirvo::ReadVersionSource(in);
            ADD_FAILURE() << "accepted: " << text;
        } catch (const koyomi::EMirvoError& e) {
            EXPECT_NE(std::string(e.what()).find(line), std::string::npos) << e.what();
        }
    }
}
