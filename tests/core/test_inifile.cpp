#include "members/inifile.h"

#include <gtest/gtest.h>

using namespace mirvo;

TEST(IniDocument, ReadsAsWindowsDoes)
{
    const TIniDocument ini("top=1\n[A]\n k1 = v 1 \nK1=second\n;k2=comment\n#k3=comment\nnoequals\n"
                           "q1=\"quoted \"\nq2='x'\nq3=\"open\nempty=\n[ b ] trailing\nk=b1\n[a]\nk4=later\n");
    EXPECT_EQ(ini.ReadString("A", "k1"), "v 1");   // the first of a name counts
    EXPECT_EQ(ini.ReadString("a", "K1"), "v 1");
    EXPECT_FALSE(ini.ReadString("A", ";k2").has_value());
    EXPECT_FALSE(ini.ReadString("A", "k2").has_value());
    EXPECT_FALSE(ini.ReadString("A", "#k3").has_value());
    EXPECT_FALSE(ini.ReadString("A", "noequals").has_value());
    EXPECT_EQ(ini.ReadString("A", "q1"), "quoted ");
    EXPECT_EQ(ini.ReadString("A", "q2"), "x");
    EXPECT_EQ(ini.ReadString("A", "q3"), "\"open");
    EXPECT_EQ(ini.ReadString("A", "empty"), "");
    EXPECT_EQ(ini.ReadString("B", "k"), "b1");
    EXPECT_FALSE(ini.ReadString("A", "k4").has_value());   // in a second section of the same name
    EXPECT_FALSE(ini.ReadString("", "top").has_value());
    EXPECT_FALSE(ini.ReadString("C", "k").has_value());
}

TEST(IniDocument, WritesInPlaceAndKeepsEveryOtherLine)
{
    const std::string original = "; comment\r\n[Window]\r\n  LEFT = 5\r\nOther=x\r\n\r\n[Keep]\r\na=1\r\n";
    TIniDocument ini(original);
    EXPECT_EQ(ini.Text(), original);
    ASSERT_TRUE(ini.WriteString("window", "Left", "7"));
    ASSERT_TRUE(ini.WriteString("Window", "Top", "8"));
    ASSERT_TRUE(ini.WriteString("Option", "Key", "v"));
    ASSERT_TRUE(ini.WriteString("option", "Key2", "w"));
    EXPECT_EQ(ini.Text(), "; comment\r\n[Window]\r\nLEFT=7\r\nOther=x\r\nTop=8\r\n\r\n[Keep]\r\na=1\r\n"
                          "\r\n[Option]\r\nKey=v\r\nKey2=w\r\n");
}

TEST(IniDocument, NewTextAndAwkwardValues)
{
    TIniDocument ini;
    EXPECT_EQ(ini.Text(), "");
    ASSERT_TRUE(ini.WriteString("S", "blank", " padded "));
    ASSERT_TRUE(ini.WriteString("S", "quoted", "'x'"));
    ASSERT_TRUE(ini.WriteString("S", "plain", "a = b"));
    ASSERT_TRUE(ini.WriteString("S", "japanese", "/home/花子/"));
    EXPECT_EQ(ini.Text(), "[S]\nblank=\" padded \"\nquoted=\"'x'\"\nplain=a = b\njapanese=/home/花子/\n");
    const TIniDocument back(ini.Text());
    EXPECT_EQ(back.ReadString("S", "blank"), " padded ");
    EXPECT_EQ(back.ReadString("S", "quoted"), "'x'");
    EXPECT_EQ(back.ReadString("S", "plain"), "a = b");

    EXPECT_FALSE(ini.WriteString("S", "k", "two\nlines"));
    EXPECT_FALSE(ini.WriteString("S", "a=b", "v"));
    EXPECT_FALSE(ini.WriteString("S", "", "v"));
    EXPECT_FALSE(ini.WriteString("S", ";k", "v"));
    EXPECT_FALSE(ini.WriteString("S]", "k", "v"));
    EXPECT_EQ(TIniDocument(ini.Text()).Text(), ini.Text());
}

TEST(IniDocument, ByteOrderMarkAndLastLineWithoutEnd)
{
    TIniDocument ini("\xEF\xBB\xBF[A]\r\nk=1");
    EXPECT_EQ(ini.ReadString("A", "k"), "1");
    ASSERT_TRUE(ini.WriteString("A", "k", "2"));
    EXPECT_EQ(ini.Text(), "\xEF\xBB\xBF[A]\r\nk=2\r\n");
}

TEST(IniDocument, LongLinesAreKeptButNotRead)
{
    const std::string longKey = "k" + std::string(kMaxIniLineBytes, 'x') + "=1";
    const std::string text = "[A]\n" + longKey + "\nk=2\n[" + std::string(kMaxIniLineBytes, 'B') + "]\nk=3\n";
    TIniDocument ini(text);
    EXPECT_EQ(ini.LongLines(), (std::vector<std::size_t>{2, 4}));
    EXPECT_EQ(ini.ReadString("A", "k"), "2");
    // The keys under a section line too long to read belong to no section.
    EXPECT_EQ(ini.Text(), text);
    ASSERT_TRUE(ini.WriteString("A", "k", "9"));
    EXPECT_EQ(ini.ReadString("A", "k"), "9");
    // A value that would make a line too long to read back is refused.
    EXPECT_FALSE(ini.WriteString("A", "v", std::string(kMaxIniLineBytes, 'v')));

    // The limit itself: a line of exactly 32,768 bytes is read, one byte more is not.
    const std::string value(32768 - 2, 'v');
    const TIniDocument edge("[A]\r\nk=" + value + "\r\nm=" + value + "v\r\n");
    EXPECT_EQ(edge.ReadString("A", "k"), value);
    EXPECT_FALSE(edge.ReadString("A", "m").has_value());
    EXPECT_EQ(edge.LongLines(), (std::vector<std::size_t>{3}));
}

TEST(IniDocument, AHugeSectionNameOverManyLinesIsReadAndWrittenBack)
{
    // 100 KB of section name and 20,000 lines under it (each line once
    // copied the name: about 2 GB; tests/programs/file_safety.sh reads it
    // under a memory limit).
    const std::string text = "[" + std::string(100 * 1024, 'n') + "]\n" + std::string(20000, '\n');
    TIniDocument ini(text);
    EXPECT_EQ(ini.Text(), text);
    EXPECT_FALSE(ini.ReadString(std::string(100 * 1024, 'n'), "k").has_value());
}
