#include "base/sjis.h"

#include "base/codepage.h"
#include "base/utf8.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>

#if !defined(_WIN32)
#include <cerrno>
#include <iconv.h>
#endif

using namespace koyomi;

TEST(Sjis, DecodesTheWindowsTable)
{
    // Wave dash as Windows reads it, circled digit one (NEC row 13), a small
    // roman numeral from the IBM extensions and from the NEC-selected copy,
    // and an IBM kanji.
    EXPECT_EQ(Cp932ToUtf8("\x81\x60"), "～");
    EXPECT_EQ(Cp932ToUtf8("\x87\x40\x87\x41"), "①②");
    EXPECT_EQ(Cp932ToUtf8("\xFA\x40"), "ⅰ");
    EXPECT_EQ(Cp932ToUtf8("\xEE\xEF"), "ⅰ");
    EXPECT_EQ(Cp932ToUtf8("\xFA\x68"), "\xE4\xB8\xA8");   // U+4E28
    EXPECT_EQ(Cp932ToUtf8("\x81\x7C\x81\x61\x81\x5C"), "－∥―");
    // Backslash and tilde stay ASCII, half-width katakana decode.
    EXPECT_EQ(Cp932ToUtf8("\\~\xB1"), "\\~ｱ");
    EXPECT_EQ(Cp932ToUtf8("\x93\xFA\x96\x7B"), "日本");
    EXPECT_EQ(Cp932ToUtf8(std::string_view("a\0b", 3)), std::string("a\0b", 3));
}

TEST(Sjis, BadBytesGiveReplacementCharactersAndDecodingGoesOn)
{
    const std::string fffd = "\xEF\xBF\xBD";
    EXPECT_EQ(Cp932ToUtf8("\x80"), fffd);
    EXPECT_EQ(Cp932ToUtf8("a\xA0z"), "a" + fffd + "z");
    EXPECT_EQ(Cp932ToUtf8("\xFD\xFE\xFF"), fffd + fffd + fffd);
    // An unmapped pair is one character; a lead byte before a comma leaves the comma.
    EXPECT_EQ(Cp932ToUtf8("\x81\xAD" "x"), fffd + "x");
    EXPECT_EQ(Cp932ToUtf8("\x81,\x82\xA0"), fffd + ",あ");
    // A lead byte cut off at the end.
    EXPECT_EQ(Cp932ToUtf8("\x82\xA0\x82"), "あ" + fffd);
    // Long text crosses the converter's buffer many times.
    std::string longText;
    std::string expected;
    for (int i = 0; i < 5000; ++i) {
        longText += "\x82\xA0\x80";
        expected += "あ" + fffd;
    }
    EXPECT_EQ(Cp932ToUtf8(longText), expected);
}

TEST(Sjis, EncodesAsWindowsWrites)
{
    EXPECT_EQ(Utf8ToCp932("～"), std::optional<std::string>("\x81\x60"));
    EXPECT_EQ(Utf8ToCp932("①"), std::optional<std::string>("\x87\x40"));
    // Characters held twice are written in the IBM extension rows, as Windows does.
    EXPECT_EQ(Utf8ToCp932("ⅰ"), std::optional<std::string>("\xFA\x40"));
    EXPECT_EQ(Utf8ToCp932("\xE4\xB8\xA8"), std::optional<std::string>("\xFA\x68"));
    EXPECT_EQ(Utf8ToCp932("＼\"a,"), std::optional<std::string>("\x81\x5F\"a,"));
    EXPECT_EQ(Utf8ToCp932(""), std::optional<std::string>(""));
}

TEST(Sjis, RefusesWhatCannotReadBack)
{
    EXPECT_FALSE(Utf8ToCp932("한국어").has_value());
    EXPECT_FALSE(Utf8ToCp932("a😀").has_value());
    EXPECT_FALSE(Utf8ToCp932("é").has_value());
    // Look-alikes the converter would map to another character.
    EXPECT_FALSE(Utf8ToCp932("〜").has_value());   // U+301C
    EXPECT_FALSE(Utf8ToCp932("¥").has_value());
    EXPECT_FALSE(Utf8ToCp932("−").has_value());    // U+2212
    // Broken UTF-8.
    EXPECT_FALSE(Utf8ToCp932("\xE3\x81").has_value());
    EXPECT_FALSE(Utf8ToCp932("\xFF").has_value());
    EXPECT_TRUE(IsCp932Encodable("山田 花子 ～①\""));
    EXPECT_FALSE(IsCp932Encodable("Zoë"));
}

TEST(Sjis, JisFormsBecomeWindowsForms)
{
    EXPECT_EQ(ToCp932Forms("10〜20−3‖—¢£¬"), "10～20－3∥―￠￡￢");
    EXPECT_EQ(ToCp932Forms("山田¥"), "山田¥");
    EXPECT_TRUE(IsCp932Encodable(ToCp932Forms("〜−‖—¢£¬")));
}

// The rows where code page 932 holds every character once: JIS X 0208 and
// the user-defined area. NEC row 13 (0x87) shares characters with the JIS
// rows, the NEC-selected IBM copies (0xED, 0xEE) and the IBM rows (0xFA-0xFC)
// share them with each other and with row 13.
static bool HoldsCharactersOnce(int lead)
{
    return lead != 0x87 && lead != 0xED && lead != 0xEE && lead < 0xFA;
}

TEST(Sjis, EveryDoubleByteCharacterRoundTrips)
{
    int decoded = 0;
    for (int lead = 0x81; lead <= 0xFC; ++lead) {
        if (!IsSjisLeadByte(static_cast<unsigned char>(lead)))
            continue;
        for (int trail = 0x40; trail <= 0xFC; ++trail) {
            if (!IsSjisTrailByte(static_cast<unsigned char>(trail)))
                continue;
            const std::string bytes{static_cast<char>(lead), static_cast<char>(trail)};
            const std::string text = Cp932ToUtf8(bytes);
            if (text == "\xEF\xBF\xBD")
                continue;
            ++decoded;
            const auto back = Utf8ToCp932(text);
            ASSERT_TRUE(back.has_value()) << std::hex << lead << ' ' << trail;
            EXPECT_EQ(Cp932ToUtf8(*back), text);
            if (HoldsCharactersOnce(lead)) {
                EXPECT_EQ(*back, bytes) << std::hex << lead << ' ' << trail;
            }
        }
    }
    // JIS X 0208, the NEC and IBM extensions and the user-defined area.
    EXPECT_GT(decoded, 9000);
    // Duplicates are written where Windows writes them.
    EXPECT_EQ(Utf8ToCp932(Cp932ToUtf8("\xFA\x4A")), std::optional<std::string>("\x87\x54"));   // Ⅰ
    EXPECT_EQ(Utf8ToCp932(Cp932ToUtf8("\xFA\x54")), std::optional<std::string>("\x81\xCA"));   // ￢
    EXPECT_EQ(Utf8ToCp932(Cp932ToUtf8("\x87\x90")), std::optional<std::string>("\x81\xE0"));   // ≒
    EXPECT_EQ(Utf8ToCp932(Cp932ToUtf8("\xED\x40")), std::optional<std::string>("\xFA\x5C"));   // 纊
}

TEST(Sjis, CharacterLength)
{
    EXPECT_EQ(SjisCharLength("\x82\xA0", 0), 2u);
    EXPECT_EQ(SjisCharLength("\x82\"", 0), 1u);
    EXPECT_EQ(SjisCharLength("\x82", 0), 1u);
    EXPECT_EQ(SjisCharLength("a\x95\x5C", 1), 2u);   // 表: its second byte is a backslash
    EXPECT_EQ(SjisCharLength("\xB1\xB2", 0), 1u);    // half-width katakana
}

#if !defined(_WIN32)
// The program's tables against the system's converter, which they are made
// from: every pair a lead byte opens, every single byte, every character of
// the BMP, and a text of mixed faults, each converted both ways.
namespace {

// What the converter of the system makes of `input`, with the program's rule
// for a stop: one U+FFFD, then on after the failing character.
std::optional<std::string> SystemConvert(const char* to, const char* from, std::string_view input, bool replace)
{
    const iconv_t converter = iconv_open(to, from);
    EXPECT_NE(converter, reinterpret_cast<iconv_t>(-1));
    std::string out;
    const char* in = input.data();
    std::size_t inLeft = input.size();
    bool failed = false;
    while (inLeft > 0) {
        char buffer[256];
        char* outPtr = buffer;
        std::size_t outLeft = sizeof buffer;
        char* inPtr = const_cast<char*>(in);
        const std::size_t rc = iconv(converter, &inPtr, &inLeft, &outPtr, &outLeft);
        const int error = rc == static_cast<std::size_t>(-1) ? errno : 0;
        in = inPtr;
        out.append(buffer, static_cast<std::size_t>(outPtr - buffer));
        if (error == 0 || error == E2BIG)
            continue;
        if (!replace) {
            failed = true;
            break;
        }
        out += "\xEF\xBF\xBD";
        const std::size_t skip = koyomi::SjisCharLength(input, static_cast<std::size_t>(in - input.data()));
        in += skip;
        inLeft -= skip;
        iconv(converter, nullptr, nullptr, nullptr, nullptr);
    }
    iconv_close(converter);
    if (failed)
        return std::nullopt;
    return out;
}

} // namespace

TEST(Sjis, TablesConvertAsTheSystemDoes)
{
    int differences = 0;
    const auto check = [&differences](std::string_view bytes) {
        const std::string expected = *SystemConvert("UTF-8", "CP932", bytes, true);
        if (koyomi::platform::DecodeCp932(bytes) != expected && ++differences <= 5)
            ADD_FAILURE() << "decoding bytes " << testing::PrintToString(std::string(bytes));
    };
    for (int first = 0; first < 0x100; ++first) {
        check(std::string(1, static_cast<char>(first)));
        for (int second = 0; second < 0x100; ++second)
            check(std::string{static_cast<char>(first), static_cast<char>(second), 'A'});
    }
    check("\x82\xA0\x81\x81\xFF\x82\x20\xA0\xEB\x40\x88\x9F\x82");
    for (char32_t c = 1; c < 0x110000; c += c < 0x10000 ? 1 : 0x1001) {
        if (c >= 0xD800 && c < 0xE000)
            continue;
        const std::string utf8 = koyomi::Utf8Of(c) + "a";
        if (koyomi::platform::EncodeCp932(utf8) != SystemConvert("CP932", "UTF-8", utf8, false) && ++differences <= 5)
            ADD_FAILURE() << "encoding U+" << std::hex << static_cast<unsigned>(c);
    }
    // Text that is no UTF-8 is refused, as the system refuses it.
    for (std::string_view bad : {"\xC0\xAF", "\xED\xA0\x80", "\xE3\x81", "\xF4\x90\x80\x80", "\x80"}) {
        EXPECT_EQ(koyomi::platform::EncodeCp932(bad), std::nullopt);
        EXPECT_EQ(SystemConvert("CP932", "UTF-8", bad, false), std::nullopt);
    }
    EXPECT_EQ(differences, 0);
}
#endif

// UTF-16 read anywhere (member files, the version block, Windows' answers):
// a pair is one character, a surrogate without its partner is U+FFFD.
TEST(Utf16, PairsJoinAndLoneSurrogatesBecomeReplacementCharacters)
{
    const auto utf8 = [](std::u16string_view text) {
        std::string out;
        koyomi::AppendUtf16AsUtf8(out, text);
        return out;
    };
    EXPECT_EQ(utf8(u"山田"), "山田");
    EXPECT_EQ(utf8(u"\xD83D\xDCA3"), "\xF0\x9F\x92\xA3");          // U+1F4A3 from its pair
    EXPECT_EQ(utf8(u"a\xD83D"), "a\xEF\xBF\xBD");                  // high surrogate at the end
    EXPECT_EQ(utf8(u"\xD83Dz"), "\xEF\xBF\xBDz");                  // high surrogate before a letter
    EXPECT_EQ(utf8(u"\xDCA3\xD83D"), "\xEF\xBF\xBD\xEF\xBF\xBD");  // low before high: two lone ones
    EXPECT_EQ(utf8(u"\xD83D\xD83D\xDCA3"), "\xEF\xBF\xBD\xF0\x9F\x92\xA3");
}
